#include "acquisition/channel_packing.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

// Every width up to a few vector steps and some long ones, from every
// alignment of the four rows: each vector unit gives the scalar pixels and
// writes nothing before or after the row.
TEST(ChannelPacking, EveryUnitGivesTheScalarPixelsAndStaysInTheRow)
{
    constexpr int kLongest = 600;
    std::mt19937 rng(11);
    // Colour and a fourth byte in every source, which only the chosen
    // channel of each may pass.
    std::vector<QRgb> red(kLongest + 4), green(kLongest + 4), blue(kLongest + 4);
    for (auto *row : {&red, &green, &blue})
        for (QRgb &p : *row)
            p = static_cast<QRgb>(rng());
    constexpr QRgb kGuard = 0x5a5a5a5au;

    std::vector<int> widths;
    for (int w = 0; w <= 70; ++w)
        widths.push_back(w);
    for (int w : {127, 128, 129, 511, 512, 513, kLongest})
        widths.push_back(w);

    for (int width : widths)
        for (int shift = 0; shift < 4; ++shift) {
            std::vector<QRgb> scalar(kLongest + 6, kGuard);
            packChannelRow(scalar.data() + 1 + shift, red.data() + shift, green.data() + (3 - shift),
                           blue.data() + shift / 2, width, VectorUnit::Scalar);
            for (int x = 0; x < width; ++x) {
                const QRgb want = 0xff000000u | (red[x + shift] & 0xff0000u) | (green[x + 3 - shift] & 0xff00u) |
                                  (blue[x + shift / 2] & 0xffu);
                ASSERT_EQ(scalar[1 + shift + x], want) << "width " << width << " pixel " << x;
            }
            for (VectorUnit unit : vectorUnits()) {
                std::vector<QRgb> out(kLongest + 6, kGuard);
                packChannelRow(out.data() + 1 + shift, red.data() + shift, green.data() + (3 - shift),
                               blue.data() + shift / 2, width, unit);
                EXPECT_EQ(out, scalar) << nameOf(unit) << ", width " << width << ", shift " << shift;
            }
        }
}
