#include "upgrader/http/answer_headers.h"

#include <QByteArrayList>

namespace upgrader {

bool IsStatusLine(const QByteArray& Line) {
    return Line.startsWith("HTTP/");
}

int StatusOfLine(const QByteArray& StatusLine) {
    const QByteArrayList parts = StatusLine.simplified().split(' ');
    bool ok = false;
    const int code = parts.size() > 1 ? parts[1].toInt(&ok) : 0;
    return ok ? code : 0;
}

std::optional<qint64> ContentLengthOf(const std::optional<QByteArray>& Value) {
    bool ok = false;
    const qint64 length = Value ? Value->toLongLong(&ok) : 0;
    return ok && length >= 0 ? std::optional(length) : std::nullopt;
}

std::optional<quint64> RangeStartOf(const QByteArray& ContentRange) {
    const QByteArray range = ContentRange.mid(ContentRange.indexOf(' ') + 1);
    bool ok = false;
    const quint64 start = range.left(range.indexOf('-')).toULongLong(&ok);
    return ok ? std::optional(start) : std::nullopt;
}

}  // namespace upgrader
