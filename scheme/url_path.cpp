#include "scheme/url_path.h"

namespace scheme {

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The address without its query and fragment: whichever of "?" and "#" comes
// first ends the part that names the file.
QString WithoutQuery(const QString& url) {
    for (qsizetype i = 0; i < url.size(); ++i)
        if (url[i] == QLatin1Char('?') || url[i] == QLatin1Char('#'))
            return url.left(i);
    return url;
}

// The escaped path of "scheme://host/path" with its leading "/", or a null
// string when the address has no scheme, no "//", no host or no "/" after it.
QString EscapedPathOf(const QString& url) {
    const qsizetype colon = url.indexOf(QLatin1Char(':'));
    if (colon < 0 || url.mid(colon + 1, 2) != QLatin1String("//"))
        return QString();
    const qsizetype hostStart = colon + 3;
    const qsizetype pathStart = url.indexOf(QLatin1Char('/'), hostStart);
    if (pathStart <= hostStart)
        return QString();
    return url.mid(pathStart);
}

}  // namespace

QByteArray PercentDecode(const QByteArray& bytes) {
    QByteArray decoded;
    decoded.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '+') {
            decoded += ' ';
        } else if (c != '%') {
            decoded += c;
        } else if (i + 1 < bytes.size() && bytes[i + 1] == '%') {
            decoded += '%';
            ++i;
        } else {
            if (i + 2 >= bytes.size())
                return QByteArray();
            const int high = HexDigitValue(bytes[i + 1]);
            const int low = HexDigitValue(bytes[i + 2]);
            if (high < 0 || low < 0)
                return QByteArray();
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        }
    }
    return decoded;
}

QByteArray UrlToPath(const QString& url) {
    const QString escapedPath = EscapedPathOf(WithoutQuery(url));
    if (escapedPath.isNull())
        return QByteArray();
    // The path always starts with "/", so an empty result can only mean a bad
    // escape.
    const QByteArray bytes = PercentDecode(escapedPath.toUtf8());
    return bytes.contains('\0') ? QByteArray() : bytes;
}

}  // namespace scheme
