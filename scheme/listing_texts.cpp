#include "scheme/listing_texts.h"

#include <QDate>
#include <QTime>
#include <array>
#include <ctime>

namespace scheme {

namespace {

QString WithoutTimeZone(const QString& timeFormat) {
    QString kept;
    bool quoted = false;
    for (const QChar c : timeFormat) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('t'))
            kept += c;
    }
    return kept.simplified();
}

}  // namespace

QString SizeText(qint64 size) {
    if (size == kUnknownSize)
        return QString();
    if (size < 1024)
        return QStringLiteral("%1 B").arg(size);
    static const std::array<const char*, 5> units = {"kB", "MB", "GB", "TB", "PB"};
    for (size_t i = 0; i < units.size(); ++i) {
        const int unitShift = 10 * static_cast<int>(i + 1);
        if (size < (qint64(1) << (unitShift + 10))) {
            const double value =
                static_cast<double>(size) / static_cast<double>(qint64(1) << unitShift);
            return QStringLiteral("%1 %2").arg(value, 0, 'f', 1).arg(QLatin1String(units[i]));
        }
    }
    return QStringLiteral("big");
}

TDateText::TDateText(const QLocale& locale)
    : locale_(locale),
      dateFormat_(locale.dateFormat(QLocale::ShortFormat)),
      timeFormat_(WithoutTimeZone(locale.timeFormat(QLocale::LongFormat))) {
    tzset();
}

QString TDateText::operator()(qint64 msecsSinceEpoch) const {
    if (msecsSinceEpoch == kUnknownTime)
        return QString();
    // localtime_r reads the zone once per process (tzset in the constructor
    // refreshes it per listing); converting through QDateTime would look at
    // the zone file again for every entry of a large folder.
    const qint64 msecs = ((msecsSinceEpoch % 1000) + 1000) % 1000;
    const time_t seconds = time_t((msecsSinceEpoch - msecs) / 1000);
    struct tm local {};
    if (!localtime_r(&seconds, &local))
        return QString();
    const QDate date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const QTime time(local.tm_hour, local.tm_min, local.tm_sec, int(msecs));
    QString text = locale_.toString(date, dateFormat_);
    if (time != QTime(0, 0)) {
        text += QLatin1Char(' ');
        text += locale_.toString(time, timeFormat_);
    }
    return text;
}

}  // namespace scheme
