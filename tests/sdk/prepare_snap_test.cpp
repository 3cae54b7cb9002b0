#include "card_fixture.h"

namespace {

struct Expected {
    Bytes geometry;     // registers 3..9
    Bytes vertical;     // registers 19..20
    std::uint8_t reg11; // from 0x41 (bit 5 clear) or 0x61 (set) before
};

} // namespace

class PrepareSnapTest : public CardTest {
protected:
    // Prepares the window and gives the three register writes it made.
    Writes prepare(ZulVideoWindow window, std::uint8_t reg11Before)
    {
        card->setReg(11, reg11Before);
        card->clearTransfers();
        EXPECT_EQ(ZUL_prepareSnap(&window), ZUL_OK);
        return registerWrites();
    }
};

// Bytes worked out by hand from the window, the base delay of the standard
// and the two scales.
TEST_F(PrepareSnapTest, FullUnscaledColourFrameOn625Lines)
{
    openConfigured();
    // W 950, L 610, HS 0, VS 0, HD 176, VD 2, VA 610, W2 950.
    EXPECT_EQ(prepare(videoWindow(0, 950, 950, 0, 610, 610), 0x41),
              (Writes{{3, {35, 2, 98, 176, 182, 0, 0}}, {19, {160, 0}}, {11, {0x61}}}));
    const ZulCard *r = record();
    EXPECT_EQ(r->storedWidth, 950);
    EXPECT_EQ(r->storedLines, 610);
    EXPECT_EQ(r->oddDelay, 0);
    EXPECT_EQ(r->lineOffset, 0);
    EXPECT_EQ(r->snapPrepared, 1);
}

TEST_F(PrepareSnapTest, ScaledFieldCaptureWithAnOddDelayOn525Lines)
{
    card->options().standard = 525;
    openConfigured();
    // W 200, L 100; HS = 600*4096/200 - 4096 = 8192; VS = (512 - 1024) & 8191
    // = 7680; HD = 200*137/600 = 45 (odd); VD 10, VA 400 doubled for a field.
    EXPECT_EQ(prepare(videoWindow(11, 600, 200, 3, 200, 100, 0, 1), 0x61),
              (Writes{{3, {16, 10, 144, 45, 200, 32, 0}}, {19, {94, 0}}, {11, {0x41}}}));
    const ZulCard *r = record();
    EXPECT_EQ(r->oddDelay, 1);
    EXPECT_EQ(r->lineOffset, 0);
    EXPECT_EQ(r->storedWidth, 200);
    EXPECT_EQ(r->storedLines, 100);
    EXPECT_EQ(r->outputWidth, 200);
    EXPECT_EQ(r->outputLines, 100);
    EXPECT_EQ(r->monochrome, 1);
}

TEST_F(PrepareSnapTest, OddFirstLineStartsOneLineEarlierWithALineOffset)
{
    openConfigured();
    // HD = 176 + 101 = 277 (odd); VD 7 becomes 6 with VA 301; W2 402.
    EXPECT_EQ(prepare(videoWindow(101, 401, 401, 5, 300, 300), 0x41),
              (Writes{{3, {21, 6, 45, 21, 146, 0, 0}}, {19, {96, 0}}, {11, {0x61}}}));
    EXPECT_EQ(record()->oddDelay, 1);
    EXPECT_EQ(record()->lineOffset, 1);
}

class NarrowPrepareSnapTest : public PrepareSnapTest {
    zul::vcard::VirtualCardOptions cardOptions() override
    {
        zul::vcard::VirtualCardOptions o;
        o.narrow = true;
        return o;
    }
};

TEST_F(NarrowPrepareSnapTest, StoresAtMost510PixelsAndLines)
{
    openConfigured();
    // W and L 510; HS = 950*4096/510 - 4096 = 3533; VS = (512 - 612) & 8191
    // = 8092; HD = 510*176/950 = 94.
    EXPECT_EQ(prepare(videoWindow(0, 950, 950, 0, 610, 610), 0x41),
              (Writes{{3, {33, 2, 98, 94, 254, 13, 205}}, {19, {127, 156}}, {11, {0x61}}}));
    EXPECT_EQ(record()->storedWidth, 510);
    EXPECT_EQ(record()->storedLines, 510);
    EXPECT_EQ(record()->outputWidth, 950);
}

TEST_F(PrepareSnapTest, RefusesWindowsBeyondTheLimits)
{
    ZulVideoWindow w = videoWindow(0, 100, 100, 0, 100, 100);
    EXPECT_EQ(ZUL_prepareSnap(&w), ZUL_ERR_NOT_INITIALIZED);
    open();
    EXPECT_EQ(ZUL_prepareSnap(&w), ZUL_ERR_NOT_CONFIGURED);
    ZulConfig config{};
    ASSERT_EQ(ZUL_videoConfig(0, 0, &config), ZUL_OK);
    EXPECT_EQ(ZUL_prepareSnap(nullptr), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(lastError(), "ZUL_prepareSnap");

    struct Case {
        ZulVideoWindow window;
        int result;
    };
    const Case cases[] = {
        {videoWindow(0, 700, 49, 0, 100, 100), ZUL_ERR_WIDTH},       // 49 x 14 < 700
        {videoWindow(0, 700, 50, 0, 100, 100), ZUL_OK},              // 50 x 14 = 700
        {videoWindow(851, 100, 100, 0, 100, 100), ZUL_ERR_WIDTH},    // ends at 951
        {videoWindow(0, 100, 3201, 0, 100, 100), ZUL_ERR_WIDTH},
        {videoWindow(0, 100, 100, 0, 100, 2401), ZUL_ERR_HEIGHT},
        {videoWindow(0, 100, 100, 0, 100, 2400), ZUL_OK},
        {videoWindow(0, 100, 100, 0, 100, 7), ZUL_ERR_HEIGHT},       // 7 x 14 < 100
        {videoWindow(0, 100, 100, 300, 6, 6, 0), ZUL_ERR_HEIGHT},    // a field: 306 x 2 > 610
        {videoWindow(0, 100, 100, 300, 5, 5, 0), ZUL_OK},
        {videoWindow(0, 100, 100, 300, 311, 311), ZUL_ERR_HEIGHT},   // frame lines end at 611
        // Empty windows would divide by zero.
        {videoWindow(0, 0, 0, 0, 100, 100), ZUL_ERR_WIDTH},
        {videoWindow(0, 100, 100, 0, 0, 0), ZUL_ERR_HEIGHT},
    };
    for (const Case &c : cases) {
        ZulVideoWindow w2 = c.window;
        EXPECT_EQ(ZUL_prepareSnap(&w2), c.result) << w2.xOffset << " " << w2.xActive << " " << w2.xPixels << " "
                                                  << w2.yOffset << " " << w2.yActive << " " << w2.yPixels;
    }

    card->options().failWrite = 2;
    EXPECT_EQ(ZUL_prepareSnap(&w), ZUL_ERR_LOST_CONTACT);
    EXPECT_EQ(record()->snapPrepared, 0);
}
