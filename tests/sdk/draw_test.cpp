#include "extended_fixture.h"

namespace {

constexpr std::uint32_t kUntouched = 0x12345678;

// A true-colour surface, every pixel marked as not drawn.
struct Canvas {
    int width, height;
    std::vector<std::uint32_t> pixels;
    ZulSurface surface;

    Canvas(int w, int h)
        : width(w), height(h), pixels(static_cast<std::size_t>(w * h), kUntouched),
          surface{pixels.data(), w, h, w * 4, 32, nullptr}
    {
    }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// An 8-bit surface with a grey palette of its own.
struct IndexedCanvas {
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint32_t> palette;
    ZulSurface surface;

    IndexedCanvas(int w, int h, int stride)
        : pixels(static_cast<std::size_t>(stride * h), 0xEE), palette(256),
          surface{pixels.data(), w, h, stride, 8, palette.data()}
    {
        for (std::uint32_t i = 0; i < 256; ++i)
            palette[i] = i * 0x010101u;
    }
};

// Three columns of colour, two rows: the top row red, green, blue, the
// bottom one white, black, grey.
ZulHandle sixColours()
{
    return handMadeBitmap(24, 3, {{0, 0, 255, 0, 255, 0, 255, 0, 0}, {255, 255, 255, 0, 0, 0, 128, 128, 128}});
}

std::vector<std::uint32_t> region(const Canvas &c, int x, int y, int w, int h)
{
    std::vector<std::uint32_t> out;
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            out.push_back(c.at(i, j));
    return out;
}

} // namespace

TEST_F(ExtendedTest, DrawDIBPlacesTheTopRowAtYAndClipsToTheSurface)
{
    ZulHandle bitmap = sixColours();
    Canvas c(5, 4);
    ASSERT_EQ(ZULX_drawDIB(&c.surface, bitmap, 1, 1, 0, 0), ZUL_OK);
    const std::uint32_t U = kUntouched;
    EXPECT_EQ(c.pixels, std::vector<std::uint32_t>({U, U, U, U, U,                                     //
                                                    U, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, U,         //
                                                    U, 0xFFFFFFFF, 0xFF000000, 0xFF808080, U,         //
                                                    U, U, U, U, U}));
    // Partly off every edge; the equal size counts as unscaled.
    Canvas d(2, 1);
    ASSERT_EQ(ZULX_drawDIB(&d.surface, bitmap, -1, -1, 3, 2), ZUL_OK);
    EXPECT_EQ(d.pixels, std::vector<std::uint32_t>({0xFF000000, 0xFF808080}));
    Canvas e(2, 2);
    ASSERT_EQ(ZULX_drawDIB(&e.surface, bitmap, 70000, 5, 0, 0), ZUL_OK); // x is 4464, off the surface
    EXPECT_EQ(e.pixels, std::vector<std::uint32_t>(4, kUntouched));
    ZUL_globalFree(bitmap);
}

TEST_F(ExtendedTest, DrawDIBStretchesToTheNearestSourcePixel)
{
    ZulHandle bitmap = sixColours();
    const std::uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF, K = 0xFF000000,
                        Y = 0xFF808080;
    struct Case {
        int width, height;
        std::vector<std::uint32_t> expected;
    };
    const Case cases[] = {
        {6, 4, {R, R, G, G, B, B, R, R, G, G, B, B, W, W, K, K, Y, Y, W, W, K, K, Y, Y}},
        {2, 0, {R, B, W, Y}},          // width only; the height stays
        {0, 3, {R, G, B, W, K, Y, W, K, Y}}, // height only
        {1, 1, {K}},
        {5, 2, {R, R, G, B, B, W, W, K, Y, Y}},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(testing::Message() << k.width << " x " << k.height);
        Canvas c(8, 5);
        ASSERT_EQ(ZULX_drawDIB(&c.surface, bitmap, 0, 0, k.width, k.height), ZUL_OK);
        const int w = k.width ? k.width : 3, h = k.height ? k.height : 2;
        EXPECT_EQ(region(c, 0, 0, w, h), k.expected);
        EXPECT_EQ(c.at(w, 0), kUntouched);
        EXPECT_EQ(c.at(0, h), kUntouched);
    }
    ZUL_globalFree(bitmap);
}

TEST_F(ExtendedTest, DrawDIBReadsEveryDepthItsTableAndItsMasks)
{
    const std::uint32_t white = 0xFFFFFFFF;
    struct Case {
        const char *name;
        ZulHandle bitmap;
        std::vector<std::uint32_t> expected;
    };
    const Case cases[] = {
        {"4 bits, high nibble first", handMadeBitmap(4, 3, {{0x12, 0x30}}, {0x000000, 0x0000FF, 0x00FF00, 0xFF0000}),
         {0xFF0000FF, 0xFF00FF00, 0xFFFF0000}},
        {"8 bits, an index past the table is black", handMadeBitmap(8, 2, {{1, 7}}, {0x111111, 0x222222}),
         {0xFF222222, 0xFF000000}},
        {"1 bit", handMadeBitmap(1, 3, {{0xA0}}, {0x000000, 0xFFFFFF}), {white, 0xFF000000, white}},
        {"5-5-5", handMadeBitmap(16, 3, {{0xFF, 0x7F, 0x00, 0x7C, 0x10, 0x42}}), {white, 0xFFFF0000, 0xFF848484}},
        {"5-6-5 by masks", handMadeBitmap(16, 2, {{0xE0, 0x07, 0x1F, 0x00}}, {0xF800, 0x07E0, 0x001F}, 3),
         {0xFF00FF00, 0xFF0000FF}},
        {"32 bits", handMadeBitmap(32, 1, {{0x10, 0x20, 0x30, 0x99}}), {0xFF302010}},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        Canvas c(static_cast<int>(k.expected.size()), 1);
        EXPECT_EQ(ZULX_drawDIB(&c.surface, k.bitmap, 0, 0, 0, 0), ZUL_OK);
        EXPECT_EQ(c.pixels, k.expected);
        ZUL_globalFree(k.bitmap);
    }
}

TEST_F(ExtendedTest, DrawOnA256ColourSurfaceDrawsTheDithered332PictureInTheLibraryPalette)
{
    ZulConfig config = openPrepared(7);
    config.palWindow = videoWindow(100, 500, 40, 100, 150, 12);
    ASSERT_EQ(ZULX_snap(&config), ZUL_OK);
    auto &palette = zul::libraryPalette();
    palette.present = true;
    for (int i = 0; i < 256; ++i)
        palette.entries[static_cast<std::size_t>(i)] = zul::colour332(i);

    IndexedCanvas c(40, 12, 44);
    ASSERT_EQ(ZULX_draw(&c.surface, &config, 0, 0, 0, 0), ZUL_OK);
    EXPECT_EQ(config.OutputFormat, 7);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(c.palette[static_cast<std::size_t>(i)], zul::colour332(i));
    ASSERT_EQ(ZUL_startReadout(3, nullptr), ZUL_OK);
    for (int line = 0; line < 12; ++line) {
        Bytes expected(40);
        ASSERT_EQ(ZUL_readLine(expected.data(), 0, 40), ZUL_OK);
        const auto row = c.pixels.begin() + line * 44;
        EXPECT_EQ(Bytes(row, row + 40), expected) << "line " << line;
        EXPECT_EQ(Bytes(row + 40, row + 44), Bytes(4, 0xEE));
    }

    // Without a library palette the surface's own is used as it stands:
    // grey on a grey palette gives back the grey levels.
    palette = {};
    config.OutputFormat = 1;
    ASSERT_EQ(ZULX_prepare(&config, 0), ZUL_OK);
    ASSERT_EQ(ZULX_snap(&config), ZUL_OK);
    IndexedCanvas g(40, 12, 40);
    ASSERT_EQ(ZULX_draw(&g.surface, &config, 0, 0, 0, 0), ZUL_OK);
    ASSERT_EQ(ZUL_startReadout(1, nullptr), ZUL_OK);
    Bytes expected(40);
    ASSERT_EQ(ZUL_readLine(expected.data(), 0, 40), ZUL_OK);
    EXPECT_EQ(Bytes(g.pixels.begin(), g.pixels.begin() + 40), expected);
    EXPECT_EQ(g.palette[200], 200u * 0x010101u);
}

TEST_F(ExtendedTest, DrawRefusesWhatItCannotDrawAndKeepsTheRecord)
{
    ZulHandle bitmap = sixColours();
    Canvas c(4, 4);
    EXPECT_EQ(ZULX_drawDIB(nullptr, bitmap, 0, 0, 0, 0), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(ZULX_drawDIB(&c.surface, nullptr, 0, 0, 0, 0), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(ZULX_drawDIB(&c.surface, bitmap, 0, 0, -2, 2), ZUL_ERR_RANGE);
    EXPECT_EQ(ZULX_drawDIB(&c.surface, bitmap, 0, 0, 2, 0xFFFF), ZUL_ERR_RANGE); // -1 in 16 bits
    ZulSurface wrongDepth = c.surface;
    wrongDepth.bitsPerPixel = 24;
    EXPECT_EQ(ZULX_drawDIB(&wrongDepth, bitmap, 0, 0, 0, 0), ZUL_ERR_RANGE);
    ZulSurface shortStride = c.surface;
    shortStride.stride = 15;
    EXPECT_EQ(ZULX_drawDIB(&shortStride, bitmap, 0, 0, 0, 0), ZUL_ERR_RANGE);
    IndexedCanvas indexed(4, 4, 4);
    indexed.surface.palette = nullptr;
    EXPECT_EQ(ZULX_drawDIB(&indexed.surface, bitmap, 0, 0, 0, 0), ZUL_ERR_BAD_POINTER);
    int notABlock = 0;
    EXPECT_EQ(ZULX_drawDIB(&c.surface, &notABlock, 0, 0, 0, 0), ZUL_ERR_NO_MEMORY);
    // A header claiming more rows than its block holds is not read past
    // the block's end.
    auto *header = static_cast<std::uint8_t *>(ZUL_globalLock(bitmap));
    header[8] = 3;
    ZUL_globalUnlock(bitmap);
    EXPECT_EQ(ZULX_drawDIB(&c.surface, bitmap, 0, 0, 0, 0), ZUL_ERR_RANGE);
    EXPECT_EQ(c.pixels, std::vector<std::uint32_t>(16, kUntouched));
    ZUL_globalFree(bitmap);

    ZulConfig config{};
    config.OutputFormat = 6;
    EXPECT_EQ(ZULX_draw(&c.surface, nullptr, 0, 0, 0, 0), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(ZULX_draw(nullptr, &config, 0, 0, 0, 0), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(ZULX_draw(&c.surface, &config, 0, 0, 0, 0), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_EQ(config.OutputFormat, 6);
}
