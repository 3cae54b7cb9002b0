#include "mask_test_support.h"
#include "masking/mask_point_file.h"
#include "qt_printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace mask_test;

namespace {

const QByteArray twoAreas = "\"NB\",2\r\n"
                            "3,#TRUE#\r\n"
                            "10,10\r\n"
                            "60,12\r\n"
                            "30,50\r\n"
                            "4,#FALSE#\r\n"
                            "100,100\r\n"
                            "200,100\r\n"
                            "200,180\r\n"
                            "100,180\r\n";

MaskAreas twoAreaTable()
{
    MaskAreas areas;
    setArea(areas, 1, true, {{10, 10}, {60, 12}, {30, 50}});
    setArea(areas, 2, false, {{100, 100}, {200, 100}, {200, 180}, {100, 180}});
    return areas;
}

TEST(MaskPointFile, WritesMarkerAreaLinesAndPointsWithCrLf)
{
    const QByteArray bytes = mask_point_file::encode(twoAreaTable());
    EXPECT_EQ(bytes, twoAreas);
    EXPECT_EQ(bytes.count("\r\n"), 1 + 2 + 3 + 4);

    MaskAreas none;
    EXPECT_EQ(mask_point_file::encode(none), QByteArray("\"NB\",0\r\n"));

    MaskAreas odd;
    setArea(odd, 1, false, {{-3, 70000}});
    setArea(odd, 2, true, {});
    EXPECT_EQ(mask_point_file::encode(odd), QByteArray("\"NB\",2\r\n1,#FALSE#\r\n-3,70000\r\n0,#TRUE#\r\n"));
}

TEST(MaskPointFile, ReadsTheMarkedFormAndWritesItBackByteForByte)
{
    const auto read = mask_point_file::decode(twoAreas, "two.bgp");
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.areas, twoAreaTable());
    EXPECT_EQ(mask_point_file::encode(read.areas), twoAreas);

    // Plain line feeds, spaces around values and blank lines at the end are
    // the kind of thing a text editor leaves behind.
    const auto relaxed = mask_point_file::decode("\"NB\", 1\n 2 , #true#\n1, 2\n3 ,4\n\r\n\n", "relaxed.bgp");
    ASSERT_TRUE(relaxed.ok()) << relaxed.error.toStdString();
    EXPECT_EQ(relaxed.areas.maskAreaCount, 1);
    EXPECT_TRUE(relaxed.areas.inside(1));
    EXPECT_EQ(relaxed.areas.point(1, 1), QPoint(3, 4));
}

TEST(MaskPointFile, MarkerWithoutQuotesReadsTheSameAndIsWrittenBackWithThem)
{
    QByteArray bare = twoAreas;
    bare.replace("\"NB\"", " NB");
    const auto read = mask_point_file::decode(bare, "bare.bgp");
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.areas, twoAreaTable());
    EXPECT_EQ(mask_point_file::encode(read.areas), twoAreas);
}

// Only a sign and digits make a number; a conversion that stops at the
// first stray character would take "10<NUL>GARBAGE!" for 10.
TEST(MaskPointFile, NumbersAreASignAndDigitsOnly)
{
    const QByteArray junk[] = {QByteArray("10\0GARBAGE!", 11), "1x", "+-1", "0x10", "1e3", "1.0", "--1", "1 2", ""};
    for (const QByteArray &word : junk) {
        const auto read = mask_point_file::decode("\"NB\",1\r\n1,#TRUE#\r\n" + word + ",5\r\n", "/data/bad.bgp");
        EXPECT_EQ(read.error, "The point file \"/data/bad.bgp\" cannot be used: line 3 should hold a point \"x,y\".  "
                              "No areas were read.")
            << word.toHex().toStdString();
    }
    const auto signs = mask_point_file::decode("\"NB\",+1\r\n1,#TRUE#\r\n-7,+5\r\n", "signs.bgp");
    ASSERT_TRUE(signs.ok()) << signs.error.toStdString();
    EXPECT_EQ(signs.areas.point(1, 0), QPoint(-7, 5));
}

// At most 64 KB are read: an endless device ends as an empty file, and a
// line the cap cuts through is not read as a shorter number.
TEST(MaskPointFile, ReadStopsAt64KilobytesAndDropsTheLineItCuts)
{
    EXPECT_EQ(mask_point_file::read("/dev/zero").error,
              "The point file \"/dev/zero\" cannot be used: it is empty.  No areas were read.");

    QTemporaryDir folder;
    const QString path = folder.filePath("padded.bgp");
    // Spaces after the area count put the cap after "1,1" of "1,1234".
    QByteArray contents = "\"NB\",1" + QByteArray(64713, ' ') + "\r\n128,#TRUE#\r\n";
    for (int p = 0; p < 128; ++p)
        contents += "1,1234\r\n";
    ASSERT_EQ(contents.mid(64 * 1024 - 3, 4), "1,12");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
    file.close();
    EXPECT_EQ(mask_point_file::read(path).error,
              QStringLiteral("The point file \"%1\" cannot be used: it ends before its last point.  No areas were read.")
                  .arg(path));
}

