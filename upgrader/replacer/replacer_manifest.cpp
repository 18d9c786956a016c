#include "upgrader/replacer/replacer_manifest.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "common/running_executable.h"
#include "upgrader/replacer/small_files.h"

namespace replacer {

namespace {

bool IsPlainFileName(const std::string& Name) {
    return !Name.empty() && Name != "." && Name != ".." &&
           Name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

}  // namespace

std::string OwnFolder() {
    const std::string path = common::RunningExecutablePath();
    return path.empty() ? std::string() : FolderOf(path);
}

std::optional<std::vector<std::string>> ReadManifest(const std::string& Path) {
    bool missing = false;
    const std::optional<std::string> bytes = ReadSmallFile(Path, missing);
    if (missing)
        return std::nullopt;
    std::vector<std::string> names;
    if (!bytes)
        return names;
    std::istringstream lines(*bytes);
    for (std::string name; std::getline(lines, name);) {
        // A name twice would replace the first one's only backup.
        if (!IsPlainFileName(name) || std::find(names.begin(), names.end(), name) != names.end())
            return std::vector<std::string>{};
        names.push_back(name);
    }
    return names;
}

}  // namespace replacer
