// The numbers of the alignment window, the alignment file and the ".six"
// splitter, without a window.
#include "alignment/align_geometry.h"
#include "alignment/alignment_file.h"
#include "alignment/six_file_reader.h"

#include "qt_printers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace align;

TEST(AlignGeometry, FitCentresAnUnequalSetAndKeepsASquareOneWhole)
{
    const PreviewFit wide = fitImageSet(532, 276);
    EXPECT_EQ(wide.imageMaxSide, 532);
    EXPECT_FLOAT_EQ(wide.previewScale, 2.66f);
    EXPECT_EQ(wide.previewWidth, 200);
    EXPECT_EQ(wide.previewHeight, 104);
    EXPECT_EQ(wide.previewLeft, 0);
    EXPECT_EQ(wide.previewTop, 48);
    EXPECT_EQ(squareSidePixels(wide), 38);

    const PreviewFit tall = fitImageSet(276, 532);
    EXPECT_EQ(tall.previewWidth, 104);
    EXPECT_EQ(tall.previewHeight, 200);
    EXPECT_EQ(tall.previewLeft, 48);
    EXPECT_EQ(tall.previewTop, 0);

    const PreviewFit square = fitImageSet(276, 276);
    EXPECT_FLOAT_EQ(square.previewScale, 1.38f);
    EXPECT_EQ(square.previewWidth, 200);
    EXPECT_EQ(square.previewHeight, 200);
    EXPECT_EQ(square.previewLeft, 0);
    EXPECT_EQ(square.previewTop, 0);
    EXPECT_EQ(squareSidePixels(square), 72);

    EXPECT_FALSE(fitImageSet(0, 0).valid());
}

TEST(AlignGeometry, SquareIsCentredOnAPressAndClampedInsideTheFittedImage)
{
    const PreviewFit fit = fitImageSet(276, 276);
    // 50 / 1.38 = 36.23: the corner lands 36 pixels up and left of the press.
    EXPECT_EQ(areaForPress({100, 80}, fit), QPoint(64, 44));

    // Near the right and bottom edge: 199 - 36.23 = 163, which would reach
    // past column 199, so the corner becomes round(199 - 72.46) = 127.
    QPoint corner = areaForPress({199, 199}, fit);
    int16_t left = int16_t(corner.x()), top = int16_t(corner.y());
    clampArea(left, top, fit);
    EXPECT_EQ(left, 127);
    EXPECT_EQ(top, 127);

    corner = areaForPress({3, 5}, fit);
    left = int16_t(corner.x());
    top = int16_t(corner.y());
    clampArea(left, top, fit);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(top, 0);

    // The wide set: the square stays within rows 48..151 of the view.
    const PreviewFit wide = fitImageSet(532, 276);
    left = 10;
    top = 20;
    clampArea(left, top, wide);
    EXPECT_EQ(top, 48);
    EXPECT_EQ(left, 10);
    corner = areaForPress({198, 150}, wide);
    left = int16_t(corner.x());
    top = int16_t(corner.y());
    clampArea(left, top, wide);
    EXPECT_EQ(left, 161); // round(199 - 37.59)
    EXPECT_EQ(top, 113);  // round(151 - 37.59)
    EXPECT_LE(top + squareSide(wide), wide.previewTop + wide.previewHeight - 1);
}

TEST(AlignGeometry, ArrowStepsAndZoomOrigin)
{
    EXPECT_EQ(arrowStep(0), 1);
    EXPECT_EQ(arrowStep(1), 2); // Shift
    EXPECT_EQ(arrowStep(2), 3); // Ctrl
    EXPECT_EQ(arrowStep(4), 5); // Alt

    const PreviewFit fit = fitImageSet(276, 276);
    EXPECT_EQ(zoomSourceOrigin(50, 50, fit), QPoint(69, 69));
    EXPECT_EQ(zoomSourceOrigin(127, 0, fit), QPoint(175, 0)); // 175.26
    const PreviewFit wide = fitImageSet(532, 276);
    // 25 view pixels are 66.5 source pixels in single precision: even wins.
    EXPECT_EQ(zoomSourceOrigin(25, 48 + 25, wide), QPoint(66, 66));
}

