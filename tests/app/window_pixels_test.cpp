// What the user sees of the running client, read back from the X server's
// pixels: the page in its own colour, the tool bar's pictures and a Chinese
// caption, on every start, and for an account without privileges with the
// engine's sandbox on.
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <functional>

#include "tests/support/file_contents.h"
#include "tests/support/installed_client.h"
#include "tests/support/nginx_server.h"
#include "tests/support/wait.h"

using test_support::WaitUntil;

namespace {

const QString kTitle = QStringLiteral("问卷首页");
constexpr QRgb kPageColour = qRgb(0x2e, 0x8b, 0x57);
const QByteArray kPage =
    "<meta charset='utf-8'><title>问卷首页</title><body style='background:#2e8b57'>";

QString Xdotool(const QStringList& arguments) {
    return QString::fromUtf8(test_support::ProgramOutput("xdotool", arguments)).trimmed();
}

// Why the picture of the window (none when it could not be taken) is not
// what the user must see; empty when it is.
QString WhatIsNotDrawn(const QImage& shot) {
    const int middle = shot.width() / 2;
    int pageTop = 0;
    while (pageTop < shot.height() && shot.pixel(middle, pageTop) != kPageColour)
        ++pageTop;
    if (pageTop == shot.height() ||
        shot.pixel(middle, (pageTop + shot.height()) / 2) != kPageColour)
        return QStringLiteral("the page's colour is not in the middle of the window");
    // Above the page: the tool bar, light, with the blue of its pictures.
    int blue = 0, dark = 0;
    for (int y = 0; y < pageTop; ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor pixel(shot.pixel(x, y));
            blue += pixel.blue() > 150 && pixel.blue() > pixel.red() + 80;
            dark += qGray(pixel.rgb()) < 40;
        }
    if (blue < 50 || dark * 2 > pageTop * shot.width())
        return QString::asprintf("the tool bar's %d rows have %d blue and %d dark pixels", pageTop,
                                 blue, dark);
    return {};
}

// Starts the client in `folder`, waits until its window is drawn, ends it with
// SIGTERM (or by destroying its window, as any X client can) and expects a
// clean end without a warning of the window's drawing.
void ExpectDrawnStart(const QString& folder, const QProcessEnvironment& environment, bool sandboxed,
                      const std::function<void()>& asAccount = {}, bool destroyWindow = false) {
    QProcess client;
    client.setWorkingDirectory(folder);
    client.setProcessEnvironment(environment);
    if (asAccount)
        client.setChildProcessModifier(asAccount);
    client.start(folder + "/quorvane");
    ASSERT_TRUE(client.waitForStarted());
    const test_support::ProcessTreeKiller killer(client);
    QString window;
    ASSERT_TRUE(WaitUntil(
        [&] {
            window =
                Xdotool({"search", "--onlyvisible", "--class", "^Quorvane$"}).section('\n', 0, 0);
            return !window.isEmpty() && Xdotool({"getwindowname", window}) == kTitle;
        },
        60000))
        << "no window captioned " << kTitle.toStdString() << "\n"
        << client.readAllStandardError().toStdString();
    QString notDrawn;
    EXPECT_TRUE(WaitUntil([&] {
        return (notDrawn = WhatIsNotDrawn(QImage::fromData(
                    test_support::ProgramOutput("import", {"-window", window, "png:-"}), "PNG")))
            .isEmpty();
    })) << notDrawn.toStdString();
    const QStringList children = test_support::ChildProcesses(client.processId());
    EXPECT_FALSE(children.isEmpty());
    for (const QString& child : children) {
        const QByteArray commandLine = test_support::ReadFile("/proc/" + child + "/cmdline");
        EXPECT_EQ(commandLine.contains("--no-sandbox"), !sandboxed) << commandLine.toStdString();
    }
    if (destroyWindow)
        Xdotool({"windowclose", window});
    else
        ::kill(static_cast<pid_t>(client.processId()), SIGTERM);
    // A program whose window is gone ends, and its engine processes with it.
    ASSERT_TRUE(client.waitForFinished(destroyWindow ? 5000 : 30000));
    EXPECT_TRUE(client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return std::none_of(children.begin(), children.end(),
                                [](const QString& child) { return ::kill(child.toInt(), 0) == 0; });
        },
        5000));
    const QByteArray errors = client.readAllStandardError();
    for (const char* warning : {"makeCurrent", "QRhi", "Please instantiate the QApplication"})
        EXPECT_FALSE(errors.contains(warning)) << errors.toStdString();
}

}  // namespace

TEST(WindowPixels, PageToolBarAndChineseCaptionAreDrawnOnEveryStart) {
    test_support::NginxServer server;
    server.writeFile("home.html", kPage);
    QTemporaryDir folder;
    test_support::InstallClient(folder.path(), server.baseUrl() + "/home.html");
    for (int start = 1; start <= 10 && !HasFailure(); ++start) {
        SCOPED_TRACE(start);
        ExpectDrawnStart(folder.path(), QProcessEnvironment::systemEnvironment(), false, {},
                         start == 10);
    }
}

// Root runs the engine without its sandbox; a user's client runs with it.
TEST(WindowPixels, AnAccountWithoutPrivilegesSeesThePageWithTheSandboxOn) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer cannot map its memory inside the engine's sandbox";
#endif
    const char* account = "quorvane-test";
    if (geteuid() == 0 && !getpwnam(account) &&
        QProcess::execute("useradd", {"--system", "--shell", "/usr/sbin/nologin", account}) != 0)
        GTEST_SKIP() << "running as root and cannot create the account " << account;
    const passwd* user = geteuid() == 0 ? getpwnam(account) : getpwuid(geteuid());
    ASSERT_NE(user, nullptr);
    const uid_t uid = user->pw_uid;
    const gid_t gid = user->pw_gid;

    test_support::NginxServer server;
    server.writeFile("home.html", kPage);
    // Outside the test's private home, which the account cannot enter.
    QTemporaryDir folder("/tmp/quorvane-account-XXXXXX");
    test_support::InstallClient(folder.path(), server.baseUrl() + "/home.html");
    QDir(folder.path()).mkpath("home/run");
    QFile::setPermissions(folder.filePath("home/run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(QProcess::execute("chown",
                                {"-R", QStringLiteral("%1:%2").arg(uid).arg(gid), folder.path()}),
              0);

    QProcessEnvironment environment;
    for (const char* name : {"DISPLAY", "PATH", "LANG", "QUORVANE_UPDATE_HOST", "ASAN_OPTIONS"})
        environment.insert(name, qEnvironmentVariable(name));
    environment.insert("HOME", folder.filePath("home"));
    environment.insert("XDG_RUNTIME_DIR", folder.filePath("home/run"));
    std::function<void()> asAccount;
    if (geteuid() == 0)
        asAccount = [uid, gid] {
            if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0)
                _exit(127);
        };
    ExpectDrawnStart(folder.path(), environment, true, asAccount);
}
