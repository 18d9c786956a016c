// The built replacer against real program folders.
#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>
#include <cstdio>

#include "tests/support/wait.h"
#include "tests/upgrader/replacer_folder.h"

using namespace replacer_test;

TEST(Replacer, SelfUpgradeInAFolderWithBlanksAndPlusKeepsModesAndRestarts) {
    ProgramFolder f("my app +1");
    f.Download("quorvane", f.NewProgram());
    f.Write("data.txt", "old data", 0600);
    f.Download("data.txt", "new data");
    f.Download("added.txt", "a new file");
    f.Write("unrelated.txt", "stays", 0640);
    f.Download(".hidden", "a dot file too");

    const ReplacerRun run = RunReplacer({f.ProgramPath(), "+/afterupgrade0"});
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(run.ExitCode, 0);
    // The modes stay: the program still executable.
    EXPECT_EQ(f.Describe({"quorvane", "data.txt", "added.txt", ".hidden", "unrelated.txt",
                          "quorvane.uTMP", "data.txt.uTMP", "added.txt.uTMP", ".hidden.uTMP"}),
              "quorvane new 755; data.txt new data 600; added.txt a new file 644; .hidden a dot "
              "file too 644; unrelated.txt stays 640; quorvane.uTMP -; data.txt.uTMP -; "
              "added.txt.uTMP -; .hidden.uTMP -");
    ASSERT_TRUE(f.WaitForStarts("quorvane", 1));
    EXPECT_EQ(f.Starts("quorvane"), QStringList{"/afterupgrade"});
}

// The program lists the files of its upgrade: stray or partial ".uTMP" files
// stay where they are, and a list naming anything but a file beside the
// program installs nothing.
TEST(Replacer, OnlyTheListedFilesAreInstalled) {
    const struct {
        const char* what;
        QByteArray list;
        QStringList installed;
    } cases[] = {
        {"the upgrade's two files", "quorvane\ndata.txt\n", {"quorvane", "data.txt"}},
        {"an empty upgrade", "", {}},
        {"a name leaving the folder", "data.txt\n../quorvane\n", {}},
        {"an empty name", "data.txt\n\n", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFolder f("listed");
        f.Download("quorvane", f.NewProgram());
        f.Download("data.txt", "new data");
        f.Download("stray.txt", "left by a broken download");
        ASSERT_TRUE(ListedReplacer(c.list).Run({f.ProgramPath(), "+/afterupgrade0"}).Finished);
        EXPECT_EQ(f.Describe({"quorvane", "data.txt", "stray.txt", "stray.txt.uTMP"}),
                  QString("quorvane %1 755; ").arg(c.installed.isEmpty() ? "old" : "new") +
                      (c.installed.isEmpty() ? "data.txt -" : "data.txt new data 644") +
                      "; stray.txt -; stray.txt.uTMP left by a broken download 644");
        EXPECT_TRUE(f.WaitForStarts("quorvane", 1));
    }
}

// A file is on the disk before its new name points at it: each rename
// (the new program, a further file) comes after an fsync of the file.
TEST(Replacer, EachFileIsSyncedBeforeItIsRenamedIntoPlace) {
    ProgramFolder f("synced");
    f.Download("quorvane", f.NewProgram());
    f.Download("data.txt", "new data");
    const QString trace = f.Path("trace");
    QProcess strace;
    strace.start("strace", {"-f", "-y", "-qq", "-o", trace, "-e",
                            "trace=fsync,fdatasync,rename,renameat,renameat2", REPLACER_PROGRAM,
                            f.ProgramPath(), "+/afterupgrade0"});
    ASSERT_TRUE(strace.waitForFinished(30000)) << "strace is needed";
    ASSERT_EQ(strace.exitCode(), 0) << strace.readAllStandardError().constData();
    ASSERT_EQ(f.Read("quorvane"), f.NewProgram());
    QStringList synced, renamed;
    // "fsync(3</folder/quorvane.uTMP>) = 0", "rename("/folder/a.uTMP", "/folder/a") = 0"
    static const QRegularExpression call(
        R"re((f(?:data)?sync)\(\d+<([^>]+)>\)|rename(?:at2?)?\((?:[^"]*, )?"([^"]+)", (?:[^"]*, )?"([^"]+)".*= 0)re");
    for (const QString& line : QString::fromUtf8(f.Read("trace")).split('\n')) {
        const QRegularExpressionMatch match = call.match(line);
        if (match.hasMatch() && !match.captured(1).isEmpty())
            synced << match.captured(2);
        else if (match.hasMatch()) {
            EXPECT_TRUE(synced.contains(match.captured(3))) << line.toStdString();
            renamed << QFileInfo(match.captured(4)).fileName();
        }
    }
    EXPECT_TRUE(renamed.contains("quorvane") && renamed.contains("data.txt"))
        << renamed.join(' ').toStdString();
}

