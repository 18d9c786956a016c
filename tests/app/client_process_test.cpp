// The built client as a whole process: its fatal start-up error, its engine
// sub-processes and its debugging server.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <csignal>

#include "common/program_version.h"
#include "tests/support/file_contents.h"
#include "tests/support/installed_client.h"
#include "tests/support/nginx_server.h"
#include "tests/support/qt_printers.h"
#include "tests/support/wait.h"

using test_support::WaitUntil;
using test_support::WindowsNamed;

namespace {

QString BuiltClient() {
    return qEnvironmentVariable("QUORVANE_BUILD_BIN") + "/quorvane";
}

QString BuiltLibrary() {
    return qEnvironmentVariable("QUORVANE_BUILD_BIN") + "/libquorvane-client.so";
}

}  // namespace

TEST(ClientProcess, MissingEngineResourcesShowOneApplicationErrorAndExitWithOne) {
    QTemporaryDir emptyResources;
    QProcess client;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QTWEBENGINE_RESOURCES_PATH", emptyResources.path());
    client.setProcessEnvironment(env);
    client.start(BuiltClient());
    ASSERT_TRUE(client.waitForStarted());
    QStringList boxes;
    ASSERT_TRUE(
        WaitUntil([&] { return !(boxes = WindowsNamed("^Application Error$")).isEmpty(); }, 30000));
    EXPECT_EQ(boxes.size(), 1);
    EXPECT_TRUE(WindowsNamed("Quorvane").isEmpty());
    QProcess::execute("xdotool", {"key", "--window", boxes.first(), "Return"});
    if (!client.waitForFinished(5000)) {
        QProcess::execute("xdotool", {"windowactivate", "--sync", boxes.first(), "key", "Return"});
        ASSERT_TRUE(client.waitForFinished(10000));
    }
    EXPECT_EQ(client.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(client.exitCode(), 1);
    // The text the box shows goes to the error output too: compared whole.
    EXPECT_EQ(QString::fromLocal8Bit(client.readAllStandardError()),
              "Exception EOSError in module quorvane.\r\nSystem Error.  Code: 2.\r\n"
              "No such file or directory: " +
                  emptyResources.path() + "/qtwebengine_resources.pak.\r\n");
}

// A set half of one version and half of another does not start; nor does a
// new version that an upgrade started when it could not update again (its
// word to the replacer never comes, so the old version is put back).
TEST(ClientProcess, ALibraryMissingOrOfAnotherVersionStopsTheStartWithOne) {
    const QByteArray version = common::kProgramVersion;
    const QByteArray otherVersion = version.chopped(1) + (version.endsWith('9') ? '8' : '9');
    for (const char* name : {"libquorvane-client.so", "libquorvane-updates.so"}) {
        for (const bool missing : {true, false}) {
            SCOPED_TRACE(testing::Message() << name << (missing ? " missing" : " another version"));
            QTemporaryDir folder;
            test_support::InstallClient(folder.path(), "about:blank");
            const QString library = folder.filePath(name);
            QFile::remove(library);
            if (!missing)
                test_support::WriteFile(
                    library,
                    test_support::ReadFile(qEnvironmentVariable("QUORVANE_BUILD_BIN") + '/' + name)
                        .replace(version + '\0', otherVersion + '\0'));
            int confirmation[2];
            ASSERT_EQ(::pipe(confirmation), 0);
            QProcess client;
            test_support::ProcessTreeKiller killer(client);
            auto env = QProcessEnvironment::systemEnvironment();
            env.insert("QUORVANE_UPGRADE_CONFIRM_FD", QString::number(confirmation[1]));
            client.setProcessEnvironment(env);
            client.start(folder.filePath("quorvane"));
            ::close(confirmation[1]);
            ASSERT_TRUE(client.waitForFinished(10000));
            EXPECT_EQ(client.exitCode(), 1);
            char word = 0;
            EXPECT_EQ(::read(confirmation[0], &word, 1), 0) << "the start was confirmed";
            ::close(confirmation[0]);
            const QString error = client.readAllStandardError();
            EXPECT_TRUE(error.contains(library)) << error.toStdString();
            EXPECT_TRUE(missing || error.contains(otherVersion)) << error.toStdString();
        }
    }
}

namespace {

struct FileIdText {
    QByteArray device, inode;
};

FileIdText IdOf(const QString& path) {
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return {QByteArray::number(qulonglong(status.st_dev)),
            QByteArray::number(qulonglong(status.st_ino))};
}

}  // namespace

// The next start after a replacer was killed while the new version ran
// (logout, shutdown): the journal is in place (the new library and its
// backup), or planted by someone else beside a foreign backup, or its trial
// mark cannot be written (a full disk). --version, --help and a start
// without a display leave it alone; a normal start tries the new version and
// keeps it in this same process, never renames a foreign file into place,
// undoes rather than tries when it cannot mark the trial, and moves a
// journal that is not one aside. One that cannot be read stops the start.
TEST(ClientProcess, AStartAfterAKilledReplacerActsOnTheUpgradeOnlyWhenItCanTryIt) {
    const QByteArray built = test_support::ReadFile(BuiltLibrary());
    const QByteArray old = built + "\nthe old version\n";
    enum Setup { InPlace, Planted, MarkUnwritable, Invalid };
    const QStringList kinds = {"--version", "--help", "no display", "normal"};
    for (const Setup setup : {InPlace, Planted, MarkUnwritable, Invalid}) {
        for (const QString& kind : kinds) {
            SCOPED_TRACE(testing::Message() << setup << ' ' << kind.toStdString());
            QTemporaryDir folder;
            test_support::InstallClient(folder.path(), "about:blank");
            const QString library = folder.filePath("libquorvane-client.so");
            const QString backup = library + ".1.uOLD";
            test_support::WriteFile(backup, setup == Planted ? "a planted library" : old);
            const FileIdText kept = IdOf(backup), placed = IdOf(library);
            const QByteArray journal =
                setup == Invalid
                    ? QByteArray("not a journal\n")
                    : "Quorvane pending upgrade\nversion 2.0.0.6\nstamp 1\n" +
                          (setup == Planted ? placed.inode + "0" : placed.inode) +
                          " 1 libquorvane-client.so\nbackup " + kept.device + ' ' +
                          (setup == Planted ? kept.inode + "0" : kept.inode) + "\nend\n";
            const QString journalPath = folder.filePath("quorvane.pending-upgrade");
            test_support::WriteFile(journalPath, journal);

            QProcess client;
            test_support::ProcessTreeKiller killer(client);
            auto env = QProcessEnvironment::systemEnvironment();
            if (kind == "no display")
                env.remove("DISPLAY"), env.remove("WAYLAND_DISPLAY");
            client.setProcessEnvironment(env);
            QStringList arguments;
            if (kind.startsWith("--"))
                arguments << kind;
            if (setup == MarkUnwritable)
                client.start("sh",
                             QStringList{"-c", "ulimit -f 0; trap '' XFSZ; exec \"$0\" \"$@\"",
                                         folder.filePath("quorvane")} +
                                 arguments);
            else
                client.start(folder.filePath("quorvane"), arguments);
            if (kind != "normal") {
                ASSERT_TRUE(client.waitForFinished(20000));
                const QByteArray out = client.readAllStandardOutput();
                EXPECT_EQ(client.exitCode(), kind == "no display" ? 1 : 0);
                EXPECT_TRUE(kind == "no display" ||
                            out.contains(kind == "--help" ? "Usage" : "2.0"))
                    << out.constData();
                EXPECT_EQ(test_support::ReadFile(journalPath), journal);
                EXPECT_EQ(test_support::ReadFile(library), built);
                continue;
            }
            ASSERT_TRUE(WaitUntil([&] { return !QFile::exists(journalPath); }, 60000))
                << client.readAllStandardError().toStdString();
            EXPECT_EQ(test_support::ReadFile(library), setup == MarkUnwritable ? old : built);
            EXPECT_EQ(test_support::ReadFile(backup), setup == Planted ? "a planted library"
                                                      : setup == MarkUnwritable ? ""
                                                                                : old);
            if (setup == Invalid) {
                EXPECT_EQ(test_support::ReadFile(journalPath + ".invalid"), journal);
            }
            if (setup == InPlace) {
                // The journal went with the confirmation: the started
                // process is the confirmed new version.
                EXPECT_EQ(client.state(), QProcess::Running);
                EXPECT_TRUE(
                    test_support::ReadFile(QStringLiteral("/proc/%1/maps").arg(client.processId()))
                        .contains(library.toLocal8Bit()));
            }
            ::kill(static_cast<pid_t>(client.processId()), SIGTERM);
            client.waitForFinished(30000);
        }
    }
    QTemporaryDir folder;
    test_support::InstallClient(folder.path(), "about:blank");
    const QString unreadable = folder.filePath("quorvane.pending-upgrade");
    ASSERT_TRUE(QDir().mkdir(unreadable));
    QProcess client;
    client.start(folder.filePath("quorvane"));
    ASSERT_TRUE(client.waitForFinished(20000));
    EXPECT_EQ(client.exitCode(), 1);
    EXPECT_TRUE(client.readAllStandardError().contains(unreadable.toLocal8Bit() + ", the record"));
}

namespace {

// The TCP addresses the process tree listens on, as the system lists them
// ("0100007F:2328" is 127.0.0.1:9000).
QStringList ListeningAddresses(qint64 pid) {
    QSet<QByteArray> sockets;
    for (const QString& process : test_support::ProcessTree(pid))
        for (const QFileInfo& fd : QDir("/proc/" + process + "/fd").entryInfoList(QDir::System))
            sockets << fd.symLinkTarget().section('/', -1).toLatin1();
    QStringList addresses;
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"})
        for (const QByteArray& line : test_support::ReadFile(table).split('\n').mid(1)) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() >= 10 && fields[3] == "0A" &&
                sockets.contains("socket:[" + fields[9] + "]"))
                addresses << fields[1];
        }
    return addresses;
}

}  // namespace

