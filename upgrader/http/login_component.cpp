#include "upgrader/http/login_component.h"

namespace upgrader {

namespace {

constexpr quint8 kLoginInfoKey = 0xA7;
constexpr qsizetype kMaxLoginBytes = 126;

QByteArray Scrambled(QByteArray bytes, quint8 key) {
    for (char& byte : bytes)
        byte = static_cast<char>(static_cast<quint8>(byte) ^ key);
    return bytes;
}

}  // namespace

QByteArray EncodeLoginInfo(const QByteArray& UserName, const QByteArray& Password) {
    const qsizetype total = UserName.size() + Password.size();
    if (total == 0 || total > kMaxLoginBytes)
        return {};
    const auto n = static_cast<quint8>(total + 1);
    const QByteArray plain = char(UserName.size()) + UserName + Password;
    return char(n) + Scrambled(plain, n ^ kLoginInfoKey);
}

std::optional<TauLoginInfo> DecodeLoginInfo(const QByteArray& Data) {
    if (Data.isEmpty())
        return std::nullopt;
    const auto n = static_cast<quint8>(Data[0]);
    if (n == 0 || n > kMaxLoginBytes + 1 || Data.size() < 1 + n)
        return std::nullopt;
    const QByteArray plain = Scrambled(Data.mid(1, n), n ^ kLoginInfoKey);
    const auto userLength = static_cast<quint8>(plain[0]);
    if (userLength > n - 1)
        return std::nullopt;
    return TauLoginInfo{plain.mid(1, userLength), plain.mid(1 + userLength)};
}

QByteArray TauLoginComponent::LInfo() const {
    return EncodeLoginInfo(HTTPUsername, HTTPPassword);
}

bool TauLoginComponent::SetLInfo(const QByteArray& Data) {
    const std::optional<TauLoginInfo> info = DecodeLoginInfo(Data);
    if (!info)
        return false;
    HTTPUsername = info->UserName;
    HTTPPassword = info->Password;
    return true;
}

}  // namespace upgrader
