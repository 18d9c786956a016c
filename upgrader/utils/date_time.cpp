#include "upgrader/utils/date_time.h"

#include <cmath>

namespace upgrader {

namespace {
const QDate kDayZero(1899, 12, 30);
constexpr double kMsecsPerDay = 86400000.0;
}  // namespace

TDateTime DateTimeFromQDateTime(const QDateTime& value) {
    const QDateTime local = value.toLocalTime();
    const double days = static_cast<double>(kDayZero.daysTo(local.date()));
    const double fraction = local.time().msecsSinceStartOfDay() / kMsecsPerDay;
    return days >= 0 ? days + fraction : days - fraction;
}

TDateTime DateTimeFromDate(const QDate& date) {
    return static_cast<double>(kDayZero.daysTo(date));
}

QDateTime QDateTimeFromDateTime(TDateTime value) {
    double wholeDays = std::trunc(value);
    qint64 msecs = std::llround(std::fabs(value - wholeDays) * kMsecsPerDay);
    if (msecs >= static_cast<qint64>(kMsecsPerDay)) {
        msecs = 0;
        wholeDays += value >= 0 ? 1 : -1;
    }
    const QDate date = kDayZero.addDays(static_cast<qint64>(wholeDays));
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(msecs)));
}

}  // namespace upgrader
