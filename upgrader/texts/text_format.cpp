#include "upgrader/texts/text_format.h"

#include <cmath>

namespace upgrader {

namespace {

constexpr int kDefaultRealPrecision = 2;
constexpr int kLargestPrecision = 30;

QString AsText(const TextArgument& Argument) {
    if (const auto* text = std::get_if<QString>(&Argument))
        return *text;
    if (const auto* whole = std::get_if<qint64>(&Argument))
        return QString::number(*whole);
    return QString::number(std::get<double>(Argument));
}

qint64 AsWhole(const TextArgument& Argument) {
    if (const auto* whole = std::get_if<qint64>(&Argument))
        return *whole;
    if (const auto* real = std::get_if<double>(&Argument))
        return std::isfinite(*real) ? static_cast<qint64>(*real) : 0;
    return std::get<QString>(Argument).toLongLong();
}

double AsReal(const TextArgument& Argument) {
    if (const auto* real = std::get_if<double>(&Argument))
        return *real;
    if (const auto* whole = std::get_if<qint64>(&Argument))
        return static_cast<double>(*whole);
    return std::get<QString>(Argument).toDouble();
}

QString WholeText(qint64 Value, int Digits) {
    QString digits = QString::number(Value < 0 ? -static_cast<quint64>(Value) : Value);
    if (digits.size() < Digits)
        digits.prepend(QString(Digits - digits.size(), u'0'));
    return Value < 0 ? u'-' + digits : digits;
}

QString Converted(QChar Conversion, int Precision, const TextArgument& Argument) {
    if (Conversion == u'd')
        return WholeText(AsWhole(Argument), Precision);
    if (Conversion == u'f')
        return QString::number(AsReal(Argument), 'f',
                               Precision < 0 ? kDefaultRealPrecision : Precision);
    return AsText(Argument);
}

}  // namespace

QString FormatText(const QString& Format, const QList<TextArgument>& Arguments) {
    QString result;
    int next = 0;
    for (int i = 0; i < Format.size(); ++i) {
        if (Format[i] != u'%' || i + 1 >= Format.size()) {
            result += Format[i];
            continue;
        }
        int j = i + 1;
        int precision = -1;
        if (Format[j] == u'.') {
            precision = 0;
            for (++j; j < Format.size() && Format[j].isDigit(); ++j)
                precision = qMin(kLargestPrecision, precision * 10 + Format[j].digitValue());
        }
        const QChar conversion = j < Format.size() ? Format[j] : QChar();
        if (conversion == u'%' && precision < 0) {
            result += u'%';
        } else if (conversion == u's' || conversion == u'd' || conversion == u'f') {
            if (next < Arguments.size())
                result += Converted(conversion, precision, Arguments[next]);
            ++next;
        } else {
            result += Format.mid(i, j - i);
            i = j - 1;
            continue;
        }
        i = j;
    }
    return result;
}

}  // namespace upgrader
