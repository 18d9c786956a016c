// The built replacer against real program folders.
#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include "tests/support/qt_printers.h"
#include "tests/support/wait.h"
#include "tests/upgrader/replacer_folder.h"

using namespace replacer_test;

// Without a list every regular ".uTMP" file is installed; a download that is
// a link is not, and what it points at stays untouched. The replacer waits
// for the old program to end before it starts the new one.
TEST(Replacer, SelfUpgradeInAFolderWithBlanksAndPlusKeepsModesAndRestarts) {
    ProgramFolder f("my app +1");
    f.Download("quorvane", f.NewProgram());
    f.Write("data.txt", "old data", 0600);
    f.Download("data.txt", "new data");
    f.Download("added.txt", "a new file");
    f.Write("unrelated.txt", "stays", 0640);
    f.Download(".hidden", "a dot file too");
    f.Write("../outside", "outside data");
    ASSERT_TRUE(QFile::link(f.Path("../outside"), f.Path("link.uTMP")));
    QProcess oldProgram;
    oldProgram.start(f.ProgramPath(), {"--sleep=1500"});
    ASSERT_TRUE(f.WaitForStarts("quorvane", 1));

    ASSERT_TRUE(Replacer().Run(f.SelfUpgrade()));
    // The modes stay: the program still executable.
    EXPECT_EQ(f.Describe({"quorvane", "data.txt", "added.txt", ".hidden", "unrelated.txt", "link",
                          "quorvane.uTMP", "data.txt.uTMP", "added.txt.uTMP", ".hidden.uTMP"}),
              "quorvane new 755; data.txt new data 600; added.txt a new file 644; .hidden a dot "
              "file too 644; unrelated.txt stays 640; link -; quorvane.uTMP -; data.txt.uTMP -; "
              "added.txt.uTMP -; .hidden.uTMP -");
    EXPECT_EQ(f.Read("../outside"), "outside data");
    ASSERT_TRUE(f.WaitForStarts("quorvane", 3));
    EXPECT_EQ(f.Starts("quorvane"), (QStringList{"--sleep=1500", "ended", "/afterupgrade"}));
    oldProgram.waitForFinished();
}

// The program lists the files of its upgrade, and they are installed all or
// none: a listed file not downloaded (lost and skipped), a download or a
// target that is a link, a target in use, a name twice or anything but a
// file beside the program installs nothing, and leaves no backup behind.
// Stray ".uTMP" files stay where they are.
TEST(Replacer, AnUpgradeInstallsAllOfItsListedFilesOrNone) {
    const std::pair<QByteArray, bool> cases[] = {
        {"quorvane\ndata.txt\n", true},
        {"quorvane\ndata.txt\nlost.txt\n", false},
        {"quorvane\ndata.txt\nlinked.txt\n", false},
        {"quorvane\ndata.txt\nlink-target.txt\n", false},
        {"quorvane\ndata.txt\nbusy.txt\n", false},
        {"quorvane\ndata.txt\nquorvane\n", false},
        {"data.txt\n../quorvane\n", false},
        {"data.txt\n\n", false},
    };
    for (const auto& [list, installed] : cases) {
        SCOPED_TRACE(list.constData());
        ProgramFolder f("listed");
        for (const QString name : {"quorvane", "data.txt", "busy.txt", "link-target.txt"})
            f.Download(name, name == "quorvane" ? f.NewProgram() : "new data");
        f.Download("stray.txt", "left by a broken download");
        f.Write("busy.txt", "in use");
        QFile busy(f.Path("busy.txt"));
        ASSERT_TRUE(busy.open(QIODevice::ReadOnly));
        f.Write("../outside", "outside data");
        ASSERT_TRUE(QFile::link(f.Path("../outside"), f.Path("linked.txt.uTMP")));
        ASSERT_TRUE(QFile::link(f.Path("../outside"), f.Path("link-target.txt")));
        ASSERT_TRUE(Replacer(list).Run(f.SelfUpgrade()));
        EXPECT_EQ(f.Describe({"quorvane", "data.txt", "busy.txt", "stray.txt", "stray.txt.uTMP",
                              "../outside"}),
                  QString(installed ? "quorvane new 755; data.txt new data 644"
                                    : "quorvane old 755; data.txt -") +
                      "; busy.txt in use 644; stray.txt -; stray.txt.uTMP left by a broken "
                      "download 644; ../outside outside data 644");
        EXPECT_EQ(QDir(f.Path("")).entryList({"*.uOLD", "*.pending-upgrade"}).size(),
                  installed ? 1 : 0);
        EXPECT_TRUE(f.WaitForStarts("quorvane", 1));
    }
}

