#pragma once

#include <QByteArray>

#include "upgrader/utils/date_time.h"

namespace upgrader {

// Reads a release date written month/day/year ("12/31/2016"; the year as
// written, "01/03/17" is the year 17). Text that is no valid date in the years
// 1 to 9999 reads as today's local date. Gives the day (no time of day).
TDateTime ParseVersionDate(const QByteArray& Text);

// Writes the date as two-digit month, "/", two-digit day, "/", four-digit
// year: 3 January 2017 is "01/03/2017".
QByteArray FormatVersionDate(TDateTime Date);

}  // namespace upgrader
