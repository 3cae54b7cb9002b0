#include "card_fixture.h"
#include "registers.h"

using zul::vcard::OpenReply;
using zul::vcard::parseVirtualCardOptions;

TEST(VirtualCardOptions, ParsedFromTheEnvironmentText)
{
    const auto parsed = parseVirtualCardOptions(" standard=525; narrow=1;fresh=1 ;source=picture.bmp;;window=0x1000;id=7");
    EXPECT_TRUE(parsed.errors.empty());
    EXPECT_EQ(parsed.options.standard, 525);
    EXPECT_TRUE(parsed.options.narrow);
    EXPECT_TRUE(parsed.options.fresh);
    EXPECT_EQ(parsed.options.source, "picture.bmp");
    EXPECT_EQ(parsed.options.window, 0x1000u);
    EXPECT_EQ(parsed.options.cardId, 7u);

    const auto faults = parseVirtualCardOptions(
        "standard=none;device=absent;probe=fail;open=otherboard;ident=fail;failwrite=2;shortwrite=3;failread=4;"
        "control=fail;status=fail;acquisition=stuck;tick=none;trigger=1;failclaim=5;failfilewrite=6");
    EXPECT_TRUE(faults.errors.empty());
    const auto &o = faults.options;
    EXPECT_EQ(o.standard, 0);
    EXPECT_TRUE(o.noDevice && o.probeFails && o.identifyFails && o.controlFails && o.statusFails);
    EXPECT_TRUE(o.acquisitionStuck && o.noTick && o.trigger);
    EXPECT_EQ(o.openReply, OpenReply::OtherBoard);
    EXPECT_EQ(o.failWrite, 2);
    EXPECT_EQ(o.shortWrite, 3);
    EXPECT_EQ(o.failRead, 4);
    EXPECT_EQ(o.failClaim, 5);
    EXPECT_EQ(o.failFileWrite, 6);

    const auto wrong = parseVirtualCardOptions("standard=405;colour=1;narrow=maybe;failwrite=-1;standard=525");
    EXPECT_EQ(wrong.errors, (std::vector<std::string>{"standard=405", "colour=1", "narrow=maybe", "failwrite=-1"}));
    EXPECT_EQ(wrong.options.standard, 525);
}

// The control and status register as the snaps will drive it.
TEST_F(CardTest, AcquisitionRunsForAFewStatusReadsWithItsModeBits)
{
    open();
    zul::writeControl(128);
    zul::writeControl(0);
    zul::writeControl(32 + 8 + 16);
    zul::writeControl(32 + 8);
    EXPECT_EQ(card->acquisitions(), 1);
    EXPECT_EQ(card->acquisitionMode(), 40);
    std::vector<int> running;
    for (int i = 0; i < 5; ++i) {
        const std::uint8_t status = zul::readStatus();
        running.push_back((status >> 4) & 1);
        EXPECT_EQ(status & 0x80, 0x80);
        EXPECT_EQ(status & 0x28, 0x28);
    }
    EXPECT_EQ(running, (std::vector<int>{1, 1, 1, 0, 0}));
    // Resetting the line pointer ends the started bit; advancing moves it.
    zul::writeControl(128);
    zul::writeControl(0);
    zul::writeControl(64);
    zul::writeControl(0);
    zul::writeControl(64);
    zul::writeControl(0);
    EXPECT_EQ(card->linePointer(), 2);
    EXPECT_EQ(zul::readStatus() & 0x80, 0);

    // Stuck, or without a signal, it never ends.
    for (auto arm : {+[](zul::vcard::VirtualCardOptions &o) { o.acquisitionStuck = true; },
                     +[](zul::vcard::VirtualCardOptions &o) { o.standard = 0; }}) {
        card->options() = {};
        arm(card->options());
        zul::writeControl(16);
        zul::writeControl(0);
        for (int i = 0; i < 200; ++i)
            ASSERT_EQ(zul::readStatus() & 0x10, 0x10);
        card->options() = {};
        while (zul::readStatus() & 0x10) {
        }
    }
}

