// The shared pieces: file error texts and the GBK codec.
#include <gtest/gtest.h>

#include <cerrno>

#include "common/file_error_text.h"
#include "common/text_codec.h"
#include "tests/support/qt_printers.h"

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
