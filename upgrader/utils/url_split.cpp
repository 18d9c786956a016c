#include "upgrader/utils/url_split.h"

#include "upgrader/utils/curl_url.h"

#include <curl/curl.h>

#include <memory>

namespace upgrader {

namespace {

// The longest decoded part of each kind the upgrader accepts.
constexpr qsizetype kMaxScheme = 32;
constexpr qsizetype kMaxHost = 256;
constexpr qsizetype kMaxLogin = 128;
constexpr qsizetype kMaxPath = 2048;

QByteArray DecodedPart(CURLU* url, CURLUPart part) {
    return QByteArray::fromPercentEncoding(RawUrlPart(url, part));
}

QByteArray ExtraInfoOf(CURLU* url) {
    char* text = nullptr;
    QByteArray extra;
    if (curl_url_get(url, CURLUPART_QUERY, &text, 0) == CURLUE_OK && text != nullptr) {
        extra = "?" + QByteArray(text);
        curl_free(text);
    }
    text = nullptr;
    if (curl_url_get(url, CURLUPART_FRAGMENT, &text, 0) == CURLUE_OK && text != nullptr) {
        extra += "#" + QByteArray(text);
        curl_free(text);
    }
    return QByteArray::fromPercentEncoding(extra);
}

quint16 PortOf(CURLU* url) {
    const QByteArray port = RawUrlPart(url, CURLUPART_PORT, CURLU_DEFAULT_PORT);
    return static_cast<quint16>(port.toUInt());
}

// The text after the last "\" or ":", "/" counting as "\".
QByteArray LastElement(QByteArray path) {
    path.replace('/', '\\');
    const qsizetype cut = std::max(path.lastIndexOf('\\'), path.lastIndexOf(':'));
    return path.mid(cut + 1);
}

}  // namespace

bool SplitURL(const QByteArray& URL, TauURLParts& Parts) {
    const QByteArray full = WithHttpScheme(URL);
    if (full.contains('\0'))
        return false;
    UrlHandle url(curl_url());
    if (!url)
        return false;
    const unsigned flags = CURLU_NON_SUPPORT_SCHEME | CURLU_PATH_AS_IS | CURLU_ALLOW_SPACE;
    if (curl_url_set(url.get(), CURLUPART_URL, full.constData(), flags) != CURLUE_OK)
        return false;

    TauURLParts parts;
    parts.Scheme = DecodedPart(url.get(), CURLUPART_SCHEME);
    parts.HostName = DecodedPart(url.get(), CURLUPART_HOST);
    parts.Port = PortOf(url.get());
    parts.UserName = DecodedPart(url.get(), CURLUPART_USER);
    parts.Password = DecodedPart(url.get(), CURLUPART_PASSWORD);
    parts.UrlPath = DecodedPart(url.get(), CURLUPART_PATH);
    parts.ExtraInfo = ExtraInfoOf(url.get());
    if (parts.Scheme.size() > kMaxScheme || parts.HostName.size() > kMaxHost ||
        parts.UserName.size() > kMaxLogin || parts.Password.size() > kMaxLogin ||
        parts.UrlPath.size() > kMaxPath || parts.ExtraInfo.size() > kMaxPath)
        return false;
    Parts = parts;
    return true;
}

QByteArray URLToHostName(const QByteArray& URL) {
    TauURLParts parts;
    return SplitURL(URL, parts) ? parts.HostName : QByteArray();
}

QByteArray URLToFileName(const QByteArray& URL) {
    TauURLParts parts;
    return SplitURL(URL, parts) ? LastElement(parts.UrlPath) : QByteArray();
}

QByteArray PathToFileName(const QByteArray& Path) {
    return LastElement(Path);
}

}  // namespace upgrader
