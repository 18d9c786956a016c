#include "tests/support/nginx_server.h"

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <csignal>
#include <stdexcept>

#include "tests/support/file_contents.h"

namespace test_support {

quint16 FreeLoopbackPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("no free port");
    return probe.serverPort();
}

NginxServer::NginxServer() : NginxServer(Options{}) {}

NginxServer::NginxServer(const Options& options) : tls_(options.tls) {
    if (!prefix_.isValid())
        throw std::runtime_error("cannot make nginx prefix");
    QDir(prefix_.path()).mkpath(QStringLiteral("root"));
    QDir(prefix_.path()).mkpath(QStringLiteral("logs"));
    if (tls_)
        makeCertificate(options);
    port_ = FreeLoopbackPort();
    writeConfig(options);
    const pid_t testProcess = getpid();
    pid_ = fork();
    if (pid_ == 0) {
        // nginx goes with the test, even with one that crashes.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != testProcess)
            _exit(127);
        const QByteArray prefix = prefix_.path().toLocal8Bit() + "/";
        const QByteArray config = prefix + "nginx.conf";
        execlp("nginx", "nginx", "-p", prefix.constData(), "-c", config.constData(), "-e",
               (prefix + "logs/error.log").constData(), nullptr);
        _exit(127);
    }
    waitUntilListening();
}

NginxServer::~NginxServer() {
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
}

QString NginxServer::baseUrl() const {
    return QStringLiteral("%1://127.0.0.1:%2").arg(tls_ ? "https" : "http").arg(port_);
}

void NginxServer::writeFile(const QString& relativePath, const QByteArray& content) const {
    const QString path = root() + u'/' + relativePath;
    QDir().mkpath(QFileInfo(path).path());
    WriteFile(path, content);
}

void NginxServer::writeConfig(const Options& options) {
    const QString p = prefix_.path();
    const QString listen =
        QStringLiteral("listen 127.0.0.1:%1").arg(port_) +
        (tls_ ? QStringLiteral(
                    " ssl;\n ssl_certificate %1/cert.pem;\n ssl_certificate_key %1/key.pem;")
                    .arg(p)
              : QStringLiteral(";"));
    const QString config =
        QStringLiteral(
            "%1\ndaemon off;\nmaster_process off;\nworker_processes 1;\npid %2/nginx.pid;\n"
            "error_log %2/logs/error.log;\nevents { worker_connections 64; }\nhttp {\n"
            " include /etc/nginx/mime.types;\n default_type application/octet-stream;\n"
            " access_log %2/logs/access.log;\n client_body_temp_path %2/tmp_body;\n"
            " proxy_temp_path %2/tmp_proxy;\n fastcgi_temp_path %2/tmp_fcgi;\n"
            " uwsgi_temp_path %2/tmp_uwsgi;\n scgi_temp_path %2/tmp_scgi;\n sendfile on;\n"
            " server {\n %3\n server_name localhost;\n root %2/root;\n %4\n }\n}\n")
            .arg(geteuid() == 0 ? QStringLiteral("user root;") : QString(), p, listen,
                 options.serverConfig);
    WriteFile(p + QStringLiteral("/nginx.conf"), config.toUtf8());
}

void NginxServer::makeCertificate(const Options& options) {
    const QString p = prefix_.path();
    if (!options.certificatePem.isEmpty()) {
        WriteFile(p + "/cert.pem", options.certificatePem);
        WriteFile(p + "/key.pem", options.keyPem);
        return;
    }
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                   "/CN=127.0.0.1", "-keyout", p + "/key.pem", "-out", p + "/cert.pem"});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)
        throw std::runtime_error("openssl could not make a certificate: " +
                                 openssl.readAll().toStdString());
}

// A machine busy with two engines under the sanitizers can hold nginx's start
// back for seconds.
void NginxServer::waitUntilListening() {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 20000) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("nginx ended at start: " +
                                     ReadFile(prefix_.path() + "/logs/error.log").toStdString());
        }
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port_);
        if (socket.waitForConnected(100))
            return;
        QThread::msleep(10);
    }
    throw std::runtime_error("nginx did not start listening in 20 s: " +
                             ReadFile(prefix_.path() + "/logs/error.log").toStdString());
}

}  // namespace test_support
