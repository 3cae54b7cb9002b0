#include "extended_fixture.h"

namespace {

struct EightBitSurface {
    std::vector<std::uint8_t> pixels = std::vector<std::uint8_t>(4, 0xEE);
    std::vector<std::uint32_t> palette = std::vector<std::uint32_t>(256);
    ZulSurface surface{pixels.data(), 3, 1, 4, 8, palette.data()};

    void reversedGrey()
    {
        for (std::uint32_t i = 0; i < 256; ++i)
            palette[i] = (255 - i) * 0x010101u;
    }
};

} // namespace

TEST_F(ExtendedTest, DefaultPaletteIsOnlyForA256ColourSurface)
{
    struct Case {
        int bits;
        int result;
    };
    // Deeper surfaces show every colour as it is; shallower ones cannot
    // hold the palette.
    const Case cases[] = {{32, ZUL_OK}, {24, ZUL_OK}, {16, ZUL_OK}, {9, ZUL_OK}, {4, ZUL_ERR_BAD_POINTER},
                          {1, ZUL_ERR_BAD_POINTER}, {0, ZUL_ERR_BAD_POINTER}};
    for (const Case &c : cases) {
        std::vector<std::uint32_t> own(256, 0x555555);
        ZulSurface s{nullptr, 1, 1, 4, c.bits, own.data()};
        EXPECT_EQ(ZULX_defaultPalette(&s, 0), c.result) << c.bits;
        EXPECT_FALSE(zul::libraryPalette().present) << c.bits;
        EXPECT_EQ(own, std::vector<std::uint32_t>(256, 0x555555)) << c.bits;
    }
    ZulSurface noPalette{nullptr, 1, 1, 4, 8, nullptr};
    EXPECT_EQ(ZULX_defaultPalette(&noPalette, 1), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(ZULX_defaultPalette(nullptr, 1), ZUL_ERR_BAD_POINTER);
    EXPECT_FALSE(zul::libraryPalette().present);
    EXPECT_EQ(ZULX_releasePalette(), ZUL_OK);
}

TEST_F(ExtendedTest, DefaultPaletteRulesDrawingUntilReleased)
{
    EightBitSurface s;
    s.reversedGrey();
    ASSERT_EQ(ZULX_defaultPalette(&s.surface, 0), ZUL_OK);
    const std::pair<std::size_t, std::uint32_t> colours[] = {
        {0x00, 0x000000}, {0xFF, 0xFFFFFF}, {0xB6, 0xB6B6AA}, {0x1C, 0x00FF00},
        {0x03, 0x0000FF}, {0xE0, 0xFF0000}, {0x49, 0x494955},
    };
    for (const auto &[index, colour] : colours)
        EXPECT_EQ(s.palette[index], colour) << index;

    ASSERT_EQ(ZULX_defaultPalette(&s.surface, 1), ZUL_OK);
    for (std::uint32_t i = 0; i < 256; ++i)
        ASSERT_EQ(s.palette[i], i * 0x010101u) << i;

    // Drawing realises the library's grey palette over the caller's own.
    std::vector<std::uint32_t> greyTable(256);
    for (std::uint32_t i = 0; i < 256; ++i)
        greyTable[i] = i * 0x010101u;
    ZulHandle bitmap = handMadeBitmap(8, 3, {{0, 100, 255}}, greyTable);
    s.reversedGrey();
    ASSERT_EQ(ZULX_drawDIB(&s.surface, bitmap, 0, 0, 0, 0), ZUL_OK);
    EXPECT_EQ(s.palette[100], 100u * 0x010101u);
    EXPECT_EQ(s.pixels, (Bytes{0, 100, 255, 0xEE}));

    // Released, the caller's palette stands again.
    EXPECT_EQ(ZULX_releasePalette(), ZUL_OK);
    s.reversedGrey();
    ASSERT_EQ(ZULX_drawDIB(&s.surface, bitmap, 0, 0, 0, 0), ZUL_OK);
    EXPECT_EQ(s.palette[100], 155u * 0x010101u);
    EXPECT_EQ(s.pixels, (Bytes{255, 155, 0, 0xEE}));
    ZUL_globalFree(bitmap);
    EXPECT_TRUE(messages.empty());
}
