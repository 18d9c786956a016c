#include "upgrader/info/version_date.h"

#include <optional>

#include "upgrader/utils/integer_text.h"

namespace upgrader {

namespace {

std::optional<QDate> ReadDate(const QByteArray& text) {
    const qsizetype first = text.indexOf('/');
    const qsizetype second = first < 0 ? -1 : text.indexOf('/', first + 1);
    if (second < 0)
        return std::nullopt;
    const auto month = IntegerFromText(QByteArrayView(text).first(first));
    const auto day = IntegerFromText(QByteArrayView(text).sliced(first + 1, second - first - 1));
    const auto year = IntegerFromText(QByteArrayView(text).sliced(second + 1));
    if (!month || !day || !year || *year < 1 || *year > 9999)
        return std::nullopt;
    if (!QDate::isValid(*year, *month, *day))
        return std::nullopt;
    return QDate(*year, *month, *day);
}

}  // namespace

TDateTime ParseVersionDate(const QByteArray& Text) {
    return DateTimeFromDate(ReadDate(Text).value_or(QDate::currentDate()));
}

QByteArray FormatVersionDate(TDateTime Date) {
    const QDate date = QDateTimeFromDateTime(Date).date();
    return QByteArray::number(date.month()).rightJustified(2, '0') + '/' +
           QByteArray::number(date.day()).rightJustified(2, '0') + '/' +
           QByteArray::number(date.year()).rightJustified(4, '0');
}

}  // namespace upgrader
