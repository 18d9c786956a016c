// CompareVersions on any two texts (split at the first NUL byte): an order.
#include "fuzz/fuzz_input.h"
#include "upgrader/utils/versions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input = fuzz::Bytes(data, size);
    const qsizetype cut = input.indexOf('\0');
    const QByteArray first = cut < 0 ? input : input.left(cut);
    const QByteArray second = cut < 0 ? QByteArray() : input.mid(cut + 1);
    const int result = upgrader::CompareVersions(first, second);
    fuzz::Require(result >= -1 && result <= 1);
    fuzz::Require(upgrader::CompareVersions(second, first) == -result);
    fuzz::Require(upgrader::CompareVersions(first, first) == 0);
    return 0;
}
