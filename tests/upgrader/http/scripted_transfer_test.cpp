#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "tests/support/nginx_server.h"
#include "tests/support/qt_printers.h"
#include "tests/support/scripted_http_server.h"
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

const QStringList kReceived = {"BeforeSendRequest", "HeaderInfo", "DownloadProgress"};

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
    EXPECT_EQ(log.Events(), kReceived + QStringList({"DoneInterrupted", "AnyError"}));
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
        SCOPED_TRACE(c.start);
        QTemporaryDir folder;
        TauCustomHTTP http;
        http.URL = UrlOf(c.server, "/f.bin");
        http.OutputFileName = folder.filePath("f.bin");
        const qsizetype before = c.server.requests().size();
        EXPECT_TRUE(Fetch(http, c.start)->Events().contains(c.end));
        EXPECT_EQ(c.server.requests().size() - before, c.requests);
        if (c.end == "Done")
            EXPECT_EQ(ReadFile(http.OutputFileName), body);
        else
            EXPECT_FALSE(ReadFile(http.OutputFileName).contains(body.mid(100)));
    }
}

// Answers whose body is not what they announce or announce nothing, a port
// where nothing listens, an address of another scheme and an output file
// that cannot be created: each ends with its own events.
TEST(ScriptedTransfer, EveryEndIsReported) {
    const QByteArray unannounced = Pattern(70000, 3);
    const QStringList failed = {"BeforeSendRequest", "ConnectionFailed", "AnyError"};
    const QString closedPort = QString::number(test_support::FreeLoopbackPort());
    const struct {
        const char* what;
        QByteArray answer;
        QString url;  // else the scripted server's
        QString output;
        QStringList events;
        QByteArray body;
    } cases[] = {
        {"chunks cut short",
         Head("200 OK", "Transfer-Encoding: chunked\r\n") + "5\r\nhello\r\n8\r\nwor",
         {},
         {},
         kReceived + QStringList({"DoneInterrupted", "AnyError"}),
         "hello"},
        {"unannounced",
         Head("200 OK", "Connection: close\r\n") + unannounced,
         {},
         {},
         kReceived + QStringList{"Done"},
         unannounced},
        {"a huge length is no promise",
         Head("200 OK", LengthHeader(qint64(1) << 50)) + "tiny",
         {},
         {},
         kReceived + QStringList({"DoneInterrupted", "AnyError"}),
         "tiny"},
        {"server error",
         Head("500 Internal Server Error", LengthHeader(6)) + "broken",
         {},
         {},
         kReceived + QStringList({"HTTPError", "AnyError"}),
         "broken"},
        {"nothing listens", {}, "http://127.0.0.1:" + closedPort + "/f", {}, failed, {}},
        {"another scheme", {}, "ftp://127.0.0.1/f", {}, failed.mid(1), {}},
        {"no folder for the file",
         Head("200 OK", LengthHeader(4)) + "data",
         {},
         "/nonexistent-folder/f.uTMP",
         QStringList({"BeforeSendRequest", "HeaderInfo", "AnyError", "DoneWithoutStream"}),
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedHttpServer server(SendAndClose(c.answer));
        TauCustomHTTP http;
        http.URL = c.url.isEmpty() ? UrlOf(server, "/info") : c.url.toUtf8();
        http.OutputFileName = c.output;
        auto log = Fetch(http);
        EXPECT_EQ(log->Events().mid(log->Events().size() - c.events.size()), c.events);
        EXPECT_TRUE(log->body.startsWith(c.body));
        if (!c.output.isEmpty()) {
            EXPECT_EQ(http.OutputError(),
                      "Cannot create file \"" + c.output + "\". No such file or directory");
        }
    }
}

// A server that sends a byte now and then holds the transfer only until its
// average rate has stayed under the floor for the window.
TEST(ScriptedTransfer, ABodyUnderTheRateFloorEndsAsInterrupted) {
    ScriptedHttpServer server([](const ScriptedRequest&, ScriptedConnection& connection) {
        connection.send(Head("200 OK", LengthHeader(100000)));
        while (connection.send("x"))
            connection.pause(100);
    });
    TauCustomHTTP http;
    http.URL = UrlOf(server, "/f");
    http.MinimumRate = 1024;
    http.MinimumRateWindow = 1;
    const auto log = Fetch(http);
    EXPECT_EQ(log->Events().mid(log->Events().size() - 2),
              QStringList({"DoneInterrupted", "AnyError"}));
    EXPECT_LT(http.BytesTransferred(), 100);
}

// The info file is asked for past any cache; its address's query is sent
// encoded, its fragment not at all.
TEST(ScriptedTransfer, RequestCarriesNoCacheAndEncodedQuery) {
    ScriptedHttpServer server(Serve("ok"));
    TauCustomHTTP http;
    http.URL = UrlOf(server, "/a%20dir/b+c.exe?name=a b+c&amp=%26&x=<*>#fragment");
    http.CacheOptions |= coPragmaNoCache;
    ASSERT_TRUE(http.Read(true));
    ASSERT_EQ(server.requests().size(), 1);
    const ScriptedRequest request = server.requests().first();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.target, "/a%20dir/b+c.exe?name=a%20b%2Bc&amp=%26&x=%3C%2A%3E");
    EXPECT_EQ(request.header("Pragma"), "no-cache");
    EXPECT_EQ(request.header("Cache-Control"), "no-cache");
}

// The program leaves the proxy to the system: the environment names it.
TEST(ScriptedTransfer, TheProxyOfTheEnvironment) {
    ScriptedHttpServer proxy(Serve("proxied"));
    ScriptedHttpServer origin(Serve("direct"));
    TauCustomHTTP http;
    qputenv("http_proxy", proxy.baseUrl().toUtf8());
    http.URL = "http://updates.example/update/quorvane.inf";
    EXPECT_EQ(Fetch(http)->body, "proxied");
    EXPECT_EQ(proxy.requests().last().target, "http://updates.example/update/quorvane.inf");
    http.Proxy.AccessType = atDirect;
    http.URL = UrlOf(origin, "/f");
    EXPECT_EQ(Fetch(http)->body, "direct");
    qunsetenv("http_proxy");
}

}  // namespace
