// The publisher's signature check on any ".minisig" answer and info file:
// input is the signature file, a NUL byte, then the signed bytes. The seeds
// are real signatures by the key below; only they may verify.
#include "fuzz/fuzz_input.h"
#include "upgrader/verification/minisign_signature.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const auto key = upgrader::ParseMinisignPublicKey(
        "RWQXXxYmKhe2uMz4LWc4aJ5WPu66qm0jVYSk2QlOPbnGwPNKAzMI8YS0");
    fuzz::Require(key.has_value());
    const QByteArray input = fuzz::Bytes(data, size);
    const qsizetype split = input.indexOf('\0');
    const QByteArray signature = split < 0 ? input : input.left(split);
    const QByteArray signedBytes = split < 0 ? QByteArray() : input.mid(split + 1);
    const upgrader::TauSignatureCheck check =
        upgrader::VerifyMinisignSignature(*key, signedBytes, signature);
    if (check == upgrader::TauSignatureCheck::Valid)
        fuzz::Require(signedBytes == "#version=2.0.0.6\r\n#url=http://host/update/quorvane\r\n");
    (void)upgrader::ParseMinisignPublicKey(input);
    return 0;
}
