#include "tests/support/file_contents.h"

#include <QFile>

namespace test_support {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace test_support
