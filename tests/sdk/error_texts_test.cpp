#include "ZUL_Tools_VB.h"

#include <gtest/gtest.h>
#include <string>

TEST(ErrorTexts, KnownCodesAndUnknown)
{
    EXPECT_STREQ(ZUL_errorString(0), "No error");
    EXPECT_STREQ(ZUL_errorString(1), "ZUL toolkit is already in use");
    EXPECT_STREQ(ZUL_errorString(20), "An error while reading or writing to file");
    EXPECT_STREQ(ZUL_errorString(21), "Unknown error");
    EXPECT_STREQ(ZUL_errorString(-1), "Unknown error");
}
