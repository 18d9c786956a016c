#include "upgrader/http/request_url.h"

#include "upgrader/utils/curl_url.h"

#include <curl/curl.h>

#include <memory>

namespace upgrader {

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool StartsEscape(const QByteArray& text, qsizetype at) {
    return at + 2 < text.size() && IsHexDigit(text[at + 1]) && IsHexDigit(text[at + 2]);
}

void AppendEscaped(QByteArray& out, quint8 byte) {
    static const char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

bool QueryNeedsEscape(const QByteArray& query, qsizetype at) {
    const auto byte = static_cast<quint8>(query[at]);
    if (byte < 0x20 || byte >= 0x80)
        return true;
    switch (byte) {
        case ' ':
        case '#':
        case '*':
        case '+':
        case '<':
        case '>':
            return true;
        case '%':
            return !StartsEscape(query, at);
        default:
            return false;
    }
}

QByteArray EscapeBlanksAndControls(const QByteArray& path) {
    QByteArray out;
    out.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<quint8>(c);
        if (byte <= 0x20 || byte == 0x7F)
            AppendEscaped(out, byte);
        else
            out += c;
    }
    return out;
}

}  // namespace

QByteArray EncodeQuery(const QByteArray& Query) {
    QByteArray out;
    out.reserve(Query.size());
    for (qsizetype at = 0; at < Query.size(); ++at) {
        if (QueryNeedsEscape(Query, at))
            AppendEscaped(out, static_cast<quint8>(Query[at]));
        else
            out += Query[at];
    }
    return out;
}

QByteArray RequestURL(const QByteArray& URL) {
    const QByteArray full = WithHttpScheme(URL);
    if (full.contains('\0'))
        return {};
    UrlHandle url(curl_url());
    const unsigned flags = CURLU_NON_SUPPORT_SCHEME | CURLU_PATH_AS_IS | CURLU_ALLOW_SPACE;
    if (!url || curl_url_set(url.get(), CURLUPART_URL, full.constData(), flags) != CURLUE_OK)
        return {};
    const QByteArray path = EscapeBlanksAndControls(RawUrlPart(url.get(), CURLUPART_PATH));
    const QByteArray query = RawUrlPart(url.get(), CURLUPART_QUERY);
    curl_url_set(url.get(), CURLUPART_USER, nullptr, 0);
    curl_url_set(url.get(), CURLUPART_PASSWORD, nullptr, 0);
    curl_url_set(url.get(), CURLUPART_OPTIONS, nullptr, 0);
    curl_url_set(url.get(), CURLUPART_FRAGMENT, nullptr, 0);
    curl_url_set(url.get(), CURLUPART_QUERY, nullptr, 0);
    curl_url_set(url.get(), CURLUPART_PATH, "/", 0);
    QByteArray origin = RawUrlPart(url.get(), CURLUPART_URL);
    if (origin.endsWith('/'))
        origin.chop(1);
    // A host with a blank or control byte cannot be sent anywhere.
    if (EscapeBlanksAndControls(origin) != origin)
        return {};
    QByteArray result = origin + (path.startsWith('/') ? path : "/" + path);
    if (!query.isEmpty())
        result += "?" + EncodeQuery(query);
    return result;
}

}  // namespace upgrader