TEST(AlignGeometry, OriginsFromMarkersRoundHalfToEvenAboutTwelve)
{
    EXPECT_EQ(originFromMarkers(51, 51), 12);
    EXPECT_EQ(originFromMarkers(57, 51), 15);
    EXPECT_EQ(originFromMarkers(40, 44), 10);
    EXPECT_EQ(originFromMarkers(52, 51), 12); // 12.5
    EXPECT_EQ(originFromMarkers(54, 51), 14); // 13.5
    EXPECT_EQ(originFromMarkers(49, 51), 11);
    EXPECT_EQ(originFromMarkers(47, 50), 10); // 10.5
    EXPECT_EQ(originFromMarkers(20.6, 20), 12); // 12.3

    std::array<QString, 7> x{{"", "51", "52", "54", "57", "51", "51"}};
    std::array<QString, 7> y{{"", "44", "44", "44", "40", " 45 ", "43"}};
    MarkerOrigins origins = originsFromMarkerTexts(x, y);
    ASSERT_TRUE(origins.ok());
    EXPECT_EQ(origins.x, (std::array<int16_t, 7>{0, 12, 12, 14, 15, 12, 12}));
    EXPECT_EQ(origins.y, (std::array<int16_t, 7>{0, 12, 12, 12, 10, 12, 12}));

    y[3] = "4o";
    origins = originsFromMarkerTexts(x, y);
    EXPECT_FALSE(origins.ok());
    EXPECT_EQ(origins.badImage, 3);
    EXPECT_TRUE(origins.error.contains("image 3")) << origins.error.toStdString();
    y[3] = "44";
    x[1] = "";
    EXPECT_EQ(originsFromMarkerTexts(x, y).badImage, 1);
}

namespace {
AlignmentOrigins allOrigins(int16_t value)
{
    AlignmentOrigins origins;
    for (int i = 1; i <= 6; ++i)
        origins.x[i] = origins.y[i] = value;
    return origins;
}
} // namespace

TEST(AlignmentFile, WritesSixCrLfLinesAndReadsThemBack)
{
    EXPECT_EQ(formatAlignmentFile(allOrigins(12)), QByteArray("12,12\r\n12,12\r\n12,12\r\n12,12\r\n12,12\r\n12,12\r\n"));
    AlignmentOrigins mixed = allOrigins(12);
    mixed.x[3] = 14;
    mixed.y[3] = 11;
    mixed.x[5] = -3;
    mixed.y[6] = 120;
    const QByteArray bytes = formatAlignmentFile(mixed);
    EXPECT_EQ(bytes, QByteArray("12,12\r\n12,12\r\n14,11\r\n12,12\r\n-3,12\r\n12,120\r\n"));

    QTemporaryDir folder;
    const QString name = folder.filePath("set.sal");
    ASSERT_TRUE(writeAlignmentFile(name, mixed).ok());
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);
    const AlignmentRead read = readAlignmentFile(name);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.origins.x, mixed.x);
    EXPECT_EQ(read.origins.y, mixed.y);

    const QString blocked = folder.filePath("no/such/folder/set.sal");
    EXPECT_TRUE(writeAlignmentFile(blocked, mixed).error.startsWith("Could not write " + blocked));
}

TEST(AlignmentFile, ReadsTheFirstSixLinesInAnyLineEndWithSpaces)
{
    const QString file = "a.sal";
    AlignmentRead read = parseAlignmentFile("12,12\n12,12\n 14 , 11 \r\n12,12\n12,12\n+12,-2\n99,99\r\nnot a line\n", file);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.origins.x[3], 14);
    EXPECT_EQ(read.origins.y[3], 11);
    EXPECT_EQ(read.origins.y[6], -2);
    EXPECT_EQ(read.origins.x[6], 12);
    // No line break after the sixth line.
    EXPECT_TRUE(parseAlignmentFile("1,1\r\n2,2\r\n3,3\r\n4,4\r\n5,5\r\n6,6", file).ok());
}

