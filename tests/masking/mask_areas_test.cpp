#include "mask_test_support.h"
#include "masking/mask_areas.h"
#include "masking/mask_render.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace mask_test;

namespace {

const QStringList triangleInside = {
    ".........",
    ".######..",
    ".#####...",
    ".####....",
    ".###.....",
    ".##......",
    ".#.......",
    ".........",
    ".........",
};

TEST(MaskAreas, EnteringKeepsTheNewest128PointsOfAnArea)
{
    MaskAreas areas;
    areas.maskCurrentArea = areas.startArea();
    ASSERT_EQ(areas.maskCurrentArea, 1);
    for (int i = 0; i < 128; ++i)
        EXPECT_FALSE(areas.enterPoint(QPoint(i, 1000 + i)));
    EXPECT_EQ(areas.maskPointsEntered, 128);
    EXPECT_TRUE(areas.enterPoint(QPoint(128, 1128))); // the 129th
    EXPECT_EQ(areas.maskPointsEntered, 128);
    EXPECT_EQ(areas.point(1, 0), QPoint(1, 1001));
    EXPECT_EQ(areas.point(1, 126), QPoint(127, 1127));
    EXPECT_EQ(areas.point(1, 127), QPoint(128, 1128));
    // The spare slot past the limit is never used, and no other area is touched.
    EXPECT_EQ(areas.maskPoints[1][128], QPoint());
    EXPECT_EQ(areas.maskPoints[2][0], QPoint());

    areas.maskNewArea = true;
    areas.commitEnteredArea();
    EXPECT_EQ(areas.pointCount(1), 128);
    areas.finishEntering();
    EXPECT_EQ(areas.maskPointsEntered, 0);
    EXPECT_FALSE(areas.maskNewArea);
}

TEST(MaskAreas, TablesHold32AreasAndOutOfRangeIndicesAreHarmless)
{
    MaskAreas areas;
    for (int i = 1; i <= 32; ++i)
        EXPECT_EQ(areas.startArea(), i);
    EXPECT_FALSE(areas.canStartArea());
    EXPECT_EQ(areas.startArea(), 0);
    EXPECT_EQ(areas.maskAreaCount, 32);

    const MaskAreas before = areas;
    areas.setPoint(33, 0, QPoint(1, 1));
    areas.setPoint(1, 128, QPoint(1, 1));
    areas.setPoint(-1, 0, QPoint(1, 1));
    EXPECT_EQ(areas, before);
    EXPECT_EQ(areas.pointCount(40), 0);
    EXPECT_EQ(areas.point(1, 500), QPoint());
    areas.maskCurrentArea = 33;
    EXPECT_FALSE(areas.enterPoint(QPoint(5, 5)));
    EXPECT_EQ(areas.maskPointsEntered, 0);
}

TEST(MaskAreas, DeletingMovesLaterAreasDownWithTheirFlags)
{
    MaskAreas areas;
    setArea(areas, 1, true, {{1, 1}, {2, 2}});
    setArea(areas, 2, false, {{3, 3}, {4, 4}, {5, 5}});
    setArea(areas, 3, false, {{6, 6}, {7, 7}, {8, 8}, {9, 9}});
    areas.maskInside[3] = false;
    areas.maskInside[2] = true;

    MaskAreas deleted = areas;
    EXPECT_TRUE(deleted.deleteArea(2));
    EXPECT_EQ(deleted.maskAreaCount, 2);
    EXPECT_EQ(deleted.pointCount(1), 2);
    EXPECT_TRUE(deleted.inside(1));
    EXPECT_EQ(deleted.pointCount(2), 4);
    EXPECT_FALSE(deleted.inside(2));
    EXPECT_EQ(deleted.point(2, 3), QPoint(9, 9));
    EXPECT_EQ(deleted.pointCount(3), 0);

    MaskAreas last = areas;
    last.deleteArea(3);
    EXPECT_EQ(last.maskAreaCount, 2);
    EXPECT_EQ(last.pointCount(3), 0);
    EXPECT_EQ(last.pointCount(2), 3);

    // A number that names no area deletes nothing, past the last area too.
    for (const int number : {0, 4, 7, 32, 33, -1}) {
        MaskAreas beyond = areas;
        EXPECT_FALSE(beyond.deleteArea(number)) << number;
        EXPECT_EQ(beyond, areas) << number;
    }
    MaskAreas none;
    EXPECT_FALSE(none.deleteArea(1));
    EXPECT_EQ(none.maskAreaCount, 0);

    // Deleting the area still being entered ends its entry, so "Draw" does
    // not hand its points to the area below.
    MaskAreas entering = areas;
    entering.maskCurrentArea = entering.startArea();
    ASSERT_EQ(entering.maskCurrentArea, 4);
    entering.maskNewArea = true;
    for (int i = 0; i < 5; ++i)
        entering.enterPoint(QPoint(20 + i, 20));
    entering.deleteArea(4);
    entering.commitEnteredArea();
    EXPECT_EQ(entering.maskAreaCount, 3);
    EXPECT_FALSE(entering.maskNewArea);
    EXPECT_EQ(entering.pointCount(3), 4);
    EXPECT_EQ(entering.point(3, 3), QPoint(9, 9));
    EXPECT_FALSE(entering.inside(3));

    areas.maskPointsEntered = 3;
    areas.maskNewArea = true;
    areas.clearAll();
    EXPECT_EQ(areas.maskAreaCount, 0);
    EXPECT_EQ(areas.maskPointsEntered, 0);
    EXPECT_FALSE(areas.maskNewArea);
    for (int a = 0; a <= MaskAreas::maxAreas; ++a)
        EXPECT_EQ(areas.pointCount(a), 0);
}

TEST(MaskRender, TriangleInsideIsBlackAndOutsideInvertsIt)
{
    MaskAreas areas;
    setArea(areas, 1, true, {{1, 1}, {6, 1}, {1, 6}});
    EXPECT_EQ(art(mask_render::areaMask(areas, 1, QSize(9, 9))), triangleInside);
    EXPECT_EQ(art(mask_render::combinedMask(areas, QSize(9, 9))), triangleInside);

    areas.maskInside[1] = false;
    QStringList outside = triangleInside;
    for (QString &row : outside)
        for (QChar &c : row)
            c = c == QLatin1Char('#') ? QLatin1Char('.') : QLatin1Char('#');
    EXPECT_EQ(art(mask_render::combinedMask(areas, QSize(9, 9))), outside);
}

TEST(MaskRender, SlantedTriangleLeavesOutRightAndBottomFillButPensTheOutline)
{
    // The fill alone would stop short of the slanted right edge and the
    // bottom vertex; the pen puts both back.
    MaskAreas areas;
    setArea(areas, 1, true, {{1, 0}, {7, 3}, {2, 7}});
    EXPECT_EQ(art(mask_render::combinedMask(areas, QSize(9, 8))), (QStringList{
                                                                       ".##......",
                                                                       ".####....",
                                                                       ".######..",
                                                                       ".#######.",
                                                                       "..#####..",
                                                                       "..####...",
                                                                       "..##.....",
                                                                       "..#......",
                                                                   }));
}

TEST(MaskRender, SelfCrossingStarLeavesItsCentreOpenUnderTheAlternateRule)
{
    MaskAreas areas;
    setArea(areas, 1, true, {{10, 0}, {16, 18}, {1, 7}, {19, 7}, {4, 18}});
    const QStringList star = art(mask_render::combinedMask(areas, QSize(21, 20)));
    EXPECT_EQ(star, (QStringList{
                        "..........#..........",
                        "..........#..........",
                        ".........###.........",
                        ".........###.........",
                        ".........###.........",
                        "........#####........",
                        "........#####........",
                        ".###################.",
                        "..######.....######..",
                        "....####.....####....",
                        ".....###.....###.....",
                        "......##.....##......",
                        "......###...###......",
                        "......####.####......", // the inner pentagon ends in pixel (10, 13)
                        ".....###########.....",
                        ".....####...####.....",
                        ".....###.....###.....",
                        "....###.......###....",
                        "....#...........#....", // the bottom tips: only their vertices
                        ".....................",
                    }));
}

TEST(MaskRender, OverlappingAreasMaskTheUnionAndShortAreasMaskNothing)
{
    MaskAreas areas;
    setArea(areas, 1, true, {{0, 0}, {4, 0}, {4, 3}, {0, 3}});
    setArea(areas, 2, true, {{2, 2}, {6, 2}, {6, 5}, {2, 5}});
    setArea(areas, 3, true, {{7, 7}});  // one point: nothing
    setArea(areas, 4, false, {});       // no point: nothing, although "outside"
    const QStringList expected = {
        "#####...",
        "#####...",
        "#######.",
        "#######.",
        "..#####.",
        "..#####.",
        "........",
        "........",
    };
    EXPECT_EQ(art(mask_render::combinedMask(areas, QSize(8, 8))), expected);
    EXPECT_EQ(art(mask_render::areaMask(areas, 3, QSize(8, 8))), QStringList(8, QString(8, QLatin1Char('.'))));

    // A two-point area is the line between them, drawn both ways.
    MaskAreas line;
    setArea(line, 1, true, {{0, 0}, {3, 1}});
    EXPECT_EQ(art(mask_render::combinedMask(line, QSize(5, 3))), (QStringList{"##...", "..##.", "....."}));
}

TEST(MaskRender, MaskedPictureIsTheImageAndedWithTheMaskOnABlackBorder)
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(0xff406080);
    image.setPixel(2, 1, 0xffffffff);
    QImage mask = mask_render::whiteMask(QSize(3, 2));
    mask.setPixel(0, 0, 0xff000000);
    const QImage picture = mask_render::maskedPicture(image, mask, QSize(5, 4));
    ASSERT_EQ(picture.size(), QSize(5, 4));
    EXPECT_EQ(picture.pixel(0, 0), 0xff000000u);
    EXPECT_EQ(picture.pixel(1, 0), 0xff406080u);
    EXPECT_EQ(picture.pixel(2, 1), 0xffffffffu);
    EXPECT_EQ(picture.pixel(3, 0), 0xff000000u);
    EXPECT_EQ(picture.pixel(0, 3), 0xff000000u);
}

} // namespace
