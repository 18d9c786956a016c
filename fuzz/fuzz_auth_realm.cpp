// RealmOfChallenge never invents text: the realm is a piece of the challenge
// (backslash escapes aside), and a plain quoted realm comes back exactly.
#include "fuzz/fuzz_input.h"
#include "upgrader/http/auth_realm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray challenge = fuzz::Bytes(data, size);
    const QByteArray unescaped = QByteArray(challenge).replace('\\', "");
    fuzz::Require(unescaped.contains(upgrader::RealmOfChallenge(challenge).replace('\\', "")));
    QByteArray realm = unescaped;
    realm.replace('"', "");
    fuzz::Require(upgrader::RealmOfChallenge("Basic realm=\"" + realm + "\", charset=\"UTF-8\"") ==
                  realm);
    return 0;
}
