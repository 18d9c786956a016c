#include "upgrader/utils/file_attributes.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>

namespace upgrader {

namespace {
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
}

bool SetFileAttributesFromSet(const QString& FileName, TauFileAttributes Attributes) {
    const QByteArray path = QFile::encodeName(FileName);
    struct stat info {};
    if (FileName.isEmpty() || ::stat(path.constData(), &info) != 0)
        return false;
    const mode_t permissions = info.st_mode & 07777;
    const mode_t wanted =
        Attributes.testFlag(atrReadOnly) ? permissions & ~kWriteBits : permissions | S_IWUSR;
    return wanted == permissions || ::chmod(path.constData(), wanted) == 0;
}

bool GetFileAttributesAsSet(const QString& FileName, TauFileAttributes& Attributes) {
    struct stat info {};
    if (FileName.isEmpty() || ::lstat(QFile::encodeName(FileName).constData(), &info) != 0)
        return false;
    TauFileAttributes found;
    if ((info.st_mode & kWriteBits) == 0)
        found |= atrReadOnly;
    if (QFileInfo(FileName).fileName().startsWith(u'.'))
        found |= atrHidden;
    if (!S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode))
        found |= atrSystem;
    Attributes = found;
    return true;
}

}  // namespace upgrader
