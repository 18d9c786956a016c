#include "upgrader/replacer/file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "upgrader/replacer/small_files.h"

#include "upgrader/replacer/backups.h"
#include "upgrader/replacer/file_usage.h"
#include "upgrader/replacer/name_ends.h"

namespace replacer {

namespace fs = std::filesystem;

namespace {

// The names waiting to be put in place, listed before anything is renamed:
// a folder read while it changes may list a changed entry twice or never.
std::vector<std::string> DownloadedNames(const std::string& Folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(Folder, error)) {
        const std::string name = entry.path().filename().string();
        std::error_code typeError;
        if (EndsWith(name, kDownloadSuffix) && name.size() > std::string(kDownloadSuffix).size() &&
            name.find('\n') == std::string::npos &&
            entry.symlink_status(typeError).type() == fs::file_type::regular)
            names.push_back(name.substr(0, name.size() - std::string(kDownloadSuffix).size()));
    }
    return names;
}

bool TakeOverAttributes(int Descriptor, const std::string& Target) {
    struct stat old {};
    if (::stat(Target.c_str(), &old) != 0)
        return errno == ENOENT;  // a new file keeps the mode it was downloaded with
    if (!S_ISREG(old.st_mode))
        return false;
    if (::fchmod(Descriptor, old.st_mode & 07777) != 0)
        return false;
    if (::geteuid() == 0)
        (void)!::fchown(Descriptor, old.st_uid, old.st_gid);
    return true;
}

}  // namespace

bool ReplaceFile(const std::string& Downloaded, const std::string& Target) {
    const int descriptor =
        ::open(Downloaded.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    struct stat downloaded {};
    const bool ready = ::fstat(descriptor, &downloaded) == 0 && S_ISREG(downloaded.st_mode) &&
                       TakeOverAttributes(descriptor, Target) && ::fsync(descriptor) == 0;
    ::close(descriptor);
    return ready && std::rename(Downloaded.c_str(), Target.c_str()) == 0;
}

void MakeExecutable(const std::string& Path) {
    struct stat status {};
    if (::stat(Path.c_str(), &status) == 0)
        ::chmod(Path.c_str(), (status.st_mode & 07777) | ((status.st_mode & 0444) >> 2));
}

std::vector<std::string> NamesToInstall(const ReplacerRequest& Request) {
    return Request.Files ? *Request.Files : DownloadedNames(Request.Folder);
}

std::string ReplaceInSetupMode(const ReplacerRequest& Request) {
    const std::string programName = fs::path(Request.ExecutablePath).filename().string();
    const FileUsage usage = FileUsage::Scan();
    std::string setupProgram;
    for (const std::string& name : NamesToInstall(Request)) {
        const std::string target = Request.Folder + name;
        if (name == programName || usage.IsInUse(target) ||
            !ReplaceFile(target + kDownloadSuffix, target))
            continue;
        if (setupProgram.empty() && EndsWith(name, "exe")) {
            MakeExecutable(target);
            setupProgram = target;
        }
    }
    SyncFolder(Request.Folder);
    return setupProgram;
}

std::optional<UpgradeJournal> PrepareSelfUpgrade(const ReplacerRequest& Request,
                                                 const std::string& Stamp,
                                                 const std::string& Version) {
    const FileUsage usage = FileUsage::Scan();
    UpgradeJournal journal{Version, Stamp, {}, false};
    for (const std::string& name : NamesToInstall(Request)) {
        const std::string target = Request.Folder + name;
        struct stat downloaded {
        }, old{};
        if (::lstat((target + kDownloadSuffix).c_str(), &downloaded) != 0 ||
            !S_ISREG(downloaded.st_mode) || usage.IsInUse(target))
            return std::nullopt;
        const bool hadOld = ::lstat(target.c_str(), &old) == 0;
        if ((hadOld && !S_ISREG(old.st_mode)) || (!hadOld && errno != ENOENT))
            return std::nullopt;
        journal.Files.push_back({name, downloaded.st_ino, hadOld, std::nullopt});
    }
    std::vector<std::string> made;
    for (JournalFile& file : journal.Files) {
        if (!file.HadOld)
            continue;
        const std::string backup = BackupPath(Request.Folder, file.Name, Stamp);
        const bool kept = KeepBackup(Request.Folder + file.Name, backup);
        if (kept)
            made.push_back(backup);
        if (!kept || !(file.Backup = RegularFileId(backup))) {
            for (const std::string& ours : made)
                ::unlink(ours.c_str());
            return std::nullopt;
        }
    }
    SyncFolder(Request.Folder);
    return journal;
}

bool InstallFiles(const ReplacerRequest& Request, const UpgradeJournal& Journal,
                  const std::function<void()>& AfterFirst) {
    for (const JournalFile& file : Journal.Files) {
        const std::string target = Request.Folder + file.Name;
        if (!ReplaceFile(target + kDownloadSuffix, target))
            return false;
        if (AfterFirst && &file == &Journal.Files.front())
            AfterFirst();
    }
    SyncFolder(Request.Folder);
    return true;
}

}  // namespace replacer
