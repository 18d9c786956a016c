#pragma once

#include <sys/types.h>
#include <QString>
#include <QTemporaryDir>

namespace test_support {

// A real nginx on 127.0.0.1, on a free port, serving a temporary document
// root. Started by the constructor, stopped (and waited for) by the destructor.
class NginxServer {
  public:
    struct Options {
        // Extra directives inside the server block (locations, auth, ...).
        QString serverConfig;
        // Serve HTTPS with a freshly made self-signed certificate.
        bool tls = false;
        // With tls: this certificate and key (PEM) instead.
        QByteArray certificatePem{};
        QByteArray keyPem{};
    };

    NginxServer();
    explicit NginxServer(const Options& options);
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    quint16 port() const { return port_; }
    // "http://127.0.0.1:<port>" (or https).
    QString baseUrl() const;
    // Folder served at "/".
    QString root() const { return prefix_.path() + QStringLiteral("/root"); }
    // Folder holding the server's own files (config, logs, certificate).
    QString prefix() const { return prefix_.path(); }
    // Writes a file under the root (folders are created).
    void writeFile(const QString& relativePath, const QByteArray& content) const;

  private:
    void writeConfig(const Options& options);
    void makeCertificate(const Options& options);
    void waitUntilListening();

    QTemporaryDir prefix_;
    quint16 port_ = 0;
    bool tls_ = false;
    pid_t pid_ = -1;
};

// A port on 127.0.0.1 that nothing listens on at the moment of the call.
quint16 FreeLoopbackPort();

}  // namespace test_support