// A file is on the disk before its new name points at it: each rename
// (the new program, a further file) comes after an fsync of the file.
TEST(Replacer, EachFileIsSyncedBeforeItIsRenamedIntoPlace) {
    ProgramFolder f("synced");
    f.Download("quorvane", f.NewProgram());
    f.Download("data.txt", "new data");
    QProcess strace;
    // LeakSanitizer cannot work under ptrace: sanitizer builds turn it off here.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":detect_leaks=0");
    strace.setProcessEnvironment(environment);
    strace.start("strace",
                 QStringList{"-f", "-y", "-qq", "-o", f.Path("trace"), "-e",
                             "trace=fsync,fdatasync,rename,renameat,renameat2", REPLACER_PROGRAM} +
                     f.SelfUpgrade());
    ASSERT_TRUE(strace.waitForFinished(30000)) << "strace is needed";
    ASSERT_EQ(strace.exitCode(), 0) << strace.readAllStandardError().constData();
    ASSERT_EQ(f.Read("quorvane"), f.NewProgram());
    QStringList synced, renamed;
    // "fsync(3</folder/quorvane.uTMP>) = 0", "rename("/folder/a.uTMP", "/folder/a") = 0"
    for (const QString& line : QString::fromUtf8(f.Read("trace")).split('\n')) {
        if (line.contains("sync("))
            synced << line.section('<', 1, 1).section('>', 0, 0);
        else if (line.contains("rename") && line.endsWith("= 0")) {
            EXPECT_TRUE(synced.contains(line.section('"', 1, 1))) << line.toStdString();
            renamed << QFileInfo(line.section('"', 3, 3)).fileName();
        }
    }
    EXPECT_TRUE(renamed.contains("quorvane") && renamed.contains("data.txt"))
        << renamed.join(' ').toStdString();
}

TEST(Replacer, SetupModeRunsTheSetupProgramAndNeverTouchesTheProgram) {
    ProgramFolder f("setup +mode");
    f.Download("setup.exe", f.OldProgram());  // downloads arrive without execute bits
    f.Download("quorvane", "a setup program named like the program");
    f.Download("readme.txt", "new readme");
    ASSERT_TRUE(Replacer().Run({f.ProgramPath(), "+/afterupgrade1"}));
    EXPECT_EQ(f.Starts("setup.exe"), QStringList{"/afterupgrade"});
    // The setup program is removed after it ended.
    EXPECT_EQ(f.Describe({"setup.exe", "quorvane", "quorvane.uTMP", "readme.txt"}),
              "setup.exe -; quorvane old 755; quorvane.uTMP a setup program named like the "
              "program 644; readme.txt new readme 644");
    ASSERT_TRUE(f.WaitForStarts("quorvane", 1));
    EXPECT_EQ(f.Starts("quorvane"), QStringList{"/afterupgrade"});
}