TEST(MaskPointFile, BareNumberFileIsOneAreaWithTheBackgroundInside)
{
    const auto read = mask_point_file::decode("3\r\n5,6\r\n20,6\r\n5,30\r\n", "old.bgp");
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    MaskAreas expected;
    setArea(expected, 1, true, {{5, 6}, {20, 6}, {5, 30}});
    EXPECT_EQ(read.areas, expected);
    EXPECT_EQ(mask_point_file::encode(read.areas), QByteArray("\"NB\",1\r\n3,#TRUE#\r\n5,6\r\n20,6\r\n5,30\r\n"));
}

TEST(MaskPointFile, BadFilesAreRejectedWholeWithTheReason)
{
    struct Case {
        const char *contents;
        const char *reason;
    };
    const Case cases[] = {
        {"", "it is empty."},
        {"\r\n\r\n", "it is empty."},
        {"\"NB\",33\r\n", "it holds 33 areas, and the editor keeps at most 32."},
        {"\"NB\",-1\r\n", "line 1 should hold \"NB\" and the number of areas."},
        {"\"NB\",x\r\n", "line 1 should hold \"NB\" and the number of areas."},
        {"\"NB\",1\r\n129,#TRUE#\r\n", "line 2 gives an area 129 points, and an area holds at most 128."},
        {"\"NB\",1\r\n2,#MAYBE#\r\n1,1\r\n2,2\r\n", "line 2 should hold the point count of area 1 and #TRUE# or #FALSE#."},
        {"\"NB\",1\r\n2,#TRUE#\r\n1,1\r\n2\r\n", "line 4 should hold a point \"x,y\"."},
        {"\"NB\",1\r\n2,#TRUE#\r\n1,1\r\n2,b\r\n", "line 4 should hold a point \"x,y\"."},
        {"\"NB\",1\r\n2,#TRUE#\r\n1,1\r\n2,3,4\r\n", "line 4 should hold a point \"x,y\"."},
        {"\"NB\",1\r\n3,#TRUE#\r\n1,1\r\n2,2\r\n", "it ends before its last point."},
        {"\"NB\",2\r\n1,#TRUE#\r\n1,1\r\n", "it ends before its last point."},
        {"\"NB\",1\r\n2,#TRUE#\r\n1,1\r\n2000000000,5\r\n", "line 4 should hold a point \"x,y\"."},
        {"\"NB\",1\r\n1,#TRUE#\r\n2147483648,0\r\n", "line 3 should hold a point \"x,y\"."},
        {"200\r\n", "line 1 gives an area 200 points, and an area holds at most 128."},
        {"two\r\n", "line 1 should hold \"NB\" and the number of areas, or a point count."},
        {"\"XY\",1\r\n", "line 1 should hold \"NB\" and the number of areas, or a point count."},
        {"2\r\n1,1\r\n", "it ends before its last point."},
    };
    for (const Case &c : cases) {
        const auto read = mask_point_file::decode(c.contents, "/data/bad.bgp");
        EXPECT_EQ(read.error, QStringLiteral("The point file \"/data/bad.bgp\" cannot be used: %1  No areas were read.")
                                  .arg(QString::fromUtf8(c.reason)))
            << c.contents;
    }

    QTemporaryDir dir;
    const QString missing = dir.filePath("missing.bgp");
    const auto read = mask_point_file::read(missing);
    EXPECT_TRUE(read.error.startsWith(QStringLiteral("The point file \"%1\" cannot be opened: ").arg(missing)))
        << read.error.toStdString();
}

TEST(MaskPointFile, WhatFollowsTheLastAreaIsNotRead)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("trailing.bgp");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\"NB\",1\r\n2,#FALSE#\r\n1,1\r\n2,2\r\n9,9\r\nnotes\r\n");
    file.close();
    const auto result = mask_point_file::read(path);
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    EXPECT_EQ(result.areas.maskAreaCount, 1);
    EXPECT_EQ(result.areas.pointCount(1), 2);
    EXPECT_FALSE(result.areas.inside(1));
    EXPECT_EQ(result.areas.point(1, 1), QPoint(2, 2));
}

TEST(MaskPointFile, LargestTablesFitExactly)
{
    QByteArray contents = "\"NB\",32\r\n";
    for (int a = 1; a <= 32; ++a) {
        contents += "128,#FALSE#\r\n";
        for (int p = 0; p < 128; ++p)
            contents += QByteArray::number(a) + "," + QByteArray::number(p) + "\r\n";
    }
    const auto read = mask_point_file::decode(contents, "full.bgp");
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.areas.pointCount(32), 128);
    EXPECT_EQ(read.areas.point(32, 127), QPoint(32, 127));
    EXPECT_EQ(mask_point_file::encode(read.areas), contents);
}

TEST(MaskPointFile, PointFileNameCutsTheLastFourCharacters)
{
    EXPECT_EQ(mask_point_file::pointFileNameFor("/w/mask1.bng"), "/w/mask1.bgp");
    EXPECT_EQ(mask_point_file::pointFileNameFor("/w/mask"), "/w/.bgp");
    EXPECT_EQ(mask_point_file::pointFileNameFor("/w/m.b"), "/w.bgp");
    EXPECT_EQ(mask_point_file::pointFileNameFor("ab"), ".bgp");
}

} // namespace
