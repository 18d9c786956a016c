// The info-file readers on any response body.
#include "fuzz/fuzz_input.h"
#include "upgrader/info/info_file.h"
#include "upgrader/info/version_date.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text = fuzz::Bytes(data, size);
    QList<QByteArray> files;
    upgrader::BuildFileList(text, files);
    for (const QByteArray& file : files) {
        fuzz::Require(!file.isEmpty());
        for (char byte : file)
            fuzz::Require(static_cast<unsigned char>(byte) >= 0x20);
    }
    const upgrader::TauFileHashes hashes = upgrader::TauInfoText(text).FileHashes();
    for (auto hash = hashes.cbegin(); hash != hashes.cend(); ++hash)
        fuzz::Require(files.contains(hash.key()) && !hash.value().isEmpty());
    // A "}" in the notice is only ever the second byte of a character.
    const QByteArray message = upgrader::GetInfoValue(text, "message", true);
    for (qsizetype at = message.indexOf('}'); at >= 0; at = message.indexOf('}', at + 1))
        fuzz::Require(at > 0 && static_cast<unsigned char>(message[at - 1]) >= 0x81);
    const QByteArray version = upgrader::GetInfoValue(text, "version", false);
    fuzz::Require(text.contains(version));
    const upgrader::TacUpgradeMethod method = upgrader::ReadUpgradeMethod(text);
    fuzz::Require(method >= upgrader::umSelfUpgrade && method <= upgrader::umRedirectToURL);
    const upgrader::TDateTime date =
        upgrader::ParseVersionDate(upgrader::GetInfoValue(text, "date", false));
    fuzz::Require(upgrader::ParseVersionDate(upgrader::FormatVersionDate(date)) == date);
    return 0;
}
