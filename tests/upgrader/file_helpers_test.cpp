#include <gtest/gtest.h>

#include <ctime>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/support/file_contents.h"
#include "tests/support/wait.h"
#include "upgrader/replacement/private_folder.h"
#include "upgrader/utils/file_attributes.h"
#include "upgrader/utils/file_size.h"
#include "upgrader/utils/file_times.h"
#include "upgrader/utils/temp_directory.h"

using namespace upgrader;
using test_support::WriteFile;

// Sizes need no reading rights; the read-only attribute maps to the write
// bits; a missing file has neither.
TEST(FileHelpers, SizesAndAttributesOfFilesFoldersAndMissingFiles) {
    QTemporaryDir dir;
    const QString locked = WriteFile(dir.filePath("locked"), "abc", 0);
    EXPECT_EQ(GetFileSize64(locked), 3) << "no reading rights are needed";
    EXPECT_EQ(GetFileSize64(dir.filePath("missing")), -1);
    EXPECT_EQ(GetFileSize64(dir.path()), -1);

    const QString path = WriteFile(dir.filePath("file"), "x", 0664);
    ASSERT_TRUE(SetFileAttributesFromSet(path, atrReadOnly | atrArchive));
    EXPECT_EQ(test_support::FileMode(path), 0444);
    TauFileAttributes read;
    ASSERT_TRUE(GetFileAttributesAsSet(path, read));
    EXPECT_EQ(read, TauFileAttributes(atrReadOnly));
    ASSERT_TRUE(SetFileAttributesFromSet(path, atrArchive | atrHidden | atrTemporary));
    EXPECT_EQ(test_support::FileMode(path), 0644);
    EXPECT_TRUE(QFileInfo::exists(path)) << "hidden renames nothing";

    EXPECT_FALSE(SetFileAttributesFromSet(dir.filePath("missing"), atrArchive));
    EXPECT_FALSE(GetFileAttributesAsSet(dir.filePath("missing"), read));
}

TEST(FileHelpers, FileTimesInLocalTimeToEvenSeconds) {
    // Central European time, +2 h in summer (this test program's zone from
    // here on, as for the HTTP dates).
    qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    tzset();
    QTemporaryDir dir;
    const QString path = WriteFile(dir.filePath("stamped"), "x");
    const QDateTime written(QDate(2016, 7, 1), QTime(12, 30, 41));
    const QDateTime accessed(QDate(2015, 1, 2), QTime(3, 4, 6));
    ASSERT_TRUE(SetFileTimes(path, DateTimeFromQDateTime(written), DateTimeFromQDateTime(written),
                             DateTimeFromQDateTime(accessed)));
    QFileInfo info(path);
    EXPECT_EQ(info.lastModified(), written.addSecs(-1)) << "odd seconds go down to even";
    EXPECT_EQ(info.lastModified().toUTC().time(), QTime(10, 30, 40)) << "summer time at that date";

    const QDateTime later(QDate(2020, 2, 2), QTime(2, 2, 2));
    ASSERT_TRUE(SetFileTimes(path, kKeepFileTime, DateTimeFromQDateTime(later), kKeepFileTime));
    info.refresh();
    EXPECT_EQ(info.lastModified(), later);
    EXPECT_EQ(info.lastRead(), accessed) << "-1 keeps a time";
    EXPECT_FALSE(SetFileTimes(dir.filePath("missing"), 0, 42000, 0));
}

// The replacer's hand-over uses TMPDIR, with the program's folder in place of
// a missing one. Replacer folders there go with the next upgrader, but not the
// folder of a replacer that still runs (it holds a lock on it).
TEST(FileHelpers, TheTempDirectoryAndTheFoldersOfReplacersThatEnded) {
    QTemporaryDir temp;
    const QByteArray previous = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.filePath("missing")));
    EXPECT_EQ(GetTempDirectory(), QCoreApplication::applicationDirPath() + "/");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    EXPECT_EQ(GetTempDirectory(), temp.path() + "/");
    QDir(temp.path()).mkpath("quorvane-replacer-running");
    QDir(temp.path()).mkpath("quorvane-replacer-ended");
    QProcess holder;
    holder.start("flock", {"-s", temp.filePath("quorvane-replacer-running"), "sleep", "30"});
    ASSERT_TRUE(test_support::WaitUntil([&] {
        return QProcess::execute("flock",
                                 {"-nx", temp.filePath("quorvane-replacer-running"), "true"}) != 0;
    }));
    DeleteEarlierReplacerFolders();
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{"quorvane-replacer-running"});
    holder.kill();
    holder.waitForFinished();
    previous.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", previous);
}
