#include "main/file_replace.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

#include "common/file_error_text.h"

namespace main_window {

namespace {

// The system's error of the call that just failed; Qt does not always leave
// one behind, and then the failure is an input/output error.
[[noreturn]] void RaiseLastError() {
    throw common::FileError(errno ? errno : EIO);
}

}  // namespace

void ReplaceFileContent(const QString& path, const QByteArray& content) {
    const QFileInfo existing(path);
    if (existing.exists() && (existing.isDir() || !existing.isWritable()))
        throw common::FileError(existing.isDir() ? EISDIR : EACCES);
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        RaiseLastError();
    errno = 0;
    if (file.write(content) != content.size()) {
        const int error = errno;
        file.cancelWriting();
        throw common::FileError(error ? error : EIO);
    }
    errno = 0;
    if (!file.commit())
        RaiseLastError();
}

void CreateFileIfMissing(const QString& path) {
    if (QFileInfo::exists(path))
        return;
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        RaiseLastError();
}

}  // namespace main_window
