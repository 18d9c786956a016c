#pragma once

#include <QByteArray>
#include <QString>

namespace scheme {

// Decodes the escapes of a local address: "%%" gives "%", "%" and two
// hexadecimal digits give that byte, "+" gives a space, every other byte is
// kept. A "%" followed by anything else makes the whole result empty.
QByteArray PercentDecode(const QByteArray& bytes);

// The path on disk that a local address names. Linux has one root: the host
// is required but names no drive, and the path after it is absolute
// ("local://c/etc/" names "/etc/"). The query and fragment are cut from the
// address before decoding, so an escaped "?" or "#" belongs to a name. The
// path is the decoded bytes, as Linux names are bytes: names that are not
// UTF-8 are reached too. Empty when the address has no host, carries a bad
// escape or decodes to a NUL byte (no file can have it in its name).
QByteArray UrlToPath(const QString& url);

}  // namespace scheme
