#include "upgrader/replacer/file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

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

ReplacedFiles ReplaceDownloadedFiles(const ReplacerRequest& Request,
                                     const std::string& BackupStamp) {
    const std::string programName = fs::path(Request.ExecutablePath).filename().string();
    const FileUsage usage = FileUsage::Scan();
    ReplacedFiles replaced;
    const std::vector<std::string> names =
        Request.Files ? *Request.Files : DownloadedNames(Request.Folder);
    for (const std::string& name : names) {
        if (Request.SetupMode && name == programName)
            continue;
        const std::string target = Request.Folder + name;
        std::string backup;
        if (usage.IsInUse(target) ||
            (!BackupStamp.empty() && !KeepBackup(target, BackupStamp, backup)))
            continue;
        if (!ReplaceFile(target + kDownloadSuffix, target)) {
            if (!backup.empty())
                ::unlink(backup.c_str());
            continue;
        }
        replaced.Installed.push_back({target, backup});
        if (Request.SetupMode && replaced.SetupProgram.empty() && EndsWith(name, "exe")) {
            MakeExecutable(target);
            replaced.SetupProgram = target;
        }
    }
    SyncFolder(Request.Folder);
    return replaced;
}

}  // namespace replacer
