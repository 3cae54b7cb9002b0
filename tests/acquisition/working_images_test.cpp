#include "acquisition/working_images.h"
#include "platform/bmp_file.h"
#include "scripted_operator.h"
#include "six_images.h"

#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace six_test;

namespace {

void put(QByteArray &bytes, std::initializer_list<int> values, int size)
{
    for (int value : values)
        for (int i = 0; i < size; ++i)
            bytes.append(char((value >> (8 * i)) & 0xff));
}

// A BMP file laid out by hand: BITMAPFILEHEADER, BITMAPINFOHEADER, the
// palette (4 bytes an entry) and the rows exactly as given, padding included.
QByteArray bmpFile(int width, int height, int bitsPerPixel, const QByteArray &palette, const QByteArray &rows)
{
    const int offset = 14 + 40 + int(palette.size());
    QByteArray bytes("BM");
    put(bytes, {offset + int(rows.size())}, 4);
    put(bytes, {0, 0}, 2);
    put(bytes, {offset, 40, width, height}, 4);
    put(bytes, {1, bitsPerPixel}, 2);
    put(bytes, {0, int(rows.size()), 0, 0, int(palette.size()) / 4, 0}, 4);
    return bytes + palette + rows;
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

QImage pictureOf(std::initializer_list<std::initializer_list<QRgb>> rows)
{
    QImage image(int(rows.begin()->size()), int(rows.size()), QImage::Format_RGB32);
    int y = 0;
    for (const auto &row : rows) {
        int x = 0;
        for (QRgb p : row)
            image.setPixel(x++, y, p);
        ++y;
    }
    return image;
}

QString writeBmp(const QTemporaryDir &dir, const QString &name, const QImage &image)
{
    const QString path = dir.filePath(name);
    EXPECT_TRUE(saveBmp24(image, path));
    return path;
}

std::string pixels(const QImage &image)
{
    std::string text;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            text += QString::number(image.pixel(x, y), 16).toStdString() + ' ';
        text += "/ ";
    }
    return text;
}

} // namespace

TEST(PictureReading, EveryBmpDepthAndOrientation)
{
    QTemporaryDir dir;
    // Palette entries are blue, green, red, unused.
    const QByteArray palette = QByteArray::fromHex("00000000" "0a141e00" "c8c8c800" "80ff0000");
    const QImage expected3x2 = pictureOf({{qRgb(30, 20, 10), qRgb(200, 200, 200), qRgb(0, 0, 0)},
                                          {qRgb(0, 255, 128), qRgb(30, 20, 10), qRgb(200, 200, 200)}});
    const struct {
        const char *name;
        QByteArray bytes;
    } files[] = {
        // 8-bit paletted, bottom row first, each row padded to four bytes.
        {"p8.bmp", bmpFile(3, 2, 8, palette, QByteArray::fromHex("030102" "00" "010200" "00"))},
        // The same stored top row first (negative height).
        {"p8top.bmp", bmpFile(3, -2, 8, palette, QByteArray::fromHex("010200" "00" "030102" "00"))},
        // 4-bit paletted: two pixels a byte, high nibble first.
        {"p4.bmp", bmpFile(3, 2, 4, palette, QByteArray::fromHex("3120" "0000" "1200" "0000"))},
        // 24-bit: blue, green, red.
        {"rgb24.bmp", bmpFile(3, 2, 24, {}, QByteArray::fromHex("80ff00" "0a141e" "c8c8c8" "000000"
                                                                "0a141e" "c8c8c8" "000000" "000000"))},
        {"rgb24top.bmp", bmpFile(3, -2, 24, {}, QByteArray::fromHex("0a141e" "c8c8c8" "000000" "000000"
                                                                   "80ff00" "0a141e" "c8c8c8" "000000"))},
        // 32-bit with the fourth byte zero, as most writers leave it.
        {"rgb32.bmp", bmpFile(3, 2, 32, {}, QByteArray::fromHex("80ff0000" "0a141e00" "c8c8c800"
                                                                "0a141e00" "c8c8c800" "00000000"))},
    };
    for (const auto &file : files) {
        const PictureRead read = readPicture(writeFile(dir, file.name, file.bytes));
        ASSERT_TRUE(read.ok()) << file.name << ": " << read.error.toStdString();
        EXPECT_EQ(read.image.format(), QImage::Format_RGB32) << file.name;
        EXPECT_EQ(pixels(read.image), pixels(expected3x2)) << file.name;
    }
}

TEST(PictureReading, PngAndTiff)
{
    QTemporaryDir dir;
    QImage grey(5, 4, QImage::Format_Grayscale8);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            grey.scanLine(y)[x] = uchar(x * 40 + y);
    const QImage colour = greyImage(3, 6, 5).convertToFormat(QImage::Format_RGB888);
    ASSERT_TRUE(QImageWriter(dir.filePath("grey.png"), "png").write(grey));
    ASSERT_TRUE(QImageWriter(dir.filePath("colour.tif"), "tiff").write(colour)) << "TIFF support is missing";

    PictureRead read = readPicture(dir.filePath("grey.png"));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.image.pixel(4, 3), qRgb(163, 163, 163));
    EXPECT_EQ(read.image, grey.convertToFormat(QImage::Format_RGB32));
    read = readPicture(dir.filePath("colour.tif"));
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.image, greyImage(3, 6, 5));
}

