// ParseHTTPDate on any header text: 0 or a date-time that exists.
#include <cmath>

#include "fuzz/fuzz_input.h"
#include "upgrader/utils/http_date.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const upgrader::TDateTime value = upgrader::ParseHTTPDate(fuzz::Bytes(data, size));
    fuzz::Require(std::isfinite(value));
    if (value != 0)
        fuzz::Require(upgrader::QDateTimeFromDateTime(value).isValid());
    return 0;
}
