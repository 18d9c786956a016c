#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "tests/support/nginx_server.h"
#include "tests/support/qt_printers.h"
#include "tests/upgrader/http/http_event_log.h"
#include "tests/upgrader/http/http_test_files.h"
#include "tests/upgrader/http/test_certificate.h"
#include "upgrader/http/curl_request.h"
#include "upgrader/http/custom_http.h"
#include "upgrader/http/status_texts.h"

using namespace upgrader;
using namespace http_test;

namespace {

const QStringList kDone = {"BeforeSendRequest", "HeaderInfo", "DownloadProgress", "Done"};

class NginxTransfer : public testing::Test {
  protected:
    explicit NginxTransfer(const test_support::NginxServer::Options& options = {})
        : server_(options) {}

    QByteArray Url(const QString& path) const { return (server_.baseUrl() + path).toUtf8(); }
    QString Output(const QString& name) const { return folder_.filePath(name); }

    test_support::NginxServer server_;
    QTemporaryDir folder_;
};

TEST_F(NginxTransfer, FileToDiskAndToMemory) {
    const QByteArray content = Pattern(300000);
    server_.writeFile("update/quorvane.exe", content);

    TauCustomHTTP http;
    EventLog log(http);
    http.URL = Url("/update/quorvane.exe");
    http.OutputFileName = Output("quorvane.exe.uTMP");
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(log.Events(), kDone);
    EXPECT_TRUE(log.AllGuiEventsOnGuiThread());
    EXPECT_FALSE(log.StatusEverOnGuiThread());
    EXPECT_EQ(ReadFile(http.OutputFileName), content);
    EXPECT_TRUE(log.doneStreamNull) << "the body went to the file";
    EXPECT_EQ(log.doneFileSize, content.size());
    EXPECT_EQ(log.headerStatus, 200);
    EXPECT_EQ(log.headerLength, content.size());
    EXPECT_TRUE(log.headerRawHeaders.startsWith("HTTP/1.1 200 OK\r\n"));
    EXPECT_EQ(log.lastPercent, 100);
    EXPECT_LE(log.largestChunk, 4096) << "chunks never exceed the buffer size";
    EXPECT_GE(log.ProgressCount(), int(content.size() / 4096));
    EXPECT_FALSE(http.Active());
    EXPECT_FALSE(http.Busy());
    for (const char* status :
         {"Handle created", "Connecting to server", "Connected", "Sending Request", "Request sent",
          "Receiving response", "Response received", "Handle closing"})
        EXPECT_TRUE(log.StatusTexts().contains(status)) << status;

    EventLog memoryLog(http);
    http.OutputFileName.clear();
    http.TransferBufferSize = 100;  // below the smallest size: 255
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(memoryLog.Events(), kDone);
    EXPECT_EQ(memoryLog.body, content);
    EXPECT_FALSE(memoryLog.doneStreamNull);
    EXPECT_LE(memoryLog.largestChunk, 255);
    EXPECT_GT(memoryLog.largestChunk, 200);

    EventLog schemeless(http);
    http.URL = Url("/update/quorvane.exe").mid(7);  // no "http://"
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(schemeless.body, content);
}

TEST_F(NginxTransfer, NotFoundGivesTheErrorBodyAndNoFile) {
    TauCustomHTTP http;
    EventLog log(http);
    http.URL = Url("/update/missing.exe");
    http.OutputFileName = Output("missing.exe.uTMP");
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(log.Events(), QStringList({"BeforeSendRequest", "HeaderInfo", "DownloadProgress",
                                         "HTTPError", "AnyError"}));
    EXPECT_EQ(log.httpError, 404);
    EXPECT_TRUE(log.body.contains("404 Not Found")) << log.body.constData();
    EXPECT_FALSE(QFileInfo::exists(http.OutputFileName));
}

TEST_F(NginxTransfer, RangesAndResume) {
    const QByteArray content = Pattern(200000, 1);
    server_.writeFile("f.bin", content);
    TauCustomHTTP http;
    http.URL = Url("/f.bin");

    // Into memory: the Range setting, then a range given to Read.
    EventLog fromSetting(http);
    http.Range = {100, 0};
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(http.StatusCode(), 206);
    EXPECT_EQ(fromSetting.body, content.mid(100));
    http.Range = {};
    EventLog part(http);
    ASSERT_TRUE(http.Read(100, 199, true));
    EXPECT_EQ(part.body, content.mid(100, 100));

    // A partial file resumed with an overlap that matches: the overlap is
    // neither written again nor shown as progress.
    const QString output = Output("f.bin.uTMP");
    http.OutputFileName = output;
    WriteFile(output, content.left(150000));
    EventLog matching(http);
    http.TransferBufferSize = 1000;  // less than any first delivery
    ASSERT_TRUE(http.Read(150000 - 1000, 0, true));
    EXPECT_EQ(matching.Events(), kDone);
    EXPECT_EQ(ReadFile(output), content);
    EXPECT_EQ(matching.doneFileSize, content.size());
    EXPECT_EQ(matching.headerLength, content.size());
    http.TransferBufferSize = 4096;

    // Resumed right at its end: nothing to compare, the rest is appended.
    WriteFile(output, content.left(120000));
    EventLog atEnd(http);
    ASSERT_TRUE(http.Read(120000, 0, true));
    EXPECT_EQ(atEnd.Events(), kDone);
    EXPECT_EQ(ReadFile(output), content);

    // An overlap that differs: the whole file is fetched again.
    QByteArray spoiled = content.left(150000);
    spoiled[149000] = char(spoiled[149000] ^ 0x55);
    WriteFile(output, spoiled);
    EventLog differing(http);
    ASSERT_TRUE(http.Read(150000 - 4096, 0, true));
    EXPECT_EQ(differing.Events(),
              QStringList({"BeforeSendRequest", "HeaderInfo", "BeforeSendRequest", "HeaderInfo",
                           "DownloadProgress", "Done"}));
    EXPECT_EQ(ReadFile(output), content);
    EXPECT_EQ(differing.doneFileSize, content.size());

    // A file longer than the entity whose start matches is cut to the
    // entity's length; the body, all of it already held, raises no progress.
    WriteFile(output, content + "stale tail");
    EventLog longer(http);
    ASSERT_TRUE(http.Read(content.size() - 1000, 0, true));
    EXPECT_EQ(longer.Events(), QStringList({"BeforeSendRequest", "HeaderInfo", "Done"}));
    EXPECT_EQ(ReadFile(output), content);
}

TEST_F(NginxTransfer, RangeNotSatisfiable) {
    const QByteArray content = Pattern(50000, 2);
    server_.writeFile("f.bin", content);
    TauCustomHTTP http;
    http.URL = Url("/f.bin");
    http.OutputFileName = Output("f.bin.uTMP");

    // Complete already: the answer 416 and the entity's size tell so.
    WriteFile(http.OutputFileName, content);
    EventLog complete(http);
    ASSERT_TRUE(http.Read(content.size(), 0, true));
    EXPECT_EQ(complete.Events(),
              QStringList({"BeforeSendRequest", "AnyError", "DoneWithoutStream"}));
    EXPECT_EQ(ReadFile(http.OutputFileName), content);

    // An offset beyond the entity: fetched again whole.
    WriteFile(http.OutputFileName, content + content);
    EventLog beyond(http);
    ASSERT_TRUE(http.Read(content.size() + 10, 0, true));
    EXPECT_EQ(beyond.Events(), QStringList({"BeforeSendRequest", "BeforeSendRequest", "HeaderInfo",
                                            "DownloadProgress", "Done"}));
    EXPECT_EQ(ReadFile(http.OutputFileName), content);

    // Without a resume offset 416 is an answer like any other.
    http.OutputFileName.clear();
    http.Range = {quint64(content.size()) + 5, 0};
    EventLog plain(http);
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(plain.httpError, 416);
}

TEST_F(NginxTransfer, RedirectIsFollowedAndReported) {
    server_.writeFile("update/new.bin", "moved here");
    TauCustomHTTP http;
    EventLog log(http);
    http.URL = Url("/update/new.bin");
    ASSERT_TRUE(http.Read(true));
    ASSERT_EQ(log.body, "moved here");

    // nginx redirects a folder without its "/" to the folder.
    server_.writeFile("update/dir/index.html", "index");
    EventLog followed(http);
    http.URL = Url("/update/dir");
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(followed.Events(), kDone);
    EXPECT_EQ(followed.body, "index");
    ASSERT_EQ(followed.redirects.size(), 1);
    EXPECT_TRUE(followed.redirects[0].endsWith("/update/dir/"))
        << followed.redirects[0].constData();
    EXPECT_TRUE(followed.StatusTexts().contains("Redirect"));

    http.InternetOptions |= ioNoAutoRedirect;
    EventLog notFollowed(http);
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(notFollowed.httpError, 301);
    EXPECT_TRUE(notFollowed.redirects.isEmpty());
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
        // The component goes on working.
        http.OnStatusChange = nullptr;
        EventLog again(http);
        ASSERT_TRUE(http.Read(true));
        EXPECT_EQ(again.body, "data") << failing;
    }
}

