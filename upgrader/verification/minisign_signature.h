#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <optional>

namespace upgrader {

// A publisher's key in minisign's form: the key id minisign writes into every
// signature, and the Ed25519 public key.
struct MinisignPublicKey {
    std::array<std::uint8_t, 8> KeyId{};
    std::array<std::uint8_t, 32> Key{};
};

// Reads minisign's public key text: the base64 line "RW..." (of "Ed", the key
// id and the key), alone or as the second line of a ".pub" file after its
// untrusted comment. Nothing for anything else.
std::optional<MinisignPublicKey> ParseMinisignPublicKey(const QByteArray& Text);

enum class TauSignatureCheck {
    Valid,
    Malformed,  // not a ".minisig" file of a known algorithm
    OtherKey,   // made with a key of another id
    Invalid,    // the signature or the trusted comment's signature does not hold
};

// Checks a ".minisig" file against the signed bytes: four lines (untrusted
// comment; base64 of the algorithm, the key id and the Ed25519 signature;
// "trusted comment: <text>"; base64 of the signature over the first
// signature and the text). "Ed" signs the bytes themselves, "ED" their
// BLAKE2b-512 hash. The key id, the signature and the global signature must
// all hold.
TauSignatureCheck VerifyMinisignSignature(const MinisignPublicKey& Key, const QByteArray& Signed,
                                          const QByteArray& SignatureFile);

}  // namespace upgrader
