#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <vector>

#include "tests/support/nginx_server.h"
#include "tests/support/qt_printers.h"
#include "tests/support/scripted_http_server.h"
#include "tests/support/wait.h"
#include "tests/upgrader/http/http_event_log.h"
#include "tests/upgrader/test_files.h"
#include "upgrader/http/custom_http.h"

using namespace upgrader;
using namespace http_test;
using namespace upgrader_test;
using test_support::ScriptedConnection;
using test_support::ScriptedHttpServer;
using test_support::ScriptedRequest;

namespace {

QByteArray Head(const QByteArray& status, const QByteArray& headers = {}) {
    return "HTTP/1.1 " + status + "\r\n" + headers + "\r\n";
}

QByteArray LengthHeader(qint64 length) {
    return "Content-Length: " + QByteArray::number(length) + "\r\n";
}

// Answers every request with the whole body, announced.
ScriptedHttpServer::Script Serve(const QByteArray& body) {
    return [body](const ScriptedRequest&, ScriptedConnection& connection) {
        connection.send(Head("200 OK", LengthHeader(body.size())) + body);
    };
}

// Sends these bytes to every request, then closes the connection.
ScriptedHttpServer::Script SendAndClose(const QByteArray& bytes) {
    return [bytes](const ScriptedRequest&, ScriptedConnection& connection) {
        connection.send(bytes);
        connection.close();
    };
}

QByteArray UrlOf(const ScriptedHttpServer& server, const QByteArray& path) {
    return server.baseUrl().toUtf8() + path;
}

const QStringList kFailed = {"BeforeSendRequest", "ConnectionFailed", "AnyError"};

bool IsWritable(const QString& path) {
    return QFileInfo(path).permissions() & QFileDevice::WriteOwner;
}

TEST(ScriptedTransfer, BodyCutShortKeepsThePartialFileIncomplete) {
    const QByteArray body = Pattern(100000);
    ScriptedHttpServer server(
        SendAndClose(Head("200 OK", LengthHeader(body.size())) + body.left(40000)));
    QTemporaryDir folder;
    TauCustomHTTP http;
    EventLog log(http);
    http.URL = UrlOf(server, "/f.exe");
    http.OutputFileName = folder.filePath("f.exe.uTMP");
    // Read-only is the attribute this system can show.
    http.OutputFileAttributes.SetIncomplete(atrArchive | atrTemporary | atrReadOnly);
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(log.Events(), QStringList({"BeforeSendRequest", "HeaderInfo", "DownloadProgress",
                                         "DoneInterrupted", "AnyError"}));
    EXPECT_EQ(http.BytesTransferred(), 40000);
    EXPECT_EQ(ReadFile(http.OutputFileName), body.left(40000)) << "the partial file is kept";
    EXPECT_FALSE(IsWritable(http.OutputFileName)) << "with its incomplete attributes";

    // Resumed against a server that ignores the range and sends all of it
    // again: the file is the body alone, complete, and so is its size.
    ScriptedHttpServer whole(Serve(body));
    http.URL = UrlOf(whole, "/f.exe");
    auto resumed = Fetch(http, 40000);
    EXPECT_EQ(resumed->Events().last(), "Done");
    EXPECT_EQ(ReadFile(http.OutputFileName), body);
    EXPECT_EQ(resumed->doneFileSize, body.size());
    EXPECT_TRUE(IsWritable(http.OutputFileName)) << "with its complete attributes";

    // Resumed from what it holds, against a server that sends the rest.
    ScriptedHttpServer rest([&](const ScriptedRequest& request, ScriptedConnection& connection) {
        EXPECT_EQ(request.header("Range"), "bytes=40000-");
        connection.send(Head("206 Partial Content",
                             LengthHeader(60000) + "Content-Range: bytes 40000-99999/100000\r\n") +
                        body.mid(40000));
    });
    WriteFile(http.OutputFileName, body.left(40000));
    http.URL = UrlOf(rest, "/f.exe");
    resumed = Fetch(http, 40000);
    EXPECT_EQ(resumed->Events().last(), "Done");
    EXPECT_EQ(ReadFile(http.OutputFileName), body);
    EXPECT_EQ(resumed->doneFileSize, body.size());
}

// A resumed start that cannot be used is given up for the whole entity once,
// and a part the client did not ask for is never taken for the entity.
TEST(ScriptedTransfer, RangeAnswersThatCannotBeUsedEndTheTransfer) {
    const QByteArray body = Pattern(110);
    const QByteArray part =
        Head("206 Partial Content", LengthHeader(10) + "Content-Range: bytes 100-109/110\r\n") +
        body.mid(100);
    ScriptedHttpServer alwaysPart(
        [&](const ScriptedRequest&, ScriptedConnection& connection) { connection.send(part); });
    ScriptedHttpServer honoursRange([&](const ScriptedRequest& request, ScriptedConnection& c) {
        c.send(request.header("Range").isEmpty() ? Head("200 OK", LengthHeader(110)) + body : part);
    });
    struct Case {
        ScriptedHttpServer& server;
        quint64 start;  // 0: no range asked
        qsizetype requests;
        QString end;
    };
    const Case cases[] = {{alwaysPart, 0, 1, "DoneInterrupted"},
                          {alwaysPart, 100, 2, "DoneInterrupted"},
                          {honoursRange, 100, 2, "Done"}};
    for (const Case& c : cases) {
        QTemporaryDir folder;
        TauCustomHTTP http;
        http.URL = UrlOf(c.server, "/f.bin");
        http.OutputFileName = folder.filePath("f.bin");
        const qsizetype before = c.server.requests().size();
        EXPECT_TRUE(Fetch(http, c.start)->Events().contains(c.end)) << c.start;
        EXPECT_EQ(c.server.requests().size() - before, c.requests) << c.start;
        if (c.end == "Done")
            EXPECT_EQ(ReadFile(http.OutputFileName), body);
        else
            EXPECT_FALSE(ReadFile(http.OutputFileName).contains(body.mid(100))) << c.start;
    }
}

TEST(ScriptedTransfer, ProgressHandlerMayReadTheStream) {
    const QByteArray body = Pattern(30000, 5);
    ScriptedHttpServer server(Serve(body));
    QTemporaryDir folder;
    TauCustomHTTP http;
    http.URL = UrlOf(server, "/f.exe");
    http.OutputFileName = folder.filePath("f.exe.uTMP");
    bool sawItsOwnData = true;
    http.OnDownloadProgress = [&](TauCustomHTTP*, const QByteArray&, qint64, qint64 read, qint32,
                                  qint32, quint8, float, QIODevice* stream) {
        stream->seek(0);  // the handler looks at what is stored so far
        sawItsOwnData = sawItsOwnData && stream->read(read) == body.left(read);
        stream->seek(0);  // and leaves it elsewhere
    };
    ASSERT_TRUE(http.Read(true));
    EXPECT_TRUE(sawItsOwnData);
    EXPECT_EQ(ReadFile(http.OutputFileName), body) << "the next chunk still goes to its place";
}

// Answers whose body is not what they announce, or announce nothing.
TEST(ScriptedTransfer, BodiesCutShortOrUnannounced) {
    const QByteArray unannounced = Pattern(70000, 3);
    const struct {
        QByteArray answer;
        QStringList events;
        QByteArray body;
    } cases[] = {
        {Head("200 OK", "Transfer-Encoding: chunked\r\n") + "5\r\nhello\r\n8\r\nwor",
         {"DoneInterrupted", "AnyError"},
         "hello"},
        {Head("200 OK", "Connection: close\r\n") + unannounced, {"Done"}, unannounced},
        {Head("200 OK", LengthHeader(qint64(1) << 50)) + "tiny",
         {"DoneInterrupted", "AnyError"},
         "tiny"},  // a huge length is no promise
    };
    for (const auto& c : cases) {
        ScriptedHttpServer server(SendAndClose(c.answer));
        TauCustomHTTP http;
        http.URL = UrlOf(server, "/info");
        auto log = Fetch(http);
        EXPECT_EQ(log->Events(),
                  QStringList({"BeforeSendRequest", "HeaderInfo", "DownloadProgress"}) + c.events);
        EXPECT_TRUE(log->body.startsWith(c.body));
        EXPECT_EQ(log->lastPercent, 0) << "no percentage without a size";
    }
}

TEST(ScriptedTransfer, StallsEndAtTheReceiveTimeout) {
    ScriptedHttpServer server([](const ScriptedRequest& request, ScriptedConnection& connection) {
        if (request.target == "/body")
            connection.send(Head("200 OK", LengthHeader(5000)) + QByteArray(1000, 'x'));
        connection.pause(20000);
    });
    TauCustomHTTP http;
    http.Timeouts.ReceiveTimeout = 300;
    http.URL = UrlOf(server, "/body");
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(Fetch(http)->Events().mid(3), QStringList({"DoneInterrupted", "AnyError"}));
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(http.BytesTransferred(), 1000);
    http.URL = UrlOf(server, "/silent");
    EXPECT_EQ(Fetch(http)->Events(), kFailed);
}

TEST(ScriptedTransfer, ClosedPortAndOfflineFailToConnect) {
    TauCustomHTTP http;
    http.URL =
        QStringLiteral("http://127.0.0.1:%1/f").arg(test_support::FreeLoopbackPort()).toUtf8();
    EXPECT_EQ(Fetch(http)->Events(), kFailed);
    EXPECT_EQ(http.StatusCode(), -1);
    ScriptedHttpServer server(Serve("never"));
    http.URL = UrlOf(server, "/f");
    http.WorkOffline = true;
    EXPECT_EQ(Fetch(http)->Events(), QStringList({"ConnectionFailed", "AnyError"}));
    EXPECT_EQ(server.connections(), 0) << "off-line, the network is not used";
    http.WorkOffline = false;
    http.URL = "ftp://127.0.0.1/f";
    EXPECT_EQ(Fetch(http)->Events().value(1), "ConnectionFailed");
}

TEST(ScriptedTransfer, RequestCarriesSettingsAndEncodedQuery) {
    ScriptedHttpServer server(Serve("ok"));
    TauCustomHTTP http;
    http.URL = UrlOf(server, "/a%20dir/b+c.exe?name=a b+c&amp=%26&x=<*>#fragment");
    http.Referer = "http://referer.example/";
    http.RequestHeaders = {"X-First: 1", "X-Second: two"};
    http.CacheOptions |= coPragmaNoCache;
    ASSERT_TRUE(http.Read(100, 199, true));
    ASSERT_EQ(server.requests().size(), 1);
    const ScriptedRequest request = server.requests().first();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.target, "/a%20dir/b+c.exe?name=a%20b%2Bc&amp=%26&x=%3C%2A%3E")
        << "the path as written, the query encoded, no fragment";
    EXPECT_TRUE((request.head + "\r\n").contains("\r\nRANGE: bytes=100-199\r\n"))
        << request.head.constData();
    EXPECT_EQ(request.header("Referer"), "http://referer.example/");
    EXPECT_EQ(request.header("X-Second"), "two");
    EXPECT_EQ(request.header("Pragma"), "no-cache");
    EXPECT_EQ(request.header("Cache-Control"), "no-cache");

