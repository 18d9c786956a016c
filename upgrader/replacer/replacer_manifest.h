#pragma once

#include <optional>
#include <string>
#include <vector>

namespace replacer {

// The running program's path (empty when unknown); a program replaced while
// it runs is named with " (deleted)" appended, and the path is the one
// without it.
std::string OwnExecutablePath();

// The folder of the running replacer, ending with "/"; empty when unknown.
std::string OwnFolder();

// The names in the list of files to install: one per line. Nothing when
// there is no list; a list that cannot be read whole, with a name that is
// not a plain file name ("", ".", "..", with "/" or a NUL) or with a name
// twice, installs nothing.
std::optional<std::vector<std::string>> ReadManifest(const std::string& Path);

}  // namespace replacer
