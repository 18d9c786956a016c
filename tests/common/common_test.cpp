// The shared pieces: the GBK codec and the program's path.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>

#include "common/text_codec.h"
#include "tests/support/qt_printers.h"

TEST(TextCodec, GbkBytesRoundTripAndNonGbkCharactersSurvive) {
    // "主页" in GBK.
    const QByteArray gbk("\xd6\xf7\xd2\xb3");
    EXPECT_EQ(common::FromGbk(gbk), QString::fromUtf8("主页"));
    EXPECT_EQ(common::ToGbk(QString::fromUtf8("主页")), gbk);
    // Characters outside GBK (an accented Latin letter, an emoji) are not lost.
    const QString wide = QString::fromUtf8("café 😀");
    EXPECT_EQ(common::FromGbk(common::ToGbk(wide)), wide);
    // ASCII stays ASCII, byte for byte.
    EXPECT_EQ(common::ToGbk(QStringLiteral("http://a/?b=c\t")), QByteArray("http://a/?b=c\t"));
}

// The program's path while it runs: its file replaced under it (an upgrade,
// a reinstall), started through a link, or named with what the system
// appends to the path of a replaced file.
TEST(RunningExecutable, IsTheProgramsPathEvenAfterItsFileWasReplaced) {
    const struct {
        const char* name;
        bool throughLink;
        bool replaced;
    } cases[] = {
        {"quorvane", false, true},
        {"quorvane", true, true},
        {"quorvane (deleted)", false, false},
        {"quorvane (deleted)", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << c.throughLink << c.replaced);
        QTemporaryDir folder;
        const QString program = folder.filePath(c.name);
        ASSERT_TRUE(QFile::copy(EXECUTABLE_PATH_PROBE, program));
        QFile::setPermissions(program, QFile::permissions(EXECUTABLE_PATH_PROBE));
        ASSERT_TRUE(QFile::link(program, folder.filePath("link")));
        QProcess probe;
        probe.start(c.throughLink ? folder.filePath("link") : program, QStringList());
        ASSERT_TRUE(probe.waitForStarted());
        if (c.replaced) {
            ASSERT_TRUE(QFile::copy(EXECUTABLE_PATH_PROBE, program + ".new"));
            ASSERT_EQ(std::rename(QFile::encodeName(program + ".new").constData(),
                                  QFile::encodeName(program).constData()),
                      0);
        }
        probe.write("go\n");
        ASSERT_TRUE(probe.waitForFinished(10000));
        EXPECT_EQ(QString::fromLocal8Bit(probe.readAllStandardOutput()).trimmed(), program);
    }
}
