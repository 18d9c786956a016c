// Request addresses: EncodeQuery leaves nothing that cannot travel in a
// request line and changes nothing it already made; RequestURL sends no
// blank, control byte or fragment (other bytes of the path go as written).
#include "fuzz/fuzz_input.h"
#include "upgrader/http/request_url.h"

namespace {

// No blank or control byte below 0x20 (DEL is left as written); with
// `ascii`, no byte from 0x80 up either.
bool Travels(const QByteArray& text, const QByteArray& forbidden, bool ascii) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || (ascii && byte > 0x7F) || forbidden.contains(c))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input = fuzz::Bytes(data, size);
    const QByteArray query = upgrader::EncodeQuery(input);
    fuzz::Require(Travels(query, "#*+<>", true));
    fuzz::Require(upgrader::EncodeQuery(query) == query);
    const QByteArray sent = upgrader::RequestURL(input);
    fuzz::Require(Travels(sent, "#", false));
    return 0;
}
