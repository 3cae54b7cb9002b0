#include "acquisition/composite_writer.h"
#include "platform/bmp_file.h"
#include "platform/raster.h"
#include "scripted_operator.h"
#include "six_images.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include "batch_run.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace six_test;

namespace {

// Where a channel of a tile comes from: image number, tile (0 left, 1
// right) and the bit shift of the channel (16 red, 8 green, 0 blue).
struct Slot {
    int image;
    int tile;
    int shift;
};

const std::array<Slot, 6> reflectionSlots{{{6, 0, 16}, {4, 0, 8}, {2, 0, 0}, {5, 1, 16}, {1, 1, 8}, {3, 1, 0}}};
const std::array<Slot, 6> transmissionSlots{{{1, 0, 16}, {2, 0, 8}, {3, 0, 0}, {4, 1, 16}, {5, 1, 8}, {6, 1, 0}}};

std::array<QPoint, 6> allOrigins(QPoint p)
{
    return {p, p, p, p, p, p};
}

int sourceChannel(const QImage &image, QPoint at, int shift)
{
    if (!image.rect().contains(at))
        return 0;
    return int((image.pixel(at) >> shift) & 0xff);
}

// Compares every channel of every composite pixel with its source pixel,
// and reports the first few that differ.
std::string sixMismatches(const QImage &six, const std::array<QImage, 6> &images, const std::array<Slot, 6> &table,
                          const std::array<QPoint, 6> &origins, QSize crop)
{
    std::ostringstream report;
    if (six.size() != QSize(2 * crop.width(), crop.height())) {
        report << "size " << six.width() << "x" << six.height();
        return report.str();
    }
    int bad = 0;
    for (const Slot &slot : table) {
        const QImage &source = images[slot.image - 1];
        const QPoint origin = origins[slot.image - 1];
        for (int y = 0; y < crop.height(); ++y) {
            for (int x = 0; x < crop.width(); ++x) {
                const int got = int((six.pixel(slot.tile * crop.width() + x, y) >> slot.shift) & 0xff);
                const int want = sourceChannel(source, QPoint(x, y) + origin, slot.shift);
                if (got != want && ++bad <= 5)
                    report << "image " << slot.image << " at " << x << "," << y << ": " << got << " not " << want << "; ";
            }
        }
    }
    if (bad)
        report << bad << " wrong";
    return report.str();
}

CompositeRequest requestFor(SixLayout layout, const std::array<QImage, 6> &images, const QString &fileName)
{
    CompositeRequest request;
    request.layout = layout;
    request.images = images;
    request.imageWidth = images[0].width();
    request.imageHeight = images[0].height();
    request.cropWidth = request.imageWidth - 20;
    request.cropHeight = request.imageHeight - 20;
    request.fileName = fileName;
    return request;
}

QImage tileOf(const QImage &image, QPoint origin, QSize crop)
{
    QImage tile(crop, QImage::Format_RGB32);
    tile.fill(0xff000000);
    raster::bitBlt(tile, 0, 0, crop.width(), crop.height(), image, origin.x(), origin.y(), raster::Rop::SrcCopy);
    return tile;
}

QImage sideBySide(const QImage &left, const QImage &right)
{
    QImage both(left.width() + right.width(), left.height(), QImage::Format_RGB32);
    raster::bitBlt(both, 0, 0, left.width(), left.height(), left, 0, 0, raster::Rop::SrcCopy);
    raster::bitBlt(both, left.width(), 0, right.width(), right.height(), right, 0, 0, raster::Rop::SrcCopy);
    return both;
}

} // namespace

TEST(CompositePacking, ChannelsFollowEachLayoutAtCentredOrigins)
{
    const auto images = sixGreyImages(276, 276);
    const QSize crop(256, 256);
    const QImage reflection = packSix(SixLayout::Reflection, images, crop, allOrigins({10, 10}));
    EXPECT_EQ(reflection.size(), QSize(512, 256));
    EXPECT_EQ(sixMismatches(reflection, images, reflectionSlots, allOrigins({10, 10}), crop), "");
    // The left tile's red at (0, 0) is image 6's pixel (10, 10).
    EXPECT_EQ(qRed(reflection.pixel(0, 0)), greyAt(6, 10, 10));

    const QImage transmission = packSix(SixLayout::Transmission, images, crop, allOrigins({10, 10}));
    EXPECT_EQ(sixMismatches(transmission, images, transmissionSlots, allOrigins({10, 10}), crop), "");
    EXPECT_EQ(qRed(transmission.pixel(0, 0)), greyAt(1, 10, 10));
    EXPECT_EQ(qAlpha(transmission.pixel(300, 17)), 255);
}

