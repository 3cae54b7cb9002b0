#include "acquisition/butterworth_filter.h"
#include "acquisition/composite_writer.h"
#include "acquisition/working_images.h"
#include "cli/compose_command.h"
#include "platform/bmp_file.h"
#include "scripted_operator.h"
#include "six_images.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include "batch_run.h"

#include <gtest/gtest.h>

using namespace six_test;

namespace {

CommandRun compose(const QStringList &arguments)
{
    return runBatch(runComposeCommand, arguments);
}

class ComposeCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(dir.path()).mkdir("in"));
        ASSERT_TRUE(QDir(dir.path()).mkdir("out"));
        for (int i = 1; i <= 6; ++i) {
            files << dir.filePath(QString("in/disc%1.bmp").arg(i));
            ASSERT_TRUE(saveBmp24(greyImage(i, 60, 44), files.last()));
        }
    }

    QStringList outputFiles() const { return QDir(dir.filePath("out")).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot); }

    // What the window sequences write for the same files.
    QString composeThroughTheWriter(SixLayout layout, bool filter, double cutOff, const QString &name)
    {
        WorkingImages set(layout);
        for (int i = 1; i <= 6; ++i)
            EXPECT_EQ(set.take(i, files[i - 1]), "");
        if (filter)
            for (int i = 1; i <= 6; ++i)
                ButterworthFilter(set.image(i), cutOff);
        CompositeRequest request = set.request();
        request.fileName = dir.filePath(name);
        request.saveI46 = request.saveI4 = request.saveI6 = true;
        ScriptedOperator op;
        EXPECT_TRUE(ComposeSix(request, op).written);
        return dir.filePath(name).chopped(4);
    }

    QTemporaryDir dir;
    QStringList files;
};

} // namespace

TEST_F(ComposeCommand, SameBytesAsTheWriterAndItsMessagesOnStandardOutput)
{
    const QString six = dir.filePath("out/batch.six");
    const struct {
        SixLayout layout;
        QStringList options;
        bool filter;
        double cutOff;
    } cases[] = {
        {SixLayout::Reflection, {"--layout", "reflection"}, false, 0.25},
        {SixLayout::Transmission, {"--layout", "transmission"}, false, 0.25},
        {SixLayout::Reflection, {"--layout", "reflection", "--filter"}, true, 0.25},
        {SixLayout::Transmission, {"--filter", "--cutoff", "0.4", "--layout=transmission"}, true, 0.4},
    };
    for (const auto &c : cases) {
        const CommandRun run = compose(c.options + QStringList{"--output", six, "--i46", "--i4", "--i6"} + files);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.err, "");
        const QString base = dir.filePath("out/batch");
        const QString finished = "Finished.  Written file as " + six;
        EXPECT_EQ(run.out, finished + ".  Dark and light field images saved as " + base + "_i46.bmp\n" + finished +
                               ".  Dark field image saved as " + base + "_i4.bmp\n" + finished +
                               ".  Light field image saved as " + base + "_i6.bmp\n");

        const QString reference = composeThroughTheWriter(c.layout, c.filter, c.cutOff, "reference.six");
        EXPECT_EQ(fileBytes(six), fileBytes(reference + ".six"));
        EXPECT_EQ(fileBytes(six).size(), 54 + 80 * 3 * 24);
        for (const char *suffix : {"_i46.bmp", "_i4.bmp", "_i6.bmp"})
            EXPECT_EQ(fileBytes(base + suffix), fileBytes(reference + suffix)) << suffix;
    }

    // Without companions: the one message and the one file.
    QDir(dir.filePath("out")).removeRecursively();
    QDir(dir.path()).mkdir("out");
    const CommandRun run = compose(QStringList{"--layout", "reflection", "--output", six} + files);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "Finished.  Written file as " + six + "\n");
    EXPECT_EQ(outputFiles(), QStringList{"batch.six"});
}

