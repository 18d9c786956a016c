#include "upgrader/http/answer_headers.h"

#include <QByteArrayList>
#include <algorithm>

#include "upgrader/utils/http_date.h"

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

std::optional<qint64> RetryAfterSeconds(const QByteArray& RawHeaders, qint64 Now) {
    QByteArray value;
    for (const QByteArray& line : RawHeaders.split('\n'))
        if (line.toLower().startsWith("retry-after:"))
            value = line.mid(12).trimmed();
    bool ok = false;
    const qint64 seconds = value.toLongLong(&ok);
    if (ok)
        return seconds >= 0 ? std::optional(seconds) : std::nullopt;
    const TDateTime date = ParseHTTPDate(value);
    if (date == 0)
        return std::nullopt;
    return std::max<qint64>(QDateTimeFromDateTime(date).toSecsSinceEpoch() - Now, 0);
}

}  // namespace upgrader
