#pragma once

#include <QDateTime>

namespace upgrader {

// The day-count date-time the upgrader's interfaces use: days since
// 30 December 1899, the fraction being the time of day. Before that day the
// whole part counts back and the fraction still counts forward (-1.25 is
// 29 December 1899, 06:00).
using TDateTime = double;

// The local date-time as a day count (the time zone of `value` is applied first).
TDateTime DateTimeFromQDateTime(const QDateTime& value);

// The day count of the date's start (a whole number).
TDateTime DateTimeFromDate(const QDate& date);

// The day count as a local date-time, to the millisecond.
QDateTime QDateTimeFromDateTime(TDateTime value);

}  // namespace upgrader
