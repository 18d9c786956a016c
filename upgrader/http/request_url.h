#pragma once

#include <QByteArray>

namespace upgrader {

// Percent-encodes the query of a request: control bytes, bytes from 0x80 up,
// space, "#", "*", "+", "<", ">" and a "%" that starts no %xx escape become
// "%" and two upper-case hexadecimal digits. Escapes already written stay as
// they are, so an encoded "&" or "=" keeps its meaning.
QByteArray EncodeQuery(const QByteArray& Query);

// The address sent to the server for the URL ("http://" is put in front when
// it holds no "://"): the path as written (only blanks and control bytes,
// which cannot travel in a request line, are escaped), the query encoded by
// EncodeQuery, without credentials (they travel apart) and without the
// fragment (never sent). Empty when the URL cannot be parsed.
QByteArray RequestURL(const QByteArray& URL);

}  // namespace upgrader
