// The check: the version decision, the reactions to what the info file
// says, the automatic check timer and the failures of the info file's fetch.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDate>
#include <QTimer>

#include "common/text_codec.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/nginx_server.h"
#include "tests/support/qt_printers.h"
#include "tests/support/wait.h"
#include "tests/upgrader/auto/upgrade_fixture.h"
#include "upgrader/auto/version_decision.h"
#include "upgrader/dialogs/wizard_form.h"
#include "upgrader/info/version_date.h"
#include "upgrader/replacement/private_folder.h"
#include "upgrader/utils/network_presence.h"

using namespace upgrader;
using test_support::ServeEvents;
using test_support::WaitUntil;
using upgrader_test::TempFiles;
using upgrader_test::UpgradeFixture;

TEST(VersionDecision, ByNumberOrByDate) {
    EXPECT_TRUE(IsNewerVersion("#version=2.0.0.6\r\n", byNumber, "2.0.0.5", ""));
    EXPECT_FALSE(IsNewerVersion("#version=2.0.0.5", byNumber, "2.0.0.5", ""));
    EXPECT_FALSE(IsNewerVersion("#url=x", byNumber, "2.0.0.5", "")) << "no version entry";
    EXPECT_FALSE(IsNewerVersion("#version=9#date=01/01/2000", byDate, "2.0.0.5", "01/03/2017"))
        << "the date decides, not the number";
    EXPECT_TRUE(IsNewerVersion("#date=01/04/2017\n", byDate, "", "01/03/2017"));
    EXPECT_FALSE(IsNewerVersion("#date=01/03/2017\n", byDate, "", "01/03/2017"));
    EXPECT_TRUE(IsNewerVersion("#version=1\n", byDate, "", "01/03/2017")) << "no date: today";
    const QByteArray today = FormatVersionDate(DateTimeFromDate(QDate::currentDate()));
    EXPECT_FALSE(IsNewerVersion("#date=2016-12-31\n", byDate, "", today)) << "unreadable: today";
}

// Only the restart parameter itself, first and as written, means a restart
// after an upgrade.
TEST(AutoUpgraderRestart, OnAfterRestartOnlyForTheRestartParameter) {
    TauAutoUpgrader upgrader;
    upgrader.Loaded({"quorvane", "/afterupgrade"});  // no handler: nothing
    int restarts = 0;
    upgrader.OnAfterRestart = [&](TauAutoUpgrader* sender) { restarts += sender == &upgrader; };
    for (const QStringList& other : {QStringList{"quorvane", "/AFTERUPGRADE"},
                                     {"quorvane", "x", "/afterupgrade"},
                                     {"quorvane"}})
        upgrader.Loaded(other);
    upgrader.Loaded();  // the test program's own parameters
    EXPECT_EQ(restarts, 0);
    upgrader.Loaded({"quorvane", "/afterupgrade", "x"});
    EXPECT_EQ(restarts, 1);
    upgrader.SetRestartParams("");
    EXPECT_EQ(upgrader.RestartParams(), " ") << "kept as one blank";
}

class CheckFlow : public UpgradeFixture {};