TEST(CompositePacking, EachImageIsCutAtItsOwnOrigin)
{
    const auto images = sixGreyImages(60, 50);
    const QSize crop(40, 30);

    // Image 1 at (12, 12): the right tile's green is shifted two pixels up
    // and left against its other channels.
    auto origins = allOrigins({10, 10});
    origins[0] = {12, 12};
    QImage six = packSix(SixLayout::Reflection, images, crop, origins);
    EXPECT_EQ(sixMismatches(six, images, reflectionSlots, origins, crop), "");
    EXPECT_EQ(qGreen(six.pixel(40, 0)), greyAt(1, 12, 12));
    EXPECT_EQ(qRed(six.pixel(40, 0)), greyAt(5, 10, 10));

    // Origin 0 starts at the first row and column, origin 20 ends exactly
    // at the last.
    origins = {QPoint(0, 0), QPoint(20, 20), QPoint(0, 20), QPoint(20, 0), QPoint(7, 13), QPoint(20, 20)};
    six = packSix(SixLayout::Reflection, images, crop, origins);
    EXPECT_EQ(sixMismatches(six, images, reflectionSlots, origins, crop), "");
    EXPECT_EQ(qGreen(six.pixel(40, 0)), greyAt(1, 0, 0));
    EXPECT_EQ(qRed(six.pixel(39, 29)), greyAt(6, 59, 49));
    EXPECT_EQ(qBlue(six.pixel(39, 29)), greyAt(2, 59, 49));

    // Past the image, a channel reads black and the others keep theirs.
    origins = {QPoint(-3, 25), QPoint(10, 10), QPoint(10, 10), QPoint(10, 10), QPoint(10, 10), QPoint(30, -4)};
    six = packSix(SixLayout::Reflection, images, crop, origins);
    EXPECT_EQ(sixMismatches(six, images, reflectionSlots, origins, crop), "");
    EXPECT_EQ(six.pixel(39, 0), qRgb(0, greyAt(4, 49, 10), greyAt(2, 49, 10)));
    EXPECT_EQ(six.pixel(40, 29), qRgb(greyAt(5, 10, 39), 0, greyAt(3, 10, 39)));
}

TEST(CompositePacking, ColourSourceGivesOnlyItsChannel)
{
    auto images = sixGreyImages(30, 30);
    images[5].fill(qRgb(11, 22, 33)); // image 6: left red
    images[3].fill(qRgb(44, 55, 66)); // image 4: left green
    images[1].fill(qRgb(77, 88, 99)); // image 2: left blue
    images[0].fill(qRgb(12, 34, 56)); // image 1: right green
    const QImage six = packSix(SixLayout::Reflection, images, QSize(10, 10), allOrigins({10, 10}));
    EXPECT_EQ(six.pixel(3, 4), qRgb(11, 55, 99));
    EXPECT_EQ(qGreen(six.pixel(13, 4)), 34);

    const QImage transmission = packSix(SixLayout::Transmission, images, QSize(10, 10), allOrigins({10, 10}));
    EXPECT_EQ(qRed(transmission.pixel(0, 0)), 12);
    EXPECT_EQ(qGreen(transmission.pixel(0, 0)), 88);
}

// The packing does in one pass what the block transfers did: MERGECOPY of
// each image into a black channel surface, then SRCPAINT into the tile.
TEST(CompositePacking, SameBytesAsTheBlockTransferSequence)
{
    const auto images = sixGreyImages(45, 37);
    const QSize crop(25, 17);
    const std::array<QPoint, 6> origins{QPoint(10, 10), QPoint(0, 3), QPoint(20, 20), QPoint(-2, 11), QPoint(24, 1), QPoint(9, -5)};
    const struct {
        int image;
        QRgb brush;
        int tileX;
    } steps[] = {{6, qRgb(255, 0, 0), 0}, {5, qRgb(255, 0, 0), 25}, {4, qRgb(0, 255, 0), 0},
                 {1, qRgb(0, 255, 0), 25}, {2, qRgb(0, 0, 255), 0}, {3, qRgb(0, 0, 255), 25}};
    QImage expected(2 * crop.width(), crop.height(), QImage::Format_RGB32);
    raster::fill(expected, expected.rect(), raster::Rop::Blackness);
    for (const auto &step : steps) {
        QImage channel(45, 37, QImage::Format_RGB32);
        raster::fill(channel, channel.rect(), raster::Rop::Blackness);
        const QPoint o = origins[step.image - 1];
        raster::bitBlt(channel, 0, 0, crop.width(), crop.height(), images[step.image - 1], o.x(), o.y(),
                       raster::Rop::MergeCopy, step.brush);
        raster::bitBlt(expected, step.tileX, 0, crop.width(), crop.height(), channel, 0, 0, raster::Rop::SrcPaint);
    }
    EXPECT_EQ(packSix(SixLayout::Reflection, images, crop, origins), expected);
}

