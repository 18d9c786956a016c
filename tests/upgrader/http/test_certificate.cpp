#include "tests/upgrader/http/test_certificate.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <memory>
#include <stdexcept>

namespace http_test {

namespace {

constexpr long kSecondsPerDay = 24 * 60 * 60;

QByteArray BioText(BIO* bio) {
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return QByteArray(data, size);
}

}  // namespace

TestCertificate MakeCertificate(const QByteArray& commonName, int fromDays, int toDays) {
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(EVP_RSA_gen(2048), EVP_PKEY_free);
    std::unique_ptr<X509, decltype(&X509_free)> certificate(X509_new(), X509_free);
    if (!key || !certificate)
        throw std::runtime_error("cannot make a certificate");
    X509_set_version(certificate.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), 1);
    X509_gmtime_adj(X509_getm_notBefore(certificate.get()), fromDays * kSecondsPerDay);
    X509_gmtime_adj(X509_getm_notAfter(certificate.get()), toDays * kSecondsPerDay);
    X509_NAME* name = X509_get_subject_name(certificate.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(commonName.constData()), -1,
                               -1, 0);
    X509_set_issuer_name(certificate.get(), name);
    X509_set_pubkey(certificate.get(), key.get());
    if (X509_sign(certificate.get(), key.get(), EVP_sha256()) == 0)
        throw std::runtime_error("cannot sign the certificate");
    std::unique_ptr<BIO, decltype(&BIO_free)> certificateText(BIO_new(BIO_s_mem()), BIO_free);
    std::unique_ptr<BIO, decltype(&BIO_free)> keyText(BIO_new(BIO_s_mem()), BIO_free);
    PEM_write_bio_X509(certificateText.get(), certificate.get());
    PEM_write_bio_PrivateKey(keyText.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr);
    return {BioText(certificateText.get()), BioText(keyText.get())};
}

}  // namespace http_test
