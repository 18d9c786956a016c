#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace replacer {

// A file as the kernel knows it: device and inode, whatever name leads to it.
using FileId = std::pair<dev_t, ino_t>;

std::optional<FileId> IdentifyFile(const std::string& Path);

// Which files the other processes use at one moment. A file is in use while a
// process runs it (/proc/<pid>/exe), has it open (/proc/<pid>/fd) or maps it
// (/proc/<pid>/maps, compared by device and inode and, for file systems that
// map an underlying file, by path). Processes whose /proc entries we may not
// read (other users') cannot be seen and count as using nothing. Zombies use
// nothing: the kernel has already closed and unmapped everything of theirs.
class FileUsage {
  public:
    static FileUsage Scan();
    bool IsInUse(const std::string& Path) const;

  private:
    void AddProcess(const std::string& ProcessFolder);
    void AddMappings(const std::string& MapsPath);
    std::set<FileId> UsedFiles;
    std::set<std::string> MappedPaths;
};

// Waits until no other process uses the file, at most Limit; true when it is
// free (or does not exist), false when the limit passed first.
bool WaitUntilUnused(const std::string& Path, std::chrono::milliseconds Limit);

}  // namespace replacer