// A redirect to itself: followed up to libcurl's limit, each reported once,
// and the one past the limit reported as none.
class NginxWithEndlessRedirect : public NginxTransfer {
  protected:
    NginxWithEndlessRedirect()
        : NginxTransfer({QStringLiteral("location = /loop { return 302 /loop; }"), false}) {}
};

TEST_F(NginxWithEndlessRedirect, ReportsExactlyTheRedirectsFollowed) {
    TauCustomHTTP http;
    EventLog log(http);
    http.URL = Url("/loop");
    http.Read(true);
    EXPECT_EQ(log.redirects.size(), TauCurlRequest::kMostRedirects);
    EXPECT_EQ(log.StatusTexts().count("Redirect"), TauCurlRequest::kMostRedirects);
    EXPECT_EQ(log.httpError, 302) << "the last answer is the result";
}

class NginxWithLogin : public NginxTransfer {
  protected:
    NginxWithLogin()
        : NginxTransfer({QStringLiteral("location /private/ { auth_basic \"Quorvane Updates\";"
                                        " auth_basic_user_file htpasswd; }"),
                         false}) {
        WriteFile(server_.prefix() + "/htpasswd", HtpasswdLine("user", "secret"));
        server_.writeFile("private/f.bin", "the private file");
    }
};

TEST_F(NginxWithLogin, PasswordHandlerSuppliesOrGivesUp) {
    TauCustomHTTP http;
    http.URL = Url("/private/f.bin");
    EventLog log(http);
    int asked = 0;
    http.OnHTTPPasswordRequest = [&](TauCustomHTTP* sender, const QByteArray& realm,
                                     bool& tryAgain) {
        log.Note("PasswordRequest");
        log.realm = realm;
        ++asked;
        sender->HTTPUsername = "user";
        sender->HTTPPassword = asked < 3 ? "wrong" : "secret";
        tryAgain = true;
    };
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(asked, 3) << "asked again while the credentials are refused";
    EXPECT_EQ(log.Events(),
              QStringList({"BeforeSendRequest", "PasswordRequest", "PasswordRequest",
                           "PasswordRequest", "HeaderInfo", "DownloadProgress", "Done"}));
    EXPECT_EQ(log.realm, "Quorvane Updates");
    EXPECT_EQ(log.body, "the private file");

    // The credentials are kept: the next transfer needs no question.
    EventLog known(http);
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(known.body, "the private file");

    http.HTTPUsername = "user";
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
    EventLog inUrl(http);
    http.URL = Url("/private/f.bin").replace("http://", "http://user:secret@");
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(inUrl.body, "the private file");

    http.InternetOptions |= ioNoAuthentication;
    EventLog forbidden(http);
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(forbidden.httpError, 401) << "no credentials are sent at all";
}

