#include "upgrader/verification/file_hash.h"

#include <QCryptographicHash>
#include <QFile>
#include <algorithm>

namespace upgrader {

bool IsSha256Text(const QByteArray& Text) {
    return Text.size() == 64 && std::all_of(Text.begin(), Text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
           });
}

bool FileHasSha256(const QString& Path, const QByteArray& Expected) {
    if (!IsSha256Text(Expected))
        return false;
    QFile file(Path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file) || !file.atEnd())
        return false;
    return hash.result().toHex() == Expected.toLower();
}

}  // namespace upgrader
