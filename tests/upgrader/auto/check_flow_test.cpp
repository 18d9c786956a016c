// The check: the version decision, the reactions to what the info file
// says, the automatic check timer and the failures of the info file's fetch.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QTimer>

#include "common/executable_folder.h"
#include "common/text_codec.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/file_contents.h"
#include "tests/support/minisign_keys.h"
#include "tests/support/qt_printers.h"
#include "tests/support/scripted_http_server.h"
#include "tests/support/wait.h"
#include "tests/upgrader/auto/upgrade_fixture.h"
#include "upgrader/auto/version_decision.h"
#include "upgrader/dialogs/wizard_form.h"
#include "upgrader/http/answer_headers.h"
#include "upgrader/info/version_date.h"
#include "upgrader/utils/network_presence.h"

using namespace upgrader;
using test_support::ServeEvents;
using test_support::WaitUntil;
using namespace upgrader_test;

// The decision by number is tested through the whole check (CheckFlow).
TEST(VersionDecision, ByDate) {
    EXPECT_FALSE(IsNewerVersion("#version=9#date=01/01/2000", byDate, "2.0.0.5", "01/03/2017"))
        << "the date decides, not the number";
    EXPECT_TRUE(IsNewerVersion("#date=01/04/2017\n", byDate, "", "01/03/2017"));
    EXPECT_FALSE(IsNewerVersion("#date=01/03/2017\n", byDate, "", "01/03/2017"));
    const QByteArray today = FormatVersionDate(DateTimeFromDate(QDate::currentDate()));
    EXPECT_FALSE(IsNewerVersion("#date=2016-12-31\n", byDate, "", today)) << "unreadable: today";
}

class CheckFlow : public UpgradeFixture {};

TEST_F(CheckFlow, AWaitingCheckDecidesWithoutAskingOrDownloading) {
    const QString exe = "update/quorvane.exe";
    // A staged release, offered to half the clients, for one with the number.
    const QByteArray half = "#rollout=50@0\r\n";
    const struct {
        QByteArray version;
        QStringList files;
        bool newer;
        QByteArray more{};
        QByteArray number{};
    } cases[] = {{"2.0.0.6", {exe}, true},
                 {"2.0.0.5", {exe}, false},
                 {"2.0.0.10", {exe, "update/other.dat"}, true},
                 {"2.0.0.6", {}, false},
                 {"", {exe}, false},
                 {"2.0.0.6", {exe}, true, half, "4999"},
                 {"2.0.0.6", {exe}, false, half, "5000"},
                 {"2.0.0.6", {exe}, false, half + "#rollout_halted=1\r\n", "0"}};
    const QString number =
        BesideProgram(QFileInfo(common::ExecutablePath()).fileName() + ".rollout-number");
    for (const auto& c : cases) {
        SCOPED_TRACE((c.version + ' ' + c.more + c.number).constData());
        test_support::WriteFile(number, c.number.isEmpty() ? "0" : c.number);
        Publish(c.version, c.files, c.more);
        EXPECT_EQ(upgrader->CheckUpdate(true), c.newer);
        EXPECT_EQ(upgrader->DownloadList().size(), c.files.size());
    }
    EXPECT_TRUE(answers->questions.isEmpty());
    EXPECT_EQ(WizardForm(), nullptr);
    EXPECT_TRUE(TempFiles().isEmpty());

    // A missing info file leaves the previous verdict.
    Publish("2.0.0.6", {exe});
    EXPECT_TRUE(upgrader->CheckUpdate(true));
    upgrader->InfoFileURL = Url("update/missing.inf").toUtf8();
    EXPECT_TRUE(upgrader->CheckUpdate(true));
    EXPECT_TRUE(answers->boxes.isEmpty()) << "no dialogs by default";

    // The messages of a check asked for.
    log.events.clear();
    upgrader->ShowMessages |= mNoUpdateAvailable | mNoInfoFile | mHostUnreachable;
    upgrader->InfoFileURL = Url("update/quorvane.inf").toUtf8();
    Publish("2.0.0.5", {exe});
    EXPECT_FALSE(upgrader->CheckUpdate(true));
    upgrader->InfoFileURL = Url("update/missing.inf").toUtf8();
    EXPECT_FALSE(upgrader->CheckUpdate(true));
    upgrader->InfoFileURL = QStringLiteral("http://127.0.0.1:%1/update/quorvane.inf")
                                .arg(test_support::FreeLoopbackPort())
                                .toUtf8();
    EXPECT_FALSE(upgrader->CheckUpdate(true));
    EXPECT_EQ(answers->boxes,
              QStringList({"Application update wizard | Newer version not found. You actually "
                           "are\nusing most recent version of this program.",
                           "Application update wizard | File which contains upgrade information "
                           "was not found on developer's site.",
                           "Application update wizard | Host 'http://127.0.0.1' unreachable.\n\n"
                           "Please check your Internet connection and\ntry to upgrade this "
                           "software again later."}));
    EXPECT_EQ(log.events, QStringList({"NoUpdateAvailable", "NoInfoFile",
                                       "HostUnreachable quorvane.inf 127.0.0.1"}));
    EXPECT_EQ(upgrader->AutoCheckTimerInterval(), 0) << "only an automatic check retries";
}

