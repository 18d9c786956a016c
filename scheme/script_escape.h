#pragma once

#include <QByteArray>
#include <QString>

namespace scheme {

// Text placed between the double quotes of a script line of the listing. The
// result is plain ASCII, so it reads the same in any page encoding: a double
// quote or a backslash gets a backslash before it, and every character that
// is not printable ASCII, or that could end the script element or start
// markup ("<", ">", "&"), becomes "\u" and four upper-case hexadecimal digits
// (UTF-16 units, so characters beyond U+FFFF become their surrogate pair).
QByteArray ScriptEscape(const QString& text);

// The address part of a listing link for an entry's name as the file system
// stores it (bytes, not always UTF-8): every byte but letters, digits, "-",
// ".", "_" and "~" percent-encoded ("+" as "%2B", a space as "%20"), so that
// the handler's own decoding gives the same bytes back.
QByteArray LinkTarget(const QByteArray& rawName);

}  // namespace scheme
