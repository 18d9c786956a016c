#pragma once

#include <QByteArray>

namespace http_test {

struct TestCertificate {
    QByteArray certificatePem;
    QByteArray keyPem;
};

// A self-signed certificate for the name, valid from `fromDays` to `toDays`
// days after now (negative: in the past).
TestCertificate MakeCertificate(const QByteArray& commonName, int fromDays, int toDays);

}  // namespace http_test
