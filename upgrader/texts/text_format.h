#pragma once

#include <variant>

#include <QList>
#include <QString>

namespace upgrader {

// An argument of a formatted text: a text, a whole number or a real number.
using TextArgument = std::variant<QString, qint64, double>;

// Fills the printf-like placeholders of Format with the arguments in order:
// "%s" a text, "%d" a whole number ("%.2d": at least two digits), "%f" a real
// number ("%.1f": one decimal; two without a precision), "%%" a percent sign.
// A number is written with a "." as decimal point. An argument of another
// kind is converted; a placeholder without an argument is left out; anything
// else after "%" stays as it is. Safe for any text and any arguments.
QString FormatText(const QString& Format, const QList<TextArgument>& Arguments);

}  // namespace upgrader
