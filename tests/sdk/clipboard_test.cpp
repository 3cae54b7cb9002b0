#include "extended_fixture.h"

// The library's core has no window system, so here there is no clipboard:
// the refusal is told, and the bitmap stays the caller's or, made by the
// readout, is freed.
TEST_F(ExtendedTest, WithoutAClipboardTheBitmapIsKeptAndTheRefusalTold)
{
    EXPECT_EQ(ZULX_saveDIBToClipboard(nullptr), ZUL_ERR_BAD_POINTER);
    int notABlock = 0;
    EXPECT_EQ(ZULX_saveDIBToClipboard(&notABlock), ZUL_ERR_NO_MEMORY);
    EXPECT_TRUE(messages.empty());

    ZulConfig config = openPrepared(1);
    ASSERT_EQ(ZULX_snap(&config), ZUL_OK);
    ZulHandle bitmap = nullptr;
    ASSERT_EQ(ZULX_readoutDIB(&config, &bitmap), ZUL_OK);
    const std::size_t held = zul::claimsHeld();
    EXPECT_EQ(ZULX_saveDIBToClipboard(bitmap), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(messages, std::vector<std::string>{"Error: Can't open Clipboard !"});
    EXPECT_EQ(ZUL_globalSize(bitmap), 40u + 1024 + 952u * 610);
    EXPECT_EQ(ZUL_globalFree(bitmap), nullptr);

    messages.clear();
    EXPECT_EQ(ZULX_readoutDIBToClipboard(&config), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(messages, std::vector<std::string>{"Error: Can't open Clipboard !"});
    EXPECT_EQ(zul::claimsHeld(), held - 1);

    messages.clear();
    EXPECT_EQ(ZULX_readoutDIBToClipboard(nullptr), ZUL_ERR_BAD_POINTER);
    config.OutputFormat = 0;
    EXPECT_EQ(ZULX_readoutDIBToClipboard(&config), ZUL_ERR_RANGE);
    EXPECT_TRUE(messages.empty());
}
