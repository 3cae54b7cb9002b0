// Bitmaps put on the clipboard through the shared library, read back the
// way another program would: as an image, and as the bitmap's own bytes.
#include "ZUL_Tools_VB.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QtEndian>
#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

// A small scaled window keeps every pixel quick to compare.
constexpr int kWidth = 95;
constexpr int kHeight = 122;

QByteArray blockBytes(ZulHandle block)
{
    const auto *data = static_cast<const char *>(ZUL_globalLock(block));
    QByteArray bytes(data, static_cast<qsizetype>(ZUL_globalSize(block)));
    ZUL_globalUnlock(block);
    return bytes;
}

uint32_t le32(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<uint32_t>(b.constData() + at);
}

} // namespace

class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(ZUL_init(), ZUL_OK);
        ZULX_defaultConfig(&config);
        config.palWindow.xPixels = kWidth;
        config.palWindow.yPixels = kHeight;
    }
    void TearDown() override { ZUL_closedown(1); }

    // A fresh snap read out in the format, and a copy of its bytes.
    ZulHandle snapIn(int format, QByteArray &bytes)
    {
        config.OutputFormat = format;
        ZulHandle bitmap = nullptr;
        EXPECT_EQ(ZULX_prepare(&config, 0), ZUL_OK);
        EXPECT_EQ(ZULX_snap(&config), ZUL_OK);
        EXPECT_EQ(ZULX_readoutDIB(&config, &bitmap), ZUL_OK);
        bytes = blockBytes(bitmap);
        return bitmap;
    }

    ZulConfig config{};
};

TEST_F(ClipboardTest, ColourTableAndTrueColourBitmapsArriveWithEveryPixel)
{
    for (int format : {3, 1, 7}) {
        QByteArray dib;
        ZulHandle bitmap = snapIn(format, dib);
        ASSERT_EQ(ZULX_saveDIBToClipboard(bitmap), ZUL_OK) << format;

        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        ASSERT_NE(data, nullptr);
        const QByteArray file = data->data(QStringLiteral("image/bmp"));
        const uint32_t table = format == 7 ? 0 : 1024;
        ASSERT_EQ(file.size(), 14 + dib.size()) << format;
        EXPECT_EQ(file.left(2), "BM");
        EXPECT_EQ(le32(file, 2), static_cast<uint32_t>(file.size()));
        EXPECT_EQ(le32(file, 10), 54 + table);
        EXPECT_EQ(file.mid(14), dib);

        const QImage image = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(image.size(), QSize(kWidth, kHeight)) << format;
        const qsizetype pixels = 40 + table;
        const int stride = format == 7 ? (kWidth * 3 + 3) / 4 * 4 : (kWidth + 3) / 4 * 4;
        int wrong = 0;
        std::set<QRgb> seen;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                seen.insert(image.pixel(x, y));
                // Rows are stored bottom-up.
                const auto *at = reinterpret_cast<const uint8_t *>(dib.constData() + pixels + (kHeight - 1 - y) * stride);
                uint32_t expected;
                if (format == 7)
                    expected = 0xFF000000u | at[3 * x + 2] << 16 | at[3 * x + 1] << 8 | at[3 * x];
                else
                    expected = 0xFF000000u | (le32(dib, 40 + 4 * at[x]) & 0xFFFFFFu);
                wrong += image.pixel(x, y) != expected;
            }
        EXPECT_EQ(wrong, 0) << format;
        EXPECT_GT(seen.size(), 3u) << format; // the chart, not a flat picture
    }

    QGuiApplication::clipboard()->clear();
    config.OutputFormat = 1;
    ASSERT_EQ(ZULX_snap(&config), ZUL_OK);
    ASSERT_EQ(ZULX_readoutDIBToClipboard(&config), ZUL_OK);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(kWidth, kHeight));
}

// Made for a 256-colour display, the library palette gives the clipboard
// image its colours: the picture as drawing shows it on such a display.
TEST_F(ClipboardTest, WhileThereIsALibraryPaletteTheImageIsAsTheDisplayShowsIt)
{
    std::vector<uint8_t> drawn(kWidth * kHeight);
    std::vector<uint32_t> palette(256);
    ZulSurface display{drawn.data(), kWidth, kHeight, kWidth, 8, palette.data()};
    ASSERT_EQ(ZULX_defaultPalette(&display, 1), ZUL_OK);

    QByteArray dib;
    ZulHandle bitmap = snapIn(7, dib);
    ASSERT_EQ(ZULX_drawDIB(&display, bitmap, 0, 0, 0, 0), ZUL_OK);
    ASSERT_EQ(ZULX_saveDIBToClipboard(bitmap), ZUL_OK);
    const QImage image = QGuiApplication::clipboard()->image();
    ASSERT_EQ(image.format(), QImage::Format_Indexed8);
    ASSERT_EQ(image.size(), QSize(kWidth, kHeight));
    EXPECT_EQ(image.colorCount(), 256);
    EXPECT_EQ(image.color(200), 0xFFC8C8C8u);
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            wrong += image.pixelIndex(x, y) != drawn[static_cast<size_t>(y * kWidth + x)];
    EXPECT_EQ(wrong, 0);
    // Not a flat picture: the chart has several greys.
    EXPECT_GT(std::set<uint8_t>(drawn.begin(), drawn.end()).size(), 3u);
    // The bitmap's own bytes go along unchanged.
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("image/bmp")).mid(14), dib);

    ASSERT_EQ(ZULX_releasePalette(), ZUL_OK);
    ASSERT_EQ(ZULX_saveDIBToClipboard(snapIn(7, dib)), ZUL_OK);
    EXPECT_NE(QGuiApplication::clipboard()->image().format(), QImage::Format_Indexed8);
}
