#include "tests/support/scripted_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace test_support {

QByteArray ScriptedRequest::header(const QByteArray& name) const {
    const QByteArray wanted = name.toLower() + ':';
    for (const QByteArray& line : head.split('\n'))
        if (line.toLower().startsWith(wanted))
            return line.mid(wanted.size()).trimmed();
    return {};
}

bool ScriptedConnection::send(const QByteArray& bytes) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count =
            ::send(socket_, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (count <= 0)
            return false;
        sent += count;
    }
    return true;
}

void ScriptedConnection::pause(int ms) {
    std::unique_lock lock(server_.mutex_);
    server_.stopped_.wait_for(lock, std::chrono::milliseconds(ms),
                              [&] { return server_.stopping(); });
}

ScriptedHttpServer::ScriptedHttpServer(Script script) : script_(std::move(script)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("scripted server cannot listen");
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { acceptLoop(); });
}

// Shutting a socket down wakes the thread waiting on it, the acceptor too.
ScriptedHttpServer::~ScriptedHttpServer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        for (const int socket : sockets_)
            ::shutdown(socket, SHUT_RDWR);
    }
    stopped_.notify_all();
    acceptor_.join();
    for (std::thread& thread : threads_)
        thread.join();
    ::close(listener_);
}

QString ScriptedHttpServer::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(port_);
}

QList<ScriptedRequest> ScriptedHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void ScriptedHttpServer::acceptLoop() {
    while (!stopping()) {
        const int socket = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0)
            continue;
        std::lock_guard lock(mutex_);
        if (stopping()) {
            ::close(socket);
            return;
        }
        sockets_.push_back(socket);
        threads_.emplace_back([this, socket] { serve(socket); });
    }
}

bool ScriptedHttpServer::readRequest(int socket, QByteArray& pending, ScriptedRequest& request) {
    qsizetype headEnd = -1;
    qint64 bodyLength = 0;
    for (;;) {
        if (headEnd < 0 && (headEnd = pending.indexOf("\r\n\r\n")) >= 0) {
            request.head = pending.left(headEnd);
            const QByteArrayList requestLine =
                request.head.left(request.head.indexOf('\r')).split(' ');
            request.method = requestLine.value(0);
            request.target = requestLine.value(1);
            bodyLength = request.header("Content-Length").toLongLong();
        }
        if (headEnd >= 0 && pending.size() >= headEnd + 4 + bodyLength) {
            request.body = pending.mid(headEnd + 4, bodyLength);
            pending.remove(0, headEnd + 4 + bodyLength);
            return true;
        }
        char buffer[16384];
        const ssize_t count = ::recv(socket, buffer, sizeof buffer, 0);
        if (count <= 0)
            return false;
        pending.append(buffer, count);
    }
}

void ScriptedHttpServer::serve(int socket) {
    QByteArray pending;
    ScriptedConnection connection(*this, socket);
    ScriptedRequest request;
    while (!connection.closing_ && readRequest(socket, pending, request)) {
        {
            std::lock_guard lock(mutex_);
            requests_ += request;
        }
        script_(request, connection);
        request = ScriptedRequest{};
    }
    std::lock_guard lock(mutex_);
    ::shutdown(socket, SHUT_RDWR);
    ::close(socket);
    std::erase(sockets_, socket);
}

ScriptedHttpServer::Script EndlessBody() {
    return [](const ScriptedRequest&, ScriptedConnection& connection) {
        if (!connection.send("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n"))
            return;
        const QByteArray chunk = QByteArray("#url=http://x/y\r\n").repeated(4096);
        while (connection.send(chunk)) {
        }
    };
}

}  // namespace test_support
