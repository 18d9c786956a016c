#pragma once

#include <QByteArray>
#include <QString>

namespace upgrader {

// Whether the text is a SHA-256 as the info file writes it: 64 hex digits.
bool IsSha256Text(const QByteArray& Text);

// Whether the file's bytes have the SHA-256 Expected (hex, either case);
// false when Expected is not a SHA-256 or the file cannot be read whole.
bool FileHasSha256(const QString& Path, const QByteArray& Expected);

}  // namespace upgrader
