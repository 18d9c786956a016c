#pragma once

#include <sys/stat.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <stdexcept>

#include "tests/support/file_contents.h"

namespace upgrader_test {

// Bytes that differ from position to position (so a misplaced piece shows).
inline QByteArray Pattern(qsizetype size, int seed = 0) {
    QByteArray data(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char((i * 7 + seed * 13 + i / 251) & 0xFF);
    return data;
}

// Writes the whole file, with the permission bits given (octal, e.g. 0644).
inline QString WriteFile(const QString& path, const QByteArray& content, int mode = 0644) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size() || !file.flush() ||
        ::fchmod(file.handle(), mode_t(mode)) != 0)
        throw std::runtime_error("cannot write " + path.toStdString());
    return path;
}

// The file's content, or "<missing>".
inline QByteArray ReadFile(const QString& path) {
    return test_support::ReadFile(path, "<missing>");
}

}  // namespace upgrader_test
