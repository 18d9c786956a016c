#include "tests/support/scripted_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace test_support {

QByteArray ScriptedRequest::header(const QByteArray& name) const {
    const QByteArray wanted = name.toLower() + ':';
    for (const QByteArray& line : head.split('\n')) {
        if (line.toLower().startsWith(wanted))
            return line.mid(wanted.size()).trimmed();
    }
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
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC) != 0)
        throw std::runtime_error("no pipe");
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];
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

ScriptedHttpServer::~ScriptedHttpServer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        for (const int socket : sockets_)
            ::shutdown(socket, SHUT_RDWR);
    }
    stopped_.notify_all();
    const char wake = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeWrite_, &wake, 1);
    acceptor_.join();
    for (std::thread& thread : threads_)
        thread.join();
    ::close(listener_);
    ::close(wakeRead_);
    ::close(wakeWrite_);
}

QString ScriptedHttpServer::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(port_);
}

QList<ScriptedRequest> ScriptedHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

bool ScriptedHttpServer::waitReadable(int socket) {
    pollfd fds[2] = {{socket, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    while (!stopping()) {
        if (::poll(fds, 2, 1000) > 0)
            return !stopping() && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
    }
    return false;
}

void ScriptedHttpServer::acceptLoop() {
    while (waitReadable(listener_)) {
        const int socket = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0)
            continue;
        ++connections_;
        std::lock_guard lock(mutex_);
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
        if (!waitReadable(socket))
            return false;
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
