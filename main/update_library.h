#pragma once

#include <QString>

class QObject;

// The window's side of the update library (see update_library_entry.h).
namespace main_window {

// Makes the window's upgrader auAutoUpgrader1, owned by Window, from the update library
// when its first check is due, 10 s after start (it then
// also tells of an upgrade that was undone). Nothing is loaded when the
// window goes first. A library that cannot be loaded leaves the program
// without updates, with a warning.
void ArrangeAutoUpgrader(QObject* Window);

// Loads the update library now, once for the process; false, with the
// reason, when it is missing, broken or of another version.
bool LoadUpdateLibrary(QString& Reason);

// At the program's very end: the replacer of an upgrade that is ready runs
// in this process. Returns at once when the library was never loaded, as
// then no upgrade can be.
void RunPendingReplacer(char** Argv);

}  // namespace main_window
