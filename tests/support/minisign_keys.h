#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace test_support {

// A publisher's key pair made by the real minisign (no password), and its
// signatures: what the client must accept is what minisign itself writes.
class MinisignKeys {
  public:
    MinisignKeys();

    // The "RW..." line of the public key file.
    QByteArray PublicKey() const;
    // The whole public key file (untrusted comment and key line).
    QByteArray PublicKeyFile() const;
    // The secret key file, for minisign and the publisher's tool.
    QString SecretKeyFile() const { return folder_.filePath("key.sec"); }
    // The ".minisig" text for the bytes: pre-hashed ("ED", minisign's
    // default) or over the bytes themselves ("Ed", -l), with this trusted
    // comment (or a test's own).
    QByteArray Sign(const QByteArray& Bytes, bool Legacy = false,
                    const QByteArray& TrustedComment = {}) const;

  private:
    QTemporaryDir folder_;
};

}  // namespace test_support