    http.Range = {100, 0};
    http.CacheOptions = kDefaultCacheOptions;
    http.PostData = "a=1&b=2";
    ASSERT_TRUE(http.Read(true));
    const ScriptedRequest post = server.requests().last();
    EXPECT_EQ(post.method, "POST");
    EXPECT_EQ(post.body, "a=1&b=2");
    EXPECT_EQ(post.header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_TRUE((post.head + "\r\n").contains("\r\nRANGE: bytes=100-\r\n"));
    EXPECT_TRUE(post.header("Pragma").isEmpty());

    http.RequestMethod = rmGet;
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(server.requests().last().method, "GET");
}

TEST(ScriptedTransfer, OutputFileThatCannotBeCreated) {
    ScriptedHttpServer announced(Serve("known length"));
    TauCustomHTTP http;
    EventLog log(http);
    http.URL = UrlOf(announced, "/f");
    http.OutputFileName = "/nonexistent-folder/f.uTMP";
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(log.Events(),
              QStringList({"BeforeSendRequest", "HeaderInfo", "AnyError", "DoneWithoutStream"}));
    EXPECT_EQ(http.OutputError(),
              "Cannot create file \"/nonexistent-folder/f.uTMP\". No such file or directory");

    ScriptedHttpServer unannounced(
        SendAndClose(Head("200 OK", "Connection: close\r\n") + "unknown length"));
    http.URL = UrlOf(unannounced, "/f");
    EXPECT_EQ(Fetch(http)->body, "unknown length") << "the body went to memory instead";
}

TEST(ScriptedTransfer, ProxyAuthenticationAndBypass) {
    const QByteArray login = "Basic " + QByteArray("proxyuser:proxypass").toBase64();
    ScriptedHttpServer proxy([&](const ScriptedRequest& request, ScriptedConnection& connection) {
        if (request.method == "CONNECT" || request.header("Proxy-Authorization") != login) {
            connection.send(
                Head("407 Proxy Authentication Required",
                     "Proxy-Authenticate: Basic realm=\"proxy\"\r\n" + LengthHeader(6)) +
                "denied");
            return;
        }
        connection.send(Head("200 OK", LengthHeader(7)) + "proxied");
    });
    ScriptedHttpServer origin(Serve("direct"));

    TauCustomHTTP http;
    http.Proxy.AccessType = atUseProxy;
    http.Proxy.ProxyServer = "127.0.0.1";
    http.Proxy.ProxyPort = proxy.port();
    http.URL = "http://updates.example/update/quorvane.inf";

    auto refused = Fetch(http);
    EXPECT_EQ(refused->httpError, 407);
    EXPECT_EQ(refused->body, "denied");
    EXPECT_EQ(proxy.requests().last().target, "http://updates.example/update/quorvane.inf");

    EventLog asked(http);
    int questions = 0;
    http.OnProxyAuthenticationRequest = [&](TauCustomHTTP*, QByteArray& user, QByteArray& password,
                                            bool& tryAgain) {
        asked.Note("ProxyAuthentication");
        ++questions;
        user = "proxyuser";
        password = "proxypass";
        tryAgain = true;
    };
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(asked.Events(), QStringList({"BeforeSendRequest", "ProxyAuthentication", "HeaderInfo",
                                           "DownloadProgress", "Done"}));
    EXPECT_EQ(asked.body, "proxied");
    EXPECT_EQ(http.Proxy.ProxyUsername, "proxyuser") << "the handler fills the Proxy fields";

    // 127.0.0.1 is in the default bypass list; an empty list sends it through
    // the proxy too.
    http.URL = UrlOf(origin, "/f");
    EXPECT_EQ(Fetch(http)->body, "direct");
    http.Proxy.ProxyBypass.clear();
    EXPECT_EQ(Fetch(http)->body, "proxied");

    // The system's settings: the environment names the proxy.
    http.Proxy.AccessType = atPreconfig;
    qputenv("http_proxy", proxy.baseUrl().toUtf8());
    http.URL = "http://updates.example/f";
    EXPECT_EQ(Fetch(http)->body, "proxied");
    http.Proxy.AccessType = atDirect;
    http.URL = UrlOf(origin, "/f");
    EXPECT_EQ(Fetch(http)->body, "direct");
    qunsetenv("http_proxy");

    // A tunnel the proxy refuses: asked again while the handler says so.
    http.Proxy = {atUseProxy, proxy.port(), "127.0.0.1", "", "", ""};
    http.URL = "https://updates.example/f";
    questions = 0;
    http.OnProxyAuthenticationRequest = [&](TauCustomHTTP*, QByteArray&, QByteArray&,
                                            bool& tryAgain) { tryAgain = ++questions < 2; };
    EXPECT_EQ(Fetch(http)->httpError, 407);
    EXPECT_EQ(questions, 2);
    EXPECT_EQ(proxy.requests().last().method, "CONNECT");
}

}  // namespace

