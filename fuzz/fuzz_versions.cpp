// CompareVersions: antisymmetric on any two texts (split at a NUL byte), and
// on versions made of plain numbers the order of their first four numbers,
// transitive with it. (Where a part is no number the whole texts are compared
// byte by byte, which is not transitive together with the numeric order:
// "1.2x" > "1.20" > "1.3" > "1.2x". Published info files rely on that rule.)
#include <QByteArrayList>
#include <algorithm>
#include <array>

#include "fuzz/fuzz_input.h"
#include "upgrader/utils/versions.h"

namespace {

using Numbers = std::array<int, 4>;

// Up to six numbers from -128 to 127, one a byte, and their text "a.b.c".
QByteArray VersionOf(const QByteArray& bytes, Numbers& firstFour) {
    firstFour = {};
    QByteArray text;
    for (qsizetype i = 0; i < std::min<qsizetype>(bytes.size(), 6); ++i) {
        const int number = static_cast<signed char>(bytes[i]);
        if (i < 4)
            firstFour[i] = number;
        text += (i ? "." : "") + QByteArray::number(number);
    }
    return text;
}

int Reference(const Numbers& a, const Numbers& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> texts = fuzz::Bytes(data, size).split('\0');
    const QByteArray& a = texts.value(0);
    const QByteArray& b = texts.value(1);
    const int ab = upgrader::CompareVersions(a, b);
    fuzz::Require(ab >= -1 && ab <= 1);
    fuzz::Require(upgrader::CompareVersions(b, a) == -ab);
    fuzz::Require(upgrader::CompareVersions(a, a) == 0);

    // An empty text is no version (it is older than any); both have one.
    if (a.isEmpty() || b.isEmpty())
        return 0;
    Numbers first, second;
    const QByteArray versionA = VersionOf(a, first), versionB = VersionOf(b, second);
    fuzz::Require(upgrader::CompareVersions(versionA, versionB) == Reference(first, second));
    return 0;
}
