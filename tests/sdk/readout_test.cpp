#include "card_fixture.h"
#include "fast_convert.h"

#include <algorithm>
#include <cmath>

namespace {

using zul::vcard::VideoFrame;

// The conversion formulas, worked per pixel the slow way with no tables.
struct Formulas {
    float gamma = 1.0f;

    int gt(int v) const
    {
        if (gamma == 1.0f)
            return v;
        return v == 0 ? 0 : static_cast<int>(255.0 * std::pow(v / 255.0, 1.0 / gamma) + 0.5) & 255;
    }
    int cg(int i) const { return i < 280 ? 0 : i >= 536 ? 255 : gt(i - 280); }
    static int ty(int y) { return static_cast<int>(1.164f * static_cast<float>(y) - 18.624f) + 280; }
    int g8(int y) const
    {
        return y <= 15 ? 0 : y >= 240 ? 255 : gt(static_cast<int>((y - 16) * 1.1434977578475336 + 0.5));
    }
    static int redIndex(int y, int, int cr) { return ty(y) + static_cast<int>((cr - 128) * 1.596); }
    static int greenIndex(int y, int cb, int cr)
    {
        return ty(y) + static_cast<int>((128 - cb) * 0.391) + static_cast<int>((128 - cr) * 0.813);
    }
    static int blueIndex(int y, int cb, int) { return ty(y) + static_cast<int>((cb - 128) * 2.018); }
};

// Restores the widest vector path when a test that narrowed it ends.
struct VectorLevel {
    explicit VectorLevel(int most) { zul::limitVectorLevel(most); }
    ~VectorLevel() { zul::limitVectorLevel(zul::kWidestVectorLevel); }
};

constexpr int kDither[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// A 12 x 8 picture: the primaries and their mixes at full strength, black
// and white, and a spread of other values, so the sums run past both ends
// of the clamp tables and the dither crosses level boundaries.
std::vector<std::uint8_t> testPicture()
{
    static const std::uint8_t kFixed[][3] = {{255, 0, 0},   {0, 0, 255},   {0, 255, 0},     {255, 255, 0},
                                             {0, 255, 255}, {255, 0, 255}, {0, 0, 0},       {255, 255, 255},
                                             {128, 128, 128}, {250, 10, 5}, {3, 250, 240}, {17, 33, 200}};
    std::vector<std::uint8_t> rgb(12 * 8 * 3);
    unsigned seed = 12345;
    for (int row = 0; row < 8; ++row)
        for (int x = 0; x < 12; ++x) {
            std::uint8_t *p = &rgb[(row * 12 + x) * 3];
            for (int c = 0; c < 3; ++c) {
                seed = seed * 1103515245u + 12345u;
                p[c] = row % 3 == 0 ? kFixed[(x + row) % 12][c] : static_cast<std::uint8_t>(seed >> 16);
            }
        }
    return rgb;
}

struct Window {
    int xOffset, width, yOffset, lines;
};

// What a readout of the unscaled colour window must give, from the
// picture alone: pixel p of line r is source pixel (xOffset + p) of line
// (yOffset + r); its pair starts on an even video position.
struct Expected {
    const VideoFrame &frame;
    Window w;
    Formulas f;

    VideoFrame::Sample at(int p, int r) const { return frame.at(w.xOffset + p, w.yOffset + r); }
    int luma(int p, int r) const { return at(p, r).y; }
    int cb(int p, int r) const
    {
        const bool even = ((w.xOffset + p) & 1) == 0;
        const int from = even ? p : (p >= 1 ? p - 1 : p + 1);
        return at(from, r).cb;
    }
    int cr(int p, int r) const
    {
        const bool even = ((w.xOffset + p) & 1) == 0;
        const int from = !even ? p : (p + 1 < w.width ? p + 1 : p - 1);
        return at(from, r).cr;
    }

    Bytes line(int format, int r, int x, int n) const
    {
        Bytes out;
        const int row = r & 3;
        for (int k = 0; k < n; ++k) {
            const int p = x + k;
            const int y = luma(p, r), u = cb(p, r), v = cr(p, r);
            const int m = kDither[row][k & 3];
            const int red = f.cg(Formulas::redIndex(y, u, v));
            const int green = f.cg(Formulas::greenIndex(y, u, v));
            const int blue = f.cg(Formulas::blueIndex(y, u, v));
            switch (format) {
            case 1:
                out.push_back(static_cast<std::uint8_t>(f.g8(y)));
                break;
            case 3: {
                const int r3 = f.cg(Formulas::redIndex(y, u, v) + 2 * m);
                const int g3 = f.cg(Formulas::greenIndex(y, u, v) + 2 * m);
                const int b3 = f.cg(std::min(Formulas::blueIndex(y, u, v) + 4 * m, 815));
                out.push_back(static_cast<std::uint8_t>((r3 >> 5) << 5 | (g3 >> 5) << 2 | b3 >> 6));
                break;
            }
            case 4: {
                const int v16 = (red >> 3) << 10 | (green >> 3) << 5 | blue >> 3;
                out.push_back(static_cast<std::uint8_t>(v16));
                out.push_back(static_cast<std::uint8_t>(v16 >> 8));
                break;
            }
            case 5: {
                const int v16 = (red >> 3) << 11 | (green >> 2) << 5 | blue >> 3;
                out.push_back(static_cast<std::uint8_t>(v16));
                out.push_back(static_cast<std::uint8_t>(v16 >> 8));
                break;
            }
            case 6:
                out.insert(out.end(), {static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
                                       static_cast<std::uint8_t>(blue)});
                break;
            case 7:
            case 8:
                out.insert(out.end(), {static_cast<std::uint8_t>(blue), static_cast<std::uint8_t>(green),
                                       static_cast<std::uint8_t>(red)});
                if (format == 8)
                    out.push_back(0);
                break;
            case 9:
                out.insert(out.end(),
                           {static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(u)});
                break;
            case 11:
                out.insert(out.end(),
                           {static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(v)});
                break;
            }
        }
        if (format == 2) {
            auto level = [&](int k) {
                const int v = luma(x + k, r) + kDither[row][k & 3];
                return v > 255 ? 255 : f.gt(v);
            };
            for (int k = 0; k < n; k += 2)
                out.push_back(static_cast<std::uint8_t>((level(k) & 240) | (k + 1 < n ? level(k + 1) >> 4 : 0)));
        }
        if (format == 10) {
            // n rounded up to even words from the pair that holds x. The
            // pair in front of an odd-delay line has the Cb of the pair
            // after it and a black pixel; past the line, black.
            const int from = x - ((w.xOffset + x) & 1);
            for (int p = from; p < from + ((n + 1) & ~1); ++p) {
                const bool inside = p >= 0 && p < w.width;
                const int chroma = p < 0 ? cb(0, r) : ((w.xOffset + p) & 1) == 0 ? cb(p, r) : cr(p, r);
                out.push_back(static_cast<std::uint8_t>(p < 0 || inside ? chroma : 128));
                out.push_back(static_cast<std::uint8_t>(inside ? luma(p, r) : 16));
            }
        }
        return out;
    }
};

} // namespace

class ReadoutTest : public CardTest {
protected:
    void SetUp() override
    {
        CardTest::SetUp();
        frame = zul::vcard::frameFromRgb(12, 8, testPicture());
        card->setPicture(frame);
    }

