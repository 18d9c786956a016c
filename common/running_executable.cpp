#include "common/running_executable.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <string_view>

namespace common {

namespace {

constexpr std::string_view kDeletedMark = " (deleted)";

// Whether the path leads to the very file this process runs.
bool IsRunningFile(const std::string& Path) {
    struct stat named {
    }, running{};
    return ::stat(Path.c_str(), &named) == 0 && ::stat("/proc/self/exe", &running) == 0 &&
           named.st_dev == running.st_dev && named.st_ino == running.st_ino;
}

}  // namespace

std::string RunningExecutablePath() {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return {};
    std::string path(buffer, size_t(length));
    // A program whose name itself ends in the mark is still where it was.
    if (path.ends_with(kDeletedMark) && !IsRunningFile(path))
        path.resize(path.size() - kDeletedMark.size());
    return path;
}

}  // namespace common
