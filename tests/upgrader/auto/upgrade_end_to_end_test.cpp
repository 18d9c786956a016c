// The whole client upgrading itself: about 10 s after start it finds a newer
// release on the update server (QUORVANE_UPDATE_HOST pointing at nginx),
// asks, downloads the new program with the wizard showing, and after OK
// hands over to the replacer, which puts the new program in place and
// starts it with "/afterupgrade"; a new program that does not come up is
// undone and the old client comes back.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPoint>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

#include "tests/support/file_contents.h"
#include "tests/support/installed_client.h"
#include "tests/support/nginx_server.h"
#include "tests/support/qt_printers.h"
#include "tests/support/wait.h"

using test_support::ReadFile;
using test_support::WaitUntil;
using test_support::WindowsNamed;

namespace {

QString BuiltBin(const QString& name) {
    return qEnvironmentVariable("QUORVANE_BUILD_BIN") + u'/' + name;
}

// The height of the window's client area.
int WindowHeight(const QString& window) {
    const QByteArray shell =
        test_support::ProgramOutput("xdotool", {"getwindowgeometry", "--shell", window});
    return shell.mid(shell.indexOf("HEIGHT=") + 7).split('\n').value(0).toInt();
}

// Clicks at the point of the window, as a user with the mouse would.
void ClickAt(const QString& window, QPoint point) {
    QProcess::execute("xdotool", {"mousemove", "--window", window, QString::number(point.x()),
                                  QString::number(point.y()), "click", "1"});
}

// Processes running the program at the path.
QList<pid_t> ProcessesRunning(const QString& program) {
    QList<pid_t> processes;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool number = false;
        const pid_t process = entry.toInt(&number);
        if (number && QFileInfo("/proc/" + entry + "/exe").symLinkTarget() == program)
            processes << process;
    }
    return processes;
}

const QString kCaption = QStringLiteral("^Application update wizard$");

// The built client installed in a folder of its own, its home page and
// update server on nginx, started in English.
class UpgradeEndToEnd : public testing::Test {
  protected:
    void SetUp() override {
        test_support::InstallClient(
            folder, server.baseUrl() + "/home.html",
            {QStringLiteral("quorvane"), QStringLiteral("libquorvane-client.so"),
             QStringLiteral("libquorvane-updates.so"), QStringLiteral("Ruzozudo3")});
        server.writeFile("home.html", "<title>Upgrade test home</title>");
    }

    void TearDown() override {
        if (client.state() != QProcess::NotRunning) {
            ::kill(static_cast<pid_t>(client.processId()), SIGTERM);
            client.waitForFinished(20000);
        }
        for (const pid_t restarted : ProcessesRunning(Path("quorvane")))
            ::kill(restarted, SIGTERM);
        WaitUntil([&] { return ProcessesRunning(Path("quorvane")).isEmpty(); });
    }

    QString Path(const QString& name) const { return folder + u'/' + name; }

    // The program, and the client library when given.
    void Publish(const QByteArray& newProgram, const QByteArray& newLibrary = {}) {
        server.writeFile("update/quorvane", newProgram);
        QByteArray info = "#version=2.0.0.6\r\n#method=0\r\n#url=" + server.baseUrl().toUtf8() +
                          "/update/quorvane\r\n#message={End-to-end test release}\r\n";
        if (!newLibrary.isEmpty()) {
            server.writeFile("update/libquorvane-client.so", newLibrary);
            info += "#url0=" + server.baseUrl().toUtf8() + "/update/libquorvane-client.so\r\n";
        }
        server.writeFile("update/quorvane.inf", info);
    }

    void StartClient() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QUORVANE_UPDATE_HOST",
                           QStringLiteral("127.0.0.1:%1").arg(server.port()));
        environment.insert("TMPDIR", temp.path());
        environment.insert("LANGUAGE", "en");
        environment.insert("LC_ALL", "C.UTF-8");
        client.setProcessEnvironment(environment);
        client.setWorkingDirectory(folder);
        client.start(Path("quorvane"));
        ASSERT_TRUE(client.waitForStarted());
    }

    // The question about 10 s after the start, answered Yes; the download
    // into "quorvane.uTMP"; OK on the wizard's completed page, after which
    // the client's windows close and its process goes on as the replacer:
    // whoever started it sees no exit.
    void AcceptUpgrade(const QByteArray& newProgram) {
        QStringList question;
        ASSERT_TRUE(
            WaitUntil([&] { return !(question = WindowsNamed(kCaption)).isEmpty(); }, 60000))
            << client.readAllStandardError().toStdString();
        EXPECT_TRUE(WindowsNamed("^Upgrade test home$").size() == 1) << "the home page is shown";
        ASSERT_EQ(question.size(), 1);
        // Yes: 78, 13, 75 x 23 on the panel 45 high along the bottom; clicked
        // again should the window not yet take it.
        const QString questionWindow = question.first();
        const QPoint yes(78 + 37, WindowHeight(questionWindow) - 45 + 13 + 11);
        ASSERT_TRUE(WaitUntil([&] {
            ClickAt(questionWindow, yes);
            return WaitUntil([&] { return !WindowsNamed(kCaption).contains(questionWindow); },
                             2000);
        }));
        ASSERT_TRUE(
            WaitUntil([&] { return ReadFile(Path("quorvane.uTMP")) == newProgram; }, 30000));
        QStringList wizard;
        ASSERT_TRUE(WaitUntil([&] { return (wizard = WindowsNamed(kCaption)).size() == 1; }));
        // OK (296, 248, 75 x 25) is disabled until the completed page shows.
        ASSERT_TRUE(WaitUntil([&] {
            ClickAt(wizard.first(), {296 + 37, 248 + 12});
            return WaitUntil([&] { return WindowsNamed("^Upgrade test home$").isEmpty(); }, 2000);
        })) << "the program closes for the replacer";
    }

    QTemporaryDir installed;
    QTemporaryDir temp;
    const QString folder = installed.path();
    test_support::NginxServer server;
    QProcess client;
};

}  // namespace