TEST_F(ComposeCommand, WrongArgumentsWriteNothing)
{
    const QString six = dir.filePath("out/x.six");
    const struct {
        QStringList arguments;
        QString complaint;
    } cases[] = {
        {QStringList{"--output", six} + files, "--layout reflection or --layout transmission is required."},
        {QStringList{"--layout", "sideways", "--output", six} + files, "Unknown layout \"sideways\": use reflection or transmission."},
        {QStringList{"--layout", "reflection"} + files, "--output OUT.six is required."},
        {QStringList{"--layout", "reflection", "--output", dir.filePath("out/x.bmp")} + files,
         "The output file \"" + dir.filePath("out/x.bmp") + "\" must be named *.six."},
        {QStringList{"--layout", "reflection", "--output", six} + files.mid(0, 5), "Six image files are needed, 5 given."},
        {QStringList{"--layout", "reflection", "--output", six} + files + QStringList{files[0]}, "Six image files are needed, 7 given."},
        {QStringList{"--layout", "reflection", "--output", six, "--filter", "--cutoff", "quarter"} + files,
         "The cut-off ratio \"quarter\" must be a number between 0 and 1."},
        {QStringList{"--layout", "reflection", "--output", six, "--cutoff", "1"} + files,
         "The cut-off ratio \"1\" must be a number between 0 and 1."},
        {QStringList{"--layout", "reflection", "--output", six, "--i5"} + files, "Unknown option 'i5'."},
        {QStringList{"--layout"}, "Missing value after '--layout'."},
    };
    for (const auto &c : cases) {
        const CommandRun run = compose(c.arguments);
        EXPECT_EQ(run.exitCode, 2) << c.complaint.toStdString();
        EXPECT_EQ(run.err, "isostepbmp compose: " + c.complaint + "\nTry 'isostepbmp compose --help'.\n");
        EXPECT_EQ(run.out, "");
    }
    EXPECT_TRUE(outputFiles().isEmpty());

    const CommandRun help = compose({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: isostepbmp compose [options] IMAGE1 ... IMAGE6\n")) << help.out.toStdString();
}

TEST_F(ComposeCommand, UnusableInputsWriteNothing)
{
    const QString six = dir.filePath("out/x.six");
    QStringList missing = files;
    missing[4] = dir.filePath("in/disc5 (copy).bmp");
    CommandRun run = compose(QStringList{"--layout", "transmission", "--output", six, "--i4"} + missing);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith("isostepbmp compose: Cannot read the picture file " + missing[4] + ".  ")) << run.err.toStdString();
    EXPECT_EQ(run.out, "");

    QStringList mixed = files;
    mixed[2] = dir.filePath("in/small.bmp");
    ASSERT_TRUE(saveBmp24(greyImage(3, 60, 43), mixed[2]));
    run = compose(QStringList{"--layout", "reflection", "--output", six, "--i46"} + mixed);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "isostepbmp compose: The picture file " + mixed[2] +
                           " is 60 x 43 pixels, but image 1 is 60 x 44 pixels.  All six images must have the same size.\n");
    EXPECT_TRUE(outputFiles().isEmpty());
}

TEST_F(ComposeCommand, UnwritableOutputWritesNothingAndKeepsEarlierFiles)
{
    const QString nowhere = dir.filePath("out/gone/x.six");
    CommandRun run = compose(QStringList{"--layout", "reflection", "--output", nowhere, "--i6"} + files);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith("isostepbmp compose: Could not write " + nowhere + ".  ")) << run.err.toStdString();
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(outputFiles().isEmpty());

    // The last companion is blocked: the earlier ".six" keeps its data and
    // neither new companion is left behind.
    const QString six = dir.filePath("out/y.six");
    {
        QFile earlier(six);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier run");
    }
    ASSERT_TRUE(QDir(dir.filePath("out")).mkdir("y_i6.bmp"));
    run = compose(QStringList{"--layout", "reflection", "--output", six, "--i46", "--i4", "--i6"} + files);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "isostepbmp compose: Could not write " + dir.filePath("out/y_i6.bmp") + ".  A folder of that name is in the way.\n");
    EXPECT_EQ(fileBytes(six), "earlier run");
    EXPECT_EQ(outputFiles(), (QStringList{"y.six", "y_i6.bmp"}));
}
