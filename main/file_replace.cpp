#include "main/file_replace.h"

#include <unistd.h>
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

// Where the folder takes no new file but the file itself may be written (a
// program folder the user may not change): the content is written over the
// old one in place, then cut to its length and synced to disk.
void RewriteInPlace(const QString& path, const QByteArray& content) {
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadWrite))
        RaiseLastError();
    errno = 0;
    if (file.write(content) != content.size() || !file.resize(content.size()) || !file.flush() ||
        ::fsync(file.handle()) != 0)
        RaiseLastError();
}

}  // namespace

void ReplaceFileContent(const QString& path, const QByteArray& content) {
    const QFileInfo existing(path);
    if (existing.exists() && (existing.isDir() || !existing.isWritable()))
        throw common::FileError(existing.isDir() ? EISDIR : EACCES);
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        if ((errno == EACCES || errno == EPERM || errno == EROFS) && existing.isFile()) {
            RewriteInPlace(path, content);
            return;
        }
        RaiseLastError();
    }
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
