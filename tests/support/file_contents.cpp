#include "tests/support/file_contents.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>

namespace test_support {

QByteArray ReadFile(const QString& path, const QByteArray& ifUnreadable) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : ifUnreadable;
}

QString WriteFile(const QString& path, const QByteArray& content, int mode) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
                file.flush() && ::fchmod(file.handle(), mode_t(mode)) == 0)
        << "cannot write " << path.toStdString();
    return path;
}

int FileMode(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0
               ? static_cast<int>(status.st_mode & 07777)
               : -1;
}

}  // namespace test_support
