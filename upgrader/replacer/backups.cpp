#include "upgrader/replacer/backups.h"
#include "upgrader/replacer/name_ends.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <set>

namespace replacer {

namespace fs = std::filesystem;

namespace {

bool WriteAll(int Descriptor, const char* Data, ssize_t Size) {
    while (Size > 0) {
        const ssize_t written = ::write(Descriptor, Data, size_t(Size));
        if (written <= 0)
            return false;
        Data += written;
        Size -= written;
    }
    return true;
}

// Where hard links are refused: a copy with the same mode, synced, made
// under a temporary name and renamed into place so it is never seen half.
bool CopyFile(const std::string& From, const std::string& To) {
    const int source = ::open(From.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status {};
    if (source < 0 || ::fstat(source, &status) != 0 || !S_ISREG(status.st_mode)) {
        if (source >= 0)
            ::close(source);
        return false;
    }
    const std::string part = To + ".part";
    const int copy = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                            status.st_mode & 07777);
    bool copied = copy >= 0;
    char buffer[65536];
    ssize_t got = 0;
    while (copied && (got = ::read(source, buffer, sizeof buffer)) > 0)
        copied = WriteAll(copy, buffer, got);
    copied =
        copied && got == 0 && ::fchmod(copy, status.st_mode & 07777) == 0 && ::fsync(copy) == 0;
    ::close(source);
    if (copy >= 0)
        ::close(copy);
    copied = copied && std::rename(part.c_str(), To.c_str()) == 0;
    if (!copied)
        ::unlink(part.c_str());
    return copied;
}

}  // namespace

bool KeepBackup(const std::string& Target, const std::string& Stamp, std::string& Backup) {
    Backup.clear();
    struct stat status {};
    if (::lstat(Target.c_str(), &status) != 0)
        return errno == ENOENT;
    if (!S_ISREG(status.st_mode))
        return false;
    const std::string backup = Target + '.' + Stamp + kBackupSuffix;
    ::unlink(backup.c_str());
    if (::link(Target.c_str(), backup.c_str()) != 0 && !CopyFile(Target, backup))
        return false;
    Backup = backup;
    return true;
}

void RestoreBackups(const std::vector<InstalledFile>& Installed, const std::string& Folder) {
    for (const InstalledFile& file : Installed) {
        if (file.Backup.empty())
            ::unlink(file.Target.c_str());
        else
            std::rename(file.Backup.c_str(), file.Target.c_str());
    }
    SyncFolder(Folder);
}

void RemoveEarlierBackups(const std::string& Folder, const std::vector<InstalledFile>& Installed) {
    std::set<std::string> own;
    for (const InstalledFile& file : Installed)
        own.insert(fs::path(file.Backup).filename().string());
    std::vector<std::string> earlier;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(Folder, error)) {
        const std::string name = entry.path().filename().string();
        std::error_code typeError;
        if (EndsWith(name, kBackupSuffix) && own.count(name) == 0 &&
            entry.symlink_status(typeError).type() == fs::file_type::regular)
            earlier.push_back(entry.path().string());
    }
    for (const std::string& path : earlier)
        ::unlink(path.c_str());
    SyncFolder(Folder);
}

void SyncFolder(const std::string& Folder) {
    const int descriptor = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
}

}  // namespace replacer
