#include "upgrader/http/request_options.h"

#include <algorithm>

#include "upgrader/http/certificate_checks.h"
#include "upgrader/http/proxy_bypass.h"

namespace upgrader {

namespace {

constexpr qint64 kDefaultIdleLimitMs = 60000;
// libcurl reads from the network into a buffer of at least this size (it
// takes 1 KiB to 512 KiB); the body is then handed to the output in chunks of
// the transfer buffer size, so a small transfer buffer does not cost one
// system call per chunk.
constexpr long kSmallestCurlBuffer = 64 * 1024;

bool Set(CURL* handle, CURLoption option, long value) {
    return curl_easy_setopt(handle, option, value) == CURLE_OK;
}

bool Set(CURL* handle, CURLoption option, const QByteArray& value) {
    return curl_easy_setopt(handle, option, value.constData()) == CURLE_OK;
}

bool ApplyMethod(CURL* handle, const TauTransferSettings& settings) {
    if (!PostsForm(settings))
        return Set(handle, CURLOPT_HTTPGET, 1L);
    return Set(handle, CURLOPT_POST, 1L) &&
           curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                            curl_off_t(settings.PostData.size())) == CURLE_OK &&
           Set(handle, CURLOPT_COPYPOSTFIELDS, settings.PostData);
}

bool ApplyProxy(CURL* handle, const TauHTTPProxy& proxy, const QByteArray& host) {
    switch (proxy.AccessType) {
        case atPreconfig:
            return true;  // libcurl reads the proxy environment variables
        case atDirect:
            return Set(handle, CURLOPT_PROXY, QByteArray(""));
        case atUseProxy:
            if (proxy.ProxyServer.trimmed().isEmpty())
                return false;
            return Set(handle, CURLOPT_PROXY,
                       proxy.ProxyServer + ":" + QByteArray::number(proxy.ProxyPort)) &&
                   Set(handle, CURLOPT_NOPROXY, NoProxyList(proxy.ProxyBypass, host));
    }
    return false;
}

// A redirect may not leave HTTPS for HTTP, nor HTTP for HTTPS, unless the
// options allow it.
QByteArray RedirectProtocols(const QByteArray& requestUrl, TauInternetOptions options) {
    const bool secure = requestUrl.toLower().startsWith("https:");
    if (secure)
        return options.testFlag(ioIgnoreRedirectToHTTP) ? "http,https" : "https";
    return options.testFlag(ioIgnoreRedirectToHTTPS) ? "http,https" : "http";
}

bool ApplyInternetOptions(TauCurlRequest& request, const TauTransferSettings& settings,
                          const QByteArray& requestUrl) {
    CURL* handle = request.Handle();
    const TauInternetOptions options = settings.InternetOptions;
    const bool follow = !options.testFlag(ioNoAutoRedirect);
    request.SetFollowsRedirects(follow);
    bool ok = Set(handle, CURLOPT_FOLLOWLOCATION, follow ? 1L : 0L) &&
              Set(handle, CURLOPT_MAXREDIRS, TauCurlRequest::kMostRedirects) &&
              Set(handle, CURLOPT_REDIR_PROTOCOLS_STR, RedirectProtocols(requestUrl, options)) &&
              Set(handle, CURLOPT_FORBID_REUSE, options.testFlag(ioKeepConnection) ? 0L : 1L);
    if (!options.testFlag(ioNoCookies))
        ok = ok && Set(handle, CURLOPT_COOKIEFILE, QByteArray(""));
    return ok && ApplyCertificateOptions(handle, options);
}

long BufferSizeFor(qint32 transferBufferSize) {
    return std::clamp<long>(transferBufferSize, kSmallestCurlBuffer, CURL_MAX_READ_SIZE);
}

}  // namespace

bool ApplyRequestOptions(TauCurlRequest& Request, const TauTransferSettings& Settings,
                         const QByteArray& RequestURL, const QByteArray& Host) {
    CURL* handle = Request.Handle();
    const bool ok =
        Set(handle, CURLOPT_URL, RequestURL) &&
        Set(handle, CURLOPT_PROTOCOLS_STR, QByteArray("http,https")) &&
        Set(handle, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1)) &&
        Set(handle, CURLOPT_USERAGENT, Settings.AgentName) &&
        (Settings.Referer.isEmpty() || Set(handle, CURLOPT_REFERER, Settings.Referer)) &&
        ApplyMethod(handle, Settings) && ApplyProxy(handle, Settings.Proxy, Host) &&
        ApplyInternetOptions(Request, Settings, RequestURL) &&
        Set(handle, CURLOPT_BUFFERSIZE, BufferSizeFor(Settings.TransferBufferSize)) &&
        (Settings.MinimumRate <= 0 ||
         (Set(handle, CURLOPT_LOW_SPEED_LIMIT, long(Settings.MinimumRate)) &&
          Set(handle, CURLOPT_LOW_SPEED_TIME, long(std::max(Settings.MinimumRateWindow, 1))))) &&
        (Settings.Timeouts.ConnectTimeout == 0 ||
         Set(handle, CURLOPT_CONNECTTIMEOUT_MS, long(Settings.Timeouts.ConnectTimeout)));
    if (ok)
        ApplyProxyCredentials(Request, Settings);
    return ok;
}

void ApplyCredentials(TauCurlRequest& Request, const TauTransferSettings& Settings,
                      const QByteArray& UserName, const QByteArray& Password) {
    if (Settings.InternetOptions.testFlag(ioNoAuthentication) ||
        (UserName.isEmpty() && Password.isEmpty()))
        return;
    CURL* handle = Request.Handle();
    Set(handle, CURLOPT_USERNAME, UserName);
    Set(handle, CURLOPT_PASSWORD, Password);
    Set(handle, CURLOPT_HTTPAUTH, long(CURLAUTH_ANY));
}

void ApplyProxyCredentials(TauCurlRequest& Request, const TauTransferSettings& Settings) {
    const TauHTTPProxy& proxy = Settings.Proxy;
    if (proxy.AccessType == atDirect || proxy.ProxyUsername.isEmpty() ||
        proxy.ProxyPassword.isEmpty())
        return;
    CURL* handle = Request.Handle();
    Set(handle, CURLOPT_PROXYUSERNAME, proxy.ProxyUsername);
    Set(handle, CURLOPT_PROXYPASSWORD, proxy.ProxyPassword);
    Set(handle, CURLOPT_PROXYAUTH, long(CURLAUTH_ANY));
}

TauIdleLimits IdleLimitsOf(const TauHTTPTimeouts& Timeouts) {
    TauIdleLimits limits;
    limits.sendMs = Timeouts.SendTimeout != 0 ? Timeouts.SendTimeout : kDefaultIdleLimitMs;
    limits.receiveMs = Timeouts.ReceiveTimeout != 0 ? Timeouts.ReceiveTimeout : kDefaultIdleLimitMs;
    return limits;
}

}  // namespace upgrader
