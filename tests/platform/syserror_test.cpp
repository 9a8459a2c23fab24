#include "platform/syserror.h"

#include <gtest/gtest.h>

using stampwell::platform::MakeSysError;

TEST(SysError, ZeroMeansNoFailure) {
    const auto error = MakeSysError(0);
    EXPECT_FALSE(error.Failed());
    EXPECT_TRUE(error.text.empty());
}

TEST(SysError, KeepsTheSystemCodeAndItsText) {
    const auto error = MakeSysError(2); // ENOENT and ERROR_FILE_NOT_FOUND alike
    EXPECT_TRUE(error.Failed());
    EXPECT_EQ(error.code, 2);
    EXPECT_FALSE(error.text.empty());
    EXPECT_NE(error.text.back(), '\n');
}
