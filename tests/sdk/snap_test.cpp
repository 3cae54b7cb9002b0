#include "card_fixture.h"
#include "snap.h"

#include <cstring>

namespace {

// The frame requests the driver served, as (words per line, lines).
std::vector<std::pair<std::uint32_t, std::uint32_t>> frameRequests(const zul::vcard::VirtualCard &card)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> requests;
    for (const auto &t : card.transfers())
        if (t.code == zul::kReadFrame) {
            zul::TransferInput in{};
            std::memcpy(&in, t.bytes.data(), sizeof in);
            requests.emplace_back(in.count, in.lines);
        }
    return requests;
}

} // namespace

TEST_F(CardTest, SnapStatesFollowEachOther)
{
    EXPECT_EQ(ZUL_startSnap(), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_EQ(ZUL_finishSnap(), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_EQ(ZUL_flashSnap(), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_EQ(ZUL_extTrigSnap(0), ZUL_ERR_NOT_INITIALIZED);
    openConfigured();
    EXPECT_EQ(ZUL_startSnap(), ZUL_ERR_SNAP_NOT_PREPARED);
    EXPECT_EQ(lastError(), "ZUL_startSnap");
    EXPECT_EQ(ZUL_flashSnap(), ZUL_ERR_SNAP_NOT_PREPARED);
    EXPECT_EQ(ZUL_extTrigSnap(0), ZUL_ERR_SNAP_NOT_PREPARED);
    EXPECT_EQ(ZUL_finishSnap(), ZUL_ERR_SNAP_NOT_STARTED);

    ZulVideoWindow w = videoWindow(0, 100, 100, 0, 100, 100, 1, 1);
    ASSERT_EQ(ZUL_prepareSnap(&w), ZUL_OK);
    EXPECT_EQ(ZUL_finishSnap(), ZUL_ERR_SNAP_NOT_STARTED);
    const long writesBefore = card->controlWrites();
    ASSERT_EQ(ZUL_startSnap(), ZUL_OK);
    // Reset, then start in monochrome and interlaced mode.
    EXPECT_EQ(card->controlWrites() - writesBefore, 4);
    EXPECT_EQ(card->acquisitionMode(), 40);
    EXPECT_EQ(card->control(), 40);
    ASSERT_EQ(ZUL_finishSnap(), ZUL_OK);
    EXPECT_FALSE(card->acquiring());
    EXPECT_EQ(record()->snapFinished, 1);
    EXPECT_EQ(record()->snapStarted, 0);
    // A finished snap cannot be finished again, and that clears it.
    EXPECT_EQ(ZUL_finishSnap(), ZUL_ERR_SNAP_NOT_STARTED);
    EXPECT_EQ(record()->snapFinished, 0);

    // Preparing again or configuring again forgets the snap.
    ASSERT_EQ(ZUL_startSnap(), ZUL_OK);
    ASSERT_EQ(ZUL_prepareSnap(&w), ZUL_OK);
    EXPECT_EQ(ZUL_finishSnap(), ZUL_ERR_SNAP_NOT_STARTED);
    ZulConfig config{};
    ASSERT_EQ(ZUL_videoConfig(0, 0, &config), ZUL_OK);
    EXPECT_EQ(ZUL_startSnap(), ZUL_ERR_SNAP_NOT_PREPARED);

    // Field captures in colour start with no mode bits.
    w = videoWindow(0, 100, 100, 0, 100, 100, 0, 0);
    ASSERT_EQ(ZUL_prepareSnap(&w), ZUL_OK);
    ASSERT_EQ(ZUL_startSnap(), ZUL_OK);
    EXPECT_EQ(card->acquisitionMode(), 0);
}

TEST_F(CardTest, AStuckAcquisitionIsNoSignal)
{
    openConfigured();
    ZulVideoWindow w = videoWindow(0, 100, 100, 0, 100, 100);
    ASSERT_EQ(ZUL_prepareSnap(&w), ZUL_OK);
    card->options().acquisitionStuck = true;
    ASSERT_EQ(ZUL_startSnap(), ZUL_OK);
    EXPECT_EQ(ZUL_finishSnap(), ZUL_ERR_NO_SIGNAL);
    EXPECT_EQ(lastError(), "ZUL_finishSnap");
    EXPECT_EQ(record()->snapFinished, 0);
    EXPECT_EQ(ZUL_flashSnap(), ZUL_ERR_NO_SIGNAL);
    EXPECT_EQ(ZUL_extTrigSnap(0), ZUL_ERR_NO_SIGNAL);
    // So does a status register that cannot be read: 18 has bit 4 set.
    card->options() = {};
    card->options().statusFails = true;
    ASSERT_EQ(ZUL_startSnap(), ZUL_OK);
    EXPECT_EQ(ZUL_finishSnap(), ZUL_ERR_NO_SIGNAL);
}

TEST_F(CardTest, WholeFrameTransferMovesTheStoredImage)
{
    openConfigured();
    struct Case {
        ZulVideoWindow window;
        std::pair<std::uint32_t, std::uint32_t> request;
    };
    const Case cases[] = {
        // A full colour frame fills the store: 950 words x 610 lines x 2.
        {videoWindow(0, 950, 950, 0, 610, 610), {950, 610}},
        // Monochrome: (W + 1) / 2 + 1 words, whatever format read last.
        {videoWindow(0, 950, 950, 0, 610, 610, 1, 1), {476, 610}},
        {videoWindow(0, 101, 101, 0, 20, 20, 0, 1), {52, 20}},
        // Scaled: stored width and lines.
        {videoWindow(0, 800, 400, 0, 600, 300), {400, 300}},
        // An odd first line brings the line above along.
        {videoWindow(0, 100, 100, 5, 20, 20), {100, 21}},
    };
    for (const Case &c : cases) {
        ZulVideoWindow w = c.window;
        ASSERT_EQ(ZUL_prepareSnap(&w), ZUL_OK);
        card->clearTransfers();
        ASSERT_EQ(ZUL_startSnap(), ZUL_OK);
        ASSERT_EQ(ZUL_finishSnap(), ZUL_OK);
        EXPECT_EQ(frameRequests(*card), (std::vector<std::pair<std::uint32_t, std::uint32_t>>{c.request}));
        EXPECT_LE(static_cast<std::size_t>(c.request.first) * c.request.second * 2, zul::kFrameStoreBytes);
        EXPECT_EQ(zul::connection().frameOwner, record());
    }
    // Line by line: no frame request, and the store is not taken as this
    // snap's.
    EXPECT_EQ(ZUL_GetFrame(0), 0);
    card->clearTransfers();
    ASSERT_EQ(ZUL_startSnap(), ZUL_OK);
    ASSERT_EQ(ZUL_finishSnap(), ZUL_OK);
    EXPECT_TRUE(frameRequests(*card).empty());
    EXPECT_EQ(zul::connection().frameOwner, nullptr);
}

// Stored pixel k of line m is source pixel (xOffset + k) of line
// (yOffset + m): chroma first, Cb on even video positions (HD + k).
TEST_F(CardTest, VirtualCardDigitizesTheWindowUnscaled)
{
    std::vector<std::uint8_t> rgb(8 * 4 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<std::uint8_t>(i * 7);
    card->setPicture(zul::vcard::frameFromRgb(8, 4, rgb));
    const auto source = zul::vcard::frameFromRgb(8, 4, rgb);
    openConfigured();
    // HD 177 is odd, so word 0 holds Cr; VD 3 is moved up to 2, so card
    // line 0 is source line 0 and the window starts on card line 1.
    ZulVideoWindow w = videoWindow(1, 6, 6, 1, 2, 2);
    ASSERT_EQ(ZUL_prepareSnap(&w), ZUL_OK);
    ASSERT_EQ(ZUL_startSnap(), ZUL_OK);
    ASSERT_EQ(ZUL_finishSnap(), ZUL_OK);
    for (int m = 0; m < 3; ++m)
        for (int k = 0; k < 6; ++k) {
            const auto s = source.at(1 + k, m);
            const std::uint16_t expected = static_cast<std::uint16_t>((k % 2 == 0 ? s.cr : s.cb) | s.y << 8);
            EXPECT_EQ(card->memory()[m * card->lineStride() + k], expected) << m << "," << k;
        }

    // A monochrome field: two samples a word, every other frame line.
    w = videoWindow(2, 4, 4, 0, 2, 2, 0, 1);
    ASSERT_EQ(ZUL_prepareSnap(&w), ZUL_OK);
    ASSERT_EQ(ZUL_startSnap(), ZUL_OK);
    ASSERT_EQ(ZUL_finishSnap(), ZUL_OK);
    for (int m = 0; m < 2; ++m)
        for (int k = 0; k < 2; ++k) {
            const std::uint16_t expected =
                static_cast<std::uint16_t>(source.at(2 + 2 * k, 2 * m).y | source.at(3 + 2 * k, 2 * m).y << 8);
            EXPECT_EQ(card->memory()[m * card->lineStride() + k], expected) << m << "," << k;
        }
}

TEST(VideoSource, StudioRangeAndTheChart)
{
    using zul::vcard::studioRange;
    const auto black = studioRange(0, 0, 0);
    const auto white = studioRange(255, 255, 255);
    const auto red = studioRange(255, 0, 0);
    const auto blue = studioRange(0, 0, 255);
    EXPECT_EQ((std::vector<int>{black.y, black.cb, black.cr}), (std::vector<int>{16, 128, 128}));
    EXPECT_EQ((std::vector<int>{white.y, white.cb, white.cr}), (std::vector<int>{235, 128, 128}));
    // 16 + 65.481 = 81.5; 128 - 37.797 = 90.2; 128 + 112.
    EXPECT_EQ((std::vector<int>{red.y, red.cb, red.cr}), (std::vector<int>{81, 90, 240}));
    // 16 + 24.966 = 41.0; 128 + 112; 128 - 18.214 = 109.8.
    EXPECT_EQ((std::vector<int>{blue.y, blue.cb, blue.cr}), (std::vector<int>{41, 240, 110}));

    const auto chart = zul::vcard::testChart(950, 610);
    EXPECT_EQ(chart.at(63, 300).y, 16);
    EXPECT_EQ(chart.at(64, 48).y, 235);
    EXPECT_EQ(chart.at(885, 561).y, 235);
    EXPECT_EQ(chart.at(886, 561).y, 16);
    EXPECT_EQ(chart.at(885, 562).y, 16);
    EXPECT_EQ(chart.at(64, 48 + 128).y, 16);  // the ramp starts black
    EXPECT_EQ(chart.at(885, 48 + 128).y, 235); // and ends white
    EXPECT_EQ(chart.at(64 + 5 * 822 / 8 + 1, 48 + 2 * 128).cr, 240); // the red bar
}
