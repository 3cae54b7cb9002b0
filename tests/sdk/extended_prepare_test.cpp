#include "extended_fixture.h"

#include <functional>

namespace {

bool sameWindow(const ZulVideoWindow &a, const ZulVideoWindow &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The register writes of one prepare, without the signal test's one-byte
// write to register 0 that every prepare makes.
Writes controlWrites(const Writes &all)
{
    Writes writes;
    for (const auto &w : all)
        if (w.first != 0 || w.second.size() != 1)
            writes.push_back(w);
    return writes;
}

} // namespace

TEST_F(ExtendedTest, DefaultConfigIsTheStockRecordAndNeedsNoCard)
{
    ZulConfig config;
    std::memset(&config, 0xA5, sizeof config);
    ASSERT_EQ(ZULX_defaultConfig(&config), ZUL_OK);
    ZulConfig expected{};
    expected.Gamma = 1.0f;
    expected.ntscWindow = videoWindow(0, 780, 780, 0, 510, 510, 1, 0);
    expected.palWindow = videoWindow(0, 950, 950, 0, 610, 610, 1, 0);
    expected.OutputFormat = 7;
    expected.Gray16Enable = expected.Gray256Enable = expected.Color256Enable = expected.Color16MEnable = 1;
    expected.Color32kEnable = expected.Color64kEnable = expected.Color32bitEnable = 1;
    EXPECT_EQ(std::memcmp(&config, &expected, sizeof config), 0);
    EXPECT_EQ(ZULX_defaultConfig(nullptr), ZUL_ERR_BAD_POINTER);
}

TEST_F(ExtendedTest, PrepareReplacesADisabledFormatByTheFirstEnabledStandIn)
{
    struct Case {
        int format;
        std::vector<int ZulConfig::*> disabled;
        int expected;
        int color16M; // Color16MEnable afterwards
    };
    const Case cases[] = {
        {6, {}, 7, 1},
        {0, {}, 7, 1},
        {9, {}, 7, 1},
        {-3, {}, 7, 1},
        {4, {&ZulConfig::Color32kEnable}, 7, 1},
        {2, {&ZulConfig::Gray16Enable}, 1, 1},
        {1, {&ZulConfig::Gray256Enable}, 2, 1},
        {3, {&ZulConfig::Color256Enable, &ZulConfig::Color16MEnable}, 5, 0},
        {8, {&ZulConfig::Color32bitEnable, &ZulConfig::Color16MEnable}, 5, 0},
        {5, {&ZulConfig::Color64kEnable}, 4, 1},
        {4, {&ZulConfig::Color32kEnable, &ZulConfig::Color16MEnable, &ZulConfig::Color32bitEnable}, 3, 0},
        {7, {&ZulConfig::Color16MEnable, &ZulConfig::Color32bitEnable, &ZulConfig::Color64kEnable}, 4, 0},
        // Nothing enabled: true colour, and it becomes enabled.
        {2,
         {&ZulConfig::Gray16Enable, &ZulConfig::Gray256Enable, &ZulConfig::Color256Enable,
          &ZulConfig::Color16MEnable, &ZulConfig::Color32kEnable, &ZulConfig::Color64kEnable,
          &ZulConfig::Color32bitEnable},
         7, 1},
        // 6 is read as 7 before the enable flags are looked at.
        {6, {&ZulConfig::Color16MEnable}, 8, 0},
    };
    open();
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "format " << c.format << ", " << c.disabled.size() << " disabled");
        ZulConfig config{};
        ZULX_defaultConfig(&config);
        config.OutputFormat = c.format;
        for (auto flag : c.disabled)
            config.*flag = 0;
        ASSERT_EQ(ZULX_prepare(&config, 0), ZUL_OK);
        EXPECT_EQ(config.OutputFormat, c.expected);
        EXPECT_EQ(config.Color16MEnable, c.color16M);
        const int grey = c.expected <= 2 ? 1 : 0;
        EXPECT_EQ(config.palWindow.monochrome, grey);
        EXPECT_EQ(config.ntscWindow.monochrome, grey);
    }
}