TEST_F(CheckFlow, AWaitingCheckDecidesWithoutAskingOrDownloading) {
    Publish("2.0.0.6", {"update/quorvane.exe"});
    EXPECT_TRUE(upgrader->CheckUpdate(true));
    EXPECT_TRUE(upgrader->UpdateAvailable());
    EXPECT_EQ(upgrader->DownloadList(), QList<QByteArray>{Url("update/quorvane.exe").toUtf8()});
    EXPECT_FALSE(upgrader->WaitingCheck());
    EXPECT_TRUE(answers->questions.isEmpty());
    EXPECT_EQ(WizardForm(), nullptr);
    EXPECT_EQ(log.events, QStringList{"BeginUpgrade 0 1 "});

    Publish("2.0.0.5", {"update/quorvane.exe"});
    EXPECT_FALSE(upgrader->CheckUpdate(true));
    Publish("2.0.0.10", {"update/quorvane.exe", "update/other.dat"});
    EXPECT_TRUE(upgrader->CheckUpdate(true));
    EXPECT_EQ(upgrader->DownloadList().size(), 2);
    Publish("2.0.0.6", {});
    EXPECT_FALSE(upgrader->CheckUpdate(true)) << "a newer version without files";
    Serve("update/quorvane.inf", "#url=" + Url("update/quorvane.exe").toUtf8());
    EXPECT_FALSE(upgrader->CheckUpdate(true)) << "files without a version";

    // A missing info file leaves the previous verdict.
    Publish("2.0.0.6", {"update/quorvane.exe"});
    EXPECT_TRUE(upgrader->CheckUpdate(true));
    upgrader->InfoFileURL = Url("update/missing.inf").toUtf8();
    EXPECT_TRUE(upgrader->CheckUpdate(true));
    EXPECT_EQ(log.events.mid(1),
              QStringList({"NoUpdateAvailable", "BeginUpgrade 0 2 ", "NoUpdateAvailable",
                           "NoUpdateAvailable", "BeginUpgrade 0 1 ", "NoInfoFile"}));
    EXPECT_TRUE(answers->boxes.isEmpty()) << "no dialogs by default";
    EXPECT_TRUE(TempFiles().isEmpty());

    // The messages of a check asked for.
    log.events.clear();
    upgrader->ShowMessages |= mNoUpdateAvailable | mNoInfoFile | mHostUnreachable;
    upgrader->InfoFileURL = Url("update/quorvane.inf").toUtf8();
    Publish("2.0.0.5", {"update/quorvane.exe"});
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
    EXPECT_TRUE(upgrader->UpdateAvailable());
    EXPECT_EQ(WizardForm(), nullptr);
    ServeEvents(200);
    EXPECT_TRUE(TempFiles().isEmpty());

    // OnBeginUpgrade may refuse: no question at all.
    log.canUpgrade = false;
    ASSERT_TRUE(Upgrade("LaterUpgrade"));
    EXPECT_EQ(answers->questions.size(), 1);
    EXPECT_FALSE(upgrader->UpdateAvailable());

    // A handler that empties the list leaves nothing to upgrade with.
    log.canUpgrade = true;
    upgrader->OnBeginUpgrade = [](TauAutoUpgrader*, const QString&, TacUpgradeMethod,
                                  TauDownloadList& files, bool&) { files.clear(); };
    ASSERT_TRUE(Upgrade("LaterUpgrade"));
    EXPECT_EQ(answers->questions.size(), 1);
    EXPECT_EQ(WizardForm(), nullptr);
}

TEST_F(CheckFlow, TheRedirectMethodOpensTheFirstAddressInTheBrowserOnly) {
    test_support::FakeDesktop desktop;
    const QString browser = desktop.WriteRecordingProgram("browser");
    desktop.WriteEntry("fake.desktop", browser + " %u");
    desktop.SetDefaults("x-scheme-handler/http=fake.desktop\ntext/html=fake.desktop\n");
    // A page that would read as the browser's option is not opened.
    Publish("2.0.0.6", {"--renderer-cmd-prefix=touch /tmp/x; ://x"}, "#method=2\r\n");
    upgrader->CheckUpdate(false);
    ServeEvents(1000);
    EXPECT_EQ(log.events, QStringList{"BeginUpgrade 2 1 "});
    EXPECT_EQ(desktop.RecordedArguments(), "");
    log.events.clear();

    Publish("2.0.0.6", {"news/release notes.html", "update/quorvane.exe"}, "#method=2\r\n");
    upgrader->CheckUpdate(false);
    ASSERT_TRUE(WaitUntil([&] { return !desktop.RecordedArguments().isEmpty(); }));
    EXPECT_EQ(desktop.RecordedArguments(), Url("news/release notes.html"));
    EXPECT_EQ(answers->questions.size(), 2);
    EXPECT_EQ(upgrader->Method(), umRedirectToURL);
    EXPECT_EQ(WizardForm(), nullptr);
    ServeEvents(300);
    EXPECT_TRUE(TempFiles().isEmpty());
    EXPECT_FALSE(upgrader->Busy());
    EXPECT_EQ(log.events, QStringList{"BeginUpgrade 2 2 "});
}

class AutoCheck : public UpgradeFixture {
  protected:
    void SetUp() override {
        if (!IsOnline())
            GTEST_SKIP() << "the automatic check waits while the machine is off-line";
        UpgradeFixture::SetUp();
    }
};

