#pragma once

#include <curl/curl.h>

#include <QByteArray>
#include <QString>
#include <memory>

namespace upgrader {

// libcurl's URL handle, freed with its owner.
struct UrlHandleDeleter {
    void operator()(CURLU* handle) const { curl_url_cleanup(handle); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlHandleDeleter>;

// The raw (still escaped) text of one part; empty when the URL has none.
QByteArray RawUrlPart(CURLU* url, CURLUPart part, unsigned flags = 0);

// The URL with "http://" in front when it holds no "://".
QByteArray WithHttpScheme(const QByteArray& url);
QString WithHttpScheme(const QString& url);

// Whether the URL (with "http://" in front when it holds no "://") is an
// http or https address with a host, as libcurl parses it.
bool IsWebAddress(const QByteArray& url);

}  // namespace upgrader
