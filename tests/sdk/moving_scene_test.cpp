#include "card_fixture.h"
#include "moving_scene.h"

#include <cstring>

namespace {
class FringeSceneTest : public CardTest {
protected:
    zul::vcard::VirtualCardOptions cardOptions() override
    {
        return zul::vcard::parseVirtualCardOptions("scene=fringes").options;
    }

    // One 950 x 610 colour snap of the whole frame, as 24-bit bytes.
    std::vector<unsigned char> snapFrame(ZulConfig &config)
    {
        ZulHandle bitmap = nullptr;
        EXPECT_EQ(ZULX_snap(&config), ZUL_OK);
        EXPECT_EQ(ZULX_readoutDIB(&config, &bitmap), ZUL_OK);
        const auto *bytes = static_cast<const unsigned char *>(ZUL_globalLock(bitmap));
        std::vector<unsigned char> copy(bytes, bytes + ZUL_globalSize(bitmap));
        ZUL_globalUnlock(bitmap);
        ZUL_globalFree(bitmap);
        return copy;
    }
};
} // namespace

TEST(VirtualCardOptions, SceneIsFringesOrStill)
{
    EXPECT_TRUE(zul::vcard::parseVirtualCardOptions("scene=fringes").options.fringes);
    EXPECT_FALSE(zul::vcard::parseVirtualCardOptions("scene=fringes;scene=still").options.fringes);
    EXPECT_EQ(zul::vcard::parseVirtualCardOptions("scene=waves").errors, std::vector<std::string>{"scene=waves"});
}

TEST_F(FringeSceneTest, EverySnapShowsTheDiscMovedOnAndClippedAtBothEnds)
{
    open();
    ZulConfig config{};
    ASSERT_EQ(ZULX_defaultConfig(&config), ZUL_OK);
    ASSERT_EQ(ZULX_prepare(&config, 1), ZUL_OK);
    const auto first = snapFrame(config);
    const auto second = snapFrame(config);
    ASSERT_EQ(first.size(), second.size());
    ASSERT_GT(first.size(), 950u * 610u * 3u);
    std::size_t changed = 0;
    for (std::size_t i = 0; i < first.size(); ++i)
        changed += first[i] != second[i];
    EXPECT_GT(changed, first.size() / 20);

    // The same snap number always draws the same picture, and the fringes
    // reach both ends of the range.
    zul::vcard::VideoFrame a, b;
    zul::vcard::drawFringeScene(a, 950, 610, 7);
    zul::vcard::drawFringeScene(b, 950, 610, 7);
    EXPECT_EQ(a.y, b.y);
    const auto [darkest, brightest] = std::minmax_element(a.y.begin(), a.y.end());
    EXPECT_EQ(*darkest, 16);
    EXPECT_EQ(*brightest, 235);
}
