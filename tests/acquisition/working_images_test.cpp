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

QString writeBmp(const QTemporaryDir &dir, const QString &name, const QImage &image)
{
    const QString path = dir.filePath(name);
    EXPECT_TRUE(saveBmp24(image, path));
    return path;
}

} // namespace

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
