#include "tests/support/installed_client.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "tests/support/file_contents.h"

namespace test_support {

void InstallClient(const QString& folder, const QString& homeUrl, const QStringList& programs) {
    const QDir built(qEnvironmentVariable("QUORVANE_BUILD_BIN"));
    const QDir installed(folder);
    for (const QString& name : programs) {
        EXPECT_TRUE(QFile::copy(built.filePath(name), installed.filePath(name)))
            << name.toStdString();
        QFile::setPermissions(installed.filePath(name), QFile::permissions(built.filePath(name)));
    }
    installed.mkpath(QStringLiteral("ico"));
    const QDir pictures(qEnvironmentVariable("QUORVANE_SOURCE_DIR") + "/ico");
    for (const QString& name : pictures.entryList(QDir::Files))
        QFile::copy(pictures.filePath(name), installed.filePath("ico/" + name));
    WriteFile(installed.filePath(QStringLiteral("主页.txt")), "Home\t" + homeUrl.toUtf8() + "\r\n");
}

QByteArray ProgramOutput(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setEnvironment(QStringList{"LC_ALL=C.UTF-8"} + QProcess::systemEnvironment());
    process.start(program, arguments);
    process.waitForFinished(20000);
    return process.readAllStandardOutput();
}

QStringList WindowsNamed(const QString& title) {
    return QString::fromLatin1(
               ProgramOutput("xdotool", {"search", "--onlyvisible", "--name", title}))
        .split('\n', Qt::SkipEmptyParts);
}

QStringList ChildProcesses(qint64 pid) {
    return QString::fromLatin1(ReadFile(QStringLiteral("/proc/%1/task/%1/children").arg(pid)))
        .split(' ', Qt::SkipEmptyParts);
}

QStringList ProcessTree(qint64 pid) {
    QStringList tree{QString::number(pid)};
    for (qsizetype i = 0; i < tree.size(); ++i)
        tree += ChildProcesses(tree[i].toLongLong());
    return tree;
}

ProcessTreeKiller::~ProcessTreeKiller() {
    if (process_.state() == QProcess::NotRunning)
        return;
    for (const QString& process : ProcessTree(process_.processId()))
        ::kill(static_cast<pid_t>(process.toLongLong()), SIGKILL);
}

}  // namespace test_support
