#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

namespace test_support {

// The whole content of a file; `ifUnreadable` when it cannot be read (a
// marker such as "<missing>" where a test must tell that from an empty file).
QByteArray ReadFile(const QString& path, const QByteArray& ifUnreadable = {});
// Writes the whole content with the permission bits given (octal), failing
// the test when it cannot; gives the path.
QString WriteFile(const QString& path, const QByteArray& content, int mode = 0644);
// The permission bits of the path itself (a link is not followed), or -1.
int FileMode(const QString& path);

// Makes a temporary folder the process's current folder while it lives.
struct CurrentFolder {
    CurrentFolder() { EXPECT_TRUE(folder.isValid() && QDir::setCurrent(folder.path())); }
    ~CurrentFolder() { QDir::setCurrent(previous); }
    QTemporaryDir folder;
    QString previous = QDir::currentPath();
};

}  // namespace test_support
