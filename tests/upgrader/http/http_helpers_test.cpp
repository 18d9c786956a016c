#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "tests/support/qt_printers.h"
#include "tests/upgrader/test_files.h"
#include "upgrader/http/auth_realm.h"
#include "upgrader/http/custom_http.h"
#include "upgrader/http/file_stream.h"
#include "upgrader/http/login_component.h"
#include "upgrader/http/progress_figures.h"
#include "upgrader/http/proxy_bypass.h"
#include "upgrader/http/request_url.h"
#include "upgrader/http/transfer_settings.h"

using namespace upgrader;

TEST(HttpRequestText, QueryEncodingKeepsWrittenEscapes) {
    EXPECT_EQ(EncodeQuery("name=a b+c"), "name=a%20b%2Bc");
    EXPECT_EQ(EncodeQuery("x=%26&y=%2b"), "x=%26&y=%2b") << "escapes already written stay";
    EXPECT_EQ(EncodeQuery("p=100%"), "p=100%25");
    EXPECT_EQ(EncodeQuery("p=%zz&q=%4"), "p=%25zz&q=%254");
    EXPECT_EQ(EncodeQuery("#*<>"), "%23%2A%3C%3E");
    EXPECT_EQ(EncodeQuery(QByteArray("\x01\x7f\x80\xff", 4)), "%01\x7f%80%FF");
    EXPECT_EQ(EncodeQuery("a=1&b=/?:@!$'(),;"), "a=1&b=/?:@!$'(),;");

    EXPECT_EQ(RequestURL("host/p a+th?x y#frag"), "http://host/p%20a+th?x%20y");
    EXPECT_EQ(RequestURL("https://user:pw@h:8443/a%20b/c?d=%26"), "https://h:8443/a%20b/c?d=%26");
    EXPECT_EQ(RequestURL("http://h"), "http://h/");
    EXPECT_EQ(RequestURL("http://h/a/../b"), "http://h/a/../b") << "the path as written";
    EXPECT_TRUE(RequestURL("http://h:99999/").isEmpty());
    EXPECT_TRUE(RequestURL(QByteArray("http://h/\0", 10)).isEmpty());
    EXPECT_TRUE(RequestURL("http://ho\x1ast/").isEmpty()) << "a host that cannot be sent";
}

// (What the request lines say is checked at a server; here what no
// transfer there shows.)
TEST(HttpRequestText, TheResumeRangeWinsAndAnEmptyPostIsStillAPost) {
    EXPECT_EQ(RangeLine(7, 0, {100, 200}), "RANGE: bytes=7-");
    TauTransferSettings settings;
    settings.RequestMethod = rmPost;
    EXPECT_TRUE(PostsForm(settings));
}

TEST(HttpRequestText, ProxyBypassBecomesNoProxyList) {
    EXPECT_EQ(NoProxyList("127.0.0.1;", "updates.example"), "127.0.0.1");
    EXPECT_EQ(NoProxyList("", "h"), "");
    EXPECT_EQ(
        NoProxyList("*.example.com; 10.*;192.168.*.* host:8080,<local> www.*.com;*", "intranet"),
        ".example.com,10.0.0.0/8,192.168.0.0/16,host,intranet,*");
    EXPECT_EQ(NoProxyList("<local>;a.b", "updates.example"), "a.b")
        << "<local> covers names without a dot only";
    EXPECT_EQ(NoProxyList("http://proxyless.example;[::1]:80;1.2.3.4.*", "x.y"),
              "proxyless.example,::1");
}

TEST(HttpRequestText, RealmOfChallenge) {
    EXPECT_EQ(RealmOfChallenge("Digest realm=\"x\", nonce=\"abc\", qop=\"auth\""), "x");
    EXPECT_EQ(RealmOfChallenge("Digest nonce=\"n\", realm=\"r\""), "r");
    EXPECT_EQ(RealmOfChallenge("Basic realm=\"a\\\"b\""), "a\"b");
    EXPECT_EQ(RealmOfChallenge("Basic foo=\"bar\""), "bar");
    EXPECT_EQ(RealmOfChallenge("Basic realm=\"open"), "open");
    EXPECT_EQ(RealmOfChallenge("Negotiate"), "Negotiate");
    EXPECT_EQ(RealmOfChallenge(""), "");
}

