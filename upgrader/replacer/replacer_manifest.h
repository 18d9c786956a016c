#pragma once

#include <optional>
#include <string>
#include <vector>

namespace replacer {

// The folder of the running replacer, ending with "/"; empty when unknown.
std::string OwnFolder();

// The names in the list of files to install: one per line. Nothing when
// there is no list; a list that cannot be read whole, with a name that is
// not a plain file name ("", ".", "..", with "/" or a NUL) or with a name
// twice, installs nothing.
std::optional<std::vector<std::string>> ReadManifest(const std::string& Path);

}  // namespace replacer
