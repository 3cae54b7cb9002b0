#include "card_fixture.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

using zul::vcard::VirtualCard;

TEST_F(CardTest, InitBuildsTheRecordAndClosedownReleasesEverything)
{
    card->options().window = 0x5A000000;
    card->options().cardId = 42;
    ZUL_GetFrame(0);
    open();

    ZulCard *handle = nullptr;
    ASSERT_EQ(ZUL_getCurrentCardHandle(&handle), ZUL_OK);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(handle->validityTag, 4660);
    EXPECT_EQ(handle->cardId, 42u);
    EXPECT_EQ(handle->windowAddress, 0x5A000000u);
    EXPECT_EQ(handle->dataPortAddress, 0x5A000000u + 2048);
    EXPECT_EQ(handle->narrow, 0);
    EXPECT_EQ(handle->configured, 0);
    EXPECT_EQ(handle->flashRoutine, nullptr);
    EXPECT_NE(handle->interpolationA, nullptr);
    EXPECT_NE(handle->interpolationB, nullptr);
    EXPECT_EQ(zul::connection().wholeFrame, 1);
    EXPECT_EQ(zul::connection().autoCropThreshold, 25);
    EXPECT_NE(zul::connection().lineBuffer, nullptr);
    EXPECT_EQ(zul::connection().count, 1);
    // record, line buffer and two interpolation buffers
    EXPECT_EQ(zul::claimsHeld(), 4u);
    EXPECT_EQ(card->cardsOpen(), 1);
    EXPECT_EQ(card->pausedMilliseconds(), 0u);

    ASSERT_EQ(ZUL_closedown(1), ZUL_OK);
    EXPECT_EQ(card->closeFlags(), std::vector<std::uint32_t>{0});
    EXPECT_EQ(card->cardsOpen(), 0);
    EXPECT_FALSE(card->deviceOpen());
    EXPECT_EQ(zul::connection().count, 0);
    EXPECT_EQ(zul::connection().lineBuffer, nullptr);
    EXPECT_EQ(zul::claimsHeld(), 0u);
    EXPECT_EQ(ZUL_getCurrentCardHandle(&handle), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_EQ(handle, nullptr);
}

TEST_F(CardTest, ClosedownHandsTheNegatedFlagToTheDriver)
{
    open();
    ASSERT_EQ(ZUL_closedown(0), ZUL_OK);
    open();
    ASSERT_EQ(ZUL_closedown(7), ZUL_OK);
    EXPECT_EQ(card->closeFlags(), (std::vector<std::uint32_t>{1, 0}));
    EXPECT_EQ(ZUL_closedown(1), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_EQ(lastError(), "ZUL_closedown");
}

TEST_F(CardTest, SecondInitSharesTheDeviceWhichOnlyTheLastCloseReleases)
{
    open();
    ZulCard *first = record();
    open();
    ZulCard *second = record();
    ASSERT_NE(first, second);
    EXPECT_EQ(zul::connection().count, 2);
    EXPECT_EQ(card->deviceOpens(), 1);
    // Each record has buffers of its own; the line buffer is shared.
    EXPECT_NE(first->interpolationA, second->interpolationA);
    EXPECT_EQ(zul::claimsHeld(), 7u);

    ASSERT_EQ(ZUL_closedown(1), ZUL_OK);
    EXPECT_TRUE(card->deviceOpen());
    EXPECT_NE(zul::connection().lineBuffer, nullptr);
    ZulCard *none = first;
    EXPECT_EQ(ZUL_getCurrentCardHandle(&none), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_EQ(none, nullptr);
    // Without a current card the second close has nothing to close.
    EXPECT_EQ(ZUL_closedown(1), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_TRUE(card->deviceOpen());

    ASSERT_EQ(ZUL_setActiveCard(first), ZUL_OK);
    // The interpolation buffers of the first record survived the close of
    // the second.
    std::memset(first->interpolationA, 0x5A, zul::kLineBufferBytes);
    ASSERT_EQ(ZUL_closedown(1), ZUL_OK);
    EXPECT_FALSE(card->deviceOpen());
    EXPECT_EQ(card->deviceCloses(), 1);
    EXPECT_EQ(card->closeFlags(), (std::vector<std::uint32_t>{0, 0}));
    EXPECT_EQ(zul::claimsHeld(), 0u);
}

TEST_F(CardTest, SetActiveCardRefusesAnythingButALiveValidRecord)
{
    open();
    ZulCard *first = record();
    open();
    ZulCard *second = record();

    EXPECT_EQ(ZUL_setActiveCard(first), ZUL_OK);
    EXPECT_EQ(record(), first);

    first->validityTag = 0x4321;
    EXPECT_EQ(ZUL_setActiveCard(first), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_EQ(record(), nullptr);
    EXPECT_EQ(lastError(), "ZUL_setActiveCard");
    first->validityTag = 4660;

    const std::uint32_t window = first->windowAddress;
    first->windowAddress = 0;
    EXPECT_EQ(ZUL_setActiveCard(first), ZUL_ERR_NOT_INITIALIZED);
    first->windowAddress = window;

    ASSERT_EQ(ZUL_setActiveCard(second), ZUL_OK);
    EXPECT_EQ(ZUL_setActiveCard(nullptr), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_EQ(record(), nullptr);

    // A record made by the caller, however well it imitates one, and the
    // handle of a card already closed are both refused; the closed one is
    // freed memory, which must not be read.
    ZulCard imitation = *second;
    EXPECT_EQ(ZUL_setActiveCard(&imitation), ZUL_ERR_NOT_INITIALIZED);
    ASSERT_EQ(ZUL_setActiveCard(second), ZUL_OK);
    ASSERT_EQ(ZUL_closedown(1), ZUL_OK);
    EXPECT_EQ(ZUL_setActiveCard(second), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_EQ(record(), nullptr);
}

TEST_F(CardTest, CurrentCardHandleTrail)
{
    EXPECT_STREQ(ZUL_lastErrorFunctionName(), "");
    EXPECT_EQ(ZUL_getCurrentCardHandle(nullptr), ZUL_ERR_BAD_POINTER);
    EXPECT_STREQ(ZUL_lastErrorFunctionName(), "ZUL_getCurrentCardHandle");

    // Successes, error texts and the frame flag leave the trail alone.
    open();
    ZulCard *handle = nullptr;
    EXPECT_EQ(ZUL_getCurrentCardHandle(&handle), ZUL_OK);
    ZUL_errorString(3);
    ZUL_GetFrame(0);
    EXPECT_STREQ(ZUL_lastErrorFunctionName(), "ZUL_getCurrentCardHandle");
    EXPECT_STREQ(zul::trail().current, "ZUL_getCurrentCardHandle");
}

TEST_F(CardTest, GetFrameKeepsTheLowByteAndInitSetsItAgain)
{
    EXPECT_EQ(ZUL_GetFrame(0x1FE), 0xFE);
    EXPECT_EQ(zul::connection().wholeFrame, 0xFE);
    EXPECT_EQ(ZUL_GetFrame(0), 0);
    open();
    EXPECT_EQ(zul::connection().wholeFrame, 1);
}

TEST_F(CardTest, IdentificationText)
{
    char buffer[80];
    EXPECT_EQ(ZUL_getCardIdStrings(buffer, sizeof buffer), ZUL_ERR_NOT_INITIALIZED);
    open();
    EXPECT_EQ(ZUL_getCardIdStrings(nullptr, 80), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(lastError(), "ZUL_getCardIdStrings");

    ASSERT_EQ(ZUL_getCardIdStrings(buffer, sizeof buffer), ZUL_OK);
    EXPECT_STREQ(buffer, VirtualCard::kIdentification);

    // Only the low 16 bits of the size count.
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(ZUL_getCardIdStrings(buffer, 65536), ZUL_ERR_RANGE);
    EXPECT_EQ(buffer[0], '#');
    ASSERT_EQ(ZUL_getCardIdStrings(buffer, 65536 + 6), ZUL_OK);
    EXPECT_STREQ(buffer, "ZUL K");
    EXPECT_EQ(buffer[6], '#');

    // A failed request leaves an empty text and no error.
    card->options().identifyFails = true;
    std::memset(buffer, '#', sizeof buffer);
    zul::trail().lastError = "";
    ASSERT_EQ(ZUL_getCardIdStrings(buffer, sizeof buffer), ZUL_OK);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], '#');
    EXPECT_EQ(lastError(), "");
}

class FreshNarrowCardTest : public CardTest {
    zul::vcard::VirtualCardOptions cardOptions() override
    {
        zul::vcard::VirtualCardOptions o;
        o.fresh = true;
        o.narrow = true;
        return o;
    }
};

TEST_F(FreshNarrowCardTest, FreshCardIsStartedOnceAndNarrowIsRecorded)
{
    open();
    EXPECT_EQ(registerWrites(), (Writes{{31, {119}}}));
    EXPECT_EQ(card->pausedMilliseconds(), 2000u);
    EXPECT_FALSE(card->needsStartUp());
    EXPECT_EQ(record()->narrow, 1);
    EXPECT_EQ(zul::connection().narrow, 1);
    ASSERT_EQ(ZUL_closedown(1), ZUL_OK);

    // The card has been started; opening it again neither waits nor
    // writes the start-up value.
    card->clearTransfers();
    open();
    EXPECT_TRUE(registerWrites().empty());
    EXPECT_EQ(card->pausedMilliseconds(), 2000u);
}

// The driver is picked from the environment unless a program chose one.
class DriverSelectionTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        unsetenv("ZUL_DRIVER");
        unsetenv("ZUL_VIRTUAL_CARD");
        zul::vcard::removeVirtualCard();
        zul::chooseDriver(zul::DriverChoice::Environment);
        EXPECT_EQ(zul::claimsHeld(), 0u);
        EXPECT_EQ(zul::connection().count, 0);
    }
};

TEST_F(DriverSelectionTest, EnvironmentSelectsTheVirtualCardWithItsOptions)
{
    zul::vcard::removeVirtualCard();
    setenv("ZUL_DRIVER", "virtual", 1);
    setenv("ZUL_VIRTUAL_CARD", "standard=525;narrow=1;fresh=1;id=9;source=picture.bmp", 1);
    ASSERT_EQ(ZUL_init(), ZUL_OK);
    auto card = zul::vcard::installedVirtualCard();
    ASSERT_TRUE(card);
    EXPECT_EQ(card->options().standard, 525);
    EXPECT_EQ(card->options().source, "picture.bmp");
    EXPECT_EQ(zul::currentCard()->narrow, 1);
    EXPECT_EQ(zul::currentCard()->cardId, 9u);
    EXPECT_EQ(card->pausedMilliseconds(), 2000u);
    ASSERT_EQ(ZUL_closedown(1), ZUL_OK);
    EXPECT_FALSE(card->deviceOpen());
}

TEST_F(DriverSelectionTest, DeviceNodeThatIsMissingOrNotTheDriverMeansNoDriver)
{
    unsetenv("ZUL_DRIVER");
    zul::chooseDriver(zul::DriverChoice::Environment);
    // No lab card on a build machine: the real node is absent.
    if (access("/dev/k7q02", F_OK) != 0) {
        EXPECT_EQ(ZUL_init(), ZUL_ERR_NO_DRIVER);
    }

    zul::chooseDriver(zul::DriverChoice::DeviceNode, "/nonexistent/k7q02");
    zul::trail() = {};
    EXPECT_EQ(ZUL_init(), ZUL_ERR_NO_DRIVER);
    EXPECT_STREQ(ZUL_lastErrorFunctionName(), "ZUL_init");
    EXPECT_STREQ(ZUL_errorString(ZUL_init()), "No ZUL Card driver detected");

    // A node that opens but does not answer the probe is not the driver.
    zul::chooseDriver(zul::DriverChoice::DeviceNode, "/dev/null");
    EXPECT_EQ(ZUL_init(), ZUL_ERR_NO_DRIVER);
    EXPECT_EQ(zul::connection().device, nullptr);
}

TEST_F(CardTest, ThousandOpeningsHoldNothingAfterwards)
{
    card->record(false);
    for (int cycle = 0; cycle < 1000; ++cycle) {
        ASSERT_EQ(ZUL_init(), ZUL_OK);
        ASSERT_EQ(ZUL_setGamma(0.7f), ZUL_OK);
        ASSERT_EQ(ZUL_closedown(1), ZUL_OK);
        ASSERT_EQ(zul::claimsHeld(), 0u);
    }
    EXPECT_EQ(card->deviceOpens(), 1000);
    EXPECT_EQ(card->deviceCloses(), 1000);
    EXPECT_TRUE(zul::connection().records.empty());
}
