#include "upgrader/http/certificate_checks.h"

#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

#include <cstdint>

namespace upgrader {

namespace {

bool IsUnknownAuthorityFault(int error) {
    switch (error) {
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
            return true;
        default:
            return false;
    }
}

// Accepts the chain faults of an unknown authority and clears them, so the
// result of the whole check is good when nothing else was wrong.
int AcceptUnknownAuthority(int preverifyOk, X509_STORE_CTX* store) {
    if (preverifyOk != 0)
        return 1;
    if (!IsUnknownAuthorityFault(X509_STORE_CTX_get_error(store)))
        return 0;
    X509_STORE_CTX_set_error(store, X509_V_OK);
    return 1;
}

CURLcode ConfigureContext(CURL*, void* context, void* options) {
    auto* ssl = static_cast<SSL_CTX*>(context);
    const auto flags =
        TauInternetOptions::fromInt(static_cast<int>(reinterpret_cast<std::uintptr_t>(options)));
    if (flags.testFlag(ioIgnoreCertificateDateInvalid))
        X509_VERIFY_PARAM_set_flags(SSL_CTX_get0_param(ssl), X509_V_FLAG_NO_CHECK_TIME);
    if (flags.testFlag(ioIgnoreUnknownCertificateAuthority))
        SSL_CTX_set_verify(ssl, SSL_VERIFY_PEER, AcceptUnknownAuthority);
    return CURLE_OK;
}

}  // namespace

bool ApplyCertificateOptions(CURL* Request, TauInternetOptions Options) {
    if (Options.testFlag(ioIgnoreCertificateInvalid))
        curl_easy_setopt(Request, CURLOPT_SSL_VERIFYHOST, 0L);
    const TauInternetOptions chainOptions =
        Options & (ioIgnoreCertificateDateInvalid | ioIgnoreUnknownCertificateAuthority);
    if (!chainOptions)
        return true;
    void* flags = reinterpret_cast<void*>(static_cast<std::uintptr_t>(chainOptions.toInt()));
    return curl_easy_setopt(Request, CURLOPT_SSL_CTX_FUNCTION, ConfigureContext) == CURLE_OK &&
           curl_easy_setopt(Request, CURLOPT_SSL_CTX_DATA, flags) == CURLE_OK;
}

}  // namespace upgrader
