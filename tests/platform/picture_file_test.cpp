#include "platform/picture_file.h"

#include "batch_run.h"
#include "cli/compose_command.h"
#include "cli/split_command.h"
#include "platform/bmp_file.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void put(QByteArray &bytes, std::initializer_list<int> values, int size)
{
    for (int value : values)
        for (int i = 0; i < size; ++i)
            bytes.append(char((value >> (8 * i)) & 0xff));
}

// A BMP file laid out by hand: BITMAPFILEHEADER, BITMAPINFOHEADER, the
// palette (4 bytes an entry) and the rows exactly as given, padding included.
QByteArray bmpFile(int width, int height, int bitsPerPixel, const QByteArray &palette, const QByteArray &rows,
                   int compression = 0)
{
    const int offset = 14 + 40 + int(palette.size());
    QByteArray bytes("BM");
    put(bytes, {offset + int(rows.size())}, 4);
    put(bytes, {0, 0}, 2);
    put(bytes, {offset, 40, width, height}, 4);
    put(bytes, {1, bitsPerPixel}, 2);
    put(bytes, {compression, int(rows.size()), 0, 0, int(palette.size()) / 4, 0}, 4);
    return bytes + palette + rows;
}

QByteArray withPixelOffset(QByteArray bytes, int offset)
{
    for (int i = 0; i < 4; ++i)
        bytes[10 + i] = char((offset >> (8 * i)) & 0xff);
    return bytes;
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

// Blue, green, red, unused.
const QByteArray fourColours = QByteArray::fromHex("0a141e00" "c8c8c800" "0000ff00" "00ff0000");

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
    const QImage colour = pictureOf({{qRgb(1, 2, 3), qRgb(40, 50, 60)}, {qRgb(200, 100, 0), qRgb(9, 9, 9)}});
    ASSERT_TRUE(QImageWriter(dir.filePath("grey.png"), "png").write(grey));
    ASSERT_TRUE(QImageWriter(dir.filePath("colour.tif"), "tiff").write(colour.convertToFormat(QImage::Format_RGB888))) << "TIFF support is missing";

    PictureRead read = readPicture(dir.filePath("grey.png"));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.image.pixel(4, 3), qRgb(163, 163, 163));
    EXPECT_EQ(read.image, grey.convertToFormat(QImage::Format_RGB32));
    read = readPicture(dir.filePath("colour.tif"));
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.image, colour);
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

TEST(PictureReading, DamagedAndForeignFilesAreRefusedWithTheReason)
{
    QTemporaryDir dir;
    const QByteArray rgb3x2 = bmpFile(3, 2, 24, {}, QByteArray(24, '\x40'));
    // A ".six" header claiming 65534 x 80 pixels with none of them there.
    QByteArray sixHeader = bmpFile(65534, 80, 24, {}, {});
    sixHeader.append(QByteArray(1054 - sixHeader.size(), '\0'));
    const struct {
        const char *name;
        QByteArray bytes;
        const char *reason;
    } cases[] = {
        // 40 x 36, 24 bits, cut one byte after its header.
        {"cut.bmp",
         QByteArray::fromHex("424d1611000000000000360000002800000028000000240000000100180000000000e0100000130b0000130b"
                             "0000000000000000000011"),
         "The file ends before the last of its pixels"},
        {"cut.six", sixHeader, "The file ends before the last of its pixels"},
        {"far.bmp", withPixelOffset(rgb3x2, 5000), "Its pixels start at byte 5000, past the end of the file"},
        {"lastrow.bmp", rgb3x2.chopped(1), "The file ends before the last of its pixels"},
        // Two colours declared, the pixels placed as if there were 256.
        {"twocolours.bmp", withPixelOffset(bmpFile(4, 1, 8, fourColours.left(8), QByteArray::fromHex("00010101")), 54 + 1024),
         "Its pixels start at byte 1078, past the end of the file"},
        {"overlap.bmp", withPixelOffset(bmpFile(4, 1, 8, fourColours, QByteArray::fromHex("00010203")), 60),
         "Its pixels start at byte 60, inside its header or colour table"},
        {"table.bmp", bmpFile(4, 1, 8, fourColours, {}).left(60), "The file ends inside its colour table"},
        // RLE8: a stream cut in its first run, a run wider than the row,
        // a move below the last row, an absolute run cut short.
        {"open.bmp", bmpFile(4, 3, 8, fourColours, QByteArray::fromHex("02"), 1),
         "The file ends before the last of its pixels"},
        {"wide.bmp", bmpFile(4, 3, 8, fourColours, QByteArray::fromHex("05010001"), 1),
         "Its compressed pixels run outside the picture"},
        {"down.bmp", bmpFile(4, 3, 8, fourColours, QByteArray::fromHex("000200040001"), 1),
         "Its compressed pixels run outside the picture"},
        {"absolute.bmp", bmpFile(4, 3, 8, fourColours, QByteArray::fromHex("00040102"), 1),
         "The file ends before the last of its pixels"},
        {"rle4.bmp", bmpFile(4, 3, 4, fourColours, QByteArray::fromHex("06120001"), 2),
         "Its compressed pixels run outside the picture"},
        {"empty.bmp", {}, "It is not a BMP, PNG, TIFF or netpbm picture"},
        {"x.bmp", "<svg xmlns=\"http://www.w3.org/2000/svg\"><text>a</text></svg>",
         "It is not a BMP, PNG, TIFF or netpbm picture"},
        {"gif.bmp", QByteArray::fromHex("474946383961ffffffff0000"), "It is not a BMP, PNG, TIFF or netpbm picture"},
        {"header.ppm", "P6\n64 64\n255\n", "Unable to read image data"},
        {"zero.bmp", bmpFile(0, 2, 24, {}, {}), "It declares a picture of 0 x 2 pixels"},
        // A compressed picture says little about its size in bytes.
        {"huge.bmp", bmpFile(67108868, 2, 8, fourColours, QByteArray::fromHex("0001"), 1),
         "It is 67108868 x 2 pixels, more than this program takes"},
        {"jpeg.bmp", bmpFile(2, 2, 24, {}, QByteArray(16, '\0'), 4),
         "Its pixels are stored in a way this program does not read (24 bits a pixel, compression 4)"},
    };
    for (const auto &c : cases) {
        const QString name = writeFile(dir, c.name, c.bytes);
        const PictureRead read = readPicture(name);
        EXPECT_TRUE(read.image.isNull()) << c.name;
        EXPECT_EQ(read.error, QStringLiteral("Cannot read the picture file %1.  %2.").arg(name, c.reason)) << c.name;
    }
}

