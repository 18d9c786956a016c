#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

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
// One or more "RW..." lines separated by blanks or line ends (a publisher
// rolling over to a new key trusts both for a while); nothing when any of
// them is not a key, or there is none.
std::optional<std::vector<MinisignPublicKey>> ParseMinisignPublicKeys(const QByteArray& Text);

enum class TauSignatureCheck {
    Valid,
    Malformed,  // not a ".minisig" file of a known algorithm
    OtherKey,   // made with a key of another id
    Invalid,    // the signature or the trusted comment's signature does not hold
};

// Checks a ".minisig" file against the signed bytes: four lines (untrusted
// comment; base64 of the algorithm, the key id and the Ed25519 signature;
// "trusted comment: <text>"; base64 of the signature over the first
// signature and the text). Only the prehashed form "ED" (the signature of
// the bytes' BLAKE2b-512 hash) is taken, the form the publisher's tool
// makes: minisign's legacy "Ed" over the bytes themselves, or an "ED"
// signature relabelled "Ed", is Malformed. The key id, the signature and
// the global signature must all hold.
// A valid signature's trusted comment goes to TrustedComment when given.
TauSignatureCheck VerifyMinisignSignature(const MinisignPublicKey& Key, const QByteArray& Signed,
                                          const QByteArray& SignatureFile,
                                          QByteArray* TrustedComment = nullptr);
// The same against the key, among several, whose id the signature names.
TauSignatureCheck VerifyMinisignSignature(const std::vector<MinisignPublicKey>& Keys,
                                          const QByteArray& Signed, const QByteArray& SignatureFile,
                                          QByteArray* TrustedComment = nullptr);

}  // namespace upgrader
