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

}  // namespace upgrader
