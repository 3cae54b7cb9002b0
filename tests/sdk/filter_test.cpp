#include "extended_fixture.h"
#include "kernel_paths.h"

#include <random>

namespace {

using Grid = std::vector<Bytes>; // top row first, bytes of a row

ZulHandle greyBitmap(const Grid &rows)
{
    std::vector<std::uint32_t> table(256);
    for (std::uint32_t i = 0; i < 256; ++i)
        table[i] = i * 0x010101u;
    return handMadeBitmap(8, static_cast<int>(rows[0].size()), rows, table);
}

// A bitmap's header fields and its rows, top first, without padding.
struct Picture {
    std::uint32_t width = 0, height = 0, imageSize = 0;
    std::size_t blockSize = 0;
    Grid rows;
};

Picture pictureOf(ZulHandle bitmap)
{
    const Bytes b = takeBlock(bitmap);
    Picture p;
    p.blockSize = b.size();
    p.width = le32(b, 4);
    p.height = le32(b, 8);
    p.imageSize = le32(b, 20);
    const std::uint32_t bits = b[14];
    const std::size_t offset = 40 + (bits <= 8 ? 4 * std::size_t{le32(b, 32)} : 0);
    const std::size_t stride = (p.width * bits + 31) / 32 * 4;
    for (std::uint32_t r = p.height; r-- > 0;) {
        const auto at = b.begin() + static_cast<std::ptrdiff_t>(offset + r * stride);
        p.rows.emplace_back(at, at + static_cast<std::ptrdiff_t>(p.width * bits / 8));
    }
    return p;
}

Grid filled(int width, int height, std::uint8_t value)
{
    return Grid(static_cast<std::size_t>(height), Bytes(static_cast<std::size_t>(width), value));
}

Grid filtered(const Grid &in, int number)
{
    ZulHandle bitmap = greyBitmap(in);
    EXPECT_EQ(ZULX_filterDIBPredef(bitmap, number), ZUL_OK);
    return pictureOf(bitmap).rows;
}

struct NarrowKernels {
    NarrowKernels() { zul::allowWideKernels(false); }
    ~NarrowKernels() { zul::allowWideKernels(true); }
};

} // namespace

TEST(Filters, ABoxFilterShrinksTheBitmapToWhereTheKernelFits)
{
    Grid in(10, Bytes(10));
    for (std::size_t r = 0; r < 10; ++r)
        for (std::size_t x = 0; x < 10; ++x)
            in[r][x] = static_cast<std::uint8_t>(r * 25 + x * 3);
    ZulHandle bitmap = greyBitmap(in);
    ASSERT_EQ(ZULX_filterDIB(bitmap, ZULX_getFilter(1)), ZUL_OK);
    const Picture out = pictureOf(bitmap);
    EXPECT_EQ(out.width, 8u);
    EXPECT_EQ(out.height, 8u);
    EXPECT_EQ(out.imageSize, 64u); // a stride of 8
    EXPECT_EQ(out.blockSize, 40u + 1024 + 64);
    for (std::size_t r = 0; r < 8; ++r)
        for (std::size_t x = 0; x < 8; ++x) {
            int sum = 0;
            for (std::size_t m = 0; m < 3; ++m)
                for (std::size_t j = 0; j < 3; ++j)
                    sum += in[r + m][x + j];
            EXPECT_EQ(out.rows[r][x], sum / 9) << r << "," << x;
        }
}

TEST(Filters, BuiltInKernelsOnFlatEdgeAndSpotPictures)
{
    // Flat: the edge detectors see nothing.
    EXPECT_EQ(filtered(filled(5, 5, 90), 7), filled(3, 3, 0));
    EXPECT_EQ(filtered(filled(5, 5, 90), 8), filled(3, 3, 0));
    // A vertical edge from 0 to 255: 4 x 255 = 1020 across it, held at 255.
    Grid edge = filled(6, 4, 0);
    for (auto &row : edge)
        row[3] = row[4] = row[5] = 255;
    EXPECT_EQ(filtered(edge, 7), Grid(2, Bytes{0, 255, 255, 0}));
    // A white spot on black: 10 x 255 / 6 = 425, held at 255; a black spot
    // on white: -4 x 255 / 6, negative, so 0.
    Grid spot = filled(3, 3, 0);
    spot[1][1] = 255;
    EXPECT_EQ(filtered(spot, 3), Grid{{255}});
    Grid hole = filled(3, 3, 255);
    hole[1][1] = 0;
    EXPECT_EQ(filtered(hole, 3), Grid{{0}});
    // Filter 6 is three wide and five high; its weights add up to its
    // divisor, so a flat picture stays as it is.
    EXPECT_EQ(filtered(filled(4, 6, 10), 6), filled(2, 2, 10));
}

