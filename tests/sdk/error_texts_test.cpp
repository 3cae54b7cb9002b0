#include "ZUL_Tools_VB.h"

#include <gtest/gtest.h>
#include <string>

TEST(ErrorTexts, EveryCodeAndTheUnknownOnes)
{
    const char *const expected[] = {
        "No error", "ZUL toolkit is already in use", "No ZUL detected", "No ZUL Card driver detected",
        "This toolkit works only with K7Q02", "Toolkit is not initialized", "Video digitizer is not configured",
        "Attempt to start snap before snap prepared", "Attempt to finish snap before snap started",
        "Attempt to read image before snap finished", "Attempt to read image before startReadout",
        "No video signal detected", "Attempt to read monochrome image as colour",
        "Attempt to read outside snapped image", "Parameter to function is out of range",
        "Image width is out of range", "Image height is out of range", "Bad pointer (possibly NULL)",
        "Lost contact with ZUL Card", "Could not claim the memory needed in function",
        "An error while reading or writing to file"};
    for (int code = 0; code <= 20; ++code)
        EXPECT_STREQ(ZUL_errorString(code), expected[code]) << code;
    EXPECT_STREQ(ZUL_errorString(21), "Unknown error");
    EXPECT_STREQ(ZUL_errorString(-1), "Unknown error");
    EXPECT_STREQ(ZUL_errorString(1 << 30), "Unknown error");
}

TEST(GlobalMemory, BlocksKeepTheirHandleAcrossResizing)
{
    ZulHandle block = ZUL_globalAlloc(16);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(ZUL_globalSize(block), 16u);
    auto *bytes = static_cast<unsigned char *>(ZUL_globalLock(block));
    ASSERT_NE(bytes, nullptr);
    bytes[15] = 0xAB;
    // A locked block must not move under its user.
    EXPECT_EQ(ZUL_globalReAlloc(block, 64), nullptr);
    EXPECT_EQ(ZUL_globalUnlock(block), 0);
    EXPECT_EQ(ZUL_globalReAlloc(block, 64), block);
    bytes = static_cast<unsigned char *>(ZUL_globalLock(block));
    EXPECT_EQ(bytes[15], 0xAB);
    EXPECT_EQ(bytes[63], 0);
    ZUL_globalUnlock(block);
    EXPECT_EQ(ZUL_globalFree(block), nullptr);
}
