#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace test_support {

// A request as the scripted server received it.
struct ScriptedRequest {
    QByteArray method;
    QByteArray target;  // as sent: a path, an absolute URL (to a proxy), host:port (CONNECT)
    QByteArray head;    // the request line and header lines as sent
    QByteArray body;
    // The first header of that name, trimmed; empty when there is none.
    QByteArray header(const QByteArray& name) const;
};

class ScriptedHttpServer;

// One accepted connection, handed to the script for each request on it.
class ScriptedConnection {
  public:
    // False once the peer is gone.
    bool send(const QByteArray& bytes);
    // Waits, ending early when the server stops.
    void pause(int ms);
    // The connection is closed once the script returns.
    void close() { closing_ = true; }

  private:
    friend class ScriptedHttpServer;
    ScriptedConnection(ScriptedHttpServer& server, int socket) : server_(server), socket_(socket) {}
    ScriptedHttpServer& server_;
    int socket_;
    bool closing_ = false;
};

// A small HTTP server on 127.0.0.1 and a free port, for what a real server
// does not do on demand: bodies cut short, stalls, odd answers. Each
// connection runs on a thread of its own; the script answers each request
// by writing raw bytes. Stopped (its threads joined) by the destructor.
class ScriptedHttpServer {
  public:
    using Script = std::function<void(const ScriptedRequest&, ScriptedConnection&)>;

    explicit ScriptedHttpServer(Script script);
    ~ScriptedHttpServer();
    ScriptedHttpServer(const ScriptedHttpServer&) = delete;
    ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

    quint16 port() const { return port_; }
    QString baseUrl() const;
    QList<ScriptedRequest> requests() const;

  private:
    friend class ScriptedConnection;
    void acceptLoop();
    void serve(int socket);
    bool readRequest(int socket, QByteArray& pending, ScriptedRequest& request);
    bool stopping() const { return stopping_.load(); }

    Script script_;
    int listener_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    QList<ScriptedRequest> requests_;
    std::vector<std::thread> threads_;
    std::vector<int> sockets_;
    std::thread acceptor_;
};

// A script answering every request with a 200 whose body never ends (info
// lines, until the client goes away).
ScriptedHttpServer::Script EndlessBody();

}  // namespace test_support
