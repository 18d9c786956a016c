#include "upgrader/utils/integer_text.h"

#include <charconv>

namespace upgrader {

std::optional<int> IntegerFromText(QByteArrayView text) {
    // from_chars takes a "-" but no "+"; after a "+" no sign may follow.
    if (text.startsWith('+')) {
        text = text.sliced(1);
        if (text.startsWith('-'))
            return std::nullopt;
    }
    int value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.isEmpty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

}  // namespace upgrader
