#include "acquisition/butterworth_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using Grid = std::vector<std::vector<int>>; // [y][x]

QImage imageFromGreen(const Grid &green)
{
    const int h = static_cast<int>(green.size());
    const int w = h ? static_cast<int>(green[0].size()) : 0;
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            // Red and blue carry noise the filter must ignore.
            image.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, green[y][x], (x * 5 + y * 91) % 256));
    return image;
}

Grid greyOf(const QImage &image)
{
    Grid grid(image.height(), std::vector<int>(image.width()));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            EXPECT_EQ(qRed(p), qGreen(p)) << "at " << x << "," << y;
            EXPECT_EQ(qBlue(p), qGreen(p)) << "at " << x << "," << y;
            grid[y][x] = qGreen(p);
        }
    return grid;
}

Grid filtered(const Grid &green, double cutOffRatio, VectorUnit path)
{
    QImage image = imageFromGreen(green);
    ButterworthFilter(image, cutOffRatio, path);
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    return greyOf(image);
}

// A plain, slow reading of the filter: one line at a time, in doubles, the
// same way a person would write it down from the recurrence.
void referenceLine(std::vector<int> &line, const ButterworthCoefficients &c)
{
    const std::vector<int> in = line;
    for (std::size_t n = 3; n < in.size(); ++n) {
        const double v = c.b0 * in[n] + c.b1 * in[n - 1] + c.b2 * in[n - 2] + c.b3 * in[n - 3] -
                         (c.a1 * line[n - 1] + c.a2 * line[n - 2] + c.a3 * line[n - 3]);
        double r = std::nearbyint(v);
        if (r < 0)
            r = 0;
        if (r > 255)
            r = 255;
        line[n] = static_cast<int>(r);
    }
}

void referenceReversed(std::vector<int> &line, const ButterworthCoefficients &c)
{
    std::vector<int> reversed(line.rbegin(), line.rend());
    referenceLine(reversed, c);
    line.assign(reversed.rbegin(), reversed.rend());
}

Grid referenceFilter(Grid g, double cutOffRatio)
{
    const ButterworthCoefficients c = butterworthCoefficients(cutOffRatio);
    for (auto &row : g)
        referenceLine(row, c);
    for (auto &row : g)
        referenceReversed(row, c);
    const std::size_t h = g.size(), w = h ? g[0].size() : 0;
    for (std::size_t x = 0; x < w; ++x) {
        std::vector<int> column(h);
        for (std::size_t y = 0; y < h; ++y)
            column[y] = g[y][x];
        referenceLine(column, c);
        referenceReversed(column, c);
        for (std::size_t y = 0; y < h; ++y)
            g[y][x] = column[y];
    }
    return g;
}

Grid randomGreen(int w, int h, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> value(0, 255);
    Grid g(h, std::vector<int>(w));
    for (auto &row : g)
        for (int &v : row)
            // Mostly smooth with hard steps, so overshoot hits both clamps.
            v = value(rng) < 40 ? (value(rng) < 128 ? 0 : 255) : value(rng);
    return g;
}

// A checkerboard of four blocks with a few odd pixels; values from a
// separate script that follows the recurrence in double precision with
// Python's round-half-even.
const Grid kSmallGreen = {
    {0, 0, 0, 0, 255, 255, 255, 255, 90},   {0, 128, 0, 0, 255, 255, 255, 255, 255},
    {0, 0, 0, 0, 255, 255, 255, 255, 255},  {255, 255, 255, 255, 0, 0, 0, 0, 0},
    {255, 255, 255, 255, 0, 0, 0, 0, 0},    {255, 255, 255, 255, 0, 0, 0, 17, 0},
    {200, 255, 255, 255, 0, 0, 0, 0, 0},
};

} // namespace

TEST(ButterworthCoefficients, QuarterNyquistMatchesTheTable)
{
    const ButterworthCoefficients c = butterworthCoefficients(0.25);
    EXPECT_NEAR(c.b0, 0.031689, 5e-7);
    EXPECT_NEAR(c.b1, 0.095068, 5e-7);
    EXPECT_NEAR(c.a1, -1.459029, 5e-7);
    EXPECT_NEAR(c.a2, 0.910369, 5e-7);
    EXPECT_NEAR(c.a3, -0.197825, 5e-7);
    EXPECT_DOUBLE_EQ(c.b1, 3 * c.b0);
    EXPECT_EQ(c.b2, c.b1);
    EXPECT_EQ(c.b3, c.b0);
    // Unit gain at zero frequency.
    EXPECT_NEAR(c.b0 + c.b1 + c.b2 + c.b3, 1 + c.a1 + c.a2 + c.a3, 1e-15);
}