TEST_F(CardTest, WindowTriggerByteAndLineTransfers)
{
    open();
    auto &device = *zul::connection().device;
    EXPECT_EQ(device.readWindowByte(zul::kWindowTriggerByte) & 1, 0);
    card->options().trigger = true;
    EXPECT_EQ(device.readWindowByte(zul::kWindowTriggerByte) & 1, 1);
    device.writeWindowByte(zul::kWindowTriggerByte, 3);
    device.writeWindowByte(zul::kWindowTriggerByte, 0);
    EXPECT_EQ(card->triggerWrites(), (std::vector<std::uint8_t>{3, 0}));

    // Line 1 of card memory holds Cb Y Cr Y words.
    auto &memory = card->memory();
    const std::size_t line1 = card->lineStride();
    memory[line1] = 0x1080;     // Cb 0x80, Y 0x10
    memory[line1 + 1] = 0xEB70; // Cr 0x70, Y 0xEB
    zul::writeControl(64);
    zul::writeControl(0);
    const std::uint32_t port = record()->dataPortAddress;

    std::uint8_t words[4] = {};
    const zul::TransferInput line{2, port, 0};
    std::uint32_t returned = 0;
    ASSERT_TRUE(device.control(zul::kReadLine, &line, sizeof line, words, sizeof words, &returned));
    EXPECT_EQ(Bytes(words, words + 4), (Bytes{0x80, 0x10, 0x70, 0xEB}));
    EXPECT_EQ(returned, 4u);

    std::uint8_t luma[2] = {};
    const zul::TransferInput bytes{2, port + 1, 0};
    ASSERT_TRUE(device.control(zul::kReadLineBytes, &bytes, sizeof bytes, luma, sizeof luma, &returned));
    EXPECT_EQ(Bytes(luma, luma + 2), (Bytes{0x10, 0xEB}));

    // A frame is line after line; the buffer size bounds the transfer.
    memory[0] = 0x0201;
    std::uint8_t frame[6] = {};
    const zul::TransferInput whole{1, port, 3};
    ASSERT_TRUE(device.control(zul::kReadFrame, &whole, sizeof whole, frame, 4, &returned));
    EXPECT_EQ(Bytes(frame, frame + 6), (Bytes{0x01, 0x02, 0x80, 0x10, 0, 0}));

    // A transfer from anywhere but the data port is refused.
    const zul::TransferInput elsewhere{2, port + 2, 0};
    EXPECT_FALSE(device.control(zul::kReadLine, &elsewhere, sizeof elsewhere, words, sizeof words, &returned));
}

// The library's geometry registers, read back by the card: windows against
// the right edge of either frame (on 625 lines their horizontal delay needs
// bit 10, which shares register 3's bit 4 with the active lines' bit 8),
// unscaled and shrunk 14-fold in height, as the library allows at most.
TEST_F(CardTest, WindowsAtTheFramesRightEdgeAndStronglyShrunkShowThePicture)
{
    struct Case {
        int standard;
        ZulVideoWindow window;
    };
    const Case cases[] = {
        {625, videoWindow(900, 50, 50, 300, 310, 310)},      // delay 1076, 310 lines
        {625, videoWindow(848, 102, 102, 0, 40, 40)},        // delay 1024
        {625, videoWindow(940, 10, 10, 200, 105, 105, 0)},   // field lines
        {625, videoWindow(920, 30, 30, 0, 610, 44)},         // 610 lines into 44
        {625, videoWindow(0, 100, 100, 0, 305, 22, 0)},      // 305 field lines into 22
        {525, videoWindow(730, 50, 50, 200, 310, 310)},
        {525, videoWindow(770, 10, 10, 0, 510, 37)},
    };
    for (const Case &c : cases) {
        const ZulVideoWindow &w = c.window;
        SCOPED_TRACE(testing::Message() << c.standard << " lines, window at " << w.xOffset << ", " << w.yOffset
                                        << ", " << w.yActive << " lines into " << w.yPixels);
        // Y tells the column, Cb the frame line.
        const int width = c.standard == 625 ? 950 : 780;
        const int height = c.standard == 625 ? 610 : 510;
        zul::vcard::VideoFrame frame{width, height, {}, {}, {}};
        for (int row = 0; row < height; ++row)
            for (int x = 0; x < width; ++x) {
                frame.y.push_back(static_cast<std::uint8_t>(16 + x % 220));
                frame.cb.push_back(static_cast<std::uint8_t>(16 + row % 224));
                frame.cr.push_back(128);
            }
        card->options().standard = c.standard;
        card->setPicture(frame);
        openConfigured();
        ZulVideoWindow window = w;
        ASSERT_EQ(ZUL_prepareSnap(&window), ZUL_OK);
        ASSERT_EQ(ZUL_startSnap(), ZUL_OK);
        ASSERT_EQ(ZUL_finishSnap(), ZUL_OK);
        ASSERT_EQ(ZUL_startReadout(11, nullptr), ZUL_OK);
        const int linesPer512 = w.yActive * 512 / w.yPixels;
        for (int m = 0; m < w.yPixels; ++m) {
            const int fieldOrFrameLine = w.yOffset + m * linesPer512 / 512;
            const int row = w.interlaced ? fieldOrFrameLine : 2 * fieldOrFrameLine;
            Bytes line(3u * w.xPixels), expected;
            ASSERT_EQ(ZUL_readLine(line.data(), 0, w.xPixels), ZUL_OK);
            for (int k = 0; k < w.xPixels; ++k)
                expected.insert(expected.end(), {static_cast<std::uint8_t>(16 + (w.xOffset + k) % 220),
                                                 static_cast<std::uint8_t>(16 + row % 224), 128});
            ASSERT_EQ(line, expected) << "line " << m;
        }
        ZUL_closedown(1);
    }
}