TEST(ComposeSix, WritesTheSixFileAsA24BitBitmap)
{
    QTemporaryDir dir;
    const auto images = sixGreyImages(532, 532);
    CompositeRequest request = requestFor(SixLayout::Reflection, images, dir.filePath("disc.six"));
    request.origins[2] = {13, 7};
    ScriptedOperator op;
    const CompositeResult result = ComposeSix(request, op);
    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.finalStatus, "Done");
    EXPECT_EQ(result.writtenFiles, QStringList{dir.filePath("disc.six")});

    const QByteArray bytes = fileBytes(dir.filePath("disc.six"));
    ASSERT_EQ(bytes.size(), 54 + 1024 * 3 * 512);
    EXPECT_EQ(bytes.left(2), "BM");
    EXPECT_EQ(bytes.mid(18, 8).toHex(), "0004000000020000"); // 1024 x 512, bottom-up
    EXPECT_EQ(bytes.mid(28, 2).toHex(), "1800");             // 24 bits
    EXPECT_EQ(bytes, encodeBmp24(packSix(SixLayout::Reflection, images, QSize(512, 512), request.origins)));
    EXPECT_EQ(sixMismatches(readRgb32(dir.filePath("disc.six")), images, reflectionSlots, request.origins, {512, 512}), "");

    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Finished.  Written file as " + dir.filePath("disc.six"));
    EXPECT_EQ(op.messages[0].title, "Isostep");
    EXPECT_FALSE(op.messages[0].question);
    EXPECT_EQ(op.messages[0].buttons, Operator::Buttons::Ok);
}

TEST(ComposeSix, EveryCompanionCombinationWithMessagesInOrder)
{
    const auto images = sixGreyImages(40, 36);
    const QSize crop(20, 16);
    for (int mask = 0; mask < 8; ++mask) {
        QTemporaryDir dir;
        const QString six = dir.filePath("run 7.six");
        const QString base = dir.filePath("run 7");
        CompositeRequest request = requestFor(SixLayout::Reflection, images, six);
        request.origins[3] = {12, 9}; // image 4
        request.origins[5] = {3, 17}; // image 6
        request.saveI46 = mask & 1;
        request.saveI4 = mask & 2;
        request.saveI6 = mask & 4;
        ScriptedOperator op;
        EXPECT_TRUE(ComposeSix(request, op).written);

        QStringList files{"run 7.six"};
        QStringList texts;
        const QString finished = "Finished.  Written file as " + six;
        if (request.saveI46) {
            files << "run 7_i46.bmp";
            texts << finished + ".  Dark and light field images saved as " + base + "_i46.bmp";
            EXPECT_EQ(fileBytes(base + "_i46.bmp"),
                      encodeBmp24(sideBySide(tileOf(images[5], {3, 17}, crop), tileOf(images[3], {12, 9}, crop))));
        }
        if (request.saveI4) {
            files << "run 7_i4.bmp";
            texts << finished + ".  Dark field image saved as " + base + "_i4.bmp";
            EXPECT_EQ(fileBytes(base + "_i4.bmp"), encodeBmp24(tileOf(images[3], {12, 9}, crop)));
        }
        if (request.saveI6) {
            files << "run 7_i6.bmp";
            texts << finished + ".  Light field image saved as " + base + "_i6.bmp";
            EXPECT_EQ(fileBytes(base + "_i6.bmp"), encodeBmp24(tileOf(images[5], {3, 17}, crop)));
        }
        if (mask == 0)
            texts << finished;
        files.sort();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name), files) << mask;
        EXPECT_EQ(op.texts(), texts) << mask;
        for (const auto &message : op.messages)
            EXPECT_EQ(message.title, "Isostep");
    }
}

