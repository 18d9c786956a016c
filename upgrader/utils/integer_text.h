#pragma once

#include <QByteArrayView>
#include <optional>

namespace upgrader {

// The text as a 32-bit signed integer: an optional "+" or "-" followed by
// decimal digits and nothing else. Empty text, blanks, other characters and
// values out of range are not integers.
std::optional<int> IntegerFromText(QByteArrayView text);

}  // namespace upgrader
