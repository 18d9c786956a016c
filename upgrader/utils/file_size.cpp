#include "upgrader/utils/file_size.h"

#include <sys/stat.h>

#include <QFile>

namespace upgrader {

qint64 GetFileSize64(const QString& FileName) {
    struct stat info {};
    if (FileName.isEmpty() || ::stat(QFile::encodeName(FileName).constData(), &info) != 0)
        return -1;
    if (S_ISDIR(info.st_mode))
        return -1;
    return static_cast<qint64>(info.st_size);
}

}  // namespace upgrader