TEST(Replacer, WithoutParametersItOnlyNamesItself) {
    ProgramFolder f("quiet");
    f.Download("quorvane", f.NewProgram());
    for (const QStringList& params :
         {QStringList{}, QStringList{f.ProgramPath(), "/afterupgrade0"}}) {
        const ReplacerRun run = RunReplacer(params);
        ASSERT_TRUE(run.Finished);
        EXPECT_EQ(run.ExitCode, 0);
        EXPECT_TRUE(run.Output.contains("Ruzozudo3")) << run.Output.constData();
    }
    EXPECT_EQ(f.Describe({"quorvane", "quorvane.uTMP"}), "quorvane old 755; quorvane.uTMP new 644");
    test_support::ServeEvents(200);
    EXPECT_TRUE(f.Starts("quorvane").isEmpty());
}

TEST(Replacer, WaitsForTheOldProgramToEnd) {
    ProgramFolder f("waiting");
    f.Download("quorvane", f.NewProgram());
    QProcess oldProgram;
    StartStandIn(oldProgram, f.ProgramPath(), {"--sleep=1500"});
    ASSERT_TRUE(f.WaitForStarts("quorvane", 1));

    ASSERT_TRUE(RunReplacer({f.ProgramPath(), "+/afterupgrade0"}).Finished);
    EXPECT_EQ(f.Read("quorvane"), f.NewProgram());
    ASSERT_TRUE(f.WaitForStarts("quorvane", 3));
    // The old program had ended before the new one was started.
    EXPECT_EQ(f.Starts("quorvane"), (QStringList{"--sleep=1500", "ended", "/afterupgrade"}));
    oldProgram.waitForFinished();
}

TEST(Replacer, FilesStillInUsePastTheLimitAreLeftAndTheProgramStartsAnyway) {
    ProgramFolder f("busy");
    f.Write("data.txt", "old data");
    f.Download("data.txt", "new data");
    f.Download("free.txt", "replaced");
    f.Download("quorvane", f.NewProgram());
    QProcess hangingProgram, holder;
    StartStandIn(hangingProgram, f.ProgramPath(), {"--sleep=20000"});
    f.Write("holder", f.OldProgram(), 0755);
    StartStandIn(holder, f.Path("holder"), {"--hold=" + f.Path("data.txt"), "--sleep=20000"});
    ASSERT_TRUE(f.WaitForStarts("quorvane", 1));
    ASSERT_TRUE(f.WaitForStarts("holder", 1));

    const ReplacerRun run = RunReplacer({f.ProgramPath(), "+/afterupgrade0"}, 500);
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(hangingProgram.state(), QProcess::Running);
    EXPECT_EQ(f.Describe({"quorvane", "quorvane.uTMP", "data.txt", "data.txt.uTMP", "free.txt"}),
              "quorvane old 755; quorvane.uTMP new 644; data.txt old data 644; data.txt.uTMP new "
              "data 644; free.txt replaced 644");
    ASSERT_TRUE(f.WaitForStarts("quorvane", 2));
    EXPECT_EQ(f.Starts("quorvane").last(), "/afterupgrade");

    hangingProgram.kill();
    holder.kill();
    hangingProgram.waitForFinished();
    holder.waitForFinished();
}

