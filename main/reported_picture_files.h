#pragma once

#include <QString>

namespace main_window {

// A picture file that cannot be shown is reported once per process run: the
// tool bar reloads its pictures on every mouse movement, and a box for each
// movement would make the window unusable. Returns true the first time a
// file name is given, false every later time.
bool IsFirstFailureOf(const QString& fileName);

}  // namespace main_window
