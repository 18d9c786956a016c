#include "upgrader/utils/http_date.h"

#include <array>
#include <optional>

#include "upgrader/utils/integer_text.h"

namespace upgrader {

namespace {

constexpr std::array<const char*, 7> kWeekdays = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
constexpr std::array<const char*, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                 "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

QByteArray TrimmedLeft(const QByteArray& text) {
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return text.mid(i);
}

QByteArray Trimmed(const QByteArray& text) {
    qsizetype end = text.size();
    while (end > 0 && IsBlank(text[end - 1]))
        --end;
    return TrimmedLeft(text.left(end));
}

// Cuts the text up to the separator off `rest`, with the separator and the
// blanks after it, and gives it.
QByteArray CutField(QByteArray& rest, char separator) {
    const qsizetype at = rest.indexOf(separator);
    if (at < 0)
        return std::exchange(rest, QByteArray());
    QByteArray field = rest.left(at);
    rest = TrimmedLeft(rest.mid(at + 1));
    return field;
}

// 1 to 12 for a month name (the whole field, any letter case), else 0.
int MonthNumber(const QByteArray& field) {
    const QByteArray upper = field.toUpper();
    for (int i = 0; i < 12; ++i)
        if (upper == kMonths[i])
            return i + 1;
    return 0;
}

bool StartsWithWeekday(const QByteArray& text) {
    const QByteArray upper = text.left(3).toUpper();
    for (const char* day : kWeekdays)
        if (upper == day)
            return true;
    return false;
}

// "-" separates day, month and year when the first "-" stands after the first
// character and before the first space (RFC 850), else " ".
char FieldSeparator(const QByteArray& text) {
    const qsizetype dash = text.indexOf('-');
    const qsizetype space = text.indexOf(' ');
    return dash > 0 && (space < 0 || dash < space) ? '-' : ' ';
}

int ExpandedYear(int year) {
    if (year >= 0 && year < 80)
        return year + 2000;
    if (year >= 80 && year < 100)
        return year + 1900;
    return year;
}

// The year; when the next field is no number (asctime: the time stands
// before the year), the year is the rest of the text and the time field
// becomes the rest.
int CutYear(QByteArray& rest) {
    QByteArray field = CutField(rest, ' ');
    if (const auto year = IntegerFromText(field))
        return ExpandedYear(*year);
    const int year = IntegerFromText(rest).value_or(1900);
    rest = field;
    return ExpandedYear(year);
}

std::optional<QTime> CutTimeOfDay(QByteArray& rest) {
    if (!rest.contains(':'))
        return QTime(0, 0);
    QByteArray field = CutField(rest, ' ');
    const int hours = IntegerFromText(CutField(field, ':')).value_or(0);
    const int minutes = IntegerFromText(CutField(field, ':')).value_or(0);
    const int seconds = IntegerFromText(field).value_or(0);
    if (!QTime::isValid(hours, minutes, seconds))
        return std::nullopt;
    return QTime(hours, minutes, seconds);
}

// Offset east of universal time, in seconds, of a rest such as "+0200";
// 0 for "GMT", for shorter rests and for an unreadable offset.
int ZoneOffsetSeconds(const QByteArray& rest) {
    if (rest.size() < 5)
        return 0;
    const QByteArray zone = Trimmed(rest);
    if (zone.size() < 5 || (zone[0] != '+' && zone[0] != '-'))
        return 0;
    for (int i = 1; i < 5; ++i)
        if (zone[i] < '0' || zone[i] > '9')
            return 0;
    const int hours = zone.mid(1, 2).toInt();
    const int minutes = zone.mid(3, 2).toInt();
    if (hours > 23 || minutes > 59)
        return 0;
    const int offset = (hours * 60 + minutes) * 60;
    return zone[0] == '-' ? -offset : offset;
}

// The date and time as written, in the writer's zone; no value when the text
// does not form a date.
std::optional<QDateTime> ReadDateTime(QByteArray rest) {
    if (StartsWithWeekday(rest)) {
        const qsizetype space = rest.indexOf(' ');
        if (space >= 0)
            rest = TrimmedLeft(rest.mid(space + 1));
    }
    const char separator = FieldSeparator(rest);
    int day = 1;
    const qsizetype firstEnd = rest.indexOf(separator);
    int month = MonthNumber(firstEnd < 0 ? rest : rest.left(firstEnd));
    if (month != 0) {
        CutField(rest, separator);
        day = IntegerFromText(CutField(rest, separator)).value_or(1);
    } else {
        day = IntegerFromText(CutField(rest, separator)).value_or(1);
        month = MonthNumber(CutField(rest, separator));
    }
    const int year = CutYear(rest);
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day))
        return std::nullopt;
    const std::optional<QTime> time = CutTimeOfDay(rest);
    if (!time)
        return std::nullopt;
    const int offset = ZoneOffsetSeconds(TrimmedLeft(rest));
    return QDateTime(QDate(year, month, day), *time, Qt::UTC).addSecs(-offset);
}

}  // namespace

TDateTime ParseHTTPDate(const QByteArray& Text) {
    const QByteArray text = Trimmed(Text);
    if (text.isEmpty())
        return 0;
    const std::optional<QDateTime> universal = ReadDateTime(text);
    // Converted with the zone's bias at that date, not today's, so a summer
    // date read in winter keeps its hour.
    return universal ? DateTimeFromQDateTime(*universal) : 0;
}

}  // namespace upgrader
