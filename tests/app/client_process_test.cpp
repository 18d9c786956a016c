// The built client as a whole process: its fatal start-up error, its engine
// sub-processes and its debugging server.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
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

QByteArray Inode(const QString& path) {
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return QByteArray::number(qulonglong(status.st_ino));
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

// A set half of one version and half of another does not start.
TEST(ClientProcess, ALibraryMissingOrOfAnotherVersionStopsTheStartWithOne) {
    const QByteArray version = common::kProgramVersion;
    const QByteArray otherVersion = version.chopped(1) + (version.endsWith('9') ? '8' : '9');
    for (const bool missing : {true, false}) {
        SCOPED_TRACE(missing ? "missing" : "another version");
        QTemporaryDir folder;
        test_support::InstallClient(folder.path(), "about:blank", {QStringLiteral("quorvane")});
        const QString library = folder.filePath("libquorvane-client.so");
        if (!missing)
            test_support::WriteFile(library, test_support::ReadFile(BuiltLibrary())
                                                 .replace(version + '\0', otherVersion + '\0'));
        QProcess client;
        client.start(folder.filePath("quorvane"));
        ASSERT_TRUE(client.waitForFinished(10000));
        EXPECT_EQ(client.exitCode(), 1);
        const QString error = client.readAllStandardError();
        EXPECT_TRUE(error.contains(library)) << error.toStdString();
        EXPECT_TRUE(missing || error.contains(otherVersion)) << error.toStdString();
    }
}

// The program finds an upgrade whose replacer was killed while it waited for
// the new version, and the new library does not load: its trial fails, the
// old library is put back before anything loads it, and the old client runs
// in the same process.
TEST(ClientProcess, AnUnfinishedUpgradeWhoseLibraryFailsIsUndoneAtTheNextStart) {
    QTemporaryDir folder;
    test_support::InstallClient(folder.path(), "about:blank", {QStringLiteral("quorvane")});
    const QString library = folder.filePath("libquorvane-client.so");
    const QByteArray oldLibrary = test_support::ReadFile(BuiltLibrary());
    test_support::WriteFile(library + ".1.uOLD", oldLibrary);
    test_support::WriteFile(library, "not a library");
    test_support::WriteFile(folder.filePath("quorvane.pending-upgrade"),
                            "Quorvane pending upgrade\nversion 2.0.0.6\nstamp 1\n" +
                                Inode(library) + " 1 libquorvane-client.so\nend\n");
    QProcess client;
    client.start(folder.filePath("quorvane"));
    ASSERT_TRUE(WaitUntil([&] {
        return test_support::ReadFile(QStringLiteral("/proc/%1/maps").arg(client.processId()))
            .contains(library.toLocal8Bit());
    })) << client.readAllStandardError().toStdString();
    EXPECT_EQ(test_support::ReadFile(library), oldLibrary);
    EXPECT_EQ(test_support::ReadFile(folder.filePath("quorvane.refused-upgrade")), "2.0.0.6\n");
    EXPECT_FALSE(QFile::exists(folder.filePath("quorvane.pending-upgrade")));
    ::kill(static_cast<pid_t>(client.processId()), SIGTERM);
    client.waitForFinished(30000);
}

TEST(ClientProcess, RunsItsOwnSubProcessesAndServesDebugging) {
    test_support::NginxServer server;
    server.writeFile("home.html", "<title>Client home</title>");
    // A copy of the client in a folder of its own, so that its home page file
    // is the test's.
    QTemporaryDir folder;
    test_support::InstallClient(folder.path(), server.baseUrl() + "/home.html");
    const QString executable = folder.filePath("quorvane");
    QProcess client;
    client.setWorkingDirectory(folder.path());
    client.start(executable);
    ASSERT_TRUE(client.waitForStarted());
    ASSERT_TRUE(WaitUntil([&] { return !WindowsNamed("^Client home$").isEmpty(); }, 60000))
        << client.readAllStandardError().toStdString();

    // Every engine sub-process runs this same executable.
    const QStringList children = test_support::ChildProcesses(client.processId());
    ASSERT_FALSE(children.isEmpty());
    for (const QString& child : children) {
        EXPECT_EQ(QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(child)), executable);
        // ... without the client library and the window's libraries.
        const QByteArray maps = test_support::ReadFile(QStringLiteral("/proc/%1/maps").arg(child));
        EXPECT_FALSE(maps.contains("libquorvane-client.so") || maps.contains("libQt6Widgets"));
    }

    QNetworkAccessManager network;
    // The debugging server lists this client's page (on this test's own
    // server port), so no other program on the port can pass for it.
    QNetworkReply* reply = network.get(QNetworkRequest(QUrl("http://127.0.0.1:9000/json/list")));
    ASSERT_TRUE(WaitUntil([&] { return reply->isFinished(); }));
    EXPECT_EQ(reply->error(), QNetworkReply::NoError);
    const QByteArray pages = reply->readAll();
    EXPECT_TRUE(pages.contains(server.baseUrl().toLatin1() + "/home.html")) << pages.toStdString();
    delete reply;

    // Its end and its error output are checked with its pixels (window_pixels_test).
    ::kill(static_cast<pid_t>(client.processId()), SIGTERM);
    client.waitForFinished(30000);
}
