#include "card_fixture.h"

namespace {

struct Found {
    int xOffset, xActive, yOffset, yActive;
    bool operator==(const Found &) const = default;
};

Found found(const ZulVideoWindow &w)
{
    return {w.xOffset, w.xActive, w.yOffset, w.yActive};
}

std::ostream &operator<<(std::ostream &os, const Found &f)
{
    return os << f.xOffset << "," << f.xActive << "," << f.yOffset << "," << f.yActive;
}

// Black, with a dim grey area (Y 68) holding a white one (Y 235).
zul::vcard::VideoFrame nestedAreas()
{
    std::vector<std::uint8_t> rgb(950 * 610 * 3, 0);
    for (int row = 30; row < 580; ++row)
        for (int x = 20; x < 900; ++x) {
            const bool white = row >= 70 && row < 540 && x >= 80 && x < 860;
            std::fill_n(&rgb[(row * 950 + x) * 3], 3, white ? 255 : 60);
        }
    return zul::vcard::frameFromRgb(950, 610, rgb);
}

} // namespace

// The built-in chart's white area spans columns 64..885 and lines 48..561
// on 625 lines (64..715 and 48..461 on 525); the window found lies inside
// its first and last column.
TEST_F(CardTest, AutoCropFindsTheChartsBrightArea)
{
    ZulVideoWindow w = videoWindow(0, 0, 0, 0, 0, 0, 1, 0);
    EXPECT_EQ(ZUL_autoCrop(&w), ZUL_ERR_NOT_INITIALIZED);
    open();
    EXPECT_EQ(ZUL_autoCrop(&w), ZUL_ERR_NOT_CONFIGURED);
    ZulConfig config{};
    ASSERT_EQ(ZUL_videoConfig(0, 0, &config), ZUL_OK);
    EXPECT_EQ(ZUL_autoCrop(nullptr), ZUL_ERR_BAD_POINTER);
    ASSERT_EQ(ZUL_autoCrop(&w), ZUL_OK);
    EXPECT_EQ(found(w), (Found{65, 820, 48, 514}));
    // A field window gets field lines.
    w.interlaced = 0;
    ASSERT_EQ(ZUL_autoCrop(&w), ZUL_OK);
    EXPECT_EQ(found(w), (Found{65, 820, 24, 257}));

    card->options().standard = 525;
    ASSERT_EQ(ZUL_videoConfig(0, 0, &config), ZUL_OK);
    w.interlaced = 1;
    ASSERT_EQ(ZUL_autoCrop(&w), ZUL_OK);
    EXPECT_EQ(found(w), (Found{65, 650, 48, 414}));

    // A stuck acquisition ends it with the snap's result.
    card->options().acquisitionStuck = true;
    EXPECT_EQ(ZUL_autoCrop(&w), ZUL_ERR_NO_SIGNAL);
}

class NarrowCardTest : public CardTest {
    zul::vcard::VirtualCardOptions cardOptions() override
    {
        zul::vcard::VirtualCardOptions o;
        o.narrow = true;
        return o;
    }
};

// The narrow card sees only 510 pixels and lines at once: the bottom right
// comes from a second, 200 x 200 window in that corner.
TEST_F(NarrowCardTest, AutoCropTakesTheCornerInASecondWindow)
{
    openConfigured();
    ZulVideoWindow w = videoWindow(0, 0, 0, 0, 0, 0, 1, 0);
    const int before = card->acquisitions();
    ASSERT_EQ(ZUL_autoCrop(&w), ZUL_OK);
    EXPECT_EQ(card->acquisitions(), before + 2);
    EXPECT_EQ(found(w), (Found{65, 820, 48, 514}));
    // The card was last programmed for the corner: HD 176 + 750.
    EXPECT_EQ(card->reg(6), (176 + 750) & 255);
}

TEST_F(CardTest, AutoCropThresholdsCycle)
{
    card->setPicture(nestedAreas());
    openConfigured();
    // Thresholds 50, 100, 200, 25, 50: the grey area counts at 25 and 50.
    const Found grey{21, 878, 30, 550};
    const Found white{81, 778, 70, 470};
    const Found expected[] = {grey, white, white, grey, grey};
    const int thresholds[] = {50, 100, 200, 25, 50};
    for (int call = 0; call < 5; ++call) {
        ZulVideoWindow w = videoWindow(0, 0, 0, 0, 0, 0, 1, 0);
        ASSERT_EQ(ZUL_autoCrop(&w), ZUL_OK);
        EXPECT_EQ(zul::connection().autoCropThreshold, thresholds[call]);
        EXPECT_EQ(found(w), expected[call]) << call;
    }
}
