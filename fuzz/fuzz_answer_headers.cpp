// The readers of a server's answer on any text, and on well-formed values
// made of the input's numbers the number they carry.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "upgrader/http/answer_headers.h"

using namespace upgrader;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text = fuzz::Bytes(data, size);
    IsStatusLine(text);
    StatusOfLine(text);
    RangeStartOf(text);
    fuzz::Require(ContentLengthOf(text).value_or(0) >= 0);

    if (size < 12)
        return 0;
    quint64 start = 0;
    qint64 length = 0;
    std::memcpy(&start, data, 8);
    std::memcpy(&length, data + 8, 4);
    const int code = 100 + static_cast<int>(start % 900);
    length = length < 0 ? -length : length;
    fuzz::Require(StatusOfLine("HTTP/1.1 " + QByteArray::number(code) + " " + text) == code);
    fuzz::Require(ContentLengthOf(QByteArray::number(length)) == length);
    fuzz::Require(ContentLengthOf(QByteArray::number(-length - 1)) == std::nullopt);
    fuzz::Require(RangeStartOf("bytes " + QByteArray::number(start) + "-" +
                               QByteArray::number(start + 9) + "/*") == start);
    return 0;
}
