#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "tests/support/nginx_server.h"
#include "tests/support/qt_printers.h"
#include "tests/upgrader/http/http_event_log.h"
#include "tests/upgrader/http/test_certificate.h"
#include "tests/upgrader/test_files.h"
#include "upgrader/http/curl_request.h"
#include "upgrader/http/custom_http.h"
#include "upgrader/http/status_texts.h"

using namespace upgrader;
using namespace http_test;
using namespace upgrader_test;

namespace {

const QStringList kDone = {"BeforeSendRequest", "HeaderInfo", "DownloadProgress", "Done"};

// One nginx for all plain transfers: a redirect to itself and a folder
// behind a login besides the files.
class NginxTransfer : public testing::Test {
  protected:
    NginxTransfer()
        : server_({QStringLiteral("location = /loop { return 302 /loop; }"
                                  " location /private/ { auth_basic \"Quorvane Updates\";"
                                  " auth_basic_user_file htpasswd; }")}) {}

    QByteArray Url(const QString& path) const { return (server_.baseUrl() + path).toUtf8(); }

    test_support::NginxServer server_;
    QTemporaryDir folder_;
};

TEST_F(NginxTransfer, FileToDiskAndToMemory) {
    const QByteArray content = Pattern(300000);
    server_.writeFile("update/quorvane.exe", content);
    TauCustomHTTP http;
    http.URL = Url("/update/quorvane.exe");
    http.OutputFileName = folder_.filePath("quorvane.exe.uTMP");
    auto log = Fetch(http);
    EXPECT_EQ(log->Events(), kDone);
    EXPECT_TRUE(log->AllGuiEventsOnGuiThread());
    EXPECT_FALSE(log->StatusEverOnGuiThread());
    EXPECT_EQ(ReadFile(http.OutputFileName), content);
    EXPECT_TRUE(log->doneStreamNull) << "the body went to the file";
    EXPECT_EQ(log->doneFileSize, content.size());
    EXPECT_EQ(log->headerStatus, 200);
    EXPECT_EQ(log->headerLength, content.size());
    EXPECT_TRUE(log->headerRawHeaders.startsWith("HTTP/1.1 200 OK\r\n"));
    EXPECT_EQ(log->lastPercent, 100);
    EXPECT_LE(log->largestChunk, 4096) << "chunks never exceed the buffer size";
    EXPECT_GE(log->ProgressCount(), int(content.size() / 4096));
    EXPECT_FALSE(http.Active() || http.Busy());
    for (const char* status :
         {"Handle created", "Connecting to server", "Connected", "Sending Request", "Request sent",
          "Receiving response", "Response received", "Handle closing"})
        EXPECT_TRUE(log->StatusTexts().contains(status)) << status;

    http.OutputFileName.clear();
    http.TransferBufferSize = 100;  // below the smallest size: 255
    log = Fetch(http);
    EXPECT_EQ(log->Events(), kDone);
    EXPECT_EQ(log->body, content);
    EXPECT_FALSE(log->doneStreamNull);
    EXPECT_LE(log->largestChunk, 255);
    EXPECT_GT(log->largestChunk, 200);
    http.URL = Url("/update/quorvane.exe").mid(7);  // no "http://"
    EXPECT_EQ(Fetch(http)->body, content);

    http.URL = Url("/update/missing.exe");
    http.OutputFileName = folder_.filePath("missing.exe.uTMP");
    log = Fetch(http);
    EXPECT_EQ(log->Events(), QStringList({"BeforeSendRequest", "HeaderInfo", "DownloadProgress",
                                          "HTTPError", "AnyError"}));
    EXPECT_EQ(log->httpError, 404);
    EXPECT_TRUE(log->body.contains("404 Not Found")) << log->body.constData();
    EXPECT_FALSE(QFileInfo::exists(http.OutputFileName));
}

TEST_F(NginxTransfer, RangesAndResume) {
    const QByteArray content = Pattern(200000, 1);
    server_.writeFile("f.bin", content);
    TauCustomHTTP http;
    http.URL = Url("/f.bin");

    // Into memory: the Range setting, then a range given to Read.
    http.Range = {100, 0};
    EXPECT_EQ(Fetch(http)->body, content.mid(100));
    EXPECT_EQ(http.StatusCode(), 206);
    http.Range = {};
    EXPECT_EQ(Fetch(http, 100, 199)->body, content.mid(100, 100));

    // A partial file resumed: an overlap that matches is neither written again
    // nor shown as progress (a buffer less than any first delivery); at its
    // end the rest is appended; an overlap that differs, or an offset beyond
    // the entity, fetches the whole file again; a longer file whose start
    // matches is cut to the entity's length (the body, all of it already
    // held, raises no progress); a complete file is told by the answer 416
    // and the entity's size.
    QByteArray spoiled = content.left(150000);
    spoiled[149000] = char(spoiled[149000] ^ 0x55);
    const QString output = http.OutputFileName = folder_.filePath("f.bin.uTMP");
    const QStringList sent = {"BeforeSendRequest", "HeaderInfo"};
    const std::tuple<QByteArray, qsizetype, qint32, QStringList> cases[] = {
        {content.left(150000), 150000 - 1000, 1000, kDone},
        {content.left(120000), 120000, 4096, kDone},
        {spoiled, 150000 - 4096, 4096, sent + kDone},
        {content + "stale tail", content.size() - 1000, 4096, sent + QStringList{"Done"}},
        {content, content.size(), 4096, {"BeforeSendRequest", "AnyError", "DoneWithoutStream"}},
        {content + content, content.size() + 10, 4096, QStringList{"BeforeSendRequest"} + kDone},
    };
    for (const auto& [held, from, buffer, events] : cases) {
        WriteFile(output, held);
        http.TransferBufferSize = buffer;
        auto log = Fetch(http, from);
        EXPECT_EQ(log->Events(), events) << from;
        EXPECT_EQ(ReadFile(output), content) << from;
        if (events.endsWith("Done")) {
            EXPECT_EQ(log->doneFileSize, content.size()) << from;
            EXPECT_EQ(log->headerLength, content.size()) << from;
        }
    }

    // Without a resume offset 416 is an answer like any other.
    http.OutputFileName.clear();
    http.Range = {quint64(content.size()) + 5, 0};
    EXPECT_EQ(Fetch(http)->httpError, 416);
}

TEST_F(NginxTransfer, Redirects) {
    // nginx redirects a folder without its "/" to the folder.
    server_.writeFile("update/dir/index.html", "index");
    TauCustomHTTP http;
    http.URL = Url("/update/dir");
    auto log = Fetch(http);
    EXPECT_EQ(log->Events(), kDone);
    EXPECT_EQ(log->body, "index");
    ASSERT_EQ(log->redirects.size(), 1);
    EXPECT_TRUE(log->redirects[0].endsWith("/update/dir/")) << log->redirects[0].constData();
    EXPECT_TRUE(log->StatusTexts().contains("Redirect"));

    // A redirect to itself: followed up to libcurl's limit, each reported
    // once, and the one past the limit reported as none.
    http.URL = Url("/loop");
    log = Fetch(http);
    EXPECT_EQ(log->redirects.size(), TauCurlRequest::kMostRedirects);
    EXPECT_EQ(log->StatusTexts().count("Redirect"), TauCurlRequest::kMostRedirects);
    EXPECT_EQ(log->httpError, 302) << "the last answer is the result";

    http.URL = Url("/update/dir");
    http.InternetOptions |= ioNoAutoRedirect;
    log = Fetch(http);
    EXPECT_EQ(log->httpError, 301);
    EXPECT_TRUE(log->redirects.isEmpty());
}

// A worker handler that throws while libcurl reports (connecting, sending,
// receiving, closing, letting go of the handle) ends the transfer with an
// error event; nothing unwinds through libcurl.
TEST_F(NginxTransfer, AThrowingStatusHandlerEndsTheTransferWithAnError) {
    server_.writeFile("f.bin", "data");
    for (const int failing : {stConnectingToServer, stSendingRequest, stReceivingResponse,
                              stClosingConnection, stHandleClosing}) {
        TauCustomHTTP http;
        EventLog log(http);
        http.URL = Url("/f.bin");
        http.OnStatusChange = [failing](TauCustomHTTP*, int status, const QString&) {
            if (status == failing)
                throw std::runtime_error("handler fault");
        };
        ASSERT_TRUE(http.Read(true)) << failing;
        const QStringList events = log.Events();
        EXPECT_TRUE(events.contains("Done") || events.contains("AnyError"))
            << failing << events.join(",").toStdString();
        EXPECT_EQ(Fetch(http)->body, "data") << "the component goes on working";
    }
}

TEST_F(NginxTransfer, PasswordHandlerSuppliesOrGivesUp) {
    WriteFile(server_.prefix() + "/htpasswd", "user:{PLAIN}secret\n");
    server_.writeFile("private/f.bin", "the private file");
    TauCustomHTTP http;
    http.URL = Url("/private/f.bin");
    EventLog log(http);
    int asked = 0;
    http.OnHTTPPasswordRequest = [&](TauCustomHTTP* sender, const QByteArray& realm,
                                     bool& tryAgain) {
        log.Note("PasswordRequest");
        log.realm = realm;
        sender->HTTPUsername = "user";
        sender->HTTPPassword = ++asked < 3 ? "wrong" : "secret";
        tryAgain = true;
    };
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(asked, 3) << "asked again while the credentials are refused";
    EXPECT_EQ(log.Events(),
              QStringList({"BeforeSendRequest", "PasswordRequest", "PasswordRequest",
                           "PasswordRequest", "HeaderInfo", "DownloadProgress", "Done"}));
    EXPECT_EQ(log.realm, "Quorvane Updates");
    EXPECT_EQ(log.body, "the private file");
    http.OnHTTPPasswordRequest = nullptr;
    EXPECT_EQ(Fetch(http)->body, "the private file") << "the credentials are kept";

    http.HTTPPassword = "wrong";
    EventLog givenUp(http);
    http.OnHTTPPasswordRequest = [&](TauCustomHTTP*, const QByteArray&, bool&) {
        givenUp.Note("PasswordRequest");
    };
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(givenUp.Events(), QStringList({"BeforeSendRequest", "PasswordRequest", "HeaderInfo",
                                             "DownloadProgress", "HTTPError", "AnyError"}));
    EXPECT_EQ(givenUp.httpError, 401);
    EXPECT_TRUE(givenUp.body.contains("401 Authorization Required"));

    // Credentials in the URL take the place of HTTPUsername/HTTPPassword.
    http.OnHTTPPasswordRequest = nullptr;
    http.URL = Url("/private/f.bin").replace("http://", "http://user:secret@");
    EXPECT_EQ(Fetch(http)->body, "the private file");
    http.InternetOptions |= ioNoAuthentication;
    EXPECT_EQ(Fetch(http)->httpError, 401) << "no credentials are sent at all";
}

// The options that accept a certificate each accept their own fault only:
// an unknown authority, another name, a date past.
TEST(NginxWithTls, EachIgnoreOptionAcceptsItsOwnFaultOnly) {
    const TestCertificate valid = MakeCertificate("127.0.0.1", 0, 2);
    const TestCertificate expired = MakeCertificate("127.0.0.1", -30, -1);
    test_support::NginxServer fresh({QString(), true, valid.certificatePem, valid.keyPem});
    test_support::NginxServer old({QString(), true, expired.certificatePem, expired.keyPem});
    fresh.writeFile("f.bin", "secure");
    old.writeFile("f.bin", "secure");
    const QByteArray url = fresh.baseUrl().toUtf8() + "/f.bin";
    const QByteArray otherName = QByteArray(url).replace("127.0.0.1", "localhost");
    const QByteArray oldUrl = old.baseUrl().toUtf8() + "/f.bin";
    const TauInternetOptions authority = ioKeepConnection | ioIgnoreUnknownCertificateAuthority;
    const struct {
        QByteArray url;
        TauInternetOptions options;
        bool accepted;
    } cases[] = {
        {url, ioKeepConnection, false},
        {url, ioIgnoreCertificateInvalid | ioIgnoreCertificateDateInvalid, false},
        {url, authority, true},
        {otherName, authority, false},
        {otherName, authority | ioIgnoreCertificateInvalid, true},
        {oldUrl, authority, false},
        {oldUrl, authority | ioIgnoreCertificateDateInvalid, true},
        {oldUrl, ioKeepConnection | ioIgnoreCertificateDateInvalid, false},
    };
    for (const auto& c : cases) {
        TauCustomHTTP http;
        http.URL = c.url;
        http.InternetOptions = c.options;
        auto log = Fetch(http);
        EXPECT_EQ(
            log->Events(),
            c.accepted ? kDone : QStringList({"BeforeSendRequest", "ConnectionFailed", "AnyError"}))
            << c.url.constData() << c.options.toInt();
        EXPECT_EQ(log->body, c.accepted ? "secure" : "");
    }
}

}  // namespace
