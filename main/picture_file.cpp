#include "main/picture_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QFile>

#include "main/picture_error.h"

namespace main_window {
namespace {

[[noreturn]] void RaiseSystemError(int error) {
    throw PictureError(QString::fromLocal8Bit(std::strerror(error)));
}

// Owns an open file descriptor.
class FileHandle {
  public:
    // Non-blocking, so that opening a FIFO cannot hang; regular files read as usual.
    explicit FileHandle(const QByteArray& path)
        : fd_(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {
        if (fd_ < 0)
            RaiseSystemError(errno);
    }
    ~FileHandle() { ::close(fd_); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

qint64 FileSize(const FileHandle& file) {
    struct stat status {};
    if (::fstat(file.fd(), &status) != 0)
        RaiseSystemError(errno);
    if (S_ISDIR(status.st_mode))
        RaiseSystemError(EISDIR);
    if (!S_ISREG(status.st_mode))
        throw PictureError(QStringLiteral("Not a regular file"));
    return status.st_size;
}

}  // namespace

QByteArray ReadPictureFile(const QString& path) {
    FileHandle file(QFile::encodeName(path));
    if (FileSize(file) > kMaxPictureFileBytes)
        RaiseSystemError(EFBIG);
    QByteArray bytes;
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(file.fd(), chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            RaiseSystemError(errno);
        if (count == 0)
            return bytes;
        if (bytes.size() + count > kMaxPictureFileBytes)
            RaiseSystemError(EFBIG);
        bytes.append(chunk, count);
    }
}

}  // namespace main_window
