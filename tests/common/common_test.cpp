// The shared pieces: desktop entries' Exec lines, file error texts and the
// GBK codec.
#include <gtest/gtest.h>

#include <cerrno>

#include "common/desktop_entry.h"
#include "common/file_error_text.h"
#include "common/text_codec.h"
#include "tests/support/qt_printers.h"

TEST(DesktopEntry, ExecLinesBecomeArgumentVectors) {
    const QString target = QStringLiteral("/home/a b/收藏夹.txt");
    struct Case {
        const char* exec;
        QStringList expected;  // empty: refused
    };
    const Case cases[] = {
        {"gedit %F", {"gedit", target}},
        {"editor", {"editor", target}},
        {"editor %U %f", {"editor", target}},
        {"editor --icon %i --name=%c %k %f", {"editor", "--icon", "--name=", target}},
        {"\"/opt/my editor/run\" \"a \\\"quoted\\\" %f\" %f",
         {"/opt/my editor/run", "a \"quoted\" %f", target}},
        {"editor 100%% \"50%% off\" %f", {"editor", "100%", "50% off", target}},
        {"\"unterminated %f", {}},
        {"%f editor", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        const std::optional<QStringList> arguments = common::ExecArguments(c.exec, target);
        EXPECT_EQ(arguments.value_or(QStringList()), c.expected) << c.exec;
    }
}

TEST(FileErrorText, NamesTheCommonCasesAndNumbersTheRest) {
    EXPECT_EQ(common::FileErrorText(ENOENT), QStringLiteral("File not found"));
    EXPECT_EQ(common::FileErrorText(EACCES), QStringLiteral("File access denied"));
    EXPECT_STREQ(common::FileError(EIO).what(), "I/O error 5");
}

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
