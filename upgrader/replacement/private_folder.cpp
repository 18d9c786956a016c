#include "upgrader/replacement/private_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cstdlib>
#include <cstring>

#include "upgrader/replacer/replacer_files.h"
#include "upgrader/utils/temp_directory.h"

namespace upgrader {

namespace {

bool IsOwnFolder(int Parent, const char* Name) {
    struct stat status {};
    return ::fstatat(Parent, Name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid();
}

// Empties the folder (it holds files only) and removes it, never following
// a link: every name is taken relative to the opened folder. The folder of a
// replacer that still runs is locked by it and stays.
void RemoveFolder(int Parent, const char* Name) {
    const int folder = ::openat(Parent, Name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0)
        return;
    if (::flock(folder, LOCK_EX | LOCK_NB) != 0) {
        ::close(folder);
        return;
    }
    if (DIR* entries = ::fdopendir(folder)) {
        while (const dirent* entry = ::readdir(entries))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                ::unlinkat(folder, entry->d_name, 0);
        ::closedir(entries);
    } else {
        ::close(folder);
    }
    ::unlinkat(Parent, Name, AT_REMOVEDIR);
}

}  // namespace

std::optional<QString> CreateReplacerFolder() {
    QByteArray pattern =
        QFile::encodeName(GetTempDirectory()) + replacer::kReplacerFolderPrefix + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        return std::nullopt;
    return QFile::decodeName(pattern) + u'/';
}

void DeleteEarlierReplacerFolders() {
    const QByteArray temp = QFile::encodeName(GetTempDirectory());
    const int parent = ::open(temp.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent < 0)
        return;
    DIR* entries = ::fdopendir(::dup(parent));
    while (entries != nullptr) {
        const dirent* entry = ::readdir(entries);
        if (entry == nullptr)
            break;
        if (std::strncmp(entry->d_name, replacer::kReplacerFolderPrefix,
                         sizeof replacer::kReplacerFolderPrefix - 1) == 0 &&
            IsOwnFolder(parent, entry->d_name))
            RemoveFolder(parent, entry->d_name);
    }
    if (entries != nullptr)
        ::closedir(entries);
    ::close(parent);
}

}  // namespace upgrader
