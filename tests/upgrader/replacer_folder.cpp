#include "tests/upgrader/replacer_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>

#include "tests/support/file_contents.h"
#include "tests/support/wait.h"
#include "tests/upgrader/test_files.h"

namespace replacer_test {

ProgramFolder::ProgramFolder(const QString& FolderName, const QString& ProgramName)
    : programName_(ProgramName) {
    folder_ = root_.path() + u'/' + FolderName + u'/';
    QDir().mkpath(folder_);
    oldProgram_ = test_support::ReadFile(STAND_IN_PROGRAM);
    Write(ProgramName, oldProgram_, 0755);
}

void ProgramFolder::Write(const QString& Name, const QByteArray& Content, int Mode) const {
    upgrader_test::WriteFile(Path(Name), Content, Mode);
}

void ProgramFolder::Download(const QString& Name, const QByteArray& Content) const {
    Write(Name + ".uTMP", Content, 0644);
}

QByteArray ProgramFolder::Read(const QString& Name) const {
    return test_support::ReadFile(Path(Name));
}

bool ProgramFolder::Exists(const QString& Name) const {
    return QFile::exists(Path(Name));
}

int ProgramFolder::Mode(const QString& Name) const {
    struct stat status {};
    if (::stat(QFile::encodeName(Path(Name)).constData(), &status) != 0)
        return -1;
    return static_cast<int>(status.st_mode & 07777);
}

QString ProgramFolder::Describe(const QStringList& Names) const {
    QStringList files;
    for (const QString& name : Names) {
        const QByteArray content = Read(name);
        const QString text = content == oldProgram_    ? "old"
                             : content == NewProgram() ? "new"
                                                       : QString::fromUtf8(content);
        files << name + (Exists(name) ? ' ' + text + ' ' + QString::number(Mode(name), 8) : " -");
    }
    return files.join("; ");
}

QStringList ProgramFolder::Starts(const QString& Name) const {
    const QString text = QString::fromUtf8(Read(Name + ".args"));
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool ProgramFolder::WaitForStarts(const QString& Name, int Count, int TimeoutMs) const {
    return test_support::WaitUntil([&] { return Starts(Name).size() >= Count; }, TimeoutMs);
}

namespace {

void StartReplacerAt(const QString& Replacer, QProcess& Process, const QStringList& Params,
                     int WaitLimitMs, int ConfirmLimitMs = -1) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : {std::pair{"QUORVANE_REPLACER_WAIT_MS", WaitLimitMs},
                                      std::pair{"QUORVANE_REPLACER_CONFIRM_MS", ConfirmLimitMs}}) {
        if (value >= 0)
            environment.insert(name, QString::number(value));
        else
            environment.remove(name);
    }
    Process.setProcessEnvironment(environment);
    Process.setProcessChannelMode(QProcess::MergedChannels);
    Process.start(Replacer, Params);
    ASSERT_TRUE(Process.waitForStarted(10000));
}

ReplacerRun Finish(QProcess& process) {
    ReplacerRun run;
    run.Finished = process.waitForFinished(30000);
    if (!run.Finished) {
        process.kill();
        process.waitForFinished();
    }
    run.ExitCode = process.exitCode();
    run.Output = process.readAll();
    return run;
}

}  // namespace

void StartReplacer(QProcess& Process, const QStringList& Params, int WaitLimitMs) {
    StartReplacerAt(QStringLiteral(REPLACER_PROGRAM), Process, Params, WaitLimitMs);
}

ReplacerRun RunReplacer(const QStringList& Params, int WaitLimitMs) {
    QProcess process;
    StartReplacer(process, Params, WaitLimitMs);
    return Finish(process);
}

ListedReplacer::ListedReplacer(const QByteArray& List, int ConfirmLimitMs)
    : confirmLimitMs_(ConfirmLimitMs) {
    QFile::copy(QStringLiteral(REPLACER_PROGRAM), folder_.filePath("Ruzozudo3"));
    upgrader_test::WriteFile(folder_.filePath("Ruzozudo3.files"), List);
    upgrader_test::WriteFile(folder_.filePath("Ruzozudo3.version"), "2.0.0.6\n");
}

void ListedReplacer::Start(QProcess& Process, const QStringList& Params) const {
    StartReplacerAt(folder_.filePath("Ruzozudo3"), Process, Params, -1, confirmLimitMs_);
}

ReplacerRun ListedReplacer::Run(const QStringList& Params) const {
    QProcess process;
    Start(process, Params);
    return Finish(process);
}

void StartStandIn(QProcess& Process, const QString& Path, const QStringList& Arguments) {
    Process.start(Path, Arguments);
    ASSERT_TRUE(Process.waitForStarted(10000));
}

}  // namespace replacer_test
