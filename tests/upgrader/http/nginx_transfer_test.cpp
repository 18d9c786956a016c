#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <stdexcept>

#include "tests/support/nginx_server.h"
#include "tests/support/qt_printers.h"
#include "tests/upgrader/http/http_event_log.h"
#include "tests/upgrader/http/test_certificate.h"
#include "tests/upgrader/test_files.h"
#include "upgrader/http/custom_http.h"
#include "upgrader/http/status_texts.h"

using namespace upgrader;
using namespace http_test;
using namespace upgrader_test;

namespace {

const QStringList kDone = {"BeforeSendRequest", "HeaderInfo", "DownloadProgress", "Done"};

// One nginx for all plain transfers, with a redirect to itself.
class NginxTransfer : public testing::Test {
  protected:
    NginxTransfer() : server_({QStringLiteral("location = /loop { return 302 /loop; }")}) {}
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
    EXPECT_EQ(ReadFile(http.OutputFileName), content);
    EXPECT_TRUE(log->doneStreamNull) << "the body went to the file";
    EXPECT_EQ(log->doneFileSize, content.size());
    EXPECT_EQ(log->headerLength, content.size());
    EXPECT_EQ(log->lastPercent, 100);
    EXPECT_FALSE(http.Active() || http.Busy());
    // One event per chunk of at most the buffer size, in order, however many
    // arrivals the GUI thread was shown at once; a handler's stop ends them
    // at once, even among chunks shown together.
    ASSERT_FALSE(log->progressReads.isEmpty());
    EXPECT_EQ(log->progressReads.last(), content.size());
    for (qsizetype i = 0; i < log->progressReads.size(); ++i) {
        const qint64 step = log->progressReads[i] - (i > 0 ? log->progressReads[i - 1] : 0);
        EXPECT_TRUE(step > 0 && step <= http.TransferBufferSize) << i << ": " << step;
    }
    EventLog aborted(http);
    int shown = 0;
    http.OnDownloadProgress = [&](auto&&...) {
        if (++shown == 2)
            http.Abort(false, false);
    };
    EXPECT_TRUE(http.Read(true));
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(aborted.Events().last(), "TransferAborted");

    http.OutputFileName.clear();
    EXPECT_EQ(Fetch(http)->body, content);

    // nginx redirects a folder without its "/" to the folder.
    server_.writeFile("update/dir/index.html", "index");
    http.URL = Url("/update/dir");
    EXPECT_EQ(Fetch(http)->body, "index");

    // A redirect to itself: each redirect libcurl follows is reported once,
    // and the answer past its limit is the result.
    std::atomic<int> redirects{0};
    http.OnRedirected = [&](TauCustomHTTP*, const QByteArray&) { ++redirects; };
    http.URL = Url("/loop");
    EXPECT_EQ(Fetch(http)->httpError, 302);
    EXPECT_EQ(redirects, 20);
    http.OnRedirected = nullptr;

    http.URL = Url("/update/missing.exe");
    http.OutputFileName = folder_.filePath("missing.exe.uTMP");
    log = Fetch(http);
    EXPECT_EQ(log->Events(), QStringList({"BeforeSendRequest", "HeaderInfo", "DownloadProgress",
                                          "HTTPError", "AnyError"}));
    EXPECT_EQ(log->httpError, 404);
    EXPECT_TRUE(log->body.contains("404 Not Found")) << log->body.constData();
    EXPECT_FALSE(QFileInfo::exists(http.OutputFileName));
}

// A worker handler that throws while libcurl reports (connecting, sending,
// receiving, closing, letting go of the handle) ends the transfer with an
// event; nothing unwinds through libcurl, and the component goes on working.
TEST_F(NginxTransfer, AThrowingStatusHandlerEndsTheTransfer) {
    server_.writeFile("f.bin", "data");
    for (const int failing : {stConnectingToServer, stSendingRequest, stReceivingResponse,
                              stClosingConnection, stHandleClosing}) {
        SCOPED_TRACE(failing);
        TauCustomHTTP http;
        http.URL = Url("/f.bin");
        http.OnStatusChange = [failing](TauCustomHTTP*, int status, const QString&) {
            if (status == failing)
                throw std::runtime_error("handler fault");
        };
        const QStringList events = Fetch(http)->Events();
        EXPECT_TRUE(events.contains("Done") || events.contains("AnyError"))
            << events.join(",").toStdString();
        http.OnStatusChange = nullptr;
        EXPECT_EQ(Fetch(http)->body, "data");
    }
}

// A partial file resumed: an overlap that matches is not written again; at
// its end the rest is appended; an overlap that differs, or an offset beyond
// the entity, fetches the whole file again; a longer file whose start
// matches is cut to the entity's length; a complete file is told by the
// answer 416 and the entity's size.
TEST_F(NginxTransfer, Resume) {
    const QByteArray content = Pattern(200000, 1);
    server_.writeFile("f.bin", content);
    TauCustomHTTP http;
    http.URL = Url("/f.bin");
    QByteArray spoiled = content.left(150000);
    spoiled[149000] = char(spoiled[149000] ^ 0x55);
    const QString output = http.OutputFileName = folder_.filePath("f.bin.uTMP");
    const QStringList sent = {"BeforeSendRequest", "HeaderInfo"};
    const std::tuple<QByteArray, qsizetype, QStringList> cases[] = {
        {content.left(150000), 150000 - 1000, kDone},
        {content.left(120000), 120000, kDone},
        {spoiled, 150000 - 4096, sent + kDone},
        {content + "stale tail", content.size() - 1000, sent + QStringList{"Done"}},
        {content, content.size(), {"BeforeSendRequest", "AnyError", "DoneWithoutStream"}},
        {content + content, content.size() + 10, QStringList{"BeforeSendRequest"} + kDone},
    };
    for (const auto& [held, from, events] : cases) {
        SCOPED_TRACE(from);
        WriteFile(output, held);
        auto log = Fetch(http, from);
        EXPECT_EQ(log->Events(), events);
        EXPECT_EQ(ReadFile(output), content);
        if (events.endsWith("Done")) {
            EXPECT_EQ(log->doneFileSize, content.size());
        }
    }
}

// Only a certificate the system trusts, for the host's name and in its time,
// is accepted; each option that accepts one fault accepts no other.
TEST(NginxWithTls, CertificatesAreChecked) {
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
        {url, kDefaultInternetOptions, false},
        {url, authority, true},
        {otherName, authority, false},
        {oldUrl, authority, false},
        {oldUrl, authority | ioIgnoreCertificateDateInvalid, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.url + ' ' + QByteArray::number(c.options.toInt())).constData());
        TauCustomHTTP http;
        http.URL = c.url;
        http.InternetOptions = c.options;
        auto log = Fetch(http);
        EXPECT_EQ(log->Events(),
                  c.accepted ? kDone
                             : QStringList({"BeforeSendRequest", "ConnectionFailed", "AnyError"}));
        EXPECT_EQ(log->body, c.accepted ? "secure" : "");
    }
}

}  // namespace