TEST(AlignmentFile, RefusesShortAndMalformedFilesWhole)
{
    const QString file = "/tmp/x.sal";
    AlignmentRead read = parseAlignmentFile("12,12\r\n12,12\r\n12,12\r\n12,12\r\n12,12\r\n", file);
    EXPECT_FALSE(read.ok());
    EXPECT_EQ(read.error, "The alignment file /tmp/x.sal holds 5 of the six lines \"x,y\" it needs.  "
                          "The alignment is unchanged.");
    EXPECT_FALSE(parseAlignmentFile("", file).ok());

    for (const QByteArray &bad : {QByteArray("12.5,12"), QByteArray("12"), QByteArray("12,12,12"), QByteArray("a,12"),
                                 QByteArray("40000,1"), QByteArray(",12"), QByteArray("")}) {
        read = parseAlignmentFile("12,12\r\n12,12\r\n12,12\r\n" + bad + "\r\n12,12\r\n12,12\r\n", file);
        EXPECT_FALSE(read.ok()) << bad.constData();
        EXPECT_TRUE(read.error.startsWith("Line 4 of the alignment file /tmp/x.sal reads \"" + QString(bad) + "\""))
            << read.error.toStdString();
    }
    EXPECT_TRUE(parseAlignmentFile("-32768,32767\n1,1\n1,1\n1,1\n1,1\n1,1\n", file).ok());

    read = readAlignmentFile("/nonexistent/folder/x.sal");
    EXPECT_FALSE(read.ok());
    EXPECT_TRUE(read.error.startsWith("The alignment file /nonexistent/folder/x.sal cannot be opened.  "))
        << read.error.toStdString();
}

namespace {
// Six distinct grey images 256 x 256: image k at (x, y) is (37k + 3x + 7y) mod 256.
int sample(int k, int x, int y)
{
    return (37 * k + 3 * x + 7 * y) & 0xff;
}

QImage distinctSix()
{
    QImage file(512, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            file.setPixel(x, y, qRgb(sample(6, x, y), sample(4, x, y), sample(2, x, y)));
            file.setPixel(256 + x, y, qRgb(sample(5, x, y), sample(1, x, y), sample(3, x, y)));
        }
    return file;
}
} // namespace

TEST(SixFileReader, SplitsByTheTableIntoGreyImagesWithABlackMargin)
{
    QTemporaryDir folder;
    const QString name = folder.filePath("six.six");
    ASSERT_TRUE(distinctSix().save(name, "BMP"));
    const SixSplit split = readSixFile(name);
    ASSERT_TRUE(split.ok()) << split.error.toStdString();
    EXPECT_EQ(split.cell, QSize(256, 256));
    for (int k = 1; k <= 6; ++k) {
        const QImage &image = split.images[k - 1];
        ASSERT_EQ(image.size(), QSize(256, 256));
        const QImage working = workingImageFromCell(image);
        ASSERT_EQ(working.size(), QSize(276, 276));
        for (int y = 0; y < 276; ++y)
            for (int x = 0; x < 276; ++x) {
                const bool inside = x >= 10 && x < 266 && y >= 10 && y < 266;
                const int v = inside ? sample(k, x - 10, y - 10) : 0;
                if (working.pixel(x, y) != qRgb(v, v, v)) {
                    ADD_FAILURE() << "image " << k << " at " << x << "," << y;
                    return;
                }
            }
    }
}

TEST(SixFileReader, RefusesOddNarrowAndUnreadableFiles)
{
    QImage odd(513, 256, QImage::Format_RGB32);
    odd.fill(Qt::gray);
    SixSplit split = splitSixImage(odd, "odd.six");
    EXPECT_EQ(split.error, "The file odd.six is 513 x 256 pixels.  A .SIX file holds two halves side by side, "
                           "so its width must be even.");
    EXPECT_TRUE(split.images[0].isNull());

    QImage small(158, 200, QImage::Format_RGB32);
    small.fill(Qt::gray);
    EXPECT_EQ(splitSixImage(small, "s.six").error,
              "The file s.six is 158 x 200 pixels.  A .SIX file must be at least 160 x 80 pixels.");
    EXPECT_FALSE(splitSixImage(QImage(), "none.six").ok());
    QImage least(160, 80, QImage::Format_RGB32);
    least.fill(Qt::gray);
    EXPECT_TRUE(splitSixImage(least, "least.six").ok());

    QTemporaryDir folder;
    const QString text = folder.filePath("text.six");
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a bitmap");
    file.close();
    split = readSixFile(text);
    EXPECT_FALSE(split.ok());
    EXPECT_TRUE(split.error.startsWith("Cannot read the picture file " + text)) << split.error.toStdString();
}
