// `isostepbmp split` and `isostepbmp compose --origins`, on the sample set.
#include "acquisition/composite_writer.h"
#include "acquisition/working_images.h"
#include "alignment/alignment_file.h"
#include "cli/compose_command.h"
#include "cli/split_command.h"
#include "platform/bmp_file.h"

#include "qt_printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include "batch_run.h"

#include <gtest/gtest.h>

namespace {

class CommandTest : public ::testing::Test {
protected:
    QString sample(int n) const { return QStringLiteral(ISOSTEP_SAMPLES_DIR "/sample%1.bmp").arg(n); }

    int compose(QStringList options, const QString &output)
    {
        options << "--output" << output;
        for (int n = 1; n <= 6; ++n)
            options << sample(n);
        return run(runComposeCommand, options);
    }

    int run(BatchCommandFunction command, const QStringList &arguments)
    {
        const CommandRun result = runBatch(command, arguments);
        outText = result.out;
        errText = result.err;
        return result.exitCode;
    }

    QTemporaryDir folder;
    QString outText, errText;
};

} // namespace

TEST_F(CommandTest, SplitOfAComposedReflectionGivesBackTheSourceCrops)
{
    const QString six = folder.filePath("disc.six");
    ASSERT_EQ(compose({"--layout", "reflection"}, six), 0) << errText.toStdString();

    const QString out = folder.filePath("parts/deeper");
    ASSERT_EQ(run(runSplitCommand, {six, out}), 0) << errText.toStdString();
    EXPECT_TRUE(errText.isEmpty());
    for (int n = 1; n <= 6; ++n) {
        const QString part = QDir(out).filePath(QStringLiteral("image%1.bmp").arg(n));
        EXPECT_TRUE(outText.contains("Written " + part)) << outText.toStdString();
        // The reflection set takes each picture's top-left 256 x 256 pixels
        // and cuts them at (10, 10) of the margin: exactly those pixels.
        const QImage source = readPicture(sample(n)).image.copy(0, 0, 256, 256);
        EXPECT_EQ(fileBytes(part), encodeBmp24(source)) << "image " << n;
    }
}

TEST_F(CommandTest, SplitRefusesBadFilesAndWordsWritingNothing)
{
    EXPECT_EQ(run(runSplitCommand, {folder.filePath("x.six")}), 2);
    EXPECT_TRUE(errText.startsWith("isostepbmp split: A .six file and an output folder are needed, 1 given."))
        << errText.toStdString();
    EXPECT_EQ(run(runSplitCommand, {"--bogus", "a", "b"}), 2);

    QImage odd(301, 100, QImage::Format_RGB32);
    odd.fill(Qt::gray);
    const QString oddName = folder.filePath("odd.six");
    ASSERT_TRUE(odd.save(oddName, "BMP"));
    const QString out = folder.filePath("out");
    EXPECT_EQ(run(runSplitCommand, {oddName, out}), 1);
    EXPECT_EQ(errText, "isostepbmp split: The file " + oddName +
                           " is 301 x 100 pixels.  A .SIX file holds two halves side by side, so its width must be even.\n");
    EXPECT_FALSE(QFile::exists(QDir(out).filePath("image1.bmp")));

    EXPECT_EQ(run(runSplitCommand, {"--help"}), 0);
    EXPECT_TRUE(outText.startsWith("Usage: isostepbmp split")) << outText.toStdString();
}

TEST_F(CommandTest, ComposeCutsAtTheOriginsOfAnAlignmentFile)
{
    AlignmentOrigins origins;
    const int xs[7] = {0, 12, 14, 9, 20, 0, 11};
    const int ys[7] = {0, 12, 11, 15, 0, 20, 13};
    for (int i = 1; i <= 6; ++i) {
        origins.x[i] = int16_t(xs[i]);
        origins.y[i] = int16_t(ys[i]);
    }
    const QString sal = folder.filePath("set.sal");
    ASSERT_TRUE(writeAlignmentFile(sal, origins).ok());

    const QString six = folder.filePath("aligned.six");
    ASSERT_EQ(compose({"--layout", "reflection", "--origins", sal}, six), 0) << errText.toStdString();

    WorkingImages set(SixLayout::Reflection);
    for (int n = 1; n <= 6; ++n)
        ASSERT_EQ(set.take(n, sample(n)), QString());
    std::array<QPoint, 6> points;
    for (int i = 1; i <= 6; ++i)
        points[i - 1] = QPoint(xs[i], ys[i]);
    const QImage expected = packSix(SixLayout::Reflection, set.images(), QSize(256, 256), points);
    EXPECT_EQ(fileBytes(six), encodeBmp24(expected));

    // Image 1 at (12, 12): its right-tile green is the picture moved by two.
    const QImage written(six);
    EXPECT_EQ(qGreen(written.pixel(256 + 30, 40)), qGreen(readPicture(sample(1)).image.pixel(32, 42)));
}

TEST_F(CommandTest, ComposeOriginsIsRefusedWithTransmissionOrABadFile)
{
    const QString six = folder.filePath("t.six");
    const QString sal = folder.filePath("set.sal");
    QFile file(sal);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("12,12\r\n12,12\r\n");
    file.close();

    EXPECT_EQ(compose({"--layout", "transmission", "--origins", sal}, six), 2);
    EXPECT_TRUE(errText.startsWith("isostepbmp compose: --origins applies to the reflection layout only.\n"))
        << errText.toStdString();
    EXPECT_FALSE(QFile::exists(six));

    EXPECT_EQ(compose({"--layout", "reflection", "--origins", sal}, six), 1);
    EXPECT_EQ(errText, "isostepbmp compose: The alignment file " + sal +
                           " holds 2 of the six lines \"x,y\" it needs.  The alignment is unchanged.\n");
    EXPECT_FALSE(QFile::exists(six));
}
