#include "upgrader/replacer/file_usage.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace replacer {

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::milliseconds kPollInterval{20};

bool IsProcessFolderName(const std::string& Name) {
    return !Name.empty() && Name.find_first_not_of("0123456789") == std::string::npos;
}

std::string CanonicalPath(const std::string& Path) {
    std::error_code error;
    const fs::path canonical = fs::canonical(Path, error);
    return error ? std::string() : canonical.string();
}

}  // namespace

std::optional<FileId> IdentifyFile(const std::string& Path) {
    struct stat status {};
    if (::stat(Path.c_str(), &status) != 0)
        return std::nullopt;
    return FileId{status.st_dev, status.st_ino};
}

FileUsage FileUsage::Scan() {
    FileUsage usage;
    const std::string self = std::to_string(::getpid());
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (IsProcessFolderName(name) && name != self)
            usage.AddProcess(entry.path().string());
    }
    return usage;
}

void FileUsage::AddProcess(const std::string& ProcessFolder) {
    if (auto running = IdentifyFile(ProcessFolder + "/exe"))
        UsedFiles.insert(*running);
    std::error_code error;
    for (const auto& descriptor : fs::directory_iterator(ProcessFolder + "/fd", error))
        if (auto open = IdentifyFile(descriptor.path().string()))
            UsedFiles.insert(*open);
    AddMappings(ProcessFolder + "/maps");
}

void FileUsage::AddMappings(const std::string& MapsPath) {
    std::ifstream maps(MapsPath);
    std::string line;
    while (std::getline(maps, line)) {
        // "start-end perms offset major:minor inode   path"
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        int pathStart = 0;
        if (std::sscanf(line.c_str(), "%*s %*s %*s %x:%x %llu %n", &major, &minor, &inode,
                        &pathStart) < 3 ||
            inode == 0)
            continue;
        UsedFiles.insert({makedev(major, minor), static_cast<ino_t>(inode)});
        if (pathStart > 0 && static_cast<std::size_t>(pathStart) < line.size())
            MappedPaths.insert(line.substr(pathStart));
    }
}

bool FileUsage::IsInUse(const std::string& Path) const {
    const auto id = IdentifyFile(Path);
    if (!id)
        return false;
    if (UsedFiles.count(*id) != 0)
        return true;
    const std::string canonical = CanonicalPath(Path);
    return !canonical.empty() && MappedPaths.count(canonical) != 0;
}

bool WaitUntilUnused(const std::string& Path, std::chrono::milliseconds Limit) {
    const auto deadline = std::chrono::steady_clock::now() + Limit;
    for (;;) {
        if (!FileUsage::Scan().IsInUse(Path))
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kPollInterval);
    }
}

}  // namespace replacer