namespace {

constexpr int kFileCount = 300;
const QByteArray kPadding(4 << 20, 'p');

// A program of a few megabytes and many further files, each old or new.
void PrepareLargeUpgrade(const ProgramFolder& f) {
    f.Write("quorvane", f.OldProgram() + kPadding, 0755);
    f.Download("quorvane", f.NewProgram() + kPadding);
    for (int i = 0; i < kFileCount; ++i) {
        f.Write(QString("file%1.dat").arg(i), QByteArray(8192, 'o'), 0640);
        f.Download(QString("file%1.dat").arg(i), QByteArray(8192, 'n'));
    }
}

const QByteArray kList = "quorvane\ndata.txt\nadded.txt\n";
const QByteArray kFailing = "#!/bin/sh\nexit 1\n";

// The old program, a data file and the upgrade's three files.
void PrepareUpgrade(const ProgramFolder& f, const QByteArray& newProgram) {
    f.Download("quorvane", newProgram);
    f.Write("data.txt", "old data", 0600);
    f.Download("data.txt", "new data");
    f.Download("added.txt", "added by the upgrade");
}

QStringList Backups(const ProgramFolder& f) {
    return QDir(f.Path("")).entryList({"*.uOLD"}, QDir::Files, QDir::Name);
}

}  // namespace

// The replacer killed at a random moment within the time a whole run takes
// (timed on a first folder), again and again: after the next start of the
// program every file is whole and all of one version, the program with its
// mode.
TEST(Replacer, KilledAtAnyMomentTheNextStartLeavesOneWholeVersion) {
    QElapsedTimer clock;
    {
        ProgramFolder f("full run");
        PrepareLargeUpgrade(f);
        clock.start();
        ASSERT_TRUE(Replacer().Run(f.SelfUpgrade()));
    }
    const qint64 fullRunMs = clock.elapsed();
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        ProgramFolder f("killed run");
        PrepareLargeUpgrade(f);
        QProcess process;
        Replacer().Start(process, f.SelfUpgrade());
        QThread::msleep(QRandomGenerator::global()->bounded(fullRunMs + 1));
        ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
        process.waitForFinished();
        QThread::msleep(200);  // a program the replacer started records its start
        f.StartProgram("--next");
        const bool upgraded = f.Read("quorvane") == f.NewProgram() + kPadding;
        EXPECT_TRUE(upgraded || f.Read("quorvane") == f.OldProgram() + kPadding);
        EXPECT_EQ(f.Mode("quorvane"), 0755);
        for (int i = 0; i < kFileCount; ++i)
            EXPECT_EQ(f.Read(QString("file%1.dat").arg(i)), QByteArray(8192, upgraded ? 'n' : 'o'))
                << i;
        EXPECT_FALSE(QFile::exists(f.Path("quorvane.pending-upgrade")));
        EXPECT_EQ(f.Starts("quorvane").last(), "--next");
    }
}

// An upgrade whose new program does not come up is undone: the replacer puts
// every old file back, records the version and starts the old program.

TEST(ReplacerRollback, ANewProgramThatDoesNotComeUpIsUndone) {
    const std::pair<const char*, QByteArray> cases[] = {
        {"exits at once with 1", kFailing},
        {"crashes", "#!/bin/sh\nkill -SEGV $$\n"},
        {"never confirms", "#!/bin/sh\nexec sleep 60\n"},
    };
    for (const auto& [what, program] : cases) {
        SCOPED_TRACE(what);
        ProgramFolder f("rolled back");
        PrepareUpgrade(f, program);
        EXPECT_TRUE(Replacer(kList, 1500).Run(f.SelfUpgrade()));
        ASSERT_TRUE(f.WaitForStarts("quorvane", 1));
        EXPECT_EQ(f.Starts("quorvane"), QStringList{"/afterupgrade"}) << "the old program again";
        EXPECT_EQ(f.Describe({"quorvane", "data.txt", "added.txt", "quorvane.refused-upgrade"}),
                  "quorvane old 755; data.txt old data 600; added.txt -; "
                  "quorvane.refused-upgrade 2.0.0.6\n 644");
        EXPECT_TRUE(Backups(f).isEmpty());
    }
}