TEST(Replacer, SetupModeRunsTheSetupProgramAndNeverTouchesTheProgram) {
    ProgramFolder f("setup +mode");
    f.Download("setup.exe", f.OldProgram());  // downloads arrive without execute bits
    f.Download("quorvane", "a setup program named like the program");
    f.Download("readme.txt", "new readme");
    ASSERT_TRUE(RunReplacer({f.ProgramPath(), "+/afterupgrade1"}).Finished);
    EXPECT_EQ(f.Starts("setup.exe"), QStringList{"/afterupgrade"});
    // The setup program is removed after it ended.
    EXPECT_EQ(f.Describe({"setup.exe", "quorvane", "readme.txt"}),
              "setup.exe -; quorvane old 755; readme.txt new readme 644");
    EXPECT_TRUE(f.Exists("quorvane.uTMP"));
    ASSERT_TRUE(f.WaitForStarts("quorvane", 1));
    EXPECT_EQ(f.Starts("quorvane"), QStringList{"/afterupgrade"});

    // Only the program among the downloads, its own name ending in "exe".
    ProgramFolder only("setup only", "client.exe");
    only.Download("client.exe", "not the program");
    ASSERT_TRUE(RunReplacer({only.ProgramPath(), "+/afterupgrade1"}).Finished);
    EXPECT_EQ(only.Describe({"client.exe"}), "client.exe old 755");
    ASSERT_TRUE(only.WaitForStarts("client.exe", 1));
    EXPECT_EQ(only.Starts("client.exe"), QStringList{"/afterupgrade"});
}

namespace {

constexpr int kFileCount = 300;

// A program of a few megabytes and many further files, each old or new.
void PrepareLargeUpgrade(const ProgramFolder& f) {
    const QByteArray padding(4 << 20, 'p');
    f.Write("quorvane", f.OldProgram() + padding, 0755);
    f.Download("quorvane", f.NewProgram() + padding);
    for (int i = 0; i < kFileCount; ++i) {
        const QString name = QString("file%1.dat").arg(i);
        f.Write(name, QByteArray(8192, 'o'), 0640);
        f.Download(name, QByteArray(8192, 'n'));
    }
}

// Every file is whole, old or new; the program keeps its mode. Counts the
// further files already replaced.
int CheckWhole(const ProgramFolder& f) {
    const QByteArray padding(4 << 20, 'p');
    const QByteArray program = f.Read("quorvane");
    EXPECT_TRUE(program == f.OldProgram() + padding || program == f.NewProgram() + padding);
    EXPECT_EQ(f.Mode("quorvane"), 0755);
    int replaced = 0;
    for (int i = 0; i < kFileCount; ++i) {
        const QByteArray content = f.Read(QString("file%1.dat").arg(i));
        EXPECT_TRUE(content == QByteArray(8192, 'o') || content == QByteArray(8192, 'n')) << i;
        replaced += content == QByteArray(8192, 'n') ? 1 : 0;
    }
    return replaced;
}

}  // namespace

TEST(Replacer, KilledAtAnyMomentItLeavesEveryFileWhole) {
    qint64 fullRunMs = 0;
    {
        ProgramFolder f("full run");
        PrepareLargeUpgrade(f);
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(RunReplacer({f.ProgramPath(), "+/afterupgrade0"}).Finished);
        fullRunMs = clock.elapsed();
        EXPECT_EQ(CheckWhole(f), kFileCount);
        EXPECT_EQ(f.Read("quorvane").left(f.NewProgram().size()), f.NewProgram());
    }
    int cutHalfway = 0;
    for (int round = 0; round < 12; ++round) {
        ProgramFolder f("killed run");
        PrepareLargeUpgrade(f);
        QProcess replacer;
        StartReplacer(replacer, {f.ProgramPath(), "+/afterupgrade0"});
        QThread::msleep(QRandomGenerator::global()->bounded(fullRunMs + 1));
        ::kill(static_cast<pid_t>(replacer.processId()), SIGKILL);
        replacer.waitForFinished();
        const int replaced = CheckWhole(f);
        cutHalfway += replaced > 0 && replaced < kFileCount ? 1 : 0;
        // The next run finishes what the killed one began.
        ASSERT_TRUE(RunReplacer({f.ProgramPath(), "+/afterupgrade0"}).Finished);
        EXPECT_EQ(CheckWhole(f), kFileCount);
    }
    std::printf("full run %lld ms; %d of 12 kills landed amid the replacement\n",
                static_cast<long long>(fullRunMs), cutHalfway);
}

// An upgrade whose new program does not come up is undone: the replacer puts
// every old file back, records the version and starts the old program.

namespace {

const QByteArray kList = "quorvane\ndata.txt\nadded.txt\n";

// The old program, a data file and the upgrade's three files.
void PrepareUpgrade(const ProgramFolder& f, const QByteArray& newProgram) {
    f.Download("quorvane", newProgram);
    f.Write("data.txt", "old data", 0600);
    f.Download("data.txt", "new data");
    f.Download("added.txt", "added by the upgrade");
}

QStringList Backups(const ProgramFolder& f) {
    return QDir(f.Folder()).entryList({"*.uOLD"}, QDir::Files, QDir::Name);
}

}  // namespace

