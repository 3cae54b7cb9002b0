#include "card_fixture.h"

#include <cstring>

namespace {

ZulConfig blankConfig()
{
    ZulConfig config;
    std::memset(&config, 0, sizeof config);
    config.videoStandard = -1;
    return config;
}

} // namespace

TEST_F(CardTest, VideoConfigWritesTheDigitizerInItsOrder)
{
    card->setReg(0, 0x6B);  // own bits that must survive, bit 7 aside
    card->setReg(11, 0xDF); // only bits 0..2 are kept
    open();
    card->clearTransfers();

    ZulConfig config = blankConfig();
    ASSERT_EQ(ZUL_videoConfig(1, 1, &config), ZUL_OK);
    EXPECT_EQ(config.videoStandard, 1);
    EXPECT_EQ(record()->standard, 1);
    EXPECT_EQ(record()->configured, 1);

    const std::uint8_t status = 0x6B | 0x80 | 0x10;
    std::vector<std::pair<std::uint32_t, int>> requests;
    for (const auto &t : card->transfers())
        requests.emplace_back(t.code, t.first);
    const std::vector<std::pair<std::uint32_t, int>> expectedRequests = {
        {zul::kReadRegisters, 0}, {zul::kWriteRegisters, 0},  {zul::kReadRegisters, 11}, {zul::kWriteRegisters, 11},
        {zul::kWriteRegisters, 18}, {zul::kWriteRegisters, 22}, {zul::kWriteRegisters, 24}};
    EXPECT_EQ(requests, expectedRequests);
    EXPECT_EQ(registerWrites(), (Writes{{0, {static_cast<std::uint8_t>(status & 0x7F), 0x78, 0}},
                                        {11, {0x40 + 7 + 32}},
                                        {18, {6}},
                                        {22, {0}},
                                        {24, {128, 114, 128}}}));
}

TEST_F(CardTest, VideoConfigOnA525LineSignal)
{
    card->options().standard = 525;
    open();
    ZulConfig config = blankConfig();
    ASSERT_EQ(ZUL_videoConfig(0, 2, &config), ZUL_OK);
    EXPECT_EQ(config.videoStandard, 0);
    EXPECT_EQ(record()->standard, 0);
    EXPECT_EQ(card->reg(1), 0x58);
    EXPECT_EQ(card->reg(11), 0x80 + 32);
    EXPECT_EQ(card->reg(24), 104);
    EXPECT_EQ(card->reg(25), 93);
    EXPECT_EQ(card->reg(26), 130);

    // Only the low byte of the channel counts.
    ASSERT_EQ(ZUL_videoConfig(257, 0, &config), ZUL_OK);
    EXPECT_EQ(card->reg(1), 0x78);
    EXPECT_EQ(card->reg(11), 32);
}

TEST_F(CardTest, VideoConfigWithoutSignalStillConfigures)
{
    card->options().standard = 0;
    open();
    ZulConfig config = blankConfig();
    ASSERT_EQ(ZUL_videoConfig(0, 0, &config), ZUL_OK);
    EXPECT_EQ(config.videoStandard, 2);
    EXPECT_EQ(record()->standard, 0);
    EXPECT_EQ(record()->configured, 1);
}

TEST_F(CardTest, VideoConfigRefusalsClearTheSnapState)
{
    ZulConfig config = blankConfig();
    EXPECT_EQ(ZUL_videoConfig(0, 0, &config), ZUL_ERR_NOT_INITIALIZED);
    open();
    ASSERT_EQ(ZUL_videoConfig(0, 0, &config), ZUL_OK);

    const struct {
        int channel, signalType;
        ZulConfig *config;
        int result;
    } refusals[] = {
        {0, 0, nullptr, ZUL_ERR_BAD_POINTER}, {2, 0, &config, ZUL_ERR_RANGE}, {-1, 0, &config, ZUL_ERR_RANGE},
        {0, 3, &config, ZUL_ERR_RANGE},       {0, -1, &config, ZUL_ERR_RANGE},
    };
    for (const auto &r : refusals) {
        ZulCard *c = record();
        c->configured = c->snapPrepared = c->snapStarted = c->snapFinished = c->readoutStarted = 1;
        card->clearTransfers();
        EXPECT_EQ(ZUL_videoConfig(r.channel, r.signalType, r.config), r.result);
        EXPECT_EQ(lastError(), "ZUL_videoConfig");
        EXPECT_EQ(c->configured + c->snapPrepared + c->snapStarted + c->snapFinished + c->readoutStarted, 0);
        EXPECT_TRUE(card->transfers().empty());
    }
}