// A new version silent past the limit is asked to end; a program that then
// ends (as the client closes on SIGTERM) hands its process back: whoever
// started it sees the old version run in it and end normally.
TEST(ReplacerRollback, ANewVersionAskedToEndHandsItsProcessBackToTheOldOne) {
    ProgramFolder f("hangs");
    f.Write("client.lib", "old");
    f.Download("quorvane", f.NewProgram());
    f.Download("client.lib", "hangs");
    int exitCode = -2;
    ASSERT_TRUE(Replacer("quorvane\nclient.lib\n", 1500).Run(f.SelfUpgrade(), &exitCode));
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(f.Starts("quorvane"),
              (QStringList{"/afterupgrade", "asked to end", "/afterupgrade"}));
    EXPECT_EQ(f.Describe({"quorvane", "client.lib", "quorvane.refused-upgrade"}),
              "quorvane old 755; client.lib old 644; quorvane.refused-upgrade 2.0.0.6\n 644");
}

TEST(ReplacerRollback, AConfirmedUpgradeStaysAndItsBackupsGoWithTheNextOne) {
    ProgramFolder f("confirmed");
    PrepareUpgrade(f, f.NewProgram());
    ASSERT_TRUE(Replacer(kList).Run(f.SelfUpgrade()));
    EXPECT_EQ(f.Describe({"quorvane", "data.txt", "added.txt", "quorvane.refused-upgrade"}),
              "quorvane new 755; data.txt new data 600; added.txt added by the upgrade 644; "
              "quorvane.refused-upgrade -");
    const QStringList first = Backups(f);
    EXPECT_EQ(first.size(), 2) << "the program and data.txt";

    PrepareUpgrade(f, f.NewProgram() + "third");
    ASSERT_TRUE(Replacer(kList).Run(f.SelfUpgrade()));
    EXPECT_EQ(f.Read("quorvane"), f.NewProgram() + "third");
    for (const QString& backup : first)
        EXPECT_FALSE(Backups(f).contains(backup)) << "the backups go with the next upgrade";
}

// The replacer killed at each step of an upgrade whose new version comes up
// or does not (its library is broken): the next start of the program
// finishes the upgrade, and what runs then is the confirmed new version or
// the old one, every file whole and of that version.
TEST(ReplacerKilled, TheNextStartOfTheProgramFinishesTheUpgrade) {
    const struct {
        const char* step;
        bool comesUp;
        bool upgraded;
    } cases[] = {
        {"journal-written", true, false}, {"journal-written", false, false},
        {"first-renamed", true, false},   {"first-renamed", false, false},
        {"waiting", true, true},          {"waiting", false, false},
        {"undoing", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.step << (c.comesUp ? " comes up" : " broken"));
        ProgramFolder f("killed");
        f.Write("client.lib", "old");
        f.Download("quorvane", f.NewProgram());
        f.Download("client.lib", c.comesUp ? "new" : "broken");
        ASSERT_TRUE(Replacer("quorvane\nclient.lib\n", 1500, c.step).Run(f.SelfUpgrade()));
        if (QByteArray(c.step) == "waiting") {
            ASSERT_TRUE(f.WaitForStarts("quorvane", 1)) << "the new version was started";
        }
        f.StartProgram("--next");
        EXPECT_EQ(f.Describe({"quorvane", "client.lib", "quorvane.pending-upgrade",
                              "quorvane.refused-upgrade"}),
                  c.upgraded ? "quorvane new 755; client.lib new 644; quorvane.pending-upgrade -; "
                               "quorvane.refused-upgrade -"
                             : "quorvane old 755; client.lib old 644; quorvane.pending-upgrade -; "
                               "quorvane.refused-upgrade 2.0.0.6\n 644");
        EXPECT_EQ(f.Starts("quorvane").last(), "--next");
        EXPECT_EQ(Backups(f).size(), c.upgraded ? 2 : 0);
    }
}