TEST(PictureReading, PixelsACompressedBitmapSkipsAreColourZero)
{
    // 4 x 3, bottom row first: two pixels of colour 1 and the end of the
    // line, an empty line, four of colour 2, the end of the bitmap.
    const QByteArray bytes = bmpFile(4, 3, 8, fourColours, QByteArray::fromHex("02010000" "0000" "04020001"), 1);
    const QRgb c0 = qRgb(0x1e, 0x14, 0x0a), c1 = qRgb(200, 200, 200), c2 = qRgb(255, 0, 0);
    const PictureRead read = decodePicture(bytes, "rle.bmp");
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(pixels(read.image), pixels(pictureOf({{c2, c2, c2, c2}, {c0, c0, c0, c0}, {c1, c1, c0, c0}})));
}

TEST(PictureReading, NetpbmByContentWhateverTheName)
{
    const struct {
        const char *bytes;
        int size;
    } files[] = {{"P5\n3 1\n255\n\x00\x80\xff", 14}, {"P2 3 1 255 0 128 255\n", 21}, {"P6 3 1 255\n\x00\x00\x00\x80\x80\x80\xff\xff\xff", 20}};
    for (const auto &file : files) {
        const PictureRead read = decodePicture(QByteArray(file.bytes, file.size), "grey.bmp");
        ASSERT_TRUE(read.ok()) << file.bytes << read.error.toStdString();
        EXPECT_EQ(pixels(read.image), pixels(pictureOf({{qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 255, 255)}})));
    }
}

// The batch commands refuse such a file, exit 1 and write nothing: an SVG
// used to abort them and a short bitmap to compose from stale memory.
TEST(PictureReading, BatchCommandsRefuseDamagedPicturesAndWriteNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("out"));
    QStringList files;
    for (int i = 1; i <= 6; ++i) {
        files << dir.filePath(QString("p%1.bmp").arg(i));
        QImage grey(40, 36, QImage::Format_RGB32);
        grey.fill(qRgb(i, i, i));
        ASSERT_TRUE(saveBmp24(grey, files.last()));
    }
    const QString svg = writeFile(dir, "x.bmp", "<svg xmlns=\"http://www.w3.org/2000/svg\"><text>a</text></svg>");
    const QString cut = writeFile(dir, "cut.bmp", fileBytes(files[0]).left(55));
    const QString six = dir.filePath("out/x.six");
    for (const QString &bad : {svg, cut}) {
        QStringList inputs = files;
        inputs[0] = bad;
        const CommandRun run = runBatch(runComposeCommand, QStringList{"--layout", "reflection", "--output", six, "--i46"} + inputs);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.startsWith("isostepbmp compose: Cannot read the picture file " + bad + ".  ")) << run.err.toStdString();
        const CommandRun split = runBatch(runSplitCommand, {bad, dir.filePath("out")});
        EXPECT_EQ(split.exitCode, 1);
        EXPECT_TRUE(split.err.startsWith("isostepbmp split: Cannot read the picture file " + bad + ".  ")) << split.err.toStdString();
    }
    EXPECT_TRUE(QDir(dir.filePath("out")).isEmpty());
}