TEST_F(ExtendedTest, PrepareClampsTheWindowOfTheSignalsStandard)
{
    struct Case {
        const char *name;
        int standard;
        ZulVideoWindow in, out;
    };
    const Case cases[] = {
        {"offset at the right edge", 625, videoWindow(945, 100, 100, 0, 610, 610), videoWindow(940, 10, 100, 0, 610, 610)},
        {"too few pixels for the scaler", 625, videoWindow(0, 950, 20, 0, 610, 20),
         videoWindow(0, 950, 68, 0, 610, 44)},
        {"fewer than 10 pixels and lines", 625, videoWindow(0, 5, 3, 0, 4, 2), videoWindow(0, 10, 10, 0, 10, 10)},
        {"more than the scaler can make", 625, videoWindow(0, 950, 4000, 0, 610, 3000),
         videoWindow(0, 950, 3200, 0, 610, 2400)},
        {"a field holds half the lines", 625, videoWindow(0, 950, 950, 300, 610, 610, 0),
         videoWindow(0, 950, 950, 295, 10, 610, 0)},
        {"field lines past the end", 625, videoWindow(0, 950, 950, 100, 610, 610, 0),
         videoWindow(0, 950, 950, 100, 205, 610, 0)},
        {"525 lines", 525, videoWindow(800, 900, 900, 600, 600, 600), videoWindow(770, 10, 900, 500, 10, 600)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        card->options().standard = c.standard;
        if (!zul::currentCard())
            open();
        ZulConfig config{};
        ZULX_defaultConfig(&config);
        ZulVideoWindow &window = c.standard == 625 ? config.palWindow : config.ntscWindow;
        ZulVideoWindow &other = c.standard == 625 ? config.ntscWindow : config.palWindow;
        window = c.in;
        const ZulVideoWindow untouched = other;
        ASSERT_EQ(ZULX_prepare(&config, 0), ZUL_OK);
        EXPECT_EQ(config.videoStandard, c.standard == 625 ? 1 : 0);
        EXPECT_TRUE(sameWindow(window, c.out)) << window.xOffset << " " << window.xActive << " " << window.xPixels
                                              << " " << window.yOffset << " " << window.yActive << " "
                                              << window.yPixels;
        EXPECT_TRUE(sameWindow(other, untouched));
        // What the clamps leave, the card takes.
        EXPECT_EQ(ZULX_snap(&config), ZUL_OK);
    }
}

TEST_F(ExtendedTest, PrepareHonoursTriggerAndFlashOnlyWhenEnabledAndTriggerBeforeFlash)
{
    struct Case {
        int extTrig, flash, extTrigEnable, flashEnable;
        int expectTrig, expectFlash;
        const char *snap; // the acquisition ZULX_snap runs
    };
    const Case cases[] = {
        {1, 1, 1, 1, 1, 0, "ZUL_extTrigSnap"}, {5, 0, 1, 0, 1, 0, "ZUL_extTrigSnap"},
        {1, 1, 0, 1, 0, 1, "ZUL_flashSnap"},   {0, 7, 1, 3, 0, 1, "ZUL_flashSnap"},
        {1, 1, 0, 0, 0, 0, "ZUL_finishSnap"},  {1, 0, 0, 1, 0, 0, "ZUL_finishSnap"},
    };
    card->options().trigger = true;
    open();
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.extTrig << c.flash << c.extTrigEnable << c.flashEnable);
        ZulConfig config{};
        ZULX_defaultConfig(&config);
        config.ExtTrig = c.extTrig;
        config.Flash = c.flash;
        config.ExtTrigEnable = c.extTrigEnable;
        config.FlashEnable = c.flashEnable;
        ASSERT_EQ(ZULX_prepare(&config, 0), ZUL_OK);
        EXPECT_EQ(config.ExtTrig, c.expectTrig);
        EXPECT_EQ(config.Flash, c.expectFlash);
        ASSERT_EQ(ZULX_snap(&config), ZUL_OK);
        EXPECT_STREQ(zul::trail().current, c.snap);
    }
}