TEST(ComposeSix, TransmissionCutsEverythingAtTenWhateverTheOrigins)
{
    QTemporaryDir dir;
    const auto images = sixGreyImages(50, 40);
    const QSize crop(30, 20);
    CompositeRequest request = requestFor(SixLayout::Transmission, images, dir.filePath("t.six"));
    request.origins = allOrigins({0, 20}); // left over from a reflection run
    request.saveI46 = request.saveI4 = request.saveI6 = true;
    ScriptedOperator op;
    const CompositeResult result = ComposeSix(request, op);
    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.finalStatus, "Finished");

    EXPECT_EQ(sixMismatches(readRgb32(dir.filePath("t.six")), images, transmissionSlots, allOrigins({10, 10}), crop), "");
    // Images 1 and 2 hold the places of the light and dark field images.
    EXPECT_EQ(fileBytes(dir.filePath("t_i46.bmp")),
              encodeBmp24(sideBySide(tileOf(images[0], {10, 10}, crop), tileOf(images[1], {10, 10}, crop))));
    EXPECT_EQ(fileBytes(dir.filePath("t_i4.bmp")), encodeBmp24(tileOf(images[1], {10, 10}, crop)));
    EXPECT_EQ(fileBytes(dir.filePath("t_i6.bmp")), encodeBmp24(tileOf(images[0], {10, 10}, crop)));
    EXPECT_EQ(op.messages.size(), 3u);

    // The mask editor gets image 1 at crop size.
    EXPECT_EQ(result.maskImage, tileOf(images[0], {10, 10}, crop));
}

TEST(ComposeSix, ReflectionMaskImageIsImageSixAtItsOriginOnBlack)
{
    QTemporaryDir dir;
    const auto images = sixGreyImages(30, 26);
    CompositeRequest request = requestFor(SixLayout::Reflection, images, dir.filePath("m.six"));
    request.origins[5] = {12, 7};
    ScriptedOperator op;
    const QImage mask = ComposeSix(request, op).maskImage;
    ASSERT_EQ(mask.size(), QSize(30, 26));
    EXPECT_EQ(mask.pixel(0, 0), images[5].pixel(12, 7));
    EXPECT_EQ(mask.pixel(17, 18), images[5].pixel(29, 25));
    EXPECT_EQ(mask.pixel(18, 0), 0xff000000u);
    EXPECT_EQ(mask.pixel(0, 19), 0xff000000u);
    EXPECT_EQ(mask.pixel(29, 25), 0xff000000u);
}

TEST(ComposeSix, UnwritableFilesAreToldAndEarlierFilesStay)
{
    const auto images = sixGreyImages(30, 30);
    {
        QTemporaryDir dir;
        const QString six = dir.filePath("missing folder/a.six");
        CompositeRequest request = requestFor(SixLayout::Reflection, images, six);
        request.saveI4 = true;
        ScriptedOperator op;
        const CompositeResult result = ComposeSix(request, op);
        EXPECT_FALSE(result.written);
        ASSERT_EQ(op.messages.size(), 1u);
        EXPECT_TRUE(op.messages[0].text.startsWith("Could not write " + six + ".  ")) << op.messages[0].text.toStdString();
        EXPECT_EQ(op.messages[0].icon, Operator::Icon::Exclamation);
        EXPECT_EQ(op.messages[0].title, "Isostep");
        EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    }
    {
        // A companion that cannot be written: the earlier ".six" of that
        // name keeps its data and no other file appears.
        QTemporaryDir dir;
        const QString six = dir.filePath("b.six");
        {
            QFile earlier(six);
            ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier run");
        }
        ASSERT_TRUE(QDir(dir.path()).mkdir("b_i6.bmp"));
        CompositeRequest request = requestFor(SixLayout::Reflection, images, six);
        request.saveI46 = request.saveI6 = true;
        ScriptedOperator op;
        EXPECT_FALSE(ComposeSix(request, op).written);
        EXPECT_EQ(op.texts(), QStringList{"Could not write " + dir.filePath("b_i6.bmp") + ".  A folder of that name is in the way."});
        EXPECT_EQ(fileBytes(six), "earlier run");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"b.six"});
    }
}

TEST(ComposeSix, RequestsThatCannotBeComposedAreToldAndWriteNothing)
{
    QTemporaryDir dir;
    auto images = sixGreyImages(30, 30);
    images[3] = greyImage(4, 30, 29);
    ScriptedOperator op;
    EXPECT_FALSE(ComposeSix(requestFor(SixLayout::Reflection, images, dir.filePath("c.six")), op).written);
    EXPECT_EQ(op.texts(), QStringList{"Cannot compose " + dir.filePath("c.six") + ": image 4 is 30 x 29 pixels, not 30 x 30."});

    // Companions are named by cutting four characters off the name.
    CompositeRequest request = requestFor(SixLayout::Reflection, sixGreyImages(30, 30), "x.s");
    request.saveI4 = true;
    op.messages.clear();
    EXPECT_FALSE(ComposeSix(request, op).written);
    EXPECT_EQ(op.texts(), QStringList{"Cannot name the dark and light field files after x.s: the name is too short."});
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(QFile::exists("x.s"));
}