TEST(Filters, KernelRowZeroIsTheLowestRowInMemoryAndChannelsStaySeparate)
{
    // A 1 x 2 kernel that keeps its first row: the bitmap's lowest row in
    // memory is the picture's bottom one, so the top row goes.
    const std::int8_t keepFirst[] = {1, 0};
    const ZulFilter first{1, 2, 1, 0, keepFirst};
    ZulHandle bitmap = greyBitmap({{1, 2}, {3, 4}, {5, 6}});
    ASSERT_EQ(ZULX_filterDIB(bitmap, &first), ZUL_OK);
    EXPECT_EQ(pictureOf(bitmap).rows, Grid({{3, 4}, {5, 6}}));

    // Three across, the last weighted: each byte takes the same channel two
    // pixels on, in 24 and in 32 bits (the fourth byte too).
    const std::int8_t lastOfThree[] = {0, 0, 2};
    const ZulFilter shift{3, 1, 2, 0, lastOfThree};
    ZulHandle colour = handMadeBitmap(24, 4, {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}});
    ASSERT_EQ(ZULX_filterDIB(colour, &shift), ZUL_OK);
    EXPECT_EQ(pictureOf(colour).rows, Grid({{7, 8, 9, 10, 11, 12}}));
    ZulHandle quad = handMadeBitmap(32, 3, {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}});
    ASSERT_EQ(ZULX_filterDIB(quad, &shift), ZUL_OK);
    EXPECT_EQ(pictureOf(quad).rows, Grid({{9, 10, 11, 12}}));
}

TEST(Filters, RefusalsLeaveTheBitmapAsItWas)
{
    const Grid in = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    ZulHandle bitmap = greyBitmap(in);
    const std::int8_t one[] = {1};
    auto unchanged = [&] {
        ZulHandle copy = nullptr;
        EXPECT_EQ(ZULX_copyDIB(bitmap, &copy), ZUL_OK);
        return pictureOf(copy).rows == in;
    };
    EXPECT_EQ(ZULX_filterDIB(nullptr, ZULX_getFilter(1)), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(ZULX_filterDIB(bitmap, nullptr), ZUL_ERR_BAD_POINTER);
    const ZulFilter cases[] = {{0, 1, 1, 0, one}, {1, 0, 1, 0, one}, {1, 1, 0, 0, one}, {4, 1, 1, 0, one},
                               {1, 4, 1, 0, one}};
    for (const ZulFilter &f : cases)
        EXPECT_EQ(ZULX_filterDIB(bitmap, &f), ZUL_ERR_RANGE);
    const ZulFilter noCoefficients{1, 1, 1, 0, nullptr};
    EXPECT_EQ(ZULX_filterDIB(bitmap, &noCoefficients), ZUL_ERR_BAD_POINTER);
    for (int number : {9, 0, -1, 65536})
        EXPECT_EQ(ZULX_filterDIBPredef(bitmap, number), ZUL_ERR_RANGE) << number;
    EXPECT_TRUE(unchanged());
    ZUL_globalFree(bitmap);

    for (int bits : {4, 16}) {
        const Bytes row(static_cast<std::size_t>(bits / 2)); // four pixels
        ZulHandle other = handMadeBitmap(bits, 4, {row, row, row});
        EXPECT_EQ(ZULX_filterDIBPredef(other, 1), ZUL_ERR_RANGE) << bits;
        ZUL_globalFree(other);
    }
    int notABlock = 0;
    EXPECT_EQ(ZULX_filterDIBPredef(&notABlock, 1), ZUL_ERR_NO_MEMORY);
    // Number 65537 is filter 1 in 16 bits.
    ZulHandle small = greyBitmap(in);
    EXPECT_EQ(ZULX_filterDIBPredef(small, 65537), ZUL_OK);
    EXPECT_EQ(pictureOf(small).rows, Grid{{5}});
}

TEST(Filters, TheBuiltInTableIsConstantData)
{
    struct Expected {
        int width, height, divisor, absolute;
        std::vector<int> coefficients;
    };
    const Expected table[] = {
        {3, 3, 9, 0, {1, 1, 1, 1, 1, 1, 1, 1, 1}},        {3, 3, 16, 0, {1, 1, 1, 1, 8, 1, 1, 1, 1}},
        {3, 3, 6, 0, {0, -1, 0, -1, 10, -1, 0, -1, 0}},   {3, 3, 4, 0, {1, -4, 1, -4, 16, -4, 1, -4, 1}},
        {1, 3, 4, 0, {1, 2, 1}},                          {3, 5, 16, 0, {1, -4, 1, -2, 8, -2, -6, 24, -6, -2, 8, -2, 1, -4, 1}},
        {3, 3, 1, 1, {-1, 0, 1, -2, 0, 2, -1, 0, 1}},     {3, 3, 1, 1, {-1, -2, -1, 0, 0, 0, 1, 2, 1}},
    };
    EXPECT_EQ(ZULX_getFilter(0), nullptr);
    EXPECT_EQ(ZULX_getFilter(9), nullptr);
    for (int n = 1; n <= 8; ++n) {
        const ZulFilter *f = ZULX_getFilter(n);
        const Expected &e = table[n - 1];
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f, ZULX_getFilter(n));
        EXPECT_EQ(f->kernelWidth, e.width);
        EXPECT_EQ(f->kernelHeight, e.height);
        EXPECT_EQ(f->divisor, e.divisor);
        EXPECT_EQ(f->absolute, e.absolute);
        EXPECT_EQ(std::vector<int>(f->coefficients, f->coefficients + e.width * e.height), e.coefficients) << n;
    }
}

