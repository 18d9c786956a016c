#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace upgrader {

// The parts of a URL, %xx escapes decoded. `ExtraInfo` is the query and the
// fragment with their leading "?" and "#". URLs are 8-bit text: the bytes are
// taken and given as they are, without any character decoding.
struct TauURLParts {
    QByteArray Scheme;
    QByteArray HostName;
    quint16 Port = 0;  // the scheme's default port when the URL names none
    QByteArray UserName;
    QByteArray Password;
    QByteArray UrlPath;
    QByteArray ExtraInfo;
};

// Splits the URL ("http://" is put in front when it holds no "://"). Fails,
// leaving Parts untouched, when the URL cannot be parsed or a decoded part is
// longer than the upgrader accepts (scheme 32 bytes, host 256, user name and
// password 128 each, path and extra part 2048 each).
bool SplitURL(const QByteArray& URL, TauURLParts& Parts);

// The host of the URL; empty when it cannot be split.
QByteArray URLToHostName(const QByteArray& URL);

// The last element of the URL's path ("/dir/file.exe" gives "file.exe").
QByteArray URLToFileName(const QByteArray& URL);

// The last element of a URL or path taken as a whole: the text after the last
// "/", "\" or ":", so a query string stays in the name.
QByteArray PathToFileName(const QByteArray& Path);

}  // namespace upgrader