TEST_F(ExtendedTest, PrepareSendsEverythingFirstAndLaterOnlyWhatChanged)
{
    open();
    ZulConfig config{};
    ZULX_defaultConfig(&config);
    config.InputChannel = 7; // above 1: channel 0
    config.SignalType = 3;   // outside 0..2: 0
    config.Brightness = 300;
    config.Contrast = -500;
    config.Gamma = -2.0f;
    card->clearTransfers();
    // The first prepare is forced even when its caller does not ask.
    ASSERT_EQ(ZULX_prepare(&config, 0), ZUL_OK);
    EXPECT_EQ(config.InputChannel, 0);
    EXPECT_EQ(config.SignalType, 0);
    EXPECT_EQ(config.Brightness, 127);
    EXPECT_EQ(config.Contrast, -128);
    EXPECT_EQ(config.Gamma, 1.0f);
    EXPECT_EQ(config.videoStandard, 1);
    EXPECT_EQ(record()->configured, 1);
    EXPECT_EQ(card->reg(10), 127);
    std::uint8_t hue = 1;
    ASSERT_EQ(ZUL_getHue(&hue), ZUL_OK);
    EXPECT_EQ(hue, 0);

    card->clearTransfers();
    ASSERT_EQ(ZULX_prepare(&config, 0), ZUL_OK);
    EXPECT_TRUE(controlWrites(registerWrites()).empty());

    config.Hue = -3;
    config.InputChannel = -1;
    card->clearTransfers();
    ASSERT_EQ(ZULX_prepare(&config, 0), ZUL_OK);
    EXPECT_EQ(config.InputChannel, 0);
    EXPECT_EQ(controlWrites(registerWrites()), Writes({{15, {0xFD}}}));

    // A new gamma changes the tables only: no register at all.
    config.Gamma = 0.5f;
    card->clearTransfers();
    ASSERT_EQ(ZULX_prepare(&config, 0), ZUL_OK);
    EXPECT_TRUE(controlWrites(registerWrites()).empty());
    EXPECT_EQ(zul::connection().tables.gamma, 0.5f);

    // Forced, everything again: the video configuration, then brightness,
    // contrast (its high bit in register 11), saturation and hue.
    card->clearTransfers();
    ASSERT_EQ(ZULX_prepare(&config, 1), ZUL_OK);
    EXPECT_EQ(controlWrites(registerWrites()),
              Writes({{0, {0x10, 0x58, 0x00}}, {11, {0x20}}, {18, {0x06}}, {22, {0x00}}, {24, {0x80, 0x72, 0x82}},
                      {10, {0x7F}}, {11, {0x20, 0x00}}, {11, {0x20}}, {13, {0xFE, 0xB4}}, {15, {0xFD}}}));
}

TEST_F(ExtendedTest, PrepareOnACardOpenedAfreshConfiguresItWithoutBeingForced)
{
    ZulConfig config = openPrepared();
    ASSERT_EQ(ZUL_closedown(1), ZUL_OK);
    open();
    ASSERT_EQ(ZULX_prepare(&config, 0), ZUL_OK);
    EXPECT_EQ(record()->configured, 1);
    EXPECT_EQ(ZULX_snap(&config), ZUL_OK);
}

TEST_F(ExtendedTest, PrepareAndSnapPassCardErrorsThrough)
{
    ZulConfig config{};
    ZULX_defaultConfig(&config);
    EXPECT_EQ(ZULX_prepare(nullptr, 1), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(ZULX_snap(nullptr), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(ZULX_prepare(&config, 1), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_EQ(ZULX_snap(&config), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_EQ(lastError(), "ZUL_prepareSnap");

    open();
    card->options().failWrite = 3; // a register write of the video configuration
    EXPECT_EQ(ZULX_prepare(&config, 1), ZUL_ERR_LOST_CONTACT);
    EXPECT_EQ(lastError(), "ZUL_videoConfig");
    // A failed prepare applied nothing: the next one is forced again.
    EXPECT_TRUE(zul::appliedConfig().firstCall);
    ASSERT_EQ(ZULX_prepare(&config, 0), ZUL_OK);

    card->options().acquisitionStuck = true;
    EXPECT_EQ(ZULX_snap(&config), ZUL_ERR_NO_SIGNAL);
    EXPECT_EQ(lastError(), "ZUL_finishSnap");
}
