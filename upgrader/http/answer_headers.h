#pragma once

#include <QByteArray>
#include <optional>

namespace upgrader {

// Readers of the server's answer, all of it outside input.

// Whether a header line starts an answer ("HTTP/1.1 200 OK").
bool IsStatusLine(const QByteArray& Line);
// The status code of a status line; 0 when it has none.
int StatusOfLine(const QByteArray& StatusLine);
// A Content-Length value: a decimal number from 0 up; nothing otherwise.
std::optional<qint64> ContentLengthOf(const std::optional<QByteArray>& Value);
// The first byte of a Content-Range value ("bytes 100-199/1000" gives 100).
std::optional<quint64> RangeStartOf(const QByteArray& ContentRange);

}  // namespace upgrader
