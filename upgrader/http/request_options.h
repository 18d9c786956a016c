#pragma once

#include <QByteArray>

#include "upgrader/http/curl_request.h"
#include "upgrader/http/transfer_settings.h"

namespace upgrader {

// Gives the request's libcurl handle what the settings ask for: the address,
// the method and form data, the agent and referrer, proxy use and its
// bypass list, proxy credentials, certificate checks, redirects, cookies,
// keeping the connection, the connect time-out and the buffer size. Host is
// the server's name (for the "<local>" bypass entry). False when libcurl
// refuses a setting.
bool ApplyRequestOptions(TauCurlRequest& Request, const TauTransferSettings& Settings,
                         const QByteArray& RequestURL, const QByteArray& Host);

// Gives the request the server's credentials (libcurl then answers whatever
// authentication the server asks for), unless the settings forbid
// authentication or there are none.
void ApplyCredentials(TauCurlRequest& Request, const TauTransferSettings& Settings,
                      const QByteArray& UserName, const QByteArray& Password);

// Gives the request the proxy credentials of the settings when both are set
// and a proxy may be used.
void ApplyProxyCredentials(TauCurlRequest& Request, const TauTransferSettings& Settings);

// The idle limits of a request: the time-outs, or 60 s when they are 0.
TauIdleLimits IdleLimitsOf(const TauHTTPTimeouts& Timeouts);

}  // namespace upgrader
