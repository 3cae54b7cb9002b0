#include "platform/raster.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

constexpr QRgb sentinel = 0xff5a5a5a;

QImage filled(int width, int height, QRgb value)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(value);
    return image;
}

// Draws the picture as text: '.' background, '#' brush, 'o' pen.
QStringList picture(const QImage &image, QRgb brush, QRgb pen)
{
    QStringList rows;
    for (int y = 0; y < image.height(); ++y) {
        QString row;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            row += p == brush ? QLatin1Char('#') : p == pen ? QLatin1Char('o') : p == sentinel ? QLatin1Char('.') : QLatin1Char('?');
        }
        rows << row;
    }
    return rows;
}

QStringList lines(std::initializer_list<const char *> rows)
{
    QStringList out;
    for (const char *row : rows)
        out << QString::fromLatin1(row);
    return out;
}

} // namespace

TEST(RasterOps, EachOperationCombinesTargetSourceAndBrushAsDefined)
{
    const QRgb target = 0xff123456;
    const QRgb source = 0xff0ff0a5;
    const QRgb brush = 0xff00ff00;
    const struct {
        raster::Rop rop;
        QRgb expected;
    } cases[] = {
        {raster::Rop::SrcCopy, 0xff0ff0a5},
        {raster::Rop::MergeCopy, 0xff00f000},
        {raster::Rop::SrcPaint, 0xff1ff4f7},
        {raster::Rop::SrcAnd, 0xff023004},
        {raster::Rop::Blackness, 0xff000000},
        {raster::Rop::PatCopy, 0xff00ff00},
    };
    for (const auto &c : cases) {
        QImage t = filled(3, 2, target);
        raster::bitBlt(t, 1, 0, 1, 1, filled(2, 2, source), 1, 1, c.rop, brush);
        EXPECT_EQ(t.pixel(1, 0), c.expected) << int(c.rop);
        EXPECT_EQ(t.pixel(0, 0), target);
        EXPECT_EQ(t.pixel(2, 0), target);
        EXPECT_EQ(t.pixel(1, 1), target);
    }
}

TEST(RasterOps, WrittenPixelsAreOpaqueWhateverTheSourceAlphaBytes)
{
    // Pictures made from raw buffers may carry zero in the fourth byte.
    uchar raw[4] = {0x33, 0x22, 0x11, 0x00};
    const QImage source(raw, 1, 1, 4, QImage::Format_RGB32);
    QImage t = filled(1, 1, 0xff000000);
    raster::bitBlt(t, 0, 0, 1, 1, source, 0, 0, raster::Rop::SrcCopy);
    EXPECT_EQ(reinterpret_cast<const QRgb *>(t.constScanLine(0))[0], 0xff112233u);
}

