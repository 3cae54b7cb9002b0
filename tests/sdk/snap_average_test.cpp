#include "extended_fixture.h"
#include "frame_sums.h"
#include "kernel_paths.h"

#include <random>

namespace {

struct NarrowKernels {
    NarrowKernels() { zul::allowWideKernels(false); }
    ~NarrowKernels() { zul::allowWideKernels(true); }
};

// A record for a 37 x 10 window on an even first pixel, where the raw pairs
// and a true-colour readout pair the same pixels.
ZulConfig averagingConfig(int format)
{
    ZulConfig config{};
    ZULX_defaultConfig(&config);
    config.OutputFormat = format;
    config.palWindow = videoWindow(120, 37, 37, 60, 10, 10);
    return config;
}

Bytes readoutOf(ZulConfig &config)
{
    ZulHandle bitmap = nullptr;
    EXPECT_EQ(ZULX_readoutDIB(&config, &bitmap), ZUL_OK);
    return takeBlock(bitmap);
}

Bytes averageOf(ZulConfig &config, int frames, int divisor)
{
    ZulHandle bitmap = nullptr;
    EXPECT_EQ(ZULX_snapAverageDIB(&config, &bitmap, frames, divisor), ZUL_OK);
    return takeBlock(bitmap);
}

} // namespace

TEST_F(ExtendedTest, TheAverageOfAStillPictureIsThePictureAndOfNoSnapsBlack)
{
    open();
    for (int format : {1, 7}) {
        SCOPED_TRACE(format);
        ZulConfig config = averagingConfig(format);
        ASSERT_EQ(ZULX_prepare(&config, 0), ZUL_OK);
        const int before = card->acquisitions();
        const Bytes average = averageOf(config, 4, 4);
        EXPECT_EQ(card->acquisitions() - before, 4);
        ASSERT_EQ(ZULX_snap(&config), ZUL_OK);
        const Bytes one = readoutOf(config);
        EXPECT_EQ(average, one);
        {
            NarrowKernels scalarSums;
            EXPECT_EQ(averageOf(config, 4, 4), average);
        }
        // 256 snaps are none: no acquisition, and a black picture of the
        // window's size.
        const int snapped = card->acquisitions();
        const Bytes black = averageOf(config, 256, 1);
        EXPECT_EQ(card->acquisitions(), snapped);
        const std::size_t header = format == 1 ? 1064 : 40;
        ASSERT_EQ(black.size(), one.size());
        EXPECT_EQ(Bytes(black.begin(), black.begin() + static_cast<std::ptrdiff_t>(header)),
                  Bytes(one.begin(), one.begin() + static_cast<std::ptrdiff_t>(header)));
        EXPECT_EQ(Bytes(black.begin() + static_cast<std::ptrdiff_t>(header), black.end()),
                  Bytes(one.size() - header, 0));
    }
}

// A window whose first pixel lies on an odd video position starts with the
// second pixel of a pair: its average must still be the picture, pixel for
// pixel, with the line ending on a whole pair or half of one, and stretched
// from fewer stored pixels.
TEST_F(ExtendedTest, TheAverageOnAnOddFirstPositionIsThePicture)
{
    // Neighbours all differ, so a shift by one pixel shows.
    std::vector<std::uint8_t> rgb;
    for (int row = 0; row < 610; ++row)
        for (int x = 0; x < 950; ++x)
            rgb.insert(rgb.end(),
                       {static_cast<std::uint8_t>(x * 37 + row * 11), static_cast<std::uint8_t>(x * 91 + row),
                        static_cast<std::uint8_t>(x * x + 3 * row)});
    card->setPicture(zul::vcard::frameFromRgb(950, 610, rgb));
    open();
    for (const ZulVideoWindow window :
         {videoWindow(121, 37, 37, 60, 10, 10), videoWindow(121, 36, 36, 60, 10, 10),
          videoWindow(120, 36, 36, 60, 10, 10), videoWindow(121, 18, 37, 60, 10, 10),
          videoWindow(120, 18, 37, 60, 10, 10)}) {
        SCOPED_TRACE(testing::Message() << "window at " << window.xOffset << ", " << window.xActive << " into "
                                        << window.xPixels);
        ZulConfig config = averagingConfig(7);
        config.palWindow = window;
        ASSERT_EQ(ZULX_prepare(&config, 0), ZUL_OK);
        const Bytes one = averageOf(config, 1, 1);
        EXPECT_EQ(one, readoutOf(config));
        EXPECT_EQ(averageOf(config, 4, 4), one);
    }
}

