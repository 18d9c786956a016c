#include "upgrader/http/file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <optional>

#include "upgrader/utils/file_attributes.h"

namespace upgrader {

namespace {

// Makes a hidden, read-only or unreadable file plain for the opening; gives
// the attributes to restore afterwards, if any.
std::optional<TauFileAttributes> MakeWritable(const QString& fileName) {
    TauFileAttributes before;
    const bool known = GetFileAttributesAsSet(fileName, before);
    if (known && !(before & (atrHidden | atrReadOnly)))
        return std::nullopt;
    SetFileAttributesFromSet(fileName, atrArchive);
    return known ? std::optional(before) : std::nullopt;
}

// A symbolic link where the output goes is taken away, so that nothing is
// ever written through it into the file it points to.
void RemoveLink(const QString& FileName) {
    struct stat status {};
    const QByteArray path = QFile::encodeName(FileName);
    if (::lstat(path.constData(), &status) == 0 && S_ISLNK(status.st_mode))
        ::unlink(path.constData());
}

// Opens (creating it when missing) the file itself, never a link's target.
int OpenWithoutFollowing(const QString& FileName, bool Truncate) {
    if (FileName.isEmpty())
        return -1;
    const int flags = O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | (Truncate ? O_TRUNC : 0);
    return ::open(QFile::encodeName(FileName).constData(), flags, 0666);
}

}  // namespace

std::unique_ptr<TauFileStream> OpenOutputFile(const QString& FileName, bool Truncate,
                                              QString& Error) {
    RemoveLink(FileName);
    const std::optional<TauFileAttributes> restore = MakeWritable(FileName);
    auto stream = std::make_unique<TauFileStream>(FileName);
    const int descriptor = OpenWithoutFollowing(FileName, Truncate);
    const QString systemError = QString::fromLocal8Bit(std::strerror(errno));
    const QIODevice::OpenMode mode =
        QIODevice::ReadWrite | (Truncate ? QIODevice::Truncate : QIODevice::OpenModeFlag{});
    const bool opened =
        descriptor >= 0 && stream->open(descriptor, mode, QFileDevice::AutoCloseHandle);
    if (descriptor >= 0 && !opened)
        ::close(descriptor);
    if (restore)
        SetFileAttributesFromSet(FileName, *restore);
    if (opened)
        return stream;
    const QString reason = FileName.isEmpty() ? QStringLiteral("No file name")
                           : descriptor < 0   ? systemError
                                              : stream->errorString();
    Error = QStringLiteral("Cannot create file \"%1\". %2")
                .arg(QFileInfo(FileName).absoluteFilePath(), reason);
    return nullptr;
}

}  // namespace upgrader