TEST(RasterOps, SourceOutsideItsImageLeavesTargetUntouched)
{
    QImage source(4, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            source.setPixel(x, y, qRgb(x * 10, y * 10, 1));

    // Reaching past the right and bottom edges.
    QImage t = filled(5, 5, sentinel);
    raster::bitBlt(t, 0, 0, 4, 4, source, 2, 2, raster::Rop::SrcCopy);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(t.pixel(x, y), x < 2 && y < 2 ? qRgb((x + 2) * 10, (y + 2) * 10, 1) : sentinel) << x << "," << y;

    // Starting before the left and top edges, and running past the target.
    t = filled(3, 3, sentinel);
    raster::bitBlt(t, 1, 1, 4, 4, source, -1, -2, raster::Rop::MergeCopy, 0xffffffff);
    EXPECT_EQ(t.pixel(1, 1), sentinel);
    EXPECT_EQ(t.pixel(2, 2), sentinel); // source row -1
    EXPECT_EQ(t.pixel(0, 0), sentinel);
    t = filled(3, 3, sentinel);
    raster::bitBlt(t, 0, 0, 3, 3, source, -1, -1, raster::Rop::SrcCopy);
    EXPECT_EQ(t.pixel(0, 1), sentinel);
    EXPECT_EQ(t.pixel(1, 0), sentinel);
    EXPECT_EQ(t.pixel(1, 1), qRgb(0, 0, 1));
    EXPECT_EQ(t.pixel(2, 2), qRgb(10, 10, 1));

    // Source-less operations clip to the target only.
    t = filled(3, 3, sentinel);
    raster::fill(t, QRect(-5, 2, 100, 100), raster::Rop::Blackness);
    EXPECT_EQ(t.pixel(0, 1), sentinel);
    EXPECT_EQ(t.pixel(0, 2), 0xff000000u);
    EXPECT_EQ(t.pixel(2, 2), 0xff000000u);
}

TEST(RasterStretch, NearestPixelUnderEachTargetCentre)
{
    QImage source(4, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            source.setPixel(x, y, qRgb(x, y, 7));

    // Halving picks the odd columns: centres 0.5 and 1.5 map to 1 and 3.
    QImage t = filled(2, 1, sentinel);
    raster::stretchBlt(t, 0, 0, 2, 1, source, 0, 0, 4, 2);
    EXPECT_EQ(t.pixel(0, 0), qRgb(1, 1, 7));
    EXPECT_EQ(t.pixel(1, 0), qRgb(3, 1, 7));

    // Two columns across five: centres 0.2, 0.6, 1.0, 1.4, 1.8.
    t = filled(5, 4, sentinel);
    raster::stretchBlt(t, 0, 0, 5, 4, source, 1, 0, 2, 2);
    const int expected[] = {1, 1, 2, 2, 2};
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(t.pixel(x, 0), qRgb(expected[x], 0, 7)) << x;
        EXPECT_EQ(t.pixel(x, 1), qRgb(expected[x], 0, 7)) << x;
        EXPECT_EQ(t.pixel(x, 2), qRgb(expected[x], 1, 7)) << x;
        EXPECT_EQ(t.pixel(x, 3), qRgb(expected[x], 1, 7)) << x;
    }

    // Columns that map outside the source stay as they were.
    t = filled(4, 1, sentinel);
    raster::stretchBlt(t, 0, 0, 4, 1, source, -2, 0, 4, 1);
    EXPECT_EQ(t.pixel(0, 0), sentinel);
    EXPECT_EQ(t.pixel(1, 0), sentinel);
    EXPECT_EQ(t.pixel(2, 0), qRgb(0, 0, 7));
    EXPECT_EQ(t.pixel(3, 0), qRgb(1, 0, 7));
}

TEST(RasterLines, LastPointLeftOutAndHalvesGoToTheSmallerCoordinate)
{
    const QRgb pen = 0xffff0000;
    QImage t = filled(6, 4, sentinel);
    raster::drawLine(t, {0, 0}, {4, 1}, pen);
    EXPECT_EQ(picture(t, 0, pen), lines({"ooo...", "...o..", "......", "......"}));

    // The same segment drawn the other way covers the same pixels, but for
    // the end it leaves out.
    t = filled(6, 4, sentinel);
    raster::drawLine(t, {4, 1}, {0, 0}, pen);
    EXPECT_EQ(picture(t, 0, pen), lines({".oo...", "...oo.", "......", "......"}));

    t = filled(3, 4, sentinel);
    raster::drawLine(t, {0, 0}, {1, 3}, pen);
    EXPECT_EQ(picture(t, 0, pen), lines({"o..", "o..", ".o.", "..."}));

    // A zero-length line paints nothing; a line off the image is clipped.
    t = filled(3, 1, sentinel);
    raster::drawLine(t, {1, 0}, {1, 0}, pen);
    raster::drawLine(t, {-2, 0}, {2, 0}, pen);
    EXPECT_EQ(picture(t, 0, pen), lines({"oo."}));
}

TEST(RasterLines, FarReachingLinesPaintOnlyTheirPixelsOnTheImage)
{
    const QRgb pen = 0xffff0000;
    // From (-2000000000, 0) to (2000000000, 4): the slope is 1/1e9, so across
    // a 6-pixel image the ideal line stays at y = 2 (exactly 2 at x = 0).
    QImage t = filled(6, 4, sentinel);
    raster::drawLine(t, {-2000000000, 0}, {2000000000, 4}, pen);
    EXPECT_EQ(picture(t, 0, pen), lines({"......", "......", "oooooo", "......"}));

    // A steep line through the image: x = 1/2 exactly at y = 0 (the half
    // goes to 0), a hair above 1/2 below it. A line far beside the image,
    // whose coordinates would wrap into range if cut to 32 bits, paints nothing.
    t = filled(6, 4, sentinel);
    raster::drawLine(t, {0, -2000000000}, {1, 2000000000}, pen);
    raster::drawLine(t, {2000000000, 1}, {2000000010, 2}, pen);
    EXPECT_EQ(picture(t, 0, pen), lines({"o.....", ".o....", ".o....", ".o...."}));
}

TEST(RasterLines, BoxOutlinePaintsAllFourSidesAndCorners)
{
    const QRgb pen = 0xff00ff00;
    QImage t = filled(6, 6, sentinel);
    raster::drawBox(t, QRect(QPoint(1, 1), QPoint(4, 4)), pen);
    EXPECT_EQ(picture(t, 0, pen), lines({"......", ".oooo.", ".o..o.", ".o..o.", ".oooo.", "......"}));
}

TEST(RasterPolygons, FillLeavesOutRightAndBottomEdges)
{
    const QRgb brush = 0xff0000ff;
    QImage t = filled(6, 5, sentinel);
    raster::fillPolygon(t, QPolygon({QPoint(1, 1), QPoint(5, 1), QPoint(5, 4), QPoint(1, 4)}), brush);
    EXPECT_EQ(picture(t, brush, 0), lines({"......", ".####.", ".####.", ".####.", "......"}));
}

TEST(RasterPolygons, SmallTriangleFillOutlineAndBoth)
{
    const QRgb brush = 0xff0000ff;
    const QRgb pen = 0xffffffff;
    const QPolygon triangle({QPoint(0, 0), QPoint(4, 0), QPoint(0, 4)});

    QImage t = filled(6, 6, sentinel);
    raster::drawPolygon(t, triangle, std::nullopt, brush);
    EXPECT_EQ(picture(t, brush, pen), lines({"####..", "###...", "##....", "#.....", "......", "......"}));

    t = filled(6, 6, sentinel);
    raster::drawPolygon(t, triangle, pen, std::nullopt);
    EXPECT_EQ(picture(t, brush, pen), lines({"ooooo.", "o..o..", "o.o...", "oo....", "o.....", "......"}));

    // The pen covers the whole outline, closing edge and every vertex.
    t = filled(6, 6, sentinel);
    raster::drawPolygon(t, triangle, pen, brush);
    EXPECT_EQ(picture(t, brush, pen), lines({"ooooo.", "o##o..", "o#o...", "oo....", "o.....", "......"}));
}

TEST(RasterPolygons, SelfCrossingStarUsesTheAlternateRule)
{
    const QRgb brush = 0xff0000ff;
    const QRgb pen = 0xffffffff;
    const QPolygon star({QPoint(5, 0), QPoint(8, 9), QPoint(0, 3), QPoint(10, 3), QPoint(2, 9)});

    // The centre pentagon is crossed twice and stays empty.
    QImage t = filled(12, 11, sentinel);
    raster::fillPolygon(t, star, brush);
    EXPECT_EQ(picture(t, brush, pen), lines({
                                          "............",
                                          ".....#......",
                                          ".....#......",
                                          "####..####..",
                                          "..##...##...",
                                          "...#...#....",
                                          "...#..#.....",
                                          "...##.##....",
                                          "...#...#....",
                                          "............",
                                          "............",
                                      }));

    t = filled(12, 11, sentinel);
    raster::drawPolygon(t, star, pen, brush);
    EXPECT_EQ(picture(t, brush, pen), lines({
                                          ".....o......",
                                          ".....o......",
                                          "....o#o.....",
                                          "ooooooooooo.",
                                          ".oo#o.o#oo..",
                                          "...o...o....",
                                          "...oo.oo....",
                                          "...ooooo....",
                                          "..oo...oo...",
                                          "..o.....o...",
                                          "............",
                                      }));
}

TEST(RasterPolygons, ClippedAtTheImageEdges)
{
    const QRgb brush = 0xff0000ff;
    QImage t = filled(3, 3, sentinel);
    raster::fillPolygon(t, QPolygon({QPoint(-5, -5), QPoint(2, -5), QPoint(2, 100), QPoint(-5, 100)}), brush);
    EXPECT_EQ(picture(t, brush, 0), lines({"##.", "##.", "##."}));
}
