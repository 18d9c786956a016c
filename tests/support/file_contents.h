#pragma once

#include <QByteArray>
#include <QString>

namespace test_support {

// The whole content of a file; `ifUnreadable` when it cannot be read (a
// marker such as "<missing>" where a test must tell that from an empty file).
QByteArray ReadFile(const QString& path, const QByteArray& ifUnreadable = {});
// Writes the whole content, failing the test when it cannot.
void WriteFile(const QString& path, const QByteArray& content);

}  // namespace test_support
