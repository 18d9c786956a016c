#include "upgrader/http/certificate_checks.h"

#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

#include <cstdint>

#include "upgrader/utils/on_demand_library.h"

namespace upgrader {

namespace {

// The OpenSSL functions used here, from the libssl that libcurl has loaded by
// the time it asks for them: the program does not link OpenSSL.
struct OpenSslFunctions {
    decltype(&::X509_STORE_CTX_get_error) getError;
    decltype(&::X509_STORE_CTX_set_error) setError;
    decltype(&::SSL_CTX_get0_param) contextParameters;
    decltype(&::X509_VERIFY_PARAM_set_flags) setFlags;
    decltype(&::SSL_CTX_set_verify) setVerify;

    bool loaded() const {
        return getError && setError && contextParameters && setFlags && setVerify;
    }
};

void* Libssl() {
    static void* const library = LoadOnDemand("libssl.so.3");
    return library;
}

const OpenSslFunctions& OpenSsl() {
    static const OpenSslFunctions functions{
        UPGRADER_ON_DEMAND(Libssl(), X509_STORE_CTX_get_error),
        UPGRADER_ON_DEMAND(Libssl(), X509_STORE_CTX_set_error),
        UPGRADER_ON_DEMAND(Libssl(), SSL_CTX_get0_param),
        UPGRADER_ON_DEMAND(Libssl(), X509_VERIFY_PARAM_set_flags),
        UPGRADER_ON_DEMAND(Libssl(), SSL_CTX_set_verify)};
    return functions;
}

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
    if (!IsUnknownAuthorityFault(OpenSsl().getError(store)))
        return 0;
    OpenSsl().setError(store, X509_V_OK);
    return 1;
}

// Without OpenSSL's functions nothing is relaxed: the transfer fails the
// certificate check rather than pass it unchecked.
CURLcode ConfigureContext(CURL*, void* context, void* options) {
    if (!OpenSsl().loaded())
        return CURLE_SSL_CERTPROBLEM;
    auto* ssl = static_cast<SSL_CTX*>(context);
    const auto flags =
        TauInternetOptions::fromInt(static_cast<int>(reinterpret_cast<std::uintptr_t>(options)));
    if (flags.testFlag(ioIgnoreCertificateDateInvalid))
        OpenSsl().setFlags(OpenSsl().contextParameters(ssl), X509_V_FLAG_NO_CHECK_TIME);
    if (flags.testFlag(ioIgnoreUnknownCertificateAuthority))
        OpenSsl().setVerify(ssl, SSL_VERIFY_PEER, AcceptUnknownAuthority);
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
