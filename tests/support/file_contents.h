#pragma once

#include <QByteArray>
#include <QString>

namespace test_support {

// The whole content of a file; empty when it cannot be read.
QByteArray ReadFile(const QString& path);

}  // namespace test_support
