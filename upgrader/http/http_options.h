#pragma once

#include <QFlags>

namespace upgrader {

// Cache behaviour asked of a request. There is no local HTTP cache here:
// coAlwaysReload and coPragmaNoCache become the request headers that make
// caches on the way (proxies) go to the origin server ("Pragma: no-cache",
// "Cache-Control: no-cache"); the others only steer a local cache and change
// nothing.
enum TauCacheOption {
    coAlwaysReload = 0x1,
    coReloadIfNoExpireInformation = 0x2,
    coReloadUpdatedObjects = 0x4,
    coPragmaNoCache = 0x8,
    coNoCacheWrite = 0x10,
    coCreateTempFilesIfCantCache = 0x20,
    coUseCacheIfNetFail = 0x40,
};
Q_DECLARE_FLAGS(TauCacheOptions, TauCacheOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TauCacheOptions)

// Security, redirect, connection, authentication and cookie behaviour of a
// request:
// - ioIgnoreCertificateInvalid: the certificate need not name the host;
// - ioIgnoreCertificateDateInvalid: an expired or not yet valid certificate
//   is accepted (its chain is still checked);
// - ioIgnoreUnknownCertificateAuthority: a certificate (chain) that no trusted
//   authority signed, such as a self-signed one, is accepted (dates and the
//   host name are still checked);
// - ioIgnoreRedirectToHTTP / ioIgnoreRedirectToHTTPS: a redirect may leave
//   HTTPS for HTTP / HTTP for HTTPS; without them such a redirect fails;
// - ioKeepConnection: the connection is kept for the next request of the
//   same transfer (a resend, an authentication round, a redirect);
// - ioNoAuthentication: no credentials are ever sent;
// - ioNoAutoRedirect: a redirect answer is the final answer;
// - ioNoCookies: cookies set by the server are not sent back (otherwise
//   they are, within one transfer).
enum TauInternetOption {
    ioIgnoreCertificateInvalid = 0x1,
    ioIgnoreCertificateDateInvalid = 0x2,
    ioIgnoreUnknownCertificateAuthority = 0x4,
    ioIgnoreRedirectToHTTP = 0x8,
    ioIgnoreRedirectToHTTPS = 0x10,
    ioKeepConnection = 0x20,
    ioNoAuthentication = 0x40,
    ioNoAutoRedirect = 0x80,
    ioNoCookies = 0x100,
};
Q_DECLARE_FLAGS(TauInternetOptions, TauInternetOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TauInternetOptions)

// rmAuto posts when there is form data, else gets.
enum TauRequestMethod { rmAuto, rmGet, rmPost };

// atPreconfig: the system's proxy settings (the http_proxy, https_proxy,
// all_proxy and no_proxy environment variables); atDirect: no proxy at all;
// atUseProxy: the proxy of TauHTTPProxy.
enum TauHTTPAccessType { atPreconfig, atDirect, atUseProxy };

inline constexpr TauCacheOptions kDefaultCacheOptions = TauCacheOptions(
    coReloadIfNoExpireInformation | coReloadUpdatedObjects | coCreateTempFilesIfCantCache);
inline constexpr TauInternetOptions kDefaultInternetOptions = TauInternetOptions(ioKeepConnection);

}  // namespace upgrader