TEST(ButterworthFilter, SmallImageMatchesValuesWorkedOutSeparately)
{
    const Grid atQuarter = {
        {19, 31, 46, 59, 65, 72, 104, 177, 229},       {16, 25, 36, 46, 49, 56, 90, 167, 224},
        {11, 18, 28, 36, 38, 45, 81, 163, 225},        {10, 16, 26, 33, 35, 42, 78, 161, 225},
        {35, 38, 44, 48, 49, 55, 84, 150, 202},        {108, 102, 98, 95, 93, 95, 103, 121, 137},
        {189, 175, 161, 150, 145, 142, 126, 90, 65},
    };
    for (VectorUnit path : vectorUnits())
        EXPECT_EQ(filtered(kSmallGreen, 0.25, path), atQuarter) << nameOf(path);

    // A wider pass band overshoots at the steps, so the clamped outputs feed
    // the recursion; clamping only at the end would give other numbers.
    const Grid atSixTenths = {
        {37, 9, 0, 64, 184, 255, 255, 255, 255},       {2, 0, 0, 48, 199, 255, 255, 255, 255},
        {82, 72, 66, 96, 155, 186, 190, 190, 187},     {207, 204, 201, 173, 86, 54, 55, 55, 53},
        {224, 224, 224, 176, 82, 38, 31, 31, 36},      {255, 255, 255, 215, 47, 0, 0, 0, 0},
        {255, 255, 255, 192, 69, 0, 0, 0, 0},
    };
    for (VectorUnit path : vectorUnits())
        EXPECT_EQ(filtered(kSmallGreen, 0.6, path), atSixTenths) << nameOf(path);
}

TEST(ButterworthFilter, AgreesWithAPlainLineByLineFilter)
{
    // Odd sizes on both sides exercise the partial vectors and the transposes.
    const struct {
        int w, h;
        double cut;
    } cases[] = {{37, 23, 0.25}, {23, 37, 0.25}, {64, 5, 0.8}, {5, 64, 0.05}, {131, 97, 0.4},
                 // Outside the low-pass range: still defined, still within a byte.
                 {29, 31, 0.0}, {31, 29, 1.2}, {17, 19, 1.5}};
    unsigned seed = 1;
    for (const auto &t : cases) {
        const Grid green = randomGreen(t.w, t.h, seed++);
        const Grid expected = referenceFilter(green, t.cut);
        for (VectorUnit path : vectorUnits())
            EXPECT_EQ(filtered(green, t.cut, path), expected)
                << t.w << "x" << t.h << " at " << t.cut << " on the " << nameOf(path) << " path";
    }
}

TEST(ButterworthFilter, UniformImageKeepsItsValue)
{
    for (VectorUnit path : vectorUnits())
        for (int value : {0, 1, 77, 128, 254, 255})
            for (double cut : {0.05, 0.25, 0.9}) {
                const Grid green(13, std::vector<int>(20, value));
                EXPECT_EQ(filtered(green, cut, path), green) << value << " at " << cut << " on " << nameOf(path);
            }
}

TEST(ButterworthFilter, SidesShorterThanFourAreNotFilteredAlongThatSide)
{
    // Too short both ways: nothing to compute, only the grey conversion.
    for (VectorUnit path : vectorUnits())
        for (auto [w, h] : {std::pair{1, 1}, {3, 3}, {2, 3}, {3, 1}}) {
            const Grid green = randomGreen(w, h, 7);
            EXPECT_EQ(filtered(green, 0.25, path), green) << w << "x" << h << " on " << nameOf(path);
        }

    // Two columns of eight: only the column passes run. Worked out apart.
    const Grid tall = {{0, 40}, {0, 40}, {0, 40}, {0, 40}, {255, 40}, {255, 200}, {255, 200}, {255, 200}};
    const Grid tallFiltered = {{10, 43}, {18, 45}, {22, 46}, {20, 44}, {20, 41}, {44, 45}, {113, 68}, {191, 112}};
    for (VectorUnit path : vectorUnits())
        EXPECT_EQ(filtered(tall, 0.25, path), tallFiltered) << nameOf(path);

    // The same data lying down goes through the row passes instead.
    Grid wide(2, std::vector<int>(8)), wideFiltered(2, std::vector<int>(8));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 2; ++x) {
            wide[x][y] = tall[y][x];
            wideFiltered[x][y] = tallFiltered[y][x];
        }
    for (VectorUnit path : vectorUnits())
        EXPECT_EQ(filtered(wide, 0.25, path), wideFiltered) << nameOf(path);

    QImage empty;
    ButterworthFilter(empty, 0.25);
    EXPECT_TRUE(empty.isNull());
}