    void snap(Window w, int monochrome = 0, int xPixels = 0, int yPixels = 0)
    {
        ZulVideoWindow v = videoWindow(w.xOffset, w.width, xPixels ? xPixels : w.width, w.yOffset, w.lines,
                                       yPixels ? yPixels : w.lines, 1, monochrome);
        ASSERT_EQ(ZUL_prepareSnap(&v), ZUL_OK);
        ASSERT_EQ(ZUL_startSnap(), ZUL_OK);
        ASSERT_EQ(ZUL_finishSnap(), ZUL_OK);
    }

    // Every line of a readout in one format, each read whole.
    std::vector<Bytes> readAll(int format, int bytesPerLine)
    {
        std::vector<Bytes> lines;
        EXPECT_EQ(ZUL_startReadout(format, nullptr), ZUL_OK);
        for (int r = 0; r < record()->outputLines; ++r) {
            Bytes line(static_cast<std::size_t>(bytesPerLine), 0);
            EXPECT_EQ(ZUL_readLine(line.data(), 0, record()->outputWidth), ZUL_OK);
            lines.push_back(line);
        }
        return lines;
    }

    static int bytesFor(int format, int width)
    {
        static const int kTwice[12] = {0, 2, 1, 2, 4, 4, 6, 6, 8, 6, 4, 6};
        return format == 10 ? ((width + 1) & ~1) * 2 : (kTwice[format] * width + 1) / 2;
    }