TEST(PictureReading, UnreadableFilesAreNamed)
{
    QTemporaryDir dir;
    const QString junk = writeFile(dir, "junk.bmp", "BM not really a bitmap");
    PictureRead read = readPicture(junk);
    EXPECT_FALSE(read.ok());
    EXPECT_TRUE(read.error.startsWith("Cannot read the picture file " + junk + ".  ")) << read.error.toStdString();
    EXPECT_TRUE(read.error.endsWith(".") && !read.error.endsWith("..")) << read.error.toStdString();

    read = readPicture(dir.filePath("absent.bmp"));
    EXPECT_FALSE(read.ok());
    EXPECT_TRUE(read.error.startsWith("Cannot read the picture file " + dir.filePath("absent.bmp") + ".  "));
}

TEST(WorkingImage, ReflectionPutsTheFilesTopLeftCropInsideTheMargin)
{
    const QImage picture = greyImage(9, 25, 23);
    const QImage working = makeWorkingImage(picture, SixLayout::Reflection, QSize(25, 23));
    ASSERT_EQ(working.size(), QSize(25, 23));
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 25; ++x) {
            const bool inside = x >= 10 && x < 15 && y >= 10 && y < 13;
            EXPECT_EQ(working.pixel(x, y), inside ? picture.pixel(x - 10, y - 10) : 0xff000000u) << x << "," << y;
        }

    EXPECT_EQ(makeWorkingImage(picture, SixLayout::Transmission, QSize(25, 23)), picture);
}

TEST(WorkingImages, ImageOneFixesTheGeometry)
{
    QTemporaryDir dir;
    WorkingImages set(SixLayout::Reflection);
    EXPECT_EQ(set.take(1, writeBmp(dir, "a1.bmp", greyImage(1, 532, 300))), "");
    EXPECT_EQ(set.imageWidth(), 532);
    EXPECT_EQ(set.imageHeight(), 300);
    EXPECT_EQ(set.cropWidth(), 512);
    EXPECT_EQ(set.cropHeight(), 280);
    EXPECT_EQ(set.imageMaxSide(), 532);
    EXPECT_FALSE(set.complete());
    for (int i = 2; i <= 6; ++i)
        EXPECT_EQ(set.take(i, writeBmp(dir, QString("a%1.bmp").arg(i), greyImage(i, 532, 300))), "");
    EXPECT_TRUE(set.complete());
    const CompositeRequest request = set.request();
    EXPECT_EQ(request.cropWidth, 512);
    EXPECT_EQ(request.images[3], set.image(4));
}

TEST(WorkingImages, PicturesThatCannotBeUsedAreRefusedByName)
{
    QTemporaryDir dir;
    WorkingImages set(SixLayout::Transmission);
    const QString tiny = writeBmp(dir, "tiny.bmp", greyImage(1, 20, 40));
    EXPECT_EQ(set.take(1, tiny), "The picture file " + tiny + " is 20 x 40 pixels.  An image must be at least 21 x 21 pixels.");
    const QString flat = writeBmp(dir, "flat.bmp", greyImage(1, 40, 20));
    EXPECT_EQ(set.take(1, flat), "The picture file " + flat + " is 40 x 20 pixels.  An image must be at least 21 x 21 pixels.");
    EXPECT_EQ(set.imageWidth(), -1);

    EXPECT_EQ(set.take(1, writeBmp(dir, "one.bmp", greyImage(1, 21, 21))), "");
    const QImage first = set.image(1);
    const QString wider = writeBmp(dir, "two.bmp", greyImage(2, 22, 21));
    EXPECT_EQ(set.take(2, wider),
              "The picture file " + wider + " is 22 x 21 pixels, but image 1 is 21 x 21 pixels.  All six images must have the same size.");
    EXPECT_TRUE(set.image(2).isNull());

    const QString junk = dir.filePath("three.bmp");
    {
        QFile file(junk);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
    }
    EXPECT_TRUE(set.take(3, junk).startsWith("Cannot read the picture file " + junk));
    EXPECT_EQ(set.image(1), first);
    EXPECT_EQ(set.imageWidth(), 21);
}

// The same six files through both sequences.
TEST(WorkingImages, BothLayoutsFromTheSameSixFiles)
{
    QTemporaryDir dir;
    std::array<QString, 6> files;
    std::array<QImage, 6> pictures;
    for (int i = 0; i < 6; ++i) {
        pictures[i] = greyImage(i + 1, 276, 276);
        files[i] = writeBmp(dir, QString("run%1.bmp").arg(i + 1), pictures[i]);
    }
    for (SixLayout layout : {SixLayout::Transmission, SixLayout::Reflection}) {
        WorkingImages set(layout);
        for (int i = 1; i <= 6; ++i)
            ASSERT_EQ(set.take(i, files[i - 1]), "");
        CompositeRequest request = set.request();
        request.fileName = dir.filePath(layout == SixLayout::Reflection ? "refl.six" : "trans.six");
        if (layout == SixLayout::Transmission)
            request.origins[0] = {3, 17}; // whatever the alignment holds
        ScriptedOperator op;
        ASSERT_TRUE(ComposeSix(request, op).written);
        const QImage six = readRgb32(request.fileName);
        ASSERT_EQ(six.size(), QSize(512, 256));
        if (layout == SixLayout::Transmission) {
            // The left red at (0, 0) is pixel (10, 10) of the image 1 file.
            EXPECT_EQ(qRed(six.pixel(0, 0)), qRed(pictures[0].pixel(10, 10)));
            EXPECT_EQ(qBlue(six.pixel(511, 255)), qRed(pictures[5].pixel(265, 265)));
        } else {
            // The left red at (0, 0) is pixel (0, 0) of the image 6 file.
            EXPECT_EQ(qRed(six.pixel(0, 0)), qRed(pictures[5].pixel(0, 0)));
            EXPECT_EQ(qGreen(six.pixel(0, 0)), qRed(pictures[3].pixel(0, 0)));
            EXPECT_EQ(qGreen(six.pixel(256 + 255, 255)), qRed(pictures[0].pixel(255, 255)));
        }
    }
}
