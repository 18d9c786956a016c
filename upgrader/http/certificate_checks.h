#pragma once

#include <curl/curl.h>

#include "upgrader/http/http_options.h"

namespace upgrader {

// Applies the certificate options of a request to its libcurl handle:
// ioIgnoreCertificateInvalid switches the host-name check off;
// ioIgnoreCertificateDateInvalid and ioIgnoreUnknownCertificateAuthority
// accept exactly those faults of the chain (expired or not yet valid; no
// trusted issuer) while every other check stays on. False when the TLS
// library cannot take the options.
bool ApplyCertificateOptions(CURL* Request, TauInternetOptions Options);

}  // namespace upgrader