TEST_F(CardTest, VideoConfigLosingContactAtAnyTransferLeavesItUnconfigured)
{
    open();
    ZulConfig config = blankConfig();
    // Reads: register 0, register 11. Writes: 0-2, 11, 18, 22, 24-26.
    for (int read = 1; read <= 2; ++read) {
        SCOPED_TRACE(read);
        card->options().failRead = read;
        EXPECT_EQ(ZUL_videoConfig(0, 0, &config), ZUL_ERR_LOST_CONTACT);
        EXPECT_EQ(record()->configured, 0);
        EXPECT_EQ(lastError(), "ZUL_videoConfig");
        card->options().failRead = 0;
    }
    for (int write = 1; write <= 5; ++write) {
        SCOPED_TRACE(write);
        card->setReg(24, 0);
        card->options().failWrite = write;
        EXPECT_EQ(ZUL_videoConfig(1, 0, &config), ZUL_ERR_LOST_CONTACT);
        EXPECT_EQ(record()->configured, 0);
        // What went before the failing transfer stays written.
        EXPECT_EQ(card->reg(1), write > 1 ? 0x78 : 0x58);
        EXPECT_EQ(card->reg(24), 0);
        card->options().failWrite = 0;
        ASSERT_EQ(ZUL_videoConfig(0, 0, &config), ZUL_OK);
    }
    // A transfer that writes less than it was given counts as lost too.
    card->options().shortWrite = 5;
    EXPECT_EQ(ZUL_videoConfig(0, 0, &config), ZUL_ERR_LOST_CONTACT);
    EXPECT_EQ(record()->configured, 0);
}

TEST_F(CardTest, TestSignalReportsTheStandardWithoutChangingTheCards)
{
    EXPECT_EQ(ZUL_testSignal(nullptr), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(lastError(), "ZUL_signalPresent");
    ZulConfig config = blankConfig();
    EXPECT_EQ(ZUL_testSignal(&config), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_EQ(lastError(), "ZUL_signalPresent");

    card->setReg(0, 0x05);
    open();
    ASSERT_EQ(ZUL_videoConfig(0, 0, &config), ZUL_OK);
    ASSERT_EQ(record()->standard, 1);

    card->options().standard = 525;
    card->clearTransfers();
    ASSERT_EQ(ZUL_testSignal(&config), ZUL_OK);
    EXPECT_EQ(config.videoStandard, 0);
    EXPECT_EQ(record()->standard, 1);
    EXPECT_EQ(registerWrites(), (Writes{{0, {0x05}}}));

    card->options().standard = 0;
    ASSERT_EQ(ZUL_testSignal(&config), ZUL_OK);
    EXPECT_EQ(config.videoStandard, 2);

    card->options().standard = 625;
    card->options().failRead = 1;
    config.videoStandard = 7;
    EXPECT_EQ(ZUL_testSignal(&config), ZUL_ERR_LOST_CONTACT);
    EXPECT_EQ(config.videoStandard, 0);
    card->options().failWrite = 1;
    EXPECT_EQ(ZUL_testSignal(&config), ZUL_ERR_LOST_CONTACT);
    EXPECT_EQ(config.videoStandard, 1);
}

TEST(Limits, ByStandardWithoutACard)
{
    const ZulLimits lines525 = {780, 3200, 14, 1, 510, 2400, 14, 1};
    const ZulLimits lines625 = {950, 3200, 14, 1, 610, 2400, 14, 1};
    ZulLimits limits;
    for (int standard : {0, 1, 2}) {
        std::memset(&limits, 0xFF, sizeof limits);
        ASSERT_EQ(ZUL_getLimits(standard, &limits), ZUL_OK);
        EXPECT_EQ(std::memcmp(&limits, standard == 1 ? &lines625 : &lines525, sizeof limits), 0) << standard;
    }
    EXPECT_EQ(ZUL_getLimits(3, &limits), ZUL_ERR_RANGE);
    EXPECT_STREQ(ZUL_lastErrorFunctionName(), "ZUL_getLimits");
    EXPECT_EQ(ZUL_getLimits(-1, &limits), ZUL_ERR_RANGE);
    EXPECT_EQ(ZUL_getLimits(0, nullptr), ZUL_ERR_BAD_POINTER);
}