TEST(ButterworthFilter, ColourComesOutGreyAndTheFourthByteStays)
{
    QImage image(6, 5, QImage::Format_ARGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            image.setPixel(x, y, qRgba(250, 60 + 10 * x, 3, 40 * y + x));
    QImage reference = image;
    ButterworthFilter(image, 0.25);
    ASSERT_EQ(image.format(), QImage::Format_ARGB32);
    Grid green(5, std::vector<int>(6));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            green[y][x] = qGreen(reference.pixel(x, y));
    const Grid expected = referenceFilter(green, 0.25);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const QRgb p = image.pixel(x, y);
            EXPECT_EQ(p, qRgba(expected[y][x], expected[y][x], expected[y][x], 40 * y + x)) << x << "," << y;
        }

    // Any other pixel format is brought to the application's own first.
    QImage packed(6, 5, QImage::Format_RGB888);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            packed.setPixel(x, y, qRgb(0, green[y][x], 255));
    ButterworthFilter(packed, 0.25);
    EXPECT_EQ(packed.format(), QImage::Format_RGB32);
    EXPECT_EQ(greyOf(packed), expected);
}

TEST(ButterworthFilter, CutOffWithoutAFilterLeavesTheImageAlone)
{
    for (double cut : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        QImage image = imageFromGreen(kSmallGreen);
        const QImage before = image;
        ButterworthFilter(image, cut);
        EXPECT_EQ(image, before) << cut;
    }
}

TEST(ButterworthFilter, EveryVectorPathGivesTheScalarBytes)
{
    const std::vector<VectorUnit> paths = vectorUnits();
    ASSERT_EQ(paths.front(), VectorUnit::Scalar);
#if ISOSTEP_VECTOR_UNITS
    // Every x86-64 processor has SSE2: without a vector path here the
    // comparisons below would pass by comparing nothing.
    ASSERT_GE(paths.size(), 2u);
#endif

    // Sides that are no multiple of any vector width, or of the band of
    // rows filtered together, each against every other.
    std::vector<std::pair<int, int>> sizes;
    for (int w : {1, 2, 3, 5, 17})
        for (int h : {1, 2, 3, 5, 17})
            sizes.emplace_back(w, h);
    for (auto size : {std::pair{531, 533}, {533, 17}, {531, 5}, {3, 533}, {17, 531}})
        sizes.push_back(size);

    std::mt19937 rng(2024);
    std::uniform_int_distribution<int> byte(0, 255);
    // Colour and a fourth byte that the filter must carry over alike on
    // every path; the green is noise or only the two extremes.
    auto picture = [&](int w, int h, bool extremes) {
        QImage image(w, h, QImage::Format_ARGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int green = extremes ? (byte(rng) < 128 ? 0 : 255) : byte(rng);
                image.setPixel(x, y, qRgba(byte(rng), green, byte(rng), byte(rng)));
            }
        return image;
    };

    // At a cut-off of one half the coefficients are close to sixths and
    // thirds, so many sums land within a bit or two of a half: a sum grouped
    // differently from the scalar one, or fused, rounds some of them the
    // other way. Near 0 and near 1 the recursion barely moves or overshoots
    // into both clamps.
    for (auto [w, h] : sizes)
        for (bool extremes : {false, true})
            for (double cut : {0.25, 0.5, 1e-3, 0.999}) {
                const QImage source = picture(w, h, extremes);
                QImage expected = source;
                ButterworthFilter(expected, cut, VectorUnit::Scalar);
                for (VectorUnit path : paths) {
                    QImage image = source;
                    ButterworthFilter(image, cut, path);
                    EXPECT_EQ(image, expected) << nameOf(path) << " path, " << w << "x" << h << ", cut-off " << cut
                                               << (extremes ? ", only 0 and 255" : ", noise");
                }
            }
}
