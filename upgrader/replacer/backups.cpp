#include "upgrader/replacer/backups.h"
#include "upgrader/replacer/name_ends.h"
#include "upgrader/replacer/small_files.h"

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

// Where hard links are refused: a copy with the same mode, synced, made
// under a temporary name and linked into place so it is never seen half.
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
        copied = WriteAll(copy, buffer, size_t(got));
    copied =
        copied && got == 0 && ::fchmod(copy, status.st_mode & 07777) == 0 && ::fsync(copy) == 0;
    ::close(source);
    if (copy >= 0)
        ::close(copy);
    // A link, not a rename: whatever is already at To stays.
    copied = copied && ::link(part.c_str(), To.c_str()) == 0;
    ::unlink(part.c_str());
    return copied;
}

// Whether the backup found is the one the journal recorded (journals of
// earlier replacers record none; theirs are taken as found).
bool IsRecordedBackup(const JournalFile& File, const struct stat& Found) {
    return !File.Backup ||
           (S_ISREG(Found.st_mode) && FileId(Found.st_dev, Found.st_ino) == *File.Backup);
}

}  // namespace

std::optional<FileId> RegularFileId(const std::string& Path) {
    struct stat status {};
    if (::lstat(Path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return FileId(status.st_dev, status.st_ino);
}

bool KeepBackup(const std::string& Target, const std::string& Backup) {
    return ::link(Target.c_str(), Backup.c_str()) == 0 ||
           (errno != EEXIST && CopyFile(Target, Backup));
}

bool UpgradeInPlace(const std::string& Folder, const UpgradeJournal& Journal) {
    for (const JournalFile& file : Journal.Files) {
        struct stat status {};
        if (::lstat((Folder + '/' + file.Name).c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
            status.st_ino != file.NewFile)
            return false;
    }
    return true;
}

void UndoUpgrade(const std::string& Folder, const UpgradeJournal& Journal) {
    for (const JournalFile& file : Journal.Files) {
        const std::string target = Folder + '/' + file.Name;
        struct stat current {
        }, kept{};
        const bool there = ::lstat(target.c_str(), &current) == 0;
        if (!file.HadOld) {
            if (there && current.st_ino == file.NewFile)
                ::unlink(target.c_str());
            continue;
        }
        const std::string backup = BackupPath(Folder, file.Name, Journal.Stamp);
        if (::lstat(backup.c_str(), &kept) != 0)
            continue;  // put back already
        // Someone else's file at the backup's name is never put in place.
        if (!IsRecordedBackup(file, kept))
            continue;
        // Not replaced yet: the backup is a second name of the file in place.
        if (there && current.st_ino == kept.st_ino && current.st_dev == kept.st_dev)
            ::unlink(backup.c_str());
        else
            std::rename(backup.c_str(), target.c_str());
    }
    SyncFolder(Folder);
}

void RemoveEarlierBackups(const std::string& Folder, const UpgradeJournal& Journal) {
    std::set<std::string> own;
    for (const JournalFile& file : Journal.Files)
        own.insert(fs::path(BackupPath(Folder, file.Name, Journal.Stamp)).filename().string());
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

}  // namespace replacer
