#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "tests/upgrader/local_time_zone.h"
#include "tests/upgrader/test_files.h"
#include "upgrader/utils/file_attributes.h"
#include "upgrader/utils/file_size.h"
#include "upgrader/utils/file_times.h"
#include "upgrader/utils/resource_stream.h"
#include "upgrader/utils/temp_directory.h"

using namespace upgrader;
using upgrader_test::WriteFile;

namespace {

mode_t PermissionsOf(const QString& path) {
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 07777;
}

}  // namespace

TEST(FileHelpers, SizeOfFilesFoldersAndMissingFiles) {
    QTemporaryDir dir;
    EXPECT_EQ(GetFileSize64(WriteFile(dir.filePath("five"), "12345")), 5);
    EXPECT_EQ(GetFileSize64(WriteFile(dir.filePath("empty"), "")), 0);
    const QString locked = WriteFile(dir.filePath("locked"), "abc");
    ::chmod(QFile::encodeName(locked).constData(), 0);
    EXPECT_EQ(GetFileSize64(locked), 3) << "no reading rights are needed";
    EXPECT_EQ(GetFileSize64(dir.filePath("missing")), -1);
    EXPECT_EQ(GetFileSize64(dir.path()), -1);
    EXPECT_EQ(GetFileSize64(QString()), -1);
    QFile sparse(dir.filePath("large"));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
    ASSERT_TRUE(sparse.resize(qint64(5) << 30));
    EXPECT_EQ(GetFileSize64(sparse.fileName()), qint64(5) << 30) << "sizes beyond 32 bits";
}

TEST(FileHelpers, FileTimesInLocalTimeToEvenSeconds) {
    upgrader_tests::LocalTimeZone zone(upgrader_tests::kCentralEurope);
    QTemporaryDir dir;
    const QString path = WriteFile(dir.filePath("stamped"), "x");
    const QDateTime written(QDate(2016, 7, 1), QTime(12, 30, 41));
    const QDateTime accessed(QDate(2015, 1, 2), QTime(3, 4, 6));
    ASSERT_TRUE(SetFileTimes(path, DateTimeFromQDateTime(written), DateTimeFromQDateTime(written),
                             DateTimeFromQDateTime(accessed)));
    QFileInfo info(path);
    EXPECT_EQ(info.lastModified(), written.addSecs(-1)) << "odd seconds go down to even";
    EXPECT_EQ(info.lastModified().toUTC().time(), QTime(10, 30, 40)) << "summer time at that date";
    EXPECT_EQ(info.lastRead(), accessed);

    const QDateTime later(QDate(2020, 2, 2), QTime(2, 2, 2));
    ASSERT_TRUE(SetFileTimes(path, kKeepFileTime, DateTimeFromQDateTime(later), kKeepFileTime));
    info.refresh();
    EXPECT_EQ(info.lastModified(), later);
    EXPECT_EQ(info.lastRead(), accessed) << "-1 keeps a time";

    EXPECT_FALSE(SetFileTimes(dir.filePath("missing"), 0, 42000, 0));
    EXPECT_FALSE(SetFileTimes(dir.path(), 0, 42000, 0)) << "a folder does not open for writing";
}

TEST(FileHelpers, AttributesMapReadOnlyToWriteBits) {
    QTemporaryDir dir;
    const QString path = WriteFile(dir.filePath("file"), "x");
    ::chmod(QFile::encodeName(path).constData(), 0664);
    ASSERT_TRUE(SetFileAttributesFromSet(path, atrReadOnly | atrArchive));
    EXPECT_EQ(PermissionsOf(path), mode_t(0444));
    TauFileAttributes read;
    ASSERT_TRUE(GetFileAttributesAsSet(path, read));
    EXPECT_EQ(read, TauFileAttributes(atrReadOnly));

    ASSERT_TRUE(SetFileAttributesFromSet(path, atrArchive | atrHidden | atrTemporary));
    EXPECT_EQ(PermissionsOf(path), mode_t(0644));
    EXPECT_TRUE(QFileInfo::exists(path)) << "hidden renames nothing";
    ASSERT_TRUE(SetFileAttributesFromSet(path, atrArchive));
    EXPECT_EQ(PermissionsOf(path), mode_t(0644));
    ASSERT_TRUE(GetFileAttributesAsSet(path, read));
    EXPECT_EQ(read, TauFileAttributes());

    EXPECT_FALSE(SetFileAttributesFromSet(dir.filePath("missing"), atrArchive));
    EXPECT_FALSE(GetFileAttributesAsSet(dir.filePath("missing"), read));
    ASSERT_TRUE(GetFileAttributesAsSet(WriteFile(dir.filePath(".dotted"), ""), read));
    EXPECT_EQ(read, TauFileAttributes(atrHidden));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
    ASSERT_TRUE(GetFileAttributesAsSet(dir.filePath("fifo"), read));
    EXPECT_EQ(read, TauFileAttributes(atrSystem));
}

TEST(FileHelpers, TempDirectoryEndsWithSlashAndFallsBackToTheProgramFolder) {
    QTemporaryDir dir;
    const QByteArray previous = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(dir.path()));
    EXPECT_EQ(GetTempDirectory(), dir.path() + "/");
    qputenv("TMPDIR", QFile::encodeName(dir.filePath("missing")));
    EXPECT_EQ(GetTempDirectory(), QCoreApplication::applicationDirPath() + "/");
    qputenv("TMPDIR", previous);
    if (previous.isEmpty())
        qunsetenv("TMPDIR");
}

TEST(FileHelpers, WritesWholeResourcesOnly) {
    QBuffer stream;
    stream.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteResourceToStream(":/upgrader_tests/resource.bin", &stream));
    QFile original(QStringLiteral(UPGRADER_TEST_DIR "/resource.bin"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(stream.data(), original.readAll());

    EXPECT_FALSE(WriteResourceToStream(":/upgrader_tests/resource.bin", nullptr));
    EXPECT_FALSE(WriteResourceToStream(":/upgrader_tests/missing.bin", &stream));
    EXPECT_FALSE(WriteResourceToStream(":/upgrader_tests/empty.bin", &stream));
    EXPECT_FALSE(WriteResourceToStream(original.fileName(), &stream)) << "only resources";
    QBuffer closed;
    EXPECT_FALSE(WriteResourceToStream(":/upgrader_tests/resource.bin", &closed));
}
