#include <gtest/gtest.h>

#include "tests/upgrader/local_time_zone.h"
#include "upgrader/utils/http_date.h"

using namespace upgrader;
using upgrader_tests::kCentralEurope;
using upgrader_tests::LocalTimeZone;

namespace {

// The parsed value as local wall-clock text, or "0" for an absent date.
QString LocalText(const QByteArray& text) {
    const TDateTime value = ParseHTTPDate(text);
    if (value == 0)
        return QStringLiteral("0");
    return QDateTimeFromDateTime(value).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

}  // namespace

TEST(ParseHTTPDate, FormsZonesYearsAndTextThatIsNoDate) {
    LocalTimeZone zone(kCentralEurope);
    const std::pair<const char*, const char*> cases[] = {
        // the three forms in local time
        {"Sun, 06 Nov 1994 08:49:37 GMT", "1994-11-06 09:49:37"},
        {"Sunday, 06-Nov-94 08:49:37 GMT", "1994-11-06 09:49:37"},
        {"Sun Nov  6 08:49:37 1994", "1994-11-06 09:49:37"},
        {"  Sun, 06 Nov 1994 08:49:37 GMT \r\n", "1994-11-06 09:49:37"},
        {"06 Nov 1994 08:49:37 GMT", "1994-11-06 09:49:37"},
        {"Nov 06 1994 08:49:37", "1994-11-06 09:49:37"},
        {"sun, 06 nov 1994 08:49:37 gmt", "1994-11-06 09:49:37"},
        {"06-Nov-1994", "1994-11-06 01:00:00"},
        {"06 Nov 1994", "1994-11-06 01:00:00"},
        // The zone's bias at that date counts, not today's: summer time.
        {"Wed, 06 Jul 1994 08:49:37 GMT", "1994-07-06 10:49:37"},
        // weekday prefixes
        {"Mon, 07 Nov 1994 08:49:37 GMT", "1994-11-07 09:49:37"},
        {"Monday,    07-Nov-94 08:49:37 GMT", "1994-11-07 09:49:37"},
        {"THURSDAY, 10 Nov 1994 08:49:37 GMT", "1994-11-10 09:49:37"},
        // The weekday is not checked against the date.
        {"Fri, 06 Nov 1994 08:49:37 GMT", "1994-11-06 09:49:37"},
        // "Sunny" starts like a weekday: its word is dropped like one.
        {"Sunny 06 Nov 1994 08:49:37 GMT", "1994-11-06 09:49:37"},
        // Not a weekday: the first field must be a day or a month.
        {"Xyz, 06 Nov 1994 08:49:37 GMT", "0"},
        // two digit years
        {"Sunday, 06-Nov-79 08:49:37 GMT", "2079-11-06 09:49:37"},
        {"Sunday, 06-Nov-80 08:49:37 GMT", "1980-11-06 09:49:37"},
        {"Sunday, 06-Nov-99 08:49:37 GMT", "1999-11-06 09:49:37"},
        {"Sunday, 06-Nov-00 08:49:37 GMT", "2000-11-06 09:49:37"},
        {"Sun Nov  6 08:49:37 94", "1994-11-06 09:49:37"},
        {"Sun, 06 Nov 1900 08:49:37 GMT", "1900-11-06 09:49:37"},
        // numeric zones
        {"06 Nov 1994 08:49:37 +0200", "1994-11-06 07:49:37"},
        {"06 Nov 1994 08:49:37 -0130", "1994-11-06 11:19:37"},
        {"06 Nov 1994 08:49:37   +0100", "1994-11-06 08:49:37"},
        {"06 Nov 1994 00:10:00 +0100", "1994-11-06 00:10:00"},
        {"01 Jan 1995 00:30:00 +0200", "1994-12-31 23:30:00"},
        // Shorter rests and unreadable offsets count as universal time.
        {"06 Nov 1994 08:49:37 UTC", "1994-11-06 09:49:37"},
        {"06 Nov 1994 08:49:37 +02", "1994-11-06 09:49:37"},
        {"06 Nov 1994 08:49:37 +02xx", "1994-11-06 09:49:37"},
        {"06 Nov 1994 08:49:37 +2500", "1994-11-06 09:49:37"},
        {"06 Nov 1994 08:49:37 EST+0500", "1994-11-06 09:49:37"},
        // text that is no date gives zero
        {"", "0"},
        {"   ", "0"},
        {"garbage", "0"},
        {"Sun, 31 Feb 1994 08:49:37 GMT", "0"},
        {"Sun, 06 Foo 1994 08:49:37 GMT", "0"},
        {"Sun, 06 Nov 1994 25:49:37 GMT", "0"},
        {"Sun, 06 Nov 1994 08:60:37 GMT", "0"},
        {"Sun, 06 Nov 1994 08:49:-1 GMT", "0"},
        {"Sun, 06 Nov 10000 08:49:37 GMT", "0"},
        {"Sun, 06 Nov -5 08:49:37 GMT", "0"},
        {"Sun, 00 Nov 1994 08:49:37 GMT", "0"},
        // Parts that are no number read as their defaults: day 1, time 0.
        {"Sun, xx Nov 1994 08:49:37 GMT", "1994-11-01 09:49:37"},
        {"Sun, 06 Nov 1994 aa:bb:cc GMT", "1994-11-06 01:00:00"},
        {"Nov", "1900-11-01 01:00:00"},
    };
    for (const auto& [text, local] : cases)
        EXPECT_EQ(LocalText(text), QString::fromUtf8(local)) << text;
    EXPECT_EQ(QDateTimeFromDateTime(ParseHTTPDate("Sun, 06 Nov 100 08:49:37 GMT")).date().year(),
              100)
        << "three-digit years are taken as written";
}
