#pragma once

#include <QByteArray>
#include <QObject>
#include <optional>

namespace upgrader {

// A component that holds the HTTP credentials of its transfers.
class TauLoginComponent : public QObject {
  public:
    explicit TauLoginComponent(QObject* Owner = nullptr) : QObject(Owner) {}

    QByteArray HTTPUsername;
    QByteArray HTTPPassword;

    // The credentials in their stored form (see EncodeLoginInfo); empty when
    // both are empty or they do not fit.
    QByteArray LInfo() const;
    // Takes the credentials from their stored form; false, changing nothing,
    // when the data is not such a form.
    bool SetLInfo(const QByteArray& Data);
};

// The stored form of a user name and password: a byte N (the sum of both
// lengths plus one), then N bytes combined by XOR with N XOR a fixed key:
// the user name's length, the user name, the password. Together they hold at
// most 126 bytes; longer credentials, or none at all, have no stored form
// (empty result).
QByteArray EncodeLoginInfo(const QByteArray& UserName, const QByteArray& Password);

struct TauLoginInfo {
    QByteArray UserName;
    QByteArray Password;
};
// Reads the stored form; nothing when it is malformed (N of 0 or above 127,
// data shorter than N, a user-name length beyond the data).
std::optional<TauLoginInfo> DecodeLoginInfo(const QByteArray& Data);

}  // namespace upgrader
