// Bitmaps put on the clipboard through the shared library, read back the
// way another program would: as an image, and as the bitmap's own bytes.
#include "ZUL_Tools_VB.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

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
        // A small scaled window keeps every pixel quick to compare.
        config.palWindow.xPixels = 95;
        config.palWindow.yPixels = 61;
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
        ASSERT_EQ(image.size(), QSize(95, 61)) << format;
        const qsizetype pixels = 40 + table;
        const int stride = format == 7 ? (95 * 3 + 3) / 4 * 4 : 96;
        int wrong = 0;
        for (int y = 0; y < 61; ++y)
            for (int x = 0; x < 95; ++x) {
                // Rows are stored bottom-up.
                const auto *at = reinterpret_cast<const uint8_t *>(dib.constData() + pixels + (60 - y) * stride);
                uint32_t expected;
                if (format == 7)
                    expected = 0xFF000000u | at[3 * x + 2] << 16 | at[3 * x + 1] << 8 | at[3 * x];
                else
                    expected = 0xFF000000u | (le32(dib, 40 + 4 * at[x]) & 0xFFFFFFu);
                wrong += image.pixel(x, y) != expected;
            }
        EXPECT_EQ(wrong, 0) << format;
    }

    QGuiApplication::clipboard()->clear();
    config.OutputFormat = 1;
    ASSERT_EQ(ZULX_snap(&config), ZUL_OK);
    ASSERT_EQ(ZULX_readoutDIBToClipboard(&config), ZUL_OK);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(95, 61));
}
