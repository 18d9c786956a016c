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
// The wait a Retry-After header asks for, in seconds from Now (seconds since
// 1970): delta-seconds or an HTTP date (past dates give 0); the last such
// header of the headers counts. Nothing when there is none or it is unreadable.
std::optional<qint64> RetryAfterSeconds(const QByteArray& RawHeaders, qint64 Now);

}  // namespace upgrader
