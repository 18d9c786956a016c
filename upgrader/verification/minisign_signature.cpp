#include "upgrader/verification/minisign_signature.h"

#include <sodium.h>

#include <QList>
#include <cstring>

namespace upgrader {

namespace {

constexpr qsizetype kAlgorithmSize = 2;
constexpr qsizetype kKeyIdSize = 8;
constexpr qsizetype kSignatureSize = crypto_sign_BYTES;
const QByteArray kUntrustedPrefix = "untrusted comment: ";
const QByteArray kTrustedPrefix = "trusted comment: ";

// The whole line as base64 of exactly Size bytes, or nothing.
std::optional<QByteArray> DecodeBase64(const QByteArray& Line, qsizetype Size) {
    QByteArray bytes(Size + 1, '\0');
    size_t decoded = 0;
    const char* end = nullptr;
    if (sodium_base642bin(reinterpret_cast<unsigned char*>(bytes.data()), size_t(bytes.size()),
                          Line.constData(), size_t(Line.size()), nullptr, &decoded, &end,
                          sodium_base64_VARIANT_ORIGINAL) != 0 ||
        end != Line.constData() + Line.size() || qsizetype(decoded) != Size)
        return std::nullopt;
    bytes.truncate(Size);
    return bytes;
}

// The text's lines without their CR; one final line end is allowed.
QList<QByteArray> Lines(const QByteArray& Text) {
    QList<QByteArray> lines = Text.split('\n');
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

bool SignatureHolds(const QByteArray& Signature, const QByteArray& Message,
                    const MinisignPublicKey& Key) {
    return crypto_sign_verify_detached(
               reinterpret_cast<const unsigned char*>(Signature.constData()),
               reinterpret_cast<const unsigned char*>(Message.constData()), size_t(Message.size()),
               Key.Key.data()) == 0;
}

QByteArray Blake2b512(const QByteArray& Bytes) {
    QByteArray hash(crypto_generichash_BYTES_MAX, '\0');
    crypto_generichash(reinterpret_cast<unsigned char*>(hash.data()), size_t(hash.size()),
                       reinterpret_cast<const unsigned char*>(Bytes.constData()),
                       size_t(Bytes.size()), nullptr, 0);
    return hash;
}

}  // namespace

std::optional<MinisignPublicKey> ParseMinisignPublicKey(const QByteArray& Text) {
    QList<QByteArray> lines = Lines(Text.trimmed());
    if (lines.size() == 2 && lines.first().startsWith(kUntrustedPrefix))
        lines.removeFirst();
    if (lines.size() != 1 || sodium_init() < 0)
        return std::nullopt;
    const std::optional<QByteArray> bytes =
        DecodeBase64(lines.first().trimmed(), kAlgorithmSize + kKeyIdSize + 32);
    if (!bytes || !bytes->startsWith("Ed"))
        return std::nullopt;
    MinisignPublicKey key;
    std::memcpy(key.KeyId.data(), bytes->constData() + kAlgorithmSize, kKeyIdSize);
    std::memcpy(key.Key.data(), bytes->constData() + kAlgorithmSize + kKeyIdSize, 32);
    return key;
}

TauSignatureCheck VerifyMinisignSignature(const MinisignPublicKey& Key, const QByteArray& Signed,
                                          const QByteArray& SignatureFile,
                                          QByteArray* TrustedComment) {
    const QList<QByteArray> lines = Lines(SignatureFile);
    if (lines.size() != 4 || !lines[0].startsWith(kUntrustedPrefix) ||
        !lines[2].startsWith(kTrustedPrefix) || sodium_init() < 0)
        return TauSignatureCheck::Malformed;
    const std::optional<QByteArray> signature =
        DecodeBase64(lines[1], kAlgorithmSize + kKeyIdSize + kSignatureSize);
    const std::optional<QByteArray> global = DecodeBase64(lines[3], kSignatureSize);
    if (!signature || !global)
        return TauSignatureCheck::Malformed;
    if (!signature->startsWith("ED"))
        return TauSignatureCheck::Malformed;
    if (std::memcmp(signature->constData() + kAlgorithmSize, Key.KeyId.data(), kKeyIdSize) != 0)
        return TauSignatureCheck::OtherKey;
    const QByteArray fileSignature = signature->right(kSignatureSize);
    const QByteArray trustedComment = lines[2].mid(kTrustedPrefix.size());
    if (!SignatureHolds(fileSignature, Blake2b512(Signed), Key) ||
        !SignatureHolds(*global, fileSignature + trustedComment, Key))
        return TauSignatureCheck::Invalid;
    if (TrustedComment != nullptr)
        *TrustedComment = trustedComment;
    return TauSignatureCheck::Valid;
}

std::optional<std::vector<MinisignPublicKey>> ParseMinisignPublicKeys(const QByteArray& Text) {
    std::vector<MinisignPublicKey> keys;
    for (const QByteArray& line : Text.simplified().split(' ')) {
        const std::optional<MinisignPublicKey> key = ParseMinisignPublicKey(line);
        if (!key)
            return std::nullopt;
        keys.push_back(*key);
    }
    return keys;
}

TauSignatureCheck VerifyMinisignSignature(const std::vector<MinisignPublicKey>& Keys,
                                          const QByteArray& Signed, const QByteArray& SignatureFile,
                                          QByteArray* TrustedComment) {
    TauSignatureCheck result = TauSignatureCheck::OtherKey;
    for (const MinisignPublicKey& key : Keys)
        if ((result = VerifyMinisignSignature(key, Signed, SignatureFile, TrustedComment)) !=
            TauSignatureCheck::OtherKey)
            break;
    return result;
}

}  // namespace upgrader
