#include "virtual_card_options.h"

#include <gtest/gtest.h>

// A refused item is named and changes nothing: a negative count used to be
// stored although it was reported, and a wrong acquisition value cleared
// "stuck".
TEST(VirtualCardOptions, RefusedItemsLeaveTheCardAsItWas)
{
    const auto parsed = zul::vcard::parseVirtualCardOptions(
        "failwrite=3;failwrite=-1;shortwrite=-086;acquisition=stuck;acquisition=x;failclaim=-2;window=0x;id=9");
    EXPECT_EQ(parsed.errors,
              (std::vector<std::string>{"failwrite=-1", "shortwrite=-086", "acquisition=x", "failclaim=-2", "window=0x"}));
    const auto &o = parsed.options;
    EXPECT_EQ(o.failWrite, 3);
    EXPECT_EQ(o.shortWrite, 0);
    EXPECT_TRUE(o.acquisitionStuck);
    EXPECT_EQ(o.acquisitionReads, 3);
    EXPECT_EQ(o.failClaim, 0);
    EXPECT_EQ(o.window, 0x4B370000u);
    EXPECT_EQ(o.cardId, 9u);
}
