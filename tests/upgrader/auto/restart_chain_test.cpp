// The upgrader handing over to the real replacer: a stand-in program in a
// folder of its own downloads its new version, closes, and is started again
// with its restart parameter; the next start removes the replacer.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "tests/support/file_contents.h"
#include "tests/support/minisign_keys.h"
#include "tests/support/nginx_server.h"
#include "tests/support/qt_printers.h"
#include "tests/support/wait.h"

using test_support::ReadFile;
using test_support::WaitUntil;

namespace {

// One line per start: its arguments, tab-separated (empty without any).
QStringList Starts(const QString& program) {
    QStringList lines = QString::fromLocal8Bit(ReadFile(program + ".args")).split('\n');
    lines.removeLast();
    return lines;
}

// Installs the probe in a new folder, publishes its new version (signed by
// the publisher, when given, for a probe with its key) and lets it upgrade
// itself with the restart parameter "/afterupgrade"; with `setup`, publishes
// a setup program for the external setup method instead. Then checks the
// starts after the first, the program, the replacer's folder and that what
// is not the upgrade's was left as it was.
void ExpectUpgrade(const QString& closing, const test_support::MinisignKeys* publisher, bool setup,
                   const QStringList& restarts) {
    QTemporaryDir folder;
    QTemporaryDir temp;
    const QString program = folder.filePath("probe");
    const QByteArray probe = ReadFile(QStringLiteral(AUTO_UPGRADER_PROBE));
    const QByteArray newProbe = probe + "\nthe new version\n";
    test_support::WriteFile(program, probe, 0700);
    // A stray ".uTMP" file is not part of this upgrade; another user's file
    // at the replacer's old fixed path, and a link that looks like a folder
    // of ours, change nothing.
    test_support::WriteFile(program + "2.uTMP", "not published");
    const QString taken = test_support::WriteFile(temp.filePath("Ruzozudo3"), "");
    if (::chown(QFile::encodeName(taken).constData(), 65534, 65534) != 0)
        ADD_FAILURE() << "cannot give a file away";
    QDir(temp.path()).mkpath("elsewhere");
    test_support::WriteFile(temp.filePath("elsewhere/kept"), "");
    QFile::link(temp.filePath("elsewhere"), temp.filePath("quorvane-replacer-link"));

    test_support::NginxServer server;
    const QString infoFile = publisher != nullptr ? "/update/quorvane.inf" : "/update/probe.inf";
    if (publisher != nullptr) {
        // Published with the publisher's tool, signed with the publisher's key.
        QTemporaryDir release;
        const QString file = test_support::WriteFile(release.filePath("probe"), newProbe);
        const QString notice = test_support::WriteFile(release.filePath("notice.txt"),
                                                       "请注意：升级后客户端会自动重启。\n");
        QProcess tool;
        tool.setProcessChannelMode(QProcess::MergedChannels);
        tool.start(qEnvironmentVariable("QUORVANE_SOURCE_DIR") + "/scripts/quorvane-publish",
                   {"--version", "2.0", "--notice", notice, "--host",
                    QStringLiteral("127.0.0.1:%1").arg(server.port()), "--key",
                    publisher->SecretKeyFile(), "--out", server.root(), file});
        ASSERT_TRUE(tool.waitForFinished(30000));
        ASSERT_EQ(tool.exitCode(), 0) << tool.readAll().toStdString();
    } else {
        const QString file = setup ? "setup.exe" : "probe";
        server.writeFile("update/" + file,
                         setup ? "#!/bin/sh\nprintf '%s\\n' \"$*\" >> \"$0.args\"\n" : newProbe);
        server.writeFile("update/probe.inf",
                         "#version=2.0\r\n#method=" + QByteArray(setup ? "1" : "0") + "\r\n#url=" +
                             (server.baseUrl() + "/update/" + file).toUtf8() + "\r\n");
    }
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TMPDIR", temp.path());
    process.setProcessEnvironment(environment);
    QStringList arguments = {"--upgrade", server.baseUrl() + infoFile, "/afterupgrade"};
    if (!closing.isEmpty())
        arguments << closing;
    if (publisher != nullptr)
        arguments << "--key=" + publisher->PublicKey();
    process.start(program, arguments);
    process.waitForFinished(60000);
    EXPECT_EQ(process.exitCode(), 0);
    WaitUntil([&] { return Starts(program).size() > restarts.size(); }, 60000);
    // The restarted probe removed the replacer.
    EXPECT_TRUE(WaitUntil(
        [&] {
            return QDir(temp.path())
                .entryList({"quorvane-replacer-*"}, QDir::Dirs | QDir::NoSymLinks)
                .isEmpty();
        },
        10000));
    // The restarted probe confirmed: the replacer keeps the upgrade.
    EXPECT_FALSE(WaitUntil([&] { return QFile::exists(program + ".refused-upgrade"); }, 1000));
    EXPECT_EQ(Starts(program).mid(1), restarts);
    EXPECT_EQ(ReadFile(program).endsWith("\nthe new version\n"), !setup);
    EXPECT_EQ(ReadFile(program + "2.uTMP"), "not published");
    EXPECT_FALSE(QFile::exists(program + "2"));
    EXPECT_TRUE(QFile::exists(temp.filePath("elsewhere/kept")) && QFile::exists(taken));
    EXPECT_TRUE(QFileInfo(temp.filePath("quorvane-replacer-link")).isSymLink());
    EXPECT_EQ(ReadFile(folder.filePath("setup.exe.args")), setup ? "/afterupgrade\n" : "");
}

}  // namespace

TEST(RestartChain, TheProgramIsReplacedAndRestartedWithItsParameter) {
    const test_support::MinisignKeys publisher;
    const struct {
        const char* what;
        QString closing;
        const test_support::MinisignKeys* publisher;
        bool setup;
        QStringList restarts;  // the starts after the first
    } cases[] = {
        {"plain", "", nullptr, false, {"/afterupgrade"}},
        // OnDoOwnCloseAppMethod closes the program instead.
        {"own close", "own-close", nullptr, false, {"own close", "/afterupgrade"}},
        // Published with the publisher's tool and signed with the key the
        // program holds.
        {"signed", "", &publisher, false, {"/afterupgrade"}},
        // The external setup method: the setup program runs with the restart
        // parameter, and the program, unchanged, starts again.
        {"setup", "", nullptr, true, {"/afterupgrade"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ExpectUpgrade(c.closing, c.publisher, c.setup, c.restarts);
    }
}
