// The whole client upgrading itself: about 10 s after start it finds a newer
// release on the update server (QUORVANE_UPDATE_HOST pointing at nginx),
// asks, downloads the new program with the wizard showing, and after OK
// hands over to the replacer, which puts the new program in place and
// starts it with "/afterupgrade".
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPoint>
#include <QProcess>
#include <QScopeGuard>
#include <QSize>
#include <QTemporaryDir>
#include <csignal>

#include "tests/support/file_contents.h"
#include "tests/support/nginx_server.h"
#include "tests/support/qt_printers.h"
#include "tests/support/wait.h"

using test_support::ReadFile;
using test_support::WaitUntil;

namespace {

QString BuiltBin(const QString& name) {
    return qEnvironmentVariable("QUORVANE_BUILD_BIN") + u'/' + name;
}

// Visible windows whose title matches `title` (a regular expression).
QStringList WindowsNamed(const QString& title) {
    QProcess search;
    search.start("xdotool", {"search", "--onlyvisible", "--name", title});
    search.waitForFinished(10000);
    return QString::fromLatin1(search.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// The window's client size.
QSize WindowSize(const QString& window) {
    QProcess geometry;
    geometry.start("xdotool", {"getwindowgeometry", "--shell", window});
    geometry.waitForFinished(10000);
    QSize size;
    for (const QByteArray& line : geometry.readAllStandardOutput().split('\n')) {
        if (line.startsWith("WIDTH="))
            size.setWidth(line.mid(6).toInt());
        if (line.startsWith("HEIGHT="))
            size.setHeight(line.mid(7).toInt());
    }
    return size;
}

// Clicks at the point of the window, as a user with the mouse would.
void ClickAt(const QString& window, QPoint point) {
    QProcess::execute("xdotool", {"mousemove", "--window", window, QString::number(point.x()),
                                  QString::number(point.y()), "click", "1"});
}

}  // namespace

TEST(UpgradeEndToEnd, TheClientReplacesItselfWithThePublishedProgramAndRestartsIt) {
    QTemporaryDir installed;
    QTemporaryDir temp;
    const QString folder = installed.path();
    for (const QString& name : {QStringLiteral("quorvane"), QStringLiteral("Ruzozudo3")}) {
        ASSERT_TRUE(QFile::copy(BuiltBin(name), folder + u'/' + name)) << name.toStdString();
        QFile::setPermissions(folder + u'/' + name, QFile::permissions(BuiltBin(name)));
    }
    QDir(folder).mkpath("ico");
    const QDir pictures(qEnvironmentVariable("QUORVANE_SOURCE_DIR") + "/ico");
    for (const QString& name : pictures.entryList(QDir::Files))
        QFile::copy(pictures.filePath(name), folder + "/ico/" + name);

    // The new program records how it was started.
    const QString startedWith = folder + "/started-with";
    const QByteArray newProgram =
        "#!/bin/sh\n# the new version, up at once\n"
        "printf 1 >&\"$QUORVANE_UPGRADE_CONFIRM_FD\"\n"
        "printf '%s\\n' \"$@\" > \"" +
        QFile::encodeName(startedWith) + ".part\" && mv \"" + QFile::encodeName(startedWith) +
        ".part\" \"" + QFile::encodeName(startedWith) + "\"\n";
    test_support::NginxServer server;
    server.writeFile("update/quorvane", newProgram);
    server.writeFile("update/quorvane.inf",
                     "#version=2.0.0.6\r\n#method=0\r\n#url=" + server.baseUrl().toUtf8() +
                         "/update/quorvane\r\n#message={End-to-end test release}\r\n");
    server.writeFile("home.html", "<title>Upgrade test home</title>");
    QFile home(folder + QStringLiteral("/主页.txt"));
    ASSERT_TRUE(home.open(QIODevice::WriteOnly));
    home.write("Home\t" + server.baseUrl().toUtf8() + "/home.html\r\n");
    home.close();

    QProcess client;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUORVANE_UPDATE_HOST", QStringLiteral("127.0.0.1:%1").arg(server.port()));
    environment.insert("TMPDIR", temp.path());
    environment.insert("LANGUAGE", "en");
    environment.insert("LC_ALL", "C.UTF-8");
    client.setProcessEnvironment(environment);
    client.setWorkingDirectory(folder);
    client.start(folder + "/quorvane");
    ASSERT_TRUE(client.waitForStarted());
    const auto cleanUp = qScopeGuard([&] {
        if (client.state() != QProcess::NotRunning) {
            ::kill(static_cast<pid_t>(client.processId()), SIGTERM);
            client.waitForFinished(20000);
        }
    });

    // The question comes about 10 s after the start.
    const QString caption = QStringLiteral("^Application update wizard$");
    QStringList question;
    ASSERT_TRUE(WaitUntil([&] { return !(question = WindowsNamed(caption)).isEmpty(); }, 60000))
        << client.readAllStandardError().toStdString();
    EXPECT_TRUE(WindowsNamed("^Upgrade test home$").size() == 1) << "the home page is shown";
    ASSERT_EQ(question.size(), 1);
    // Yes: 78, 13, 75 x 23 on the panel 45 high along the bottom; clicked
    // again should the window not yet take it.
    const QString questionWindow = question.first();
    const QPoint yes(78 + 37, WindowSize(questionWindow).height() - 45 + 13 + 11);
    ASSERT_TRUE(WaitUntil([&] {
        ClickAt(questionWindow, yes);
        return WaitUntil([&] { return !WindowsNamed(caption).contains(questionWindow); }, 2000);
    }));

    // The wizard downloads the program beside the running one, then waits
    // on its completed page for OK (296, 248, 75 x 25).
    const QString downloaded = folder + "/quorvane.uTMP";
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(downloaded) == newProgram; }, 30000));
    QStringList wizard;
    ASSERT_TRUE(WaitUntil([&] { return (wizard = WindowsNamed(caption)).size() == 1; }));
    // OK is disabled until the completed page shows.
    ASSERT_TRUE(WaitUntil([&] {
        ClickAt(wizard.first(), {296 + 37, 248 + 12});
        return client.waitForFinished(2000);
    })) << "the program closes for the replacer";
    EXPECT_EQ(client.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(client.exitCode(), 0);

    ASSERT_TRUE(WaitUntil([&] { return QFile::exists(startedWith); }, 90000)) << [] {
        QProcess ps;
        ps.start("ps", {"-eo", "pid,ppid,etime,args"});
        ps.waitForFinished();
        return ps.readAllStandardOutput().toStdString();
    }();
    EXPECT_EQ(ReadFile(startedWith), "/afterupgrade\n");
    EXPECT_EQ(ReadFile(folder + "/quorvane"), newProgram) << "the old program was replaced";
    EXPECT_TRUE(QFileInfo(folder + "/quorvane").isExecutable());
    EXPECT_FALSE(QFile::exists(downloaded));
    const QStringList replacerFolders = QDir(temp.path()).entryList({"quorvane-replacer-*"});
    ASSERT_EQ(replacerFolders.size(), 1) << "the replacer ran from a private folder";
    const QString replacerFolder = temp.path() + u'/' + replacerFolders.first();
    EXPECT_EQ(QFileInfo(replacerFolder).permissions(), QFile::ReadOwner | QFile::WriteOwner |
                                                           QFile::ExeOwner | QFile::ReadUser |
                                                           QFile::WriteUser | QFile::ExeUser);
    EXPECT_EQ(ReadFile(replacerFolder + "/Ruzozudo3"), ReadFile(BuiltBin("Ruzozudo3")));
}
