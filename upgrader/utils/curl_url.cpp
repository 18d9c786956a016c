#include "upgrader/utils/curl_url.h"

namespace upgrader {

QByteArray RawUrlPart(CURLU* url, CURLUPart part, unsigned flags) {
    char* text = nullptr;
    if (curl_url_get(url, part, &text, flags) != CURLUE_OK || text == nullptr)
        return {};
    QByteArray result(text);
    curl_free(text);
    return result;
}

QByteArray WithHttpScheme(const QByteArray& url) {
    return url.contains("://") ? url : "http://" + url;
}

QString WithHttpScheme(const QString& url) {
    return url.contains(u"://") ? url : QStringLiteral("http://") + url;
}

bool IsWebAddress(const QByteArray& url) {
    const UrlHandle handle(curl_url());
    if (!handle || url.contains('\0') ||
        curl_url_set(handle.get(), CURLUPART_URL, WithHttpScheme(url).constData(),
                     CURLU_ALLOW_SPACE) != CURLUE_OK)
        return false;
    const QByteArray scheme = RawUrlPart(handle.get(), CURLUPART_SCHEME);
    return (scheme == "http" || scheme == "https") &&
           !RawUrlPart(handle.get(), CURLUPART_HOST).isEmpty();
}

}  // namespace upgrader
