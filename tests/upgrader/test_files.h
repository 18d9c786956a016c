#pragma once

#include <QByteArray>
#include <QString>

#include "tests/support/file_contents.h"

namespace upgrader_test {

using test_support::WriteFile;

// Bytes that differ from position to position (so a misplaced piece shows).
inline QByteArray Pattern(qsizetype size, int seed = 0) {
    QByteArray data(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char((i * 7 + seed * 13 + i / 251) & 0xFF);
    return data;
}

// The file's content, or "<missing>".
inline QByteArray ReadFile(const QString& path) {
    return test_support::ReadFile(path, "<missing>");
}

}  // namespace upgrader_test
