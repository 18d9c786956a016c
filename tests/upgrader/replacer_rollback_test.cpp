// An upgrade whose new program does not come up is undone: the replacer puts
// every old file back, records the version and starts the old program.
#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <cstdio>

#include "tests/upgrader/replacer_folder.h"

using namespace replacer_test;

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