TEST_F(CheckFlow, TheQuestionShowsTheNoticeAndLaterEndsTheCheck) {
    const QString notice = QStringLiteral("请注意：升级后客户端会自动重启。");
    Publish("2.0.0.6", {"update/quorvane.exe"},
            "#message={" + common::ToGbk(notice) + "\r\nsecond line}\r\n");
    answers->questionYes = false;
    EXPECT_FALSE(upgrader->CheckUpdate(false)) << "gives the previous verdict at once";
    ASSERT_TRUE(WaitForEnd("LaterUpgrade"));
    EXPECT_EQ(log.events,
              QStringList({"BeginUpgrade 0 1 " + notice + "\r\nsecond line", "LaterUpgrade"}));
    ASSERT_EQ(answers->questions.size(), 1);
    EXPECT_TRUE(answers->questions[0].contains(notice)) << answers->questions[0].toStdString();
    EXPECT_EQ(WizardForm(), nullptr);
    ServeEvents(200);
    EXPECT_TRUE(TempFiles().isEmpty());
}

// The redirect method opens the first address in the browser, and never one
// that would read as the browser's option.
TEST_F(CheckFlow, TheRedirectMethodOpensTheFirstAddressInTheBrowserOnly) {
    test_support::FakeDesktop desktop;
    const QString browser = desktop.WriteRecordingProgram("browser");
    desktop.WriteEntry("fake.desktop", browser + " %u");
    desktop.SetDefaults("x-scheme-handler/http=fake.desktop\ntext/html=fake.desktop\n");
    Publish("2.0.0.6", {"--renderer-cmd-prefix=touch /tmp/x; ://x"}, "#method=2\r\n");
    upgrader->CheckUpdate(false);
    ServeEvents(1000);
    EXPECT_EQ(log.events, QStringList{"BeginUpgrade 2 1 "});
    EXPECT_EQ(desktop.RecordedArguments(), "");

    Publish("2.0.0.6", {"news/release notes.html", "update/quorvane.exe"}, "#method=2\r\n");
    upgrader->CheckUpdate(false);
    ASSERT_TRUE(WaitUntil([&] { return !desktop.RecordedArguments().isEmpty(); }));
    EXPECT_EQ(desktop.RecordedArguments(), Url("news/release notes.html"));
    EXPECT_EQ(WizardForm(), nullptr);
    ServeEvents(300);
    EXPECT_TRUE(TempFiles().isEmpty());
}

// As the program sets it up: the first check after the delay in force when
// AutoCheck was set, retries (the first after the new delay, then backing
// off) while the host is unreachable, without a word; then one silent check
// that is not armed again.
TEST_F(CheckFlow, TheAutomaticCheckRetriesAnUnreachableHostThenChecksOnce) {
    if (!IsOnline())
        GTEST_SKIP() << "the automatic check waits while the machine is off-line";
    upgrader->ShowMessages |= mHostUnreachable | mNoUpdateAvailable;
    upgrader->InfoFileURL = QStringLiteral("http://127.0.0.1:%1/update/quorvane.inf")
                                .arg(test_support::FreeLoopbackPort())
                                .toUtf8();
    upgrader->AutoCheckDelay = 50;
    upgrader->SetAutoCheck(true);
    upgrader->AutoCheckDelay = 100;
    EXPECT_EQ(upgrader->AutoCheckTimerInterval(), 50);
    ASSERT_TRUE(WaitUntil([&] { return log.Count("HostUnreachable") >= 1; }));
    EXPECT_EQ(upgrader->AutoCheckTimerInterval(), 100) << "the first retry after the new delay";
    ASSERT_TRUE(WaitUntil([&] { return log.Count("HostUnreachable") >= 3; }));

    Publish("2.0.0.5", {"update/quorvane.exe"});
    upgrader->InfoFileURL = Url("update/quorvane.inf").toUtf8();
    ASSERT_TRUE(WaitForEnd("NoUpdateAvailable"));
    const int tries = log.Count("HostUnreachable");
    ServeEvents(400);
    EXPECT_EQ(log.Count("HostUnreachable"), tries);
    EXPECT_EQ(log.Count("NoUpdateAvailable"), 1);
    EXPECT_EQ(upgrader->AutoCheckTimerInterval(), 0);
    EXPECT_TRUE(answers->boxes.isEmpty()) << "an automatic check is silent";
    EXPECT_FALSE(upgrader->CheckUpdate(true));
    EXPECT_EQ(answers->boxes.size(), 1) << "a check asked for afterwards is not";
}

