#include "tests/support/file_contents.h"

#include <gtest/gtest.h>

#include <QFile>

namespace test_support {

QByteArray ReadFile(const QString& path, const QByteArray& ifUnreadable) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : ifUnreadable;
}

void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size())
        << "cannot write " << path.toStdString();
}

}  // namespace test_support