// Its sub-processes run this same executable, without the client library;
// the client itself shows its home page without the update code.
// The debugging server, which would give any local account the survey
// session, is off by default; asked for with the engine's variable (even for
// every address) it listens on 127.0.0.1 only and lists this client's page.
TEST(ClientProcess, RunsItsOwnSubProcessesAndServesDebuggingOnlyWhenAsked) {
    test_support::NginxServer server;
    server.writeFile("home.html", "<title>Client home</title>");
    QTemporaryDir folder;
    test_support::InstallClient(folder.path(), server.baseUrl() + "/home.html");
    const QString executable = folder.filePath("quorvane");
    for (const QByteArray& asked : {QByteArray(), QByteArray("0.0.0.0:9000")}) {
        SCOPED_TRACE(asked.constData());
        QProcess client;
        test_support::ProcessTreeKiller killer(client);
        auto env = QProcessEnvironment::systemEnvironment();
        env.remove("QTWEBENGINE_REMOTE_DEBUGGING");
        if (!asked.isEmpty())
            env.insert("QTWEBENGINE_REMOTE_DEBUGGING", asked);
        client.setProcessEnvironment(env);
        client.start(executable);
        ASSERT_TRUE(WaitUntil([&] { return !WindowsNamed("^Client home$").isEmpty(); }, 60000))
            << client.readAllStandardError().toStdString();
        // The update code waits for the first check, 10 s after start.
        const QByteArray ownMaps =
            test_support::ReadFile(QStringLiteral("/proc/%1/maps").arg(client.processId()));
        EXPECT_FALSE(ownMaps.contains("libquorvane-updates.so") || ownMaps.contains("libcurl"));
        const QStringList children = test_support::ChildProcesses(client.processId());
        ASSERT_FALSE(children.isEmpty());
        for (const QString& child : children) {
            EXPECT_EQ(QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(child)), executable);
            const QByteArray maps =
                test_support::ReadFile(QStringLiteral("/proc/%1/maps").arg(child));
            EXPECT_FALSE(maps.contains("libquorvane-client.so") || maps.contains("libQt6Widgets"));
        }
        if (asked.isEmpty()) {
            test_support::ServeEvents(1000);
            EXPECT_EQ(ListeningAddresses(client.processId()), QStringList());
        } else {
            ASSERT_TRUE(
                WaitUntil([&] { return !ListeningAddresses(client.processId()).isEmpty(); }));
            EXPECT_EQ(ListeningAddresses(client.processId()), QStringList{"0100007F:2328"});
            QNetworkAccessManager network;
            QNetworkReply* reply =
                network.get(QNetworkRequest(QUrl("http://127.0.0.1:9000/json/list")));
            ASSERT_TRUE(WaitUntil([&] { return reply->isFinished(); }));
            EXPECT_TRUE(reply->readAll().contains(server.baseUrl().toLatin1() + "/home.html"));
            delete reply;
        }
        ::kill(static_cast<pid_t>(client.processId()), SIGTERM);
        client.waitForFinished(30000);
    }
}
