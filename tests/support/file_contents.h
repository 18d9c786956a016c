#pragma once

#include <QByteArray>
#include <QString>

namespace test_support {

// The whole content of a file; empty when it cannot be read.
QByteArray ReadFile(const QString& path);
// Writes the whole content, failing the test when it cannot.
void WriteFile(const QString& path, const QByteArray& content);

}  // namespace test_support
