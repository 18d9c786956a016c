#include "upgrader/replacer/replacer_manifest.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sstream>

namespace replacer {

namespace {

// The program writes a line per file of one upgrade.
constexpr size_t kMostManifestBytes = 1024 * 1024;

bool IsPlainFileName(const std::string& Name) {
    return !Name.empty() && Name != "." && Name != ".." &&
           Name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

// The file's bytes; nothing when it cannot be read whole (Missing says
// whether it is not there at all).
std::optional<std::string> ReadSmallFile(const std::string& Path, bool& Missing) {
    const int descriptor = ::open(Path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    Missing = descriptor < 0 && errno == ENOENT;
    if (descriptor < 0)
        return std::nullopt;
    std::string bytes;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(descriptor, buffer, sizeof buffer)) > 0 &&
           bytes.size() <= kMostManifestBytes)
        bytes.append(buffer, size_t(got));
    ::close(descriptor);
    if (got != 0 || bytes.size() > kMostManifestBytes)
        return std::nullopt;
    return bytes;
}

}  // namespace

std::string OwnFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.parent_path().string() + '/';
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
