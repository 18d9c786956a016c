#pragma once

#include <QByteArray>

#include "upgrader/utils/date_time.h"

namespace upgrader {

// Reads an HTTP date (RFC 1123 "Sun, 06 Nov 1994 08:49:37 GMT", RFC 850
// "Sunday, 06-Nov-94 08:49:37 GMT" or asctime "Sun Nov  6 08:49:37 1994"),
// with an optional numeric zone such as "+0200", and gives it in local time.
// Two-digit years below 80 are 20xx, 80 to 99 are 19xx. Empty text and text
// that does not form a date give 0 (absent).
TDateTime ParseHTTPDate(const QByteArray& Text);

}  // namespace upgrader