TEST_F(UpgradeEndToEnd, TheClientReplacesItselfWithThePublishedProgramAndRestartsIt) {
    // The new program records its process, the replacer's folder (its mode,
    // and whether the built replacer ran from it: its watchdog holds it while
    // the new program runs) and how it was started, says it is up and runs on.
    const QString startedWith = Path("started-with");
    const QByteArray newProgram =
        QStringLiteral(
            "#!/bin/sh\n# the new version, up at once\n"
            "{ echo $$; for d in \"$TMPDIR\"/quorvane-replacer-*; do stat -c %a \"$d\";"
            " cmp -s \"$d/Ruzozudo3\" \"%1\" && echo built; done; } > \"%2\"\n"
            "printf 1 >&\"$QUORVANE_UPGRADE_CONFIRM_FD\"\n"
            "printf '%s\\n' \"$@\" > \"%3.part\" && mv \"%3.part\" \"%3\"\n"
            "exec sleep 600\n")
            .arg(BuiltBin("Ruzozudo3"), Path("replacer"), startedWith)
            .toUtf8();
    Publish(newProgram);
    StartClient();
    AcceptUpgrade(newProgram);

    ASSERT_TRUE(WaitUntil([&] { return QFile::exists(startedWith); }, 90000));
    EXPECT_EQ(ReadFile(startedWith), "/afterupgrade\n");
    EXPECT_EQ(ReadFile(Path("quorvane")), newProgram) << "the old program was replaced";
    EXPECT_TRUE(QFileInfo(Path("quorvane")).isExecutable());
    EXPECT_FALSE(QFile::exists(Path("quorvane.uTMP")));
    // The process that was started is the new version, confirmed.
    EXPECT_EQ(ReadFile(Path("replacer")),
              QByteArray::number(client.processId()) + "\n700\nbuilt\n");
    EXPECT_EQ(client.state(), QProcess::Running);
    EXPECT_TRUE(WaitUntil([&] { return !QFile::exists(Path("quorvane.pending-upgrade")); }));
    EXPECT_TRUE(WaitUntil([&] {
        return QDir(temp.path()).entryList({"quorvane-replacer-*"}).isEmpty();
    })) << "the replacer's folder goes once the new version is confirmed";
}

// A published version whose library does not load: the new program hands
// its process back, and the old client runs on in the process that was
// started, says so once, and its automatic check does not ask for that
// version again.
TEST_F(UpgradeEndToEnd, ANewVersionThatDoesNotStartIsUndone) {
    const QByteArray program = ReadFile(BuiltBin("quorvane"));
    Publish(program, "not a library");
    StartClient();
    AcceptUpgrade(program);

    const QString record = Path("quorvane.refused-upgrade");
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(record) == "2.0.0.6\ntold\n"; }, 60000))
        << ReadFile(record).constData();
    EXPECT_EQ(client.state(), QProcess::Running);
    EXPECT_TRUE(ProcessesRunning(Path("quorvane")).contains(pid_t(client.processId())));
    EXPECT_TRUE(ReadFile(Path("libquorvane-client.so")) ==
                ReadFile(BuiltBin("libquorvane-client.so")));
    EXPECT_EQ(ReadFile(Path("quorvane")), ReadFile(BuiltBin("quorvane")));
    EXPECT_TRUE(QFileInfo(Path("quorvane")).isExecutable());
    QStringList message;
    ASSERT_TRUE(WaitUntil([&] { return !(message = WindowsNamed(kCaption)).isEmpty(); }));
    QProcess::execute("xdotool", {"key", "--window", message.first(), "Return"});
    ASSERT_TRUE(WaitUntil([&] { return WindowsNamed(kCaption).isEmpty(); }));

    // Its automatic check, about 10 s after the start, fetches the info file
    // and asks nothing.
    const QString accessLog = server.prefix() + "/logs/access.log";
    ASSERT_TRUE(WaitUntil(
        [&] { return ReadFile(accessLog).count("GET /update/quorvane.inf") >= 2; }, 60000));
    test_support::ServeEvents(3000);
    EXPECT_TRUE(WindowsNamed(kCaption).isEmpty());
    EXPECT_EQ(ReadFile(Path("quorvane")), ReadFile(BuiltBin("quorvane")));
}