TEST_F(ExtendedTest, AverageSumsRawBytesHoldsAt255AndConvertsOnce)
{
    open();
    ZulConfig config = averagingConfig(7);
    ASSERT_EQ(ZULX_prepare(&config, 0), ZUL_OK);
    // Two snaps not divided: every raw byte doubled and held at 255, then
    // converted as the card's words would be.
    const Bytes doubled = averageOf(config, 2, 1);
    ASSERT_EQ(ZUL_startReadout(10, nullptr), ZUL_OK);
    const std::size_t stride = 112;
    ASSERT_EQ(doubled.size(), 40 + 10 * stride);
    for (int row = 0; row < 10; ++row) {
        Bytes raw(76);
        ASSERT_EQ(ZUL_readLine(raw.data(), 0, 37), ZUL_OK);
        for (auto &b : raw)
            b = static_cast<std::uint8_t>(std::min(2 * b, 255));
        Bytes expected(stride, 0);
        ASSERT_EQ(ZUL_convertCbYCrYToBGR24(expected.data(), raw.data(), 37), ZUL_OK);
        const auto at = doubled.begin() + static_cast<std::ptrdiff_t>(40 + (9 - row) * stride);
        EXPECT_EQ(Bytes(at, at + static_cast<std::ptrdiff_t>(stride)), expected) << "row " << row;
    }

    // Grey: the format 1 bytes summed, 3 snaps over 2; the row padding
    // stays 0.
    config = averagingConfig(1);
    ASSERT_EQ(ZULX_prepare(&config, 0), ZUL_OK);
    const Bytes grey = averageOf(config, 3, 2);
    const Bytes one = readoutOf(config);
    ASSERT_EQ(grey.size(), one.size());
    EXPECT_EQ(Bytes(grey.begin(), grey.begin() + 1064), Bytes(one.begin(), one.begin() + 1064));
    for (std::size_t k = 1064; k < one.size(); ++k)
        EXPECT_EQ(grey[k], std::min(3 * one[k] / 2, 255)) << k;
}

TEST_F(ExtendedTest, AverageRefusesAndFailsWithoutLeavingABitmap)
{
    ZulConfig config = averagingConfig(7);
    ZulHandle bitmap = &config;
    EXPECT_EQ(ZULX_snapAverageDIB(nullptr, &bitmap, 1, 1), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(ZULX_snapAverageDIB(&config, nullptr, 1, 1), ZUL_ERR_BAD_POINTER);
    for (const auto &[format, divisor] : {std::pair{3, 1}, {8, 1}, {7, 0}, {1, 256}}) {
        config.OutputFormat = format;
        bitmap = &config;
        EXPECT_EQ(ZULX_snapAverageDIB(&config, &bitmap, 1, divisor), ZUL_ERR_RANGE) << format << "/" << divisor;
        EXPECT_EQ(bitmap, nullptr);
    }
    config.OutputFormat = 7;
    EXPECT_EQ(ZULX_snapAverageDIB(&config, &bitmap, 1, 1), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_TRUE(messages.empty());

    open();
    ASSERT_EQ(ZULX_prepare(&config, 0), ZUL_OK);
    const std::size_t held = zul::claimsHeld();
    expectOutOfMemoryTold([&] { return ZULX_snapAverageDIB(&config, &bitmap, 2, 2); });
    config.palWindow.xActive = 900; // more than 14 times the 37 pixels
    EXPECT_EQ(ZULX_snapAverageDIB(&config, &bitmap, 2, 2), ZUL_ERR_WIDTH);
    config = averagingConfig(7);
    card->options().acquisitionStuck = true;
    EXPECT_EQ(ZULX_snapAverageDIB(&config, &bitmap, 2, 2), ZUL_ERR_NO_SIGNAL);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_EQ(zul::claimsHeld(), held);
}

TEST(FrameSums, WideAndScalarSumsAgreeAndTheAverageIsExactDivision)
{
    std::mt19937 random(7);
    for (std::size_t count : {0, 1, 31, 32, 33, 95, 1900}) {
        std::vector<std::uint16_t> wide(count), narrow(count);
        for (std::size_t k = 0; k < count; ++k)
            wide[k] = narrow[k] = static_cast<std::uint16_t>(random() % 65000);
        Bytes bytes(count);
        for (auto &b : bytes)
            b = static_cast<std::uint8_t>(random());
        zul::addToSums(wide.data(), bytes.data(), count);
        zul::allowWideKernels(false);
        zul::addToSums(narrow.data(), bytes.data(), count);
        zul::allowWideKernels(true);
        EXPECT_EQ(wide, narrow) << count;
    }
    std::vector<std::uint16_t> every(65536);
    for (std::size_t s = 0; s < every.size(); ++s)
        every[s] = static_cast<std::uint16_t>(s);
    Bytes out(every.size());
    for (unsigned d = 1; d < 256; ++d) {
        zul::averageOfSums(every.data(), every.size(), d, out.data());
        for (std::size_t s = 0; s < every.size(); ++s)
            if (out[s] != std::min<std::size_t>(s / d, 255)) {
                ADD_FAILURE() << s << " / " << d << " gave " << int(out[s]);
                break;
            }
    }
}
