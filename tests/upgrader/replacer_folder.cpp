#include "tests/upgrader/replacer_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include "tests/support/wait.h"

namespace replacer_test {

namespace {

// Whether the upgrade's watchdog has done (no journal, or nobody holds it).
bool JournalSettled(const QString& ProgramPath) {
    const int journal = ::open(QFile::encodeName(ProgramPath + ".pending-upgrade").constData(),
                               O_RDONLY | O_CLOEXEC);
    if (journal < 0)
        return true;
    const bool free = ::flock(journal, LOCK_EX | LOCK_NB) == 0;
    ::close(journal);
    return free;
}

}  // namespace

ProgramFolder::ProgramFolder(const QString& FolderName)
    : folder_(root_.path() + u'/' + FolderName + u'/'),
      oldProgram_(test_support::ReadFile(STAND_IN_PROGRAM)) {
    QDir().mkpath(folder_);
    Write("quorvane", oldProgram_, 0755);
}

QString ProgramFolder::Describe(const QStringList& Names) const {
    QStringList files;
    for (const QString& name : Names) {
        const QByteArray content = Read(name);
        const QString text = content == oldProgram_    ? "old"
                             : content == NewProgram() ? "new"
                                                       : QString::fromUtf8(content);
        files << name + (QFile::exists(Path(name))
                             ? ' ' + text + ' ' + QString::number(Mode(name), 8)
                             : " -");
    }
    return files.join("; ");
}

QStringList ProgramFolder::Starts(const QString& Name) const {
    const QString text = QString::fromUtf8(Read(Name + ".args"));  // each line ends with '\n'
    return text.isEmpty() ? QStringList() : text.chopped(1).split(u'\n');
}

bool ProgramFolder::WaitForStarts(const QString& Name, int Count) const {
    return test_support::WaitUntil([&] { return Starts(Name).size() >= Count; });
}

bool ProgramFolder::ProgramRuns() const {
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs))
        if (QFileInfo("/proc/" + entry + "/exe").symLinkTarget().startsWith(ProgramPath()))
            return true;
    return false;
}

void ProgramFolder::StartProgram(const QString& Argument) const {
    EXPECT_TRUE(test_support::WaitUntil([&] { return !ProgramRuns(); }));
    QProcess program;
    program.start(ProgramPath(), {Argument});
    EXPECT_TRUE(program.waitForFinished(30000));
    EXPECT_TRUE(test_support::WaitUntil([&] { return JournalSettled(ProgramPath()); }));
}

Replacer::Replacer(std::optional<QByteArray> List, int ConfirmLimitMs, const QString& KilledAt)
    : program_(QStringLiteral(REPLACER_PROGRAM)),
      confirmLimitMs_(ConfirmLimitMs),
      killedAt_(KilledAt) {
    if (!List)
        return;
    program_ = folder_.filePath("Ruzozudo3");
    QFile::copy(QStringLiteral(REPLACER_PROGRAM), program_);
    test_support::WriteFile(program_ + ".files", *List);
    test_support::WriteFile(program_ + ".version", "2.0.0.6\n");
}

void Replacer::Start(QProcess& Process, const QStringList& Params) const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QUORVANE_REPLACER_CONFIRM_MS");
    if (confirmLimitMs_ >= 0)
        environment.insert("QUORVANE_REPLACER_CONFIRM_MS", QString::number(confirmLimitMs_));
    environment.insert("QUORVANE_REPLACER_KILLED_AT", killedAt_);
    Process.setProcessEnvironment(environment);
    Process.setProcessChannelMode(QProcess::ForwardedChannels);
    Process.start(program_, Params);
    ASSERT_TRUE(Process.waitForStarted(10000));
}

bool Replacer::Run(const QStringList& Params, int* ExitCode) const {
    QProcess process;
    Start(process, Params);
    // The replacer becomes the program; its watchdog finishes on its own.
    const bool ended = process.waitForFinished(30000);  // else killed with the process
    if (ExitCode)
        *ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return ended && test_support::WaitUntil([&] { return JournalSettled(Params.value(0)); }, 30000);
}

}  // namespace replacer_test
