#include "common/file_error_text.h"

#include <cerrno>

namespace common {

QString FileErrorText(int systemError) {
    switch (systemError) {
        case ENOENT:
        case ENOTDIR:
            return QStringLiteral("File not found");
        case EACCES:
        case EPERM:
        case EROFS:
            return QStringLiteral("File access denied");
        default:
            return QStringLiteral("I/O error %1").arg(systemError);
    }
}

FileError::FileError(int systemError)
    : std::runtime_error(FileErrorText(systemError).toStdString()), systemError_(systemError) {}

}  // namespace common