// The connect and send time-outs against a listening socket that never
// accepts: without the time-outs each transfer would wait for minutes.

namespace {

sockaddr_in LoopbackAddress(quint16 port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

// A socket listening on 127.0.0.1 that never accepts. Connections complete
// in its queue, where the kernel buffers what they send, until the queue
// is full; after that the kernel drops their first packet, so they never
// connect at all.
class SilentListener {
  public:
    explicit SilentListener(int backlog) : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address = LoopbackAddress(0);
        socklen_t length = sizeof address;
        const auto* generic = reinterpret_cast<sockaddr*>(&address);
        if (::bind(socket_, generic, length) != 0 || ::listen(socket_, backlog) != 0 ||
            ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            ADD_FAILURE() << "cannot listen on 127.0.0.1";
        port_ = ntohs(address.sin_port);
    }

    ~SilentListener() {
        for (const int filler : fillers_)
            ::close(filler);
        ::close(socket_);
    }

    QByteArray Url() const { return "http://127.0.0.1:" + QByteArray::number(port_) + "/f"; }

    // Connects (without waiting) until the queue is surely full.
    void FillQueue() {
        sockaddr_in address = LoopbackAddress(port_);
        for (int i = 0; i < 3; ++i) {
            const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
            fillers_.push_back(filler);
        }
    }

  private:
    int socket_;
    quint16 port_ = 0;
    std::vector<int> fillers_;
};

}  // namespace

// A full queue: the connection is never made. A queue with room: the
// connection is made and the body sent into it until the buffers are full.
TEST(Timeouts, ConnectAndSendEndAtTheirTimeOuts) {
    for (const bool connects : {false, true}) {
        SilentListener listener(connects ? 8 : 0);
        TauCustomHTTP http;
        EventLog log(http);
        http.URL = listener.Url();
        if (connects) {
            http.PostData = QByteArray(64 << 20, 'p');  // far more than the sockets buffer
            http.Timeouts.SendTimeout = 300;
        } else {
            listener.FillQueue();
            http.Timeouts.ConnectTimeout = 300;
        }
        QElapsedTimer timer;
        timer.start();
        ASSERT_TRUE(http.Read(true));
        EXPECT_LT(timer.elapsed(), 20000) << "the default limits are a minute and more";
        EXPECT_EQ(log.Events(), QStringList({"BeforeSendRequest", "ConnectionFailed", "AnyError"}));
        EXPECT_EQ(http.StatusCode(), -1);
    }
}
