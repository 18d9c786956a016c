#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace fuzz {

inline QByteArray Bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// A broken rule is a crash the fuzzer reports with its input.
inline void Require(bool rule) {
    if (!rule)
        std::abort();
}

}  // namespace fuzz