// Whatever breaks the automatic check part way is retried without a word,
// through the backoff, which only a usable answer starts over. The rate floor
// is the upgrader's own (only its window is shortened here).
TEST_F(CheckFlow, TheAutomaticCheckRetriesABrokenCheckSilentlyThroughTheBackoff) {
    if (!IsOnline())
        GTEST_SKIP() << "the automatic check waits while the machine is off-line";
    const QByteArray info = "#version=2.0.0.6\r\n#url=http://127.0.0.1:9/x\r\n";
    using Connection = test_support::ScriptedConnection;
    // The info file's answer after its status line (the signature's
    // connection is closed without one: a rate limit, a dead back-end).
    const struct {
        const char* what;
        QByteArray answer;
        bool trickle;
        const char* event;
    } cases[] = {
        {"signature refused", "Content-Length: 45\r\n\r\n" + info, false, "HostUnreachable"},
        {"info cut short", "Content-Length: 1000\r\n\r\n" + info, false, "ConnLost"},
        {"info trickling below the rate floor", "Content-Length: 100000\r\n\r\n", true, "ConnLost"},
    };
    const test_support::MinisignKeys publisher;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test_support::ScriptedHttpServer scripted(
            [&](const test_support::ScriptedRequest& request, Connection& connection) {
                if (!request.target.endsWith(".minisig"))
                    connection.send("HTTP/1.1 200 OK\r\n" + c.answer);
                while (c.trickle && connection.send(";"))
                    connection.pause(100);
                connection.close();
            });
        TearDown();
        SetUp();
        log.events.clear();
        upgrader->UpdatePublicKey = publisher.PublicKey();
        upgrader->MinimumRateWindow = 1;
        upgrader->InfoFileURL = scripted.baseUrl().toUtf8() + "/update/quorvane.inf";
        upgrader->AutoCheckDelay = 100;
        upgrader->SetAutoCheck(true);
        ServeEvents(4000);
        upgrader->SetAutoCheck(false);
        // Without the backoff some 30 connections or more; with it about 6
        // (after the first info file, only the signature is fetched again).
        const qsizetype connections = scripted.requests().size();
        EXPECT_TRUE(connections >= 3 && connections <= 10) << connections;
        EXPECT_GE(log.Count(c.event), 1) << log.events.join(' ').toStdString();
        EXPECT_TRUE(answers->boxes.isEmpty()) << answers->boxes.join(' ').toStdString();
    }
}

// Between the base delay and a ceiling that doubles with each failure, up to
// the cap; a server that answered starts the series over.
TEST(RetryBackoff, DoublesItsCeilingUpToTheCapAndStartsOverAfterAnAnswer) {
    upgrader::TRetryBackoff highest([](qint64, qint64 high) { return high; });
    QList<qint32> delays;
    for (int failure = 0; failure < 30; ++failure)
        delays << highest.NextDelay(500);
    EXPECT_EQ(delays.mid(0, 5), (QList<qint32>{500, 1000, 2000, 4000, 8000}));
    EXPECT_EQ(delays.last(), upgrader::TRetryBackoff::kCapMs);
    highest.Reset();
    EXPECT_EQ(highest.NextDelay(500), 500);
    // Jittered: the draw decides, not the ceiling.
    upgrader::TRetryBackoff lowest([](qint64 low, qint64) { return low; });
    for (int failure = 0; failure < 5; ++failure)
        EXPECT_EQ(lowest.NextDelay(500), 500);
}

// A busy server is asked again when its Retry-After says (seconds or an HTTP
// date), when that is longer than the backoff's delay.
TEST_F(CheckFlow, TheAutomaticCheckWaitsForABusyServer) {
    if (!IsOnline())
        GTEST_SKIP() << "the automatic check waits while the machine is off-line";
    test_support::ScriptedHttpServer busy([](const auto&, auto& connection) {
        connection.send("HTTP/1.1 429 Busy\r\nRetry-After: 7\r\nContent-Length: 0\r\n\r\n");
    });
    upgrader->InfoFileURL = busy.baseUrl().toUtf8() + "/update/quorvane.inf";
    upgrader->AutoCheckDelay = 50;
    upgrader->SetAutoCheck(true);
    ASSERT_TRUE(WaitUntil([&] { return log.Count("NoInfoFile") == 1; }));
    EXPECT_EQ(upgrader->AutoCheckTimerInterval(), 7000);
    const qint64 newYear = QDateTime(QDate(2100, 1, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    EXPECT_EQ(RetryAfterSeconds("Retry-After: Fri, 01 Jan 2100 00:00:10 GMT\r\n", newYear), 10);
}

TEST_F(CheckFlow, AnUpgraderDestroyedWhileItsCheckWaitsEndsTheWait) {
    server.writeFile("slow/quorvane.inf", "#version=2.0.0.6\r\n" + QByteArray(200000, ';'));
    upgrader->InfoFileURL = Url("slow/quorvane.inf").toUtf8();
    QTimer::singleShot(300, [&] { upgrader.reset(); });
    bool timedOut = false;
    QObject watchdog;
    QTimer::singleShot(15000, &watchdog, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    EXPECT_FALSE(upgrader->CheckUpdate(true));
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(upgrader, nullptr);
    EXPECT_TRUE(log.events.isEmpty());
}