TEST_F(AutoCheck, OneSilentCheckThatIsNotArmedAgain) {
    upgrader->ShowMessages |= mNoUpdateAvailable;
    Publish("2.0.0.5", {"update/quorvane.exe"});
    for (const int delay : {0, -5, 10000}) {  // no timer without a delay, or while off
        upgrader->AutoCheckDelay = delay;
        upgrader->SetAutoCheck(true);
        EXPECT_EQ(upgrader->AutoCheckTimerInterval(), std::max(delay, 0));
        upgrader->SetAutoCheck(false);
        EXPECT_EQ(upgrader->AutoCheckTimerInterval(), 0);
    }
    // The delay in force when AutoCheck is set is the one the timer keeps.
    upgrader->AutoCheckDelay = 50;
    upgrader->SetAutoCheck(true);
    upgrader->AutoCheckDelay = 10000;
    EXPECT_EQ(upgrader->AutoCheckTimerInterval(), 50);
    ASSERT_TRUE(WaitForEnd("NoUpdateAvailable"));
    EXPECT_TRUE(upgrader->TimerCheckActive());
    EXPECT_TRUE(upgrader->AutoCheckStarted());
    EXPECT_EQ(upgrader->AutoCheckTimerInterval(), 0);
    ServeEvents(300);
    EXPECT_EQ(log.events, QStringList{"NoUpdateAvailable"});
    EXPECT_TRUE(answers->boxes.isEmpty()) << "an automatic check finding nothing is silent";

    upgrader->SetAutoCheck(false);
    upgrader->SetAutoCheck(true);
    EXPECT_EQ(upgrader->AutoCheckTimerInterval(), 0) << "the one check has run";

    // A check asked for afterwards is no longer automatic.
    EXPECT_FALSE(upgrader->CheckUpdate(true));
    EXPECT_FALSE(upgrader->AutoCheckStarted());
    EXPECT_EQ(answers->boxes.size(), 1);
}

TEST_F(AutoCheck, AnUnreachableHostIsTriedAgainEveryDelayWithoutADialog) {
    upgrader->ShowMessages |= mHostUnreachable;
    const quint16 closed = test_support::FreeLoopbackPort();
    upgrader->InfoFileURL =
        QStringLiteral("http://127.0.0.1:%1/update/quorvane.inf").arg(closed).toUtf8();
    upgrader->AutoCheckDelay = 100;
    upgrader->SetAutoCheck(true);
    ASSERT_TRUE(WaitUntil([&] { return log.Count("HostUnreachable") >= 3; }));
    EXPECT_TRUE(answers->boxes.isEmpty());
    EXPECT_FALSE(upgrader->TimerCheckActive());
    EXPECT_EQ(upgrader->AutoCheckTimerInterval(), 100);

    // Once the server is there the check goes through, asks, and stops.
    upgrader->InfoFileURL = Url("update/quorvane.inf").toUtf8();
    Publish("2.0.0.6", {"update/quorvane.exe"});
    answers->questionYes = false;
    ASSERT_TRUE(WaitForEnd("LaterUpgrade"));
    EXPECT_EQ(answers->questions.size(), 1);
    EXPECT_EQ(upgrader->AutoCheckTimerInterval(), 0);
    const int tries = log.Count("HostUnreachable");
    ServeEvents(400);
    EXPECT_EQ(log.Count("HostUnreachable"), tries);
    EXPECT_EQ(log.Count("BeginUpgrade"), 1);
}

TEST_F(CheckFlow, AnUpgraderDestroyedWhileItsCheckWaitsEndsTheWait) {
    test_support::NginxServer::Options slow;
    slow.serverConfig = QStringLiteral("location /slow/ { limit_rate 1k; }");
    test_support::NginxServer slowServer(slow);
    slowServer.writeFile("slow/quorvane.inf", "#version=2.0.0.6\r\n" + QByteArray(20000, ';'));
    upgrader->InfoFileURL = (slowServer.baseUrl() + "/slow/quorvane.inf").toUtf8();
    QTimer::singleShot(300, [&] { upgrader.reset(); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    bool timedOut = false;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    watchdog.start(15000);
    TauAutoUpgrader* waiting = upgrader.get();
    EXPECT_FALSE(waiting->CheckUpdate(true));
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(upgrader, nullptr);
    EXPECT_TRUE(log.events.isEmpty());
}
