#pragma once

#include <QByteArray>
#include <QString>

namespace http_test {

// Bytes that differ from position to position (so a misplaced piece shows).
QByteArray Pattern(qsizetype size, int seed = 0);

// The file's content, or "<missing>".
QByteArray ReadFile(const QString& path);
void WriteFile(const QString& path, const QByteArray& content);

// An htpasswd line for nginx's basic authentication. The password is kept
// plain: no helper process is started (ThreadSanitizer cannot follow the
// processes Qt starts).
QByteArray HtpasswdLine(const QByteArray& user, const QByteArray& password);

}  // namespace http_test