// The vector path against the plain loop on random pictures and kernels:
// every depth, widths around the vector's 32 bytes, divisors of both signs
// and sizes, with and without the magnitude rule.
TEST(Filters, VectorAndScalarPathsGiveTheSameBytes)
{
    std::mt19937 random(2024);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const std::int32_t divisors[] = {1, 2, 3, 5, 6, 7, 9, 16, 100, 255, 256, 1000, 32767, 32768, 70000, -1, -3, -16};
    for (int round = 0; round < 300; ++round) {
        const int bits = std::array{8, 24, 32}[static_cast<std::size_t>(round % 3)];
        const int kw = pick(1, 5), kh = pick(1, 5);
        const int width = pick(kw, 75), height = pick(kh, 7);
        std::vector<std::int8_t> coefficients(static_cast<std::size_t>(kw * kh));
        // Mostly small weights (the 16-bit path), now and then large ones.
        const int span = round % 5 == 0 ? 128 : 9;
        for (auto &c : coefficients)
            c = static_cast<std::int8_t>(pick(-span, span - 1));
        const ZulFilter filter{static_cast<std::uint8_t>(kw), static_cast<std::uint8_t>(kh),
                               divisors[static_cast<std::size_t>(pick(0, 17))], round & 1, coefficients.data()};
        Grid in(static_cast<std::size_t>(height), Bytes(static_cast<std::size_t>(width * bits / 8)));
        for (auto &row : in)
            for (auto &b : row)
                b = static_cast<std::uint8_t>(round % 7 == 0 ? (pick(0, 1) ? 255 : 0) : pick(0, 255));
        ZulHandle wide = handMadeBitmap(bits, width, in);
        ZulHandle narrow = handMadeBitmap(bits, width, in);
        ASSERT_EQ(ZULX_filterDIB(wide, &filter), ZUL_OK);
        {
            NarrowKernels scalar;
            ASSERT_EQ(ZULX_filterDIB(narrow, &filter), ZUL_OK);
        }
        ASSERT_EQ(takeBlock(wide), takeBlock(narrow))
            << "round " << round << ": " << bits << " bits, " << width << " x " << height << ", kernel " << kw
            << " x " << kh << ", divisor " << filter.divisor;
    }
}

// Every quotient the 16-bit path can meet, against the rule worked out.
TEST(Filters, EveryQuotientOfTheVectorDivisionIsExact)
{
    Bytes all(256);
    for (std::size_t v = 0; v < 256; ++v)
        all[v] = static_cast<std::uint8_t>(v);
    for (const std::int8_t weight : {std::int8_t{127}, std::int8_t{-128}, std::int8_t{93}, std::int8_t{-1}}) {
        for (std::int32_t divisor = -300; divisor <= 32800; divisor += divisor < 300 ? 1 : 97) {
            if (divisor == 0)
                continue;
            const std::int8_t coefficients[] = {weight};
            const ZulFilter filter{1, 1, divisor, divisor & 1, coefficients};
            ZulHandle bitmap = greyBitmap({all});
            ASSERT_EQ(ZULX_filterDIB(bitmap, &filter), ZUL_OK);
            const Bytes out = pictureOf(bitmap).rows[0];
            for (int v = 0; v < 256; ++v) {
                int q = weight * v / divisor;
                q = q < 0 ? (filter.absolute ? -q : 0) : q;
                if (out[static_cast<std::size_t>(v)] != std::min(q, 255)) {
                    ADD_FAILURE() << int(weight) << " x " << v << " / " << divisor;
                    break;
                }
            }
        }
    }
}