TEST(HttpProgress, Figures) {
    TauProgressFigures figures = ComputeProgress(1000, 250, 0, 2500);
    EXPECT_EQ(figures.PercentDone, 25);
    EXPECT_EQ(figures.ElapsedTime, 2);
    EXPECT_EQ(figures.EstimatedTimeLeft, 6);
    EXPECT_FLOAT_EQ(figures.TransferRate, 250.0f / 1024 / 2);

    EXPECT_EQ(ComputeProgress(1000, 500, 1000, 0).PercentDone, 75) << "the offset counts as done";
    EXPECT_FLOAT_EQ(ComputeProgress(1000, 2048, 0, 900).TransferRate, 2.0f)
        << "within the first second, the kilobytes themselves";
    EXPECT_EQ(ComputeProgress(1000, 5000, 0, 0).PercentDone, 100) << "never above 100";

    figures = ComputeProgress(0, 4096, 100, 3000);
    EXPECT_EQ(figures.PercentDone, 0) << "unknown size";
    EXPECT_EQ(figures.EstimatedTimeLeft, 0) << "never negative";
    EXPECT_EQ(ComputeProgress(1000, 0, 0, 5000).EstimatedTimeLeft, 0);
}

TEST(HttpLogin, StoredFormRoundTripsAndRejectsBadData) {
    const QByteArray stored = EncodeLoginInfo("user", "secret");
    ASSERT_EQ(stored.size(), 1 + 11);
    EXPECT_EQ(quint8(stored[0]), 11);
    EXPECT_FALSE(stored.contains("user")) << "not plain text";
    QByteArray badLength = stored;
    badLength[1] = char(quint8(stored[1]) ^ 0x40);  // user-name length beyond the data
    const std::pair<QByteArray, QByteArray> cases[] = {
        {stored, "user|secret"},
        {EncodeLoginInfo("", "pw"), "|pw"},
        {EncodeLoginInfo(QByteArray(126, 'u'), ""), QByteArray(126, 'u') + '|'},
        {"", "none"},
        {QByteArray(1, '\0'), "none"},
        {QByteArray(1, char(128)) + QByteArray(128, 'x'), "none"},
        {stored.left(5), "none"},  // shorter than announced
        {badLength, "none"},
    };
    for (const auto& [data, login] : cases) {
        const auto read = DecodeLoginInfo(data);
        EXPECT_EQ(read ? read->UserName + "|" + read->Password : QByteArray("none"), login)
            << login.data();
    }
    EXPECT_TRUE(EncodeLoginInfo("", "").isEmpty());
    EXPECT_TRUE(EncodeLoginInfo(QByteArray(100, 'u'), QByteArray(27, 'p')).isEmpty())
        << "more than 126 bytes have no stored form";

    TauLoginComponent component;
    component.HTTPUsername = "a";
    component.HTTPPassword = "b";
    TauLoginComponent other;
    EXPECT_TRUE(other.SetLInfo(component.LInfo()));
    EXPECT_FALSE(other.SetLInfo("junk"));
    EXPECT_EQ(other.HTTPUsername + other.HTTPPassword, "ab") << "unchanged by bad data";
}

TEST(HttpSettings, AttributeNotifications) {
    TauCustomHTTP http;
    http.Abort(true, true);  // nothing runs: nothing happens

    int changes = 0;
    TauOutputFileAttributes& attributes = http.OutputFileAttributes;
    attributes.OnChange = [&] { ++changes; };
    attributes.SetComplete(atrArchive);
    EXPECT_EQ(changes, 0) << "the same value is no change";
    attributes.SetIncomplete(atrArchive | atrHidden | atrTemporary);
    EXPECT_EQ(changes, 1);
    attributes.Assign(nullptr);
    EXPECT_EQ(attributes.Incomplete(), atrArchive | atrTemporary);
    EXPECT_EQ(changes, 2);
}

TEST(HttpOutputFile, OpeningRules) {
    QTemporaryDir folder;
    const QString path = folder.filePath("out.uTMP");
    upgrader_test::WriteFile(path, "0123456789");
    QFile::setPermissions(path, QFileDevice::ReadOwner);

    QString error;
    auto kept = OpenOutputFile(path, false, error);
    ASSERT_TRUE(kept) << error.toStdString();
    EXPECT_EQ(kept->size(), 10) << "opened without emptying";
    EXPECT_TRUE(kept->seek(10));
    EXPECT_EQ(kept->write("ab"), 2) << "a read-only file is written through the open stream";
    kept.reset();
    EXPECT_EQ(upgrader_test::ReadFile(path), "0123456789ab");
    EXPECT_FALSE(QFileInfo(path).permissions() & QFileDevice::WriteOwner)
        << "its attributes are restored";

    auto fresh = OpenOutputFile(path, true, error);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->size(), 0);
    fresh.reset();

    EXPECT_FALSE(OpenOutputFile(folder.path(), true, error));
    EXPECT_TRUE(error.startsWith("Cannot create file \"" + folder.path() + "\". "))
        << error.toStdString();
    EXPECT_FALSE(OpenOutputFile("relative-missing/x", true, error));
    EXPECT_TRUE(error.contains(QFileInfo("relative-missing/x").absoluteFilePath()))
        << "the expanded file name";
}
