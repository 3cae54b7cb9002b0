#include "card_fixture.h"

#include <functional>

using zul::vcard::OpenReply;
using zul::vcard::VirtualCardOptions;

namespace {

struct InitFault {
    const char *name;
    std::function<void(VirtualCardOptions &)> arm;
    int claimFailsAfter; // -1: no allocation fault
    int result;
};

// Every way an opening can go wrong, with the claim counts that fail the
// record (0), the line buffer (1) and the two interpolation buffers (2, 3).
const InitFault kInitFaults[] = {
    {"no driver", [](VirtualCardOptions &o) { o.noDevice = true; }, -1, ZUL_ERR_NO_DRIVER},
    {"probe refused", [](VirtualCardOptions &o) { o.probeFails = true; }, -1, ZUL_ERR_NO_DRIVER},
    {"open request fails", [](VirtualCardOptions &o) { o.openReply = OpenReply::Fail; }, -1, ZUL_ERR_NO_CARD},
    {"no card", [](VirtualCardOptions &o) { o.openReply = OpenReply::NoCard; }, -1, ZUL_ERR_NO_CARD},
    {"driver not loaded", [](VirtualCardOptions &o) { o.openReply = OpenReply::NoDriver; }, -1, ZUL_ERR_NO_DRIVER},
    {"other board", [](VirtualCardOptions &o) { o.openReply = OpenReply::OtherBoard; }, -1, ZUL_ERR_WRONG_BOARD},
    {"start-up write fails", [](VirtualCardOptions &o) { o.fresh = true; o.failWrite = 1; }, -1, ZUL_ERR_LOST_CONTACT},
    {"start-up write short", [](VirtualCardOptions &o) { o.fresh = true; o.shortWrite = 1; }, -1, ZUL_ERR_LOST_CONTACT},
    {"no memory for the record", [](VirtualCardOptions &) {}, 0, ZUL_ERR_NO_MEMORY},
    {"no memory for the line buffer", [](VirtualCardOptions &) {}, 1, ZUL_ERR_NO_MEMORY},
    {"no memory for buffer A", [](VirtualCardOptions &) {}, 2, ZUL_ERR_NO_MEMORY},
    {"no memory for buffer B", [](VirtualCardOptions &) {}, 3, ZUL_ERR_NO_MEMORY},
};

} // namespace

TEST_F(CardTest, EveryFailedFirstOpeningLeavesNothingBehind)
{
    for (const InitFault &fault : kInitFaults) {
        SCOPED_TRACE(fault.name);
        VirtualCardOptions options;
        fault.arm(options);
        card = zul::vcard::installVirtualCard(options);
        zul::failClaimAfter(fault.claimFailsAfter);
        zul::trail() = {};

        EXPECT_EQ(ZUL_init(), fault.result);
        EXPECT_STREQ(ZUL_lastErrorFunctionName(), "ZUL_init");
        EXPECT_EQ(zul::connection().count, 0);
        EXPECT_EQ(zul::currentCard(), nullptr);
        EXPECT_EQ(zul::claimsHeld(), 0u);
        EXPECT_EQ(zul::connection().lineBuffer, nullptr);
        EXPECT_TRUE(zul::connection().records.empty());
        EXPECT_FALSE(card->deviceOpen());
        EXPECT_EQ(zul::connection().device, nullptr);

        // Once the fault is gone the same card opens normally.
        zul::failClaimAfter(-1);
        card->options() = {};
        ASSERT_EQ(ZUL_init(), ZUL_OK);
        ASSERT_EQ(ZUL_closedown(1), ZUL_OK);
    }
}

TEST_F(CardTest, AFailedSecondOpeningKeepsTheFirstConnectionAsItWas)
{
    open();
    ZulCard *first = record();
    const std::size_t held = zul::claimsHeld();
    for (const InitFault &fault : kInitFaults) {
        // The device is open and the card started already, so the missing
        // node and the start-up write cannot fail here; with the line
        // buffer in place claims 0..2 are the record and its two buffers.
        VirtualCardOptions probe;
        fault.arm(probe);
        if (probe.noDevice || probe.fresh || fault.claimFailsAfter == 3)
            continue;
        SCOPED_TRACE(fault.name);
        fault.arm(card->options());
        zul::failClaimAfter(fault.claimFailsAfter);

        EXPECT_EQ(ZUL_init(), fault.result);
        EXPECT_EQ(zul::connection().count, 1);
        EXPECT_EQ(record(), first);
        EXPECT_EQ(zul::claimsHeld(), held);
        EXPECT_TRUE(card->deviceOpen());
        zul::failClaimAfter(-1);
        card->options() = {};
    }
    ASSERT_EQ(ZUL_closedown(1), ZUL_OK);
    EXPECT_FALSE(card->deviceOpen());
}
