#include <gtest/gtest.h>

#include "common/text_codec.h"

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