    VideoFrame frame;
};

TEST_F(ReadoutTest, EveryFormatGivesThePictureThroughTheFormulas)
{
    openConfigured();
    // Even and odd first pixels (the odd one puts a half pair in front)
    // and an odd first line (read one card line down).
    for (const Window w : {Window{2, 8, 0, 6}, Window{1, 10, 1, 7}}) {
        snap(w);
        const Expected expected{frame, w, {}};
        for (int format = 1; format <= 11; ++format) {
            const auto lines = readAll(format, bytesFor(format, w.width));
            for (int r = 0; r < w.lines; ++r)
                EXPECT_EQ(lines[r], expected.line(format, r, 0, w.width))
                    << "format " << format << " line " << r << " window at " << w.xOffset;
        }
    }
}

TEST_F(ReadoutTest, HandComputedPixelsHitTheClamps)
{
    openConfigured();
    snap(Window{0, 2, 0, 1});
    // Source pixels: red (Y 81, Cb 90) and blue (Y 41, Cr 110): the pair
    // is Cb 90, Cr 110.
    // Red pixel: R = 355 + (int)(-18 x 1.596) = 355 - 28 = 327 -> 47;
    // G = 355 + 14 + 14 = 383 -> 103; B = 355 - 76 = 279 -> 0 (clamped).
    // Blue pixel: TY 309: R 281 -> 1; G 337 -> 57; B 233 -> 0.
    Bytes out(6);
    ASSERT_EQ(ZUL_startReadout(7, nullptr), ZUL_OK);
    ASSERT_EQ(ZUL_readLine(out.data(), 0, 2), ZUL_OK);
    EXPECT_EQ(out, (Bytes{0, 103, 47, 0, 57, 1}));
    ASSERT_EQ(ZUL_startReadout(9, nullptr), ZUL_OK);
    ASSERT_EQ(ZUL_readLine(out.data(), 0, 2), ZUL_OK);
    EXPECT_EQ(out, (Bytes{81, 110, 90, 41, 110, 90}));
}

TEST_F(ReadoutTest, PartsOfALineMatchTheWholeLine)
{
    openConfigured();
    const Window w{1, 10, 0, 4};
    snap(w);
    const Expected expected{frame, w, {}};
    // An odd-delay capture: pixel 0 is the half pair in front, pixels 1
    // and 2 a whole pair, pixel 3 the first of the next.
    Bytes out(9);
    ASSERT_EQ(ZUL_startReadout(7, nullptr), ZUL_OK);
    ASSERT_EQ(ZUL_readLine(out.data(), 1, 3), ZUL_OK);
    EXPECT_EQ(out, expected.line(7, 0, 1, 3));
    Bytes whole(30);
    ASSERT_EQ(ZUL_readLine(whole.data(), 0, 10), ZUL_OK);
    EXPECT_EQ(Bytes(whole.begin() + 3, whole.begin() + 12), expected.line(7, 1, 1, 3));

    // Format 2 with an odd count keeps the low nibble the buffer held.
    ASSERT_EQ(ZUL_startReadout(2, nullptr), ZUL_OK);
    Bytes nibbles{0xAA, 0xAA, 0xAA};
    ASSERT_EQ(ZUL_readLine(nibbles.data(), 2, 5), ZUL_OK);
    Bytes want = expected.line(2, 0, 2, 5);
    want[2] = static_cast<std::uint8_t>((want[2] & 0xF0) | 0x0A);
    EXPECT_EQ(nibbles, want);

}

TEST_F(ReadoutTest, RawWordsStartAtThePairThatHoldsTheFirstPixel)
{
    openConfigured();
    struct Case {
        Window w;
        int x, n;
        Bytes raw; // the bytes that matter, worked out from the picture
    };
    const Window even{0, 12, 0, 1}, odd{1, 10, 0, 1};
    const Expected e{frame, even, {}}, o{frame, odd, {}};
    auto word = [](int chroma, int y) {
        return Bytes{static_cast<std::uint8_t>(chroma), static_cast<std::uint8_t>(y)};
    };
    auto cat = [](Bytes a, const Bytes &b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const Case cases[] = {
        // The line's last pixel, second of its pair: its pair, with its Cr.
        {even, 11, 1, cat(word(e.cb(10, 0), e.luma(10, 0)), word(e.cr(11, 0), e.luma(11, 0)))},
        {even, 3, 3, {}},
        // An even count from a second pixel stays two words long.
        {even, 3, 2, cat(word(e.cb(2, 0), e.luma(2, 0)), word(e.cr(3, 0), e.luma(3, 0)))},
        // Pixel 0 of an odd-delay line: the pair begun before the window.
        {odd, 0, 1, cat(word(o.cb(1, 0), 16), word(o.cr(0, 0), o.luma(0, 0)))},
        {odd, 0, 10, {}},
        // The last pixel first of its pair: black after it.
        {odd, 9, 1, cat(word(o.cb(9, 0), o.luma(9, 0)), word(128, 16))},
        {odd, 4, 5, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "window at " << c.w.xOffset << ", pixels " << c.x << " + " << c.n);
        snap(c.w);
        ASSERT_EQ(ZUL_startReadout(10, nullptr), ZUL_OK);
        Bytes raw(2 * static_cast<std::size_t>((c.n + 1) & ~1));
        ASSERT_EQ(ZUL_readLine(raw.data(), c.x, c.n), ZUL_OK);
        EXPECT_EQ(raw, (Expected{frame, c.w, {}}.line(10, 0, c.x, c.n)));
        if (!c.raw.empty()) {
            EXPECT_EQ(raw, c.raw);
        }
    }
}

TEST_F(ReadoutTest, LineLengthsAndRefusals)
{
    int16_t bytes = -1;
    EXPECT_EQ(ZUL_startReadout(7, &bytes), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_EQ(ZUL_readLine(nullptr, 0, 0), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_EQ(ZUL_skipLines(1), ZUL_ERR_NOT_INITIALIZED);
    openConfigured();
    EXPECT_EQ(ZUL_startReadout(7, &bytes), ZUL_ERR_SNAP_NOT_FINISHED);
    snap(Window{0, 7, 0, 3});
    const int expected[12] = {0, 7, 4, 7, 14, 14, 21, 21, 28, 21, 16, 21};
    for (int format = 1; format <= 11; ++format) {
        ASSERT_EQ(ZUL_startReadout(format, &bytes), ZUL_OK);
        EXPECT_EQ(bytes, expected[format]) << format;
    }
    EXPECT_EQ(ZUL_startReadout(0, &bytes), ZUL_ERR_RANGE);
    EXPECT_EQ(ZUL_startReadout(12, &bytes), ZUL_ERR_RANGE);
    Bytes line(64);
    EXPECT_EQ(ZUL_readLine(line.data(), 0, 7), ZUL_ERR_READOUT_NOT_STARTED);
    EXPECT_EQ(ZUL_skipLines(1), ZUL_ERR_READOUT_NOT_STARTED);

    ASSERT_EQ(ZUL_startReadout(7, &bytes), ZUL_OK);
    EXPECT_EQ(ZUL_readLine(line.data(), 1, 7), ZUL_ERR_OUTSIDE_IMAGE);
    EXPECT_EQ(ZUL_readLine(line.data(), 7, 1), ZUL_ERR_OUTSIDE_IMAGE);
    EXPECT_EQ(record()->linesRead, 0);
    EXPECT_EQ(ZUL_readLine(nullptr, 0, 7), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(ZUL_readLine(line.data(), 0, 7), ZUL_OK);
    ASSERT_EQ(ZUL_skipLines(1), ZUL_OK);
    EXPECT_EQ(ZUL_readLine(line.data(), 7, 0), ZUL_OK);
    EXPECT_EQ(record()->linesRead, 3);
    EXPECT_EQ(ZUL_readLine(line.data(), 0, 1), ZUL_ERR_OUTSIDE_IMAGE);
    EXPECT_EQ(lastError(), "ZUL_readLine");
    EXPECT_EQ(record()->linesRead, 3);

    // A monochrome capture has no colours to give.
    snap(Window{0, 8, 0, 2}, 1);
    EXPECT_EQ(ZUL_startReadout(3, &bytes), ZUL_ERR_MONOCHROME);
    EXPECT_EQ(ZUL_startReadout(1, &bytes), ZUL_OK);
}

TEST_F(ReadoutTest, FrameStoreAndLineByLineGiveTheSamePicture)
{
    openConfigured();
    struct Case {
        Window w;
        int monochrome;
        int formats[3];
    };
    // Monochrome captures have a lead word on odd lines in the frame
    // store, and an odd first line moves everything a card line down.
    const Case cases[] = {{{2, 8, 0, 6}, 0, {1, 7, 10}}, {{1, 9, 1, 5}, 0, {2, 11, 3}}, {{2, 8, 0, 6}, 1, {1, 2, 1}},
                          {{3, 7, 1, 5}, 1, {1, 2, 2}}};
    for (const Case &c : cases)
        for (int format : c.formats) {
            ASSERT_EQ(ZUL_GetFrame(1), 1);
            snap(c.w, c.monochrome);
            const auto fromStore = readAll(format, bytesFor(format, c.w.width));
            ASSERT_EQ(ZUL_GetFrame(0), 0);
            snap(c.w, c.monochrome);
            card->clearTransfers();
            const auto lineByLine = readAll(format, bytesFor(format, c.w.width));
            EXPECT_EQ(fromStore, lineByLine) << format;
            const Expected expected{frame, c.w, {}};
            if (format <= 2) {
                for (int r = 0; r < c.w.lines; ++r)
                    EXPECT_EQ(lineByLine[r], expected.line(format, r, 0, c.w.width)) << format;
            }
            int lineRequests = 0;
            for (const auto &t : card->transfers())
                lineRequests += t.code == zul::kReadLine || t.code == zul::kReadLineBytes;
            EXPECT_EQ(lineRequests, c.w.lines);
        }
}

TEST_F(ReadoutTest, VerticalStretchBlendsTwoCachedLines)
{
    openConfigured();
    ASSERT_EQ(ZUL_GetFrame(0), 0);
    const Window w{2, 8, 0, 4};
    snap(w, 0, 8, 8);
    card->clearTransfers();
    const auto lines = readAll(11, 24);
    int lineRequests = 0;
    for (const auto &t : card->transfers())
        lineRequests += t.code == zul::kReadLine;
    EXPECT_EQ(lineRequests, 4); // each card line once
    const Expected expected{frame, w, {}};
    EXPECT_EQ(lines[0], expected.line(11, 0, 0, 8));
    // Output line 3: step (4 x 65536 - 65537) / 7 = 28086, position 84258:
    // card lines 1 and 2, f = 18722.
    for (int p = 0; p < 8; ++p) {
        const auto blend = [](int a, int b) { return (b * 18722 + a * (65536 - 18722)) >> 16; };
        EXPECT_EQ(lines[3][3 * p], blend(expected.luma(p, 1), expected.luma(p, 2))) << p;
        EXPECT_EQ(lines[3][3 * p + 1], blend(expected.cb(p, 1), expected.cb(p, 2))) << p;
    }

    // One stored line cannot be stretched over two.
    snap(Window{2, 8, 0, 1}, 0, 8, 2);
    ASSERT_EQ(ZUL_startReadout(7, nullptr), ZUL_OK);
    Bytes out(24);
    EXPECT_EQ(ZUL_readLine(out.data(), 0, 8), ZUL_ERR_HEIGHT);
}

TEST_F(ReadoutTest, HorizontalStretchOfGreyAndColour)
{
    openConfigured();
    // Four samples to seven: step (4 x 65536 - 65537) / 6 = 32767, so
    // output p sits at p x 32767 / 65536 between stored samples.
    const Window w{2, 4, 0, 1};
    snap(w, 1, 7, 1);
    const Expected expected{frame, w, {}};
    ASSERT_EQ(ZUL_startReadout(1, nullptr), ZUL_OK);
    Bytes grey(7);
    ASSERT_EQ(ZUL_readLine(grey.data(), 0, 7), ZUL_OK);
    Formulas f;
    for (int p = 0; p < 7; ++p) {
        const long a = p * 32767L;
        const int i = static_cast<int>(a >> 16);
        const int frac = static_cast<int>(a & 65535);
        const int y = i + 1 < 4 ? (frac * expected.luma(i + 1, 0) + (65536 - frac) * expected.luma(i, 0)) >> 16
                                : expected.luma(i, 0);
        EXPECT_EQ(grey[p], f.g8(y)) << p;
    }
    // Colour: the luma of the ends survives the stretch.
    snap(w, 0, 8, 1);
    ASSERT_EQ(ZUL_startReadout(11, nullptr), ZUL_OK);
    Bytes colour(24);
    ASSERT_EQ(ZUL_readLine(colour.data(), 0, 8), ZUL_OK);
    EXPECT_EQ(colour[0], expected.luma(0, 0));
    EXPECT_EQ(colour[21], expected.luma(3, 0));
}

TEST_F(ReadoutTest, GammaReachesGreyAndColour)
{
    openConfigured();
    ASSERT_EQ(ZUL_setGamma(2.0f), ZUL_OK);
    const Window w{2, 8, 0, 3};
    snap(w);
    Formulas f;
    f.gamma = 2.0f;
    const Expected expected{frame, w, f};
    for (int format : {1, 2, 6}) {
        const auto lines = readAll(format, bytesFor(format, 8));
        for (int r = 0; r < 3; ++r)
            EXPECT_EQ(lines[r], expected.line(format, r, 0, 8)) << format;
    }
}

TEST_F(CardTest, ConvertCbYCrYToBGR24)
{
    const Bytes in{90, 81, 110, 41, 128, 235, 128, 16, 128, 126};
    Bytes out(15, 0xEE);
    EXPECT_EQ(ZUL_convertCbYCrYToBGR24(out.data(), in.data(), 2), ZUL_ERR_NOT_INITIALIZED);
    open();
    // It has no name of its own: a failure is charged to the call before it.
    std::uint8_t status = 0;
    ASSERT_EQ(ZUL_getControlStatus(&status), ZUL_OK);
    EXPECT_EQ(ZUL_convertCbYCrYToBGR24(nullptr, in.data(), 2), ZUL_ERR_BAD_POINTER);
    EXPECT_STREQ(ZUL_lastErrorFunctionName(), "ZUL_getControlStatus");
    EXPECT_EQ(ZUL_convertCbYCrYToBGR24(out.data(), nullptr, 2), ZUL_ERR_BAD_POINTER);
    // Red and blue as in the readout; then white (TY 235 = 254 + 280) and
    // black (TY 16 = 280); the fifth pixel, Y 126, borrows the Cr of the
    // pair before: TY 126 = 128 + 280.
    ASSERT_EQ(ZUL_convertCbYCrYToBGR24(out.data(), in.data(), 5), ZUL_OK);
    EXPECT_EQ(out, (Bytes{0, 103, 47, 0, 57, 1, 254, 254, 254, 0, 0, 0, 128, 128, 128}));
    // A lone pixel has no pair before it and is taken as neutral.
    Bytes one(3);
    ASSERT_EQ(ZUL_convertCbYCrYToBGR24(one.data(), in.data() + 8, 1), ZUL_OK);
    EXPECT_EQ(one, (Bytes{128, 128, 128}));
}

// Every Cb and Cr with Y running through all values, at gamma 1.0 (each
// vector path the processor has, and none) and at gamma 2.0 (tables).
TEST_F(CardTest, BgrConversionAgreesWithTheFormulasForEveryChroma)
{
    open();
    for (int level : {3, 2, 1, 0})
    for (float gamma : {1.0f, 2.0f}) {
        const VectorLevel narrowed(level);
        ASSERT_EQ(ZUL_setGamma(gamma), ZUL_OK);
#if defined(__x86_64__)
        // The narrowest vector step needs SSSE3, which not every x86-64 has.
        EXPECT_EQ(zul::connection().tables.vectorBgr,
                  gamma == 1.0f && level > 0 && __builtin_cpu_supports("ssse3"));
#endif
        Formulas f;
        f.gamma = gamma;
        Bytes in(65536 * 4);
        for (int q = 0; q < 65536; ++q) {
            in[4 * q] = static_cast<std::uint8_t>(q & 255);
            in[4 * q + 1] = static_cast<std::uint8_t>(q * 37);
            in[4 * q + 2] = static_cast<std::uint8_t>(q >> 8);
            in[4 * q + 3] = static_cast<std::uint8_t>(q * 91 + 5);
        }
        Bytes out(65536 * 6);
        for (int chunk = 0; chunk < 4; ++chunk)
            ASSERT_EQ(ZUL_convertCbYCrYToBGR24(out.data() + chunk * 98304, in.data() + chunk * 65536, 32768), ZUL_OK);
        int wrong = 0;
        for (int p = 0; p < 131072 && wrong < 5; ++p) {
            const int q = p / 2;
            const int y = in[4 * q + 1 + 2 * (p & 1)], u = in[4 * q], v = in[4 * q + 2];
            const Bytes want{static_cast<std::uint8_t>(f.cg(Formulas::blueIndex(y, u, v))),
                             static_cast<std::uint8_t>(f.cg(Formulas::greenIndex(y, u, v))),
                             static_cast<std::uint8_t>(f.cg(Formulas::redIndex(y, u, v)))};
            const Bytes got(out.begin() + 3 * p, out.begin() + 3 * p + 3);
            if (got != want) {
                ++wrong;
                ADD_FAILURE() << "level " << level << " gamma " << gamma << " Y " << y << " Cb " << u << " Cr " << v;
            }
        }
    }
}

// Lines long enough for the sixteen-pixel steps, read from several first
// pixels so the dither starts at each column.
TEST_F(CardTest, LongLinesInFormats3And7)
{
    std::vector<std::uint8_t> rgb(80 * 6 * 3);
    unsigned seed = 99;
    for (auto &v : rgb) {
        seed = seed * 1103515245u + 12345u;
        v = static_cast<std::uint8_t>(seed >> 16);
    }
    const auto frame = zul::vcard::frameFromRgb(80, 6, rgb);
    card->setPicture(frame);
    openConfigured();
    for (int level : {3, 2, 1, 0})
    for (const Window w : {Window{0, 76, 0, 5}, Window{3, 57, 1, 4}}) {
        const VectorLevel narrowed(level);
        ASSERT_EQ(ZUL_setGamma(1.0f), ZUL_OK);
        ZulVideoWindow v = videoWindow(w.xOffset, w.width, w.width, w.yOffset, w.lines, w.lines);
        ASSERT_EQ(ZUL_prepareSnap(&v), ZUL_OK);
        ASSERT_EQ(ZUL_startSnap(), ZUL_OK);
        ASSERT_EQ(ZUL_finishSnap(), ZUL_OK);
        const Expected expected{frame, w, {}};
        for (int format : {3, 7})
            for (int x : {0, 1, 2, 3}) {
                ASSERT_EQ(ZUL_startReadout(format, nullptr), ZUL_OK);
                for (int r = 0; r < w.lines; ++r) {
                    const int n = w.width - x - r;
                    Bytes line(static_cast<std::size_t>(n) * (format == 3 ? 1 : 3));
                    ASSERT_EQ(ZUL_readLine(line.data(), x, n), ZUL_OK);
                    EXPECT_EQ(line, expected.line(format, r, x, n))
                        << "level " << level << " format " << format << " x " << x << " line " << r;
                }
            }
    }
}

// Every Y with every Cb and Cr, converted on each vector path the processor
// has and held byte for byte against the tables the conversion is defined by.
TEST_F(CardTest, VectorPathsGiveTheTableBytesForEveryColour)
{
    open();
    // One chunk per Cr and half of the Cb values: 128 Cb x 128 pairs whose
    // two Y run through all 256 values.
    Bytes in(128 * 128 * 4), tables(128 * 128 * 6), vector(tables.size());
    auto convert = [&](int level, Bytes &out) {
        const VectorLevel narrowed(level);
        ASSERT_EQ(ZUL_setGamma(1.0f), ZUL_OK); // the tables note which path they allow
        ASSERT_EQ(ZUL_convertCbYCrYToBGR24(out.data(), in.data(), static_cast<int>(in.size() / 2)), ZUL_OK);
    };
    for (int cr = 0; cr < 256; ++cr)
        for (int half = 0; half < 2; ++half) {
            for (std::size_t q = 0; q < 128 * 128; ++q) {
                in[4 * q] = static_cast<std::uint8_t>(128 * half + q / 128);
                in[4 * q + 1] = static_cast<std::uint8_t>(2 * (q % 128));
                in[4 * q + 2] = static_cast<std::uint8_t>(cr);
                in[4 * q + 3] = static_cast<std::uint8_t>(2 * (q % 128) + 1);
            }
            convert(0, tables);
            for (int level = 1; level <= zul::kWidestVectorLevel; ++level) {
                convert(level, vector);
                ASSERT_EQ(vector, tables) << "level " << level << " Cr " << cr << " Cb from " << 128 * half;
            }
        }
}

// Every length up to a few vector steps and then some, from unaligned
// addresses: the same bytes as the tables, and not a byte written past the
// pixels asked for.
TEST_F(CardTest, VectorPathsStopAtTheLastPixel)
{
    open();
    Bytes in(4 * 200 + 1);
    unsigned seed = 7;
    for (auto &b : in) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(seed >> 16);
    }
    for (int pixels = 1; pixels <= 2 * 200; ++pixels) {
        Bytes tables;
        for (int level = 0; level <= zul::kWidestVectorLevel; ++level) {
            const VectorLevel narrowed(level);
            ASSERT_EQ(ZUL_setGamma(1.0f), ZUL_OK);
            Bytes out(3 * 2 * 200 + 65, 0xA5);
            ASSERT_EQ(ZUL_convertCbYCrYToBGR24(out.data() + 1, in.data() + 1, pixels), ZUL_OK);
            EXPECT_EQ(out[0], 0xA5) << pixels << " pixels, level " << level;
            EXPECT_TRUE(std::all_of(out.begin() + 1 + 3 * pixels, out.end(), [](std::uint8_t b) { return b == 0xA5; }))
                << pixels << " pixels, level " << level;
            const Bytes got(out.begin() + 1, out.begin() + 1 + 3 * pixels);
            if (level == 0)
                tables = got;
            else
                EXPECT_EQ(got, tables) << pixels << " pixels, level " << level;
        }
    }
}
