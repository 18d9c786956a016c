// SplitURL and the file names on any URL text.
#include "fuzz/fuzz_input.h"
#include "upgrader/utils/url_split.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray url = fuzz::Bytes(data, size);
    upgrader::TauURLParts parts;
    if (upgrader::SplitURL(url, parts)) {
        fuzz::Require(parts.Scheme.size() <= 32 && parts.HostName.size() <= 256);
        fuzz::Require(parts.UserName.size() <= 128 && parts.Password.size() <= 128);
        fuzz::Require(parts.UrlPath.size() <= 2048 && parts.ExtraInfo.size() <= 2048);
    }
    for (const QByteArray& name : {upgrader::URLToFileName(url), upgrader::PathToFileName(url)})
        fuzz::Require(!name.contains('/') && !name.contains('\\') && !name.contains(':'));
    upgrader::URLToHostName(url);
    return 0;
}
