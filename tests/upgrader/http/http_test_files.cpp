#include "tests/upgrader/http/http_test_files.h"

#include <QFile>
#include <stdexcept>

namespace http_test {

QByteArray Pattern(qsizetype size, int seed) {
    QByteArray data(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char((i * 7 + seed * 13 + i / 251) & 0xFF);
    return data;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QByteArray HtpasswdLine(const QByteArray& user, const QByteArray& password) {
    return user + ":{PLAIN}" + password + "\n";
}

}  // namespace http_test
