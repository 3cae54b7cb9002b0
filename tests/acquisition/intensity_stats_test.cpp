#include "acquisition/intensity_stats.h"

#include <QImage>
#include <gtest/gtest.h>
#include <random>

using intensity::Path;

namespace {
QImage noise(int width, int height, unsigned seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(int(random() % 256), int(random() % 256), int(random() % 256)));
    return image;
}
} // namespace

TEST(IntensityStats, VectorPathGivesTheScalarReadingAndMarks)
{
    const QSize sizes[] = {{532, 532}, {276, 276}, {37, 9}, {19, 23}, {4, 4}, {3, 3}, {2, 40}};
    const int thresholds[] = {-1, 0, 1, 128, 240, 254, 255, 300};
    unsigned seed = 1;
    for (const QSize size : sizes)
        for (const int threshold : thresholds)
            // Marks pictures larger and smaller than the bitmap: only shared places are painted.
            for (const QSize marksSize : {QSize(537, 537), QSize(11, 13)}) {
                const QImage bitmap = noise(size.width(), size.height(), seed++);
                const QImage background = noise(marksSize.width(), marksSize.height(), seed++);
                QImage scalarMarks = background;
                QImage vectorMarks = background;
                const auto scalar = intensity::measure(bitmap, size.width(), size.height(), threshold, &scalarMarks, Path::Scalar);
                const auto vector = intensity::measure(bitmap, size.width(), size.height(), threshold, &vectorMarks, Path::Vector);
                const auto where = ::testing::Message() << size.width() << "x" << size.height() << " threshold " << threshold;
                EXPECT_EQ(vector.max, scalar.max) << where;
                EXPECT_EQ(vector.min, scalar.min) << where;
                EXPECT_EQ(vector.sum, scalar.sum) << where;
                EXPECT_TRUE(vectorMarks == scalarMarks) << where;
            }
}

TEST(IntensityStats, VisitsRowsAndColumnsTwoToNMinusTwoAndDividesByTheWholePicture)
{
    for (const Path path : {Path::Scalar, Path::Vector}) {
        // 40 wide so the vector path covers the visited columns with a tail.
        QImage bitmap(40, 10, QImage::Format_RGB32);
        bitmap.fill(qRgb(255, 50, 255)); // red and blue never count
        for (int y = 0; y < 10; ++y) {
            for (const int x : {0, 1, 39}) // unvisited columns
                bitmap.setPixel(x, y, qRgb(0, y % 2 ? 255 : 0, 0));
        }
        for (int x = 0; x < 40; ++x)
            for (const int y : {0, 1, 9}) // unvisited rows
                bitmap.setPixel(x, y, qRgb(0, x % 2 ? 255 : 0, 0));
        bitmap.setPixel(2, 2, qRgb(0, 7, 0));    // first visited
        bitmap.setPixel(38, 8, qRgb(0, 201, 0)); // last visited
        QImage marks(40, 10, QImage::Format_RGB32);
        marks.fill(Qt::white);

        const auto reading = intensity::measure(bitmap, 40, 10, 200, &marks, path);
        EXPECT_EQ(reading.max, 201);
        EXPECT_EQ(reading.min, 7);
        EXPECT_EQ(reading.sum, 37 * 7 * 50 - 50 - 50 + 7 + 201);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 40; ++x)
                EXPECT_EQ(marks.pixel(x, y), x == 38 && y == 8 ? 0xffff0000u : 0xffffffffu) << x << "," << y;
        // 13058 / 40 / 10 = 32.6
        EXPECT_EQ(intensity::mean(reading, 40, 10), 33);
    }
}

TEST(IntensityStats, MeanRoundsHalvesToEven)
{
    EXPECT_EQ(intensity::mean({0, 0, 5}, 2, 1), 2);   // 2.5
    EXPECT_EQ(intensity::mean({0, 0, 7}, 2, 1), 4);   // 3.5
    EXPECT_EQ(intensity::mean({0, 0, 9}, 4, 1), 2);   // 2.25
    EXPECT_EQ(intensity::mean({0, 0, 11}, 4, 1), 3);  // 2.75
    EXPECT_EQ(intensity::mean({0, 0, 100}, 0, 0), 0); // no picture
}
