#pragma once

#include <string>

namespace common {

// The full path of this process's executable, as the system knows it
// (/proc/self/exe: absolute, links resolved), without Qt, so that the
// replacer and the program's entry read it the same way. Once the file was
// replaced under the running process (an upgrade, a reinstall) the system
// marks the path " (deleted)"; the path is still the program's, now holding
// the new file, and is returned without the mark. Empty only when the system
// cannot tell.
std::string RunningExecutablePath();

}  // namespace common