class NginxWithTls : public NginxTransfer {
  protected:
    NginxWithTls() : NginxTransfer(Options()) { server_.writeFile("f.bin", "secure"); }

    static test_support::NginxServer::Options Options() {
        const TestCertificate selfSigned = MakeCertificate("127.0.0.1", 0, 2);
        return {QString(), true, selfSigned.certificatePem, selfSigned.keyPem};
    }
};

TEST_F(NginxWithTls, SelfSignedCertificateNeedsTheIgnoreOptions) {
    TauCustomHTTP http;
    http.URL = Url("/f.bin");
    EventLog refused(http);
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(refused.Events(), QStringList({"BeforeSendRequest", "ConnectionFailed", "AnyError"}));

    http.InternetOptions |= ioIgnoreCertificateInvalid | ioIgnoreCertificateDateInvalid;
    EventLog wrongOption(http);
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(wrongOption.Events().value(1), "ConnectionFailed")
        << "host and date checks do not cover an unknown authority";

    http.InternetOptions = ioKeepConnection | ioIgnoreUnknownCertificateAuthority;
    EventLog accepted(http);
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(accepted.Events(), kDone);
    EXPECT_EQ(accepted.body, "secure");

    // The certificate names 127.0.0.1, not "localhost".
    http.URL = Url("/f.bin").replace("127.0.0.1", "localhost");
    EventLog otherName(http);
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(otherName.Events().value(1), "ConnectionFailed");
    http.InternetOptions |= ioIgnoreCertificateInvalid;
    EventLog anyName(http);
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(anyName.body, "secure");
}

class NginxWithExpiredCertificate : public NginxTransfer {
  protected:
    NginxWithExpiredCertificate() : NginxTransfer(Options()) { server_.writeFile("f.bin", "old"); }

    static test_support::NginxServer::Options Options() {
        const TestCertificate expired = MakeCertificate("127.0.0.1", -30, -1);
        return {QString(), true, expired.certificatePem, expired.keyPem};
    }
};

TEST_F(NginxWithExpiredCertificate, DateOptionAcceptsOnlyTheDate) {
    TauCustomHTTP http;
    http.URL = Url("/f.bin");
    http.InternetOptions |= ioIgnoreUnknownCertificateAuthority;  // it is self-signed too
    EventLog refused(http);
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(refused.Events().value(1), "ConnectionFailed") << "expired";

    http.InternetOptions |= ioIgnoreCertificateDateInvalid;
    EventLog accepted(http);
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(accepted.body, "old");

    http.InternetOptions = ioKeepConnection | ioIgnoreCertificateDateInvalid;
    EventLog unknownAuthority(http);
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(unknownAuthority.Events().value(1), "ConnectionFailed")
        << "the date option does not accept an unknown authority";
}

}  // namespace
