#include <gtest/gtest.h>

#include <cerrno>

#include "common/file_error_text.h"

TEST(FileErrorText, NamesTheCommonCasesAndNumbersTheRest) {
    EXPECT_EQ(common::FileErrorText(ENOENT), QStringLiteral("File not found"));
    EXPECT_EQ(common::FileErrorText(EACCES), QStringLiteral("File access denied"));
    EXPECT_EQ(common::FileErrorText(ENOSPC), QStringLiteral("I/O error 28"));
    EXPECT_STREQ(common::FileError(EIO).what(), "I/O error 5");
}