TEST(ReplacerRollback, ANewProgramThatDoesNotComeUpIsUndone) {
    const struct {
        const char* what;
        QByteArray program;
    } cases[] = {
        {"exits at once with 1", "#!/bin/sh\nexit 1\n"},
        {"crashes", "#!/bin/sh\nkill -SEGV $$\n"},
        {"never confirms", "#!/bin/sh\nexec sleep 60\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFolder f("rolled back");
        PrepareUpgrade(f, c.program);
        QElapsedTimer clock;
        clock.start();
        const ReplacerRun run =
            ListedReplacer(kList, 1500).Run({f.ProgramPath(), "+/afterupgrade0"});
        ASSERT_TRUE(f.WaitForStarts("quorvane", 1));
        const qint64 backMs = clock.elapsed();
        EXPECT_TRUE(run.Finished);
        EXPECT_EQ(f.Starts("quorvane"), QStringList{"/afterupgrade"}) << "the old program again";
        EXPECT_EQ(f.Describe({"quorvane", "data.txt", "added.txt", "quorvane.refused-upgrade"}),
                  "quorvane old 755; data.txt old data 600; added.txt -; "
                  "quorvane.refused-upgrade 2.0.0.6\n 644");
        EXPECT_TRUE(Backups(f).isEmpty());
        std::printf("%s: the old program runs again %lld ms after the replacer started\n", c.what,
                    static_cast<long long>(backMs));
    }
}

TEST(ReplacerRollback, AConfirmedUpgradeStaysAndItsBackupsGoWithTheNextOne) {
    ProgramFolder f("confirmed");
    PrepareUpgrade(f, f.NewProgram());
    ASSERT_TRUE(ListedReplacer(kList).Run({f.ProgramPath(), "+/afterupgrade0"}).Finished);
    EXPECT_EQ(f.Describe({"quorvane", "data.txt", "added.txt", "quorvane.refused-upgrade"}),
              "quorvane new 755; data.txt new data 600; added.txt added by the upgrade 644; "
              "quorvane.refused-upgrade -");
    const QStringList first = Backups(f);
    ASSERT_EQ(first.size(), 2) << first.join(' ').toStdString();  // the program and data.txt

    PrepareUpgrade(f, f.NewProgram() + "third");
    ASSERT_TRUE(ListedReplacer(kList).Run({f.ProgramPath(), "+/afterupgrade0"}).Finished);
    EXPECT_EQ(f.Read("quorvane"), f.NewProgram() + "third");
    const QStringList second = Backups(f);
    EXPECT_EQ(second.size(), 3) << second.join(' ').toStdString();  // added.txt now too
    for (const QString& backup : first)
        EXPECT_FALSE(second.contains(backup)) << backup.toStdString();
    EXPECT_EQ(f.Starts("quorvane").size(), 2);
}

TEST(ReplacerRollback, KilledAtAnyMomentOfTheUndoEveryFileIsWhole) {
    const QByteArray failing = "#!/bin/sh\nexit 1\n";
    qint64 fullRunMs = 0;
    {
        ProgramFolder f("full undo");
        PrepareUpgrade(f, failing);
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(ListedReplacer(kList).Run({f.ProgramPath(), "+/afterupgrade0"}).Finished);
        fullRunMs = clock.elapsed();
    }
    for (int round = 0; round < 12; ++round) {
        ProgramFolder f("killed undo");
        PrepareUpgrade(f, failing);
        const ListedReplacer replacer(kList);
        QProcess process;
        replacer.Start(process, {f.ProgramPath(), "+/afterupgrade0"});
        QThread::msleep(QRandomGenerator::global()->bounded(fullRunMs + 1));
        ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
        process.waitForFinished();
        const QByteArray program = f.Read("quorvane");
        EXPECT_TRUE(program == f.OldProgram() || program == failing) << round;
        EXPECT_EQ(f.Mode("quorvane"), 0755);
        const QByteArray data = f.Read("data.txt");
        EXPECT_TRUE(data == "old data" || data == "new data") << round;
        QThread::msleep(200);  // a program the replacer started records its start
    }
}
