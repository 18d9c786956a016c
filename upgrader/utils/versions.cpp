#include "upgrader/utils/versions.h"

#include <array>
#include <optional>

#include "upgrader/utils/integer_text.h"

namespace upgrader {

namespace {

// A part that is no integer has no value: the texts are compared then. A
// part that is literally "-1" is the number -1.
using VersionPart = std::optional<int>;

std::array<VersionPart, 4> VersionParts(const QByteArray& version) {
    const QByteArray text = version + '.';
    std::array<VersionPart, 4> parts{};
    qsizetype start = 0;
    for (VersionPart& part : parts) {
        const qsizetype dot = start < text.size() ? text.indexOf('.', start) : -1;
        if (dot < 0) {
            part = 0;
            continue;
        }
        part = IntegerFromText(QByteArrayView(text).sliced(start, dot - start));
        start = dot + 1;
    }
    return parts;
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

// Unsigned bytes; a text that is the start of the other is the smaller.
int CompareBytes(const QByteArray& a, const QByteArray& b) {
    return Sign(QByteArrayView(a).compare(b, Qt::CaseSensitive));
}

}  // namespace

int CompareVersions(const QByteArray& V1, const QByteArray& V2) {
    const std::array<VersionPart, 4> first = VersionParts(V1);
    const std::array<VersionPart, 4> second = VersionParts(V2);
    for (int i = 0; i < 4; ++i) {
        if (!first[i] || !second[i])
            return CompareBytes(V1, V2);
        if (*first[i] != *second[i])
            return *first[i] > *second[i] ? 1 : -1;
    }
    return 0;
}

}  // namespace upgrader
