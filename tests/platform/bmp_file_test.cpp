#include "platform/bmp_file.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>

namespace {

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeText(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QImage tiny(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(0x10 * x + y, 0x80 + y, 0xf0 - x));
    return image;
}

} // namespace

TEST(BmpEncoding, HeaderRowsBottomUpAndPaddingExact)
{
    const QByteArray expected = QByteArray::fromHex(
        // file header: "BM", size 78, reserved, pixels at 54
        "424d" "4e000000" "0000" "0000" "36000000"
        // info header: 40 bytes, 3 x 2, 1 plane, 24 bits, BI_RGB, 24 pixel bytes, no resolution, no colours
        "28000000" "03000000" "02000000" "0100" "1800" "00000000" "18000000"
        "00000000" "00000000" "00000000" "00000000"
        // bottom row first (y = 1), blue green red, one pad byte to 12
        "f08101" "ef8111" "ee8121" "000000"
        // then the top row (y = 0)
        "f08000" "ef8010" "ee8020" "000000");
    EXPECT_EQ(encodeBmp24(tiny(3, 2)).toHex().toStdString(), expected.toHex().toStdString());
}

TEST(BmpEncoding, RowStrideRoundsUpToFourBytes)
{
    const struct {
        int width;
        int stride;
    } cases[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {512, 1536}, {1024, 3072}};
    for (const auto &c : cases) {
        const QByteArray bytes = encodeBmp24(tiny(c.width, 3));
        ASSERT_EQ(bytes.size(), 54 + 3 * c.stride) << c.width;
        const auto *raw = reinterpret_cast<const uchar *>(bytes.constData());
        EXPECT_EQ(raw[34] | raw[35] << 8 | raw[36] << 16, 3 * c.stride) << c.width;
        for (int row = 0; row < 3; ++row)
            for (int pad = c.width * 3; pad < c.stride; ++pad)
                EXPECT_EQ(raw[54 + row * c.stride + pad], 0) << c.width;
    }
    // A non-RGB32 picture is written by its colours.
    QImage grey(2, 1, QImage::Format_Grayscale8);
    grey.fill(0x42);
    EXPECT_EQ(encodeBmp24(grey).mid(54).toHex(), QByteArray("4242424242420000"));
}

TEST(BmpFile, SavedFileReadsBackPixelForPixel)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("picture.bmp");
    const QImage image = tiny(7, 5);
    QString error = "unchanged";
    ASSERT_TRUE(saveBmp24(image, name, &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(readAll(name), encodeBmp24(image));
    EXPECT_EQ(QImageReader(name).read().convertToFormat(QImage::Format_RGB32), image);
}

TEST(BmpFile, FailedWriteNamesTheFileAndKeepsEarlierFiles)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("no such folder/picture.bmp");
    QString error;
    EXPECT_FALSE(saveBmp24(tiny(2, 2), missing, &error));
    EXPECT_TRUE(error.startsWith("Could not write " + missing + ".  ")) << error.toStdString();
    EXPECT_TRUE(error.endsWith(".")) << error.toStdString();

    // A folder where the file should go.
    const QString folder = dir.filePath("taken.bmp");
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.bmp"));
    EXPECT_FALSE(saveBmp24(tiny(2, 2), folder, &error));
    EXPECT_EQ(error, "Could not write " + folder + ".  A folder of that name is in the way.");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

TEST(FileBatch, AllOrNothing)
{
    QTemporaryDir dir;
    const QString earlier = dir.filePath("run.six");
    const QString fresh = dir.filePath("run_i4.bmp");
    writeText(earlier, "earlier data");

    // The last file cannot be written: neither the earlier file nor a new
    // one beside it may change.
    {
        FileBatch batch;
        batch.add(earlier, "new six");
        batch.add(fresh, "new i4");
        batch.add(dir.filePath("gone/run_i6.bmp"), "new i6");
        EXPECT_TRUE(batch.commit().startsWith("Could not write " + dir.filePath("gone/run_i6.bmp")));
        EXPECT_TRUE(batch.committed().isEmpty());
    }
    EXPECT_EQ(readAll(earlier), "earlier data");
    EXPECT_FALSE(QFile::exists(fresh));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"run.six"});

    FileBatch batch;
    batch.add(earlier, "new six");
    batch.add(fresh, "new i4");
    EXPECT_EQ(batch.commit(), QString());
    EXPECT_EQ(batch.committed(), (QStringList{earlier, fresh}));
    EXPECT_EQ(readAll(earlier), "new six");
    EXPECT_EQ(readAll(fresh), "new i4");
}

// The last file of the set cannot be put in place after the others were:
// every replaced file comes back, the new one goes, nothing is left beside.
TEST(FileBatch, FailureAtTheLastRenamePutsTheEarlierSetBack)
{
    QTemporaryDir dir;
    const QStringList names = {dir.filePath("run.six"), dir.filePath("run_i46.bmp"), dir.filePath("run_i4.bmp"),
                               dir.filePath("run_i6.bmp")};
    writeText(names[0], "earlier six");
    writeText(names[1], "earlier i46");
    writeText(names[3], "earlier i6");
    ASSERT_TRUE(QFile::setPermissions(names[0], QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));

    int renames = 0;
    auto failLast = [&](const QString &from, const QString &to) -> QString {
        ++renames;
        if (to == names[3] && from.endsWith(".part"))
            return "Injected failure";
        return std::rename(QFile::encodeName(from), QFile::encodeName(to)) == 0 ? QString() : "rename failed";
    };
    FileBatch failing(failLast);
    for (const QString &name : names)
        failing.add(name, "new " + QFileInfo(name).fileName().toUtf8());
    EXPECT_EQ(failing.commit(), "Could not write " + names[3] + ".  Injected failure.");
    EXPECT_TRUE(failing.committed().isEmpty());
    EXPECT_EQ(renames, 4 + 2); // four tries, two earlier files renamed back
    EXPECT_EQ(readAll(names[0]), "earlier six");
    EXPECT_EQ(readAll(names[1]), "earlier i46");
    EXPECT_FALSE(QFile::exists(names[2]));
    EXPECT_EQ(readAll(names[3]), "earlier i6");
    const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, (QStringList{"run.six", "run_i46.bmp", "run_i6.bmp"}));

    // Without the failure the whole set is replaced, and a replaced file
    // keeps its permissions.
    FileBatch batch;
    for (const QString &name : names)
        batch.add(name, "new " + QFileInfo(name).fileName().toUtf8());
    EXPECT_EQ(batch.commit(), "");
    EXPECT_EQ(batch.committed(), names);
    for (const QString &name : names)
        EXPECT_EQ(readAll(name), "new " + QFileInfo(name).fileName().toUtf8());
    // Owner, group and others; Qt's "user" bits repeat the owner's.
    EXPECT_EQ(QFile::permissions(names[0]) & 0x7077, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 4);
}
