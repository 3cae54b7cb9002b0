#include "shell_fixture.h"

#include "cli/compose_command.h"
#include "workbench/frm_img.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextStream>

namespace {
// The sample set copied into a folder of the test's own, so files can be
// left out or replaced.
class SequenceTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        for (int n = 1; n <= 6; ++n)
            ASSERT_TRUE(QFile::copy(QStringLiteral(ISOSTEP_SAMPLES_DIR "/sample%1.bmp").arg(n), sample(n)));
        load();
        op.files = {folder.filePath("disc.six")};
        window->cmdFile_Click();
        op.dialogs.clear();
    }

    QString sample(int n) const { return folder.filePath(QStringLiteral("sample%1.bmp").arg(n)); }
    QImage picture(int n) const { return QImage(sample(n)).convertToFormat(QImage::Format_RGB32); }
    QString six() const { return folder.filePath("disc.six"); }

    QTemporaryDir folder;
};

int channel(QRgb pixel, int which)
{
    return which == 0 ? qRed(pixel) : which == 1 ? qGreen(pixel) : qBlue(pixel);
}

// Checks every pixel of a ".six" against the pictures it was made from.
// layout[tile][channel] is the image number; the file pixel read for tile
// pixel (x, y) is (x + shift, y + shift).
void expectSix(const QImage &six, const std::array<QImage, 7> &pictures, const int layout[2][3], int shift)
{
    ASSERT_EQ(six.size(), QSize(512, 256));
    for (int tile = 0; tile < 2; ++tile)
        for (int c = 0; c < 3; ++c)
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x) {
                    const int expected = qGreen(pictures[layout[tile][c]].pixel(x + shift, y + shift));
                    const int actual = channel(six.pixel(tile * 256 + x, y), c);
                    if (expected != actual) {
                        ADD_FAILURE() << "tile " << tile << " channel " << c << " at " << x << "," << y << ": "
                                      << actual << " instead of " << expected;
                        return;
                    }
                }
}
} // namespace

TEST_F(SequenceTest, ReflectionWithAutoReadWritesTheSixFromTheSamples)
{
    op.files = {sample(1)};
    op.answers = {Operator::Answer::Yes, Operator::Answer::Cancel};
    state.setAllOrigins(14);
    window->cmdRef_Click();

    ASSERT_EQ(op.dialogs.size(), 1u);
    EXPECT_EQ(op.dialogs[0].record.title, "Choose file for image 1");
    EXPECT_EQ(op.dialogs[0].record.filters[0].first, "BMP files");
    EXPECT_EQ(op.dialogs[0].record.filters[0].second, "*.bmp");
    ASSERT_EQ(op.messages.size(), 3u);
    EXPECT_EQ(op.messages[0].text, "Isograb has found similar files numbered 2 to 6.  Automatically read in?");
    EXPECT_EQ(op.messages[0].title, "AutoRead");
    EXPECT_EQ(op.messages[0].buttons, Operator::Buttons::YesNo);
    EXPECT_EQ(op.messages[1].text,
              "Set new alignment?  Choose 'Yes' to set alignment now, or 'No' to use current alignment settings, or 'Cancel' to use default.");
    EXPECT_EQ(op.messages[1].title, "Align?");
    EXPECT_EQ(op.messages[2].text, "Finished.  Written file as " + six());

    // Cancel put every origin back to 10: tile pixel (0, 0) is file pixel (0, 0).
    EXPECT_EQ(state.alignX[1], 10);
    const std::array<QImage, 7> pictures = {QImage(), picture(1), picture(2), picture(3),
                                            picture(4), picture(5), picture(6)};
    const int reflection[2][3] = {{6, 4, 2}, {5, 1, 3}};
    expectSix(QImage(six()), pictures, reflection, 0);

    EXPECT_EQ(window->statusPanel(StatusPanel::Status), "Done");
    EXPECT_FALSE(window->naming().fileNameFresh());
    EXPECT_EQ(state.maskImage.size(), QSize(276, 276));
    EXPECT_TRUE(state.imageDCs[1].isNull());
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(window->imageForm(i)->windowTitle(), QStringLiteral("Refl. Image %1").arg(i));
        EXPECT_FALSE(window->imageForm(i)->isHidden());
    }
    EXPECT_EQ(op.unscripted, 0);
}

TEST_F(SequenceTest, TransmissionCutsTheFileItselfAndDoesNotAskAboutAlignment)
{
    op.files = {sample(1)};
    op.answers = {Operator::Answer::Yes};
    state.setAllOrigins(14);
    window->cmdTrans_Click();

    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[1].text, "Finished.  Written file as " + six());
    const std::array<QImage, 7> pictures = {QImage(), picture(1), picture(2), picture(3),
                                            picture(4), picture(5), picture(6)};
    const int transmission[2][3] = {{1, 2, 3}, {4, 5, 6}};
    expectSix(QImage(six()), pictures, transmission, 10);
    EXPECT_EQ(window->statusPanel(StatusPanel::Status), "Finished");
    EXPECT_FALSE(window->naming().fileNameFresh());
    EXPECT_EQ(state.alignX[2], 14);
    EXPECT_EQ(window->imageForm(6)->windowTitle(), "Trans. Image 6");
}

TEST_F(SequenceTest, AlignmentAnswersNoAndYes)
{
    op.files = {sample(1)};
    op.answers = {Operator::Answer::Yes, Operator::Answer::No};
    state.setAllOrigins(12);
    window->cmdRef_Click();
    const QImage shifted(six());
    // No keeps the origins: the left tile's red is image 6 moved by two pixels.
    EXPECT_EQ(qRed(shifted.pixel(0, 0)), qGreen(picture(6).pixel(2, 2)));
    EXPECT_EQ(qRed(shifted.pixel(100, 50)), qGreen(picture(6).pixel(102, 52)));

    QFile::remove(six());
    op.messages.clear();
    op.files = {sample(1)};
    // The name is used now, so it is asked about first; then AutoRead, then
    // the alignment question.
    op.answers = {Operator::Answer::Yes, Operator::Answer::Yes, Operator::Answer::Yes};
    window->cmdRef_Click();
    EXPECT_EQ(op.unscripted, 0);
    ASSERT_EQ(op.messages.size(), 3u);
    EXPECT_EQ(op.messages[0].title, "Warning");
    // Yes hands the images to the alignment, which writes when it is done.
    EXPECT_EQ(state.alignState, 1);
    EXPECT_FALSE(QFile::exists(six()));
    EXPECT_FALSE(state.imageDCs[6].isNull());
}

TEST_F(SequenceTest, AutoReadIsNotOfferedWhenASiblingIsMissing)
{
    QFile::remove(sample(4));
    op.files = {sample(1), sample(2), sample(3), sample(5), sample(5), sample(6)};
    op.answers = {Operator::Answer::Cancel};
    window->cmdRef_Click();
    EXPECT_EQ(op.dialogs.size(), 6u);
    EXPECT_EQ(op.dialogs[5].record.title, "Choose file for image 6");
    ASSERT_FALSE(op.messages.empty());
    EXPECT_EQ(op.messages[0].title, "Align?");
    EXPECT_TRUE(QFile::exists(six()));
}

TEST_F(SequenceTest, CancelledFirstPictureEndsTheRunWritingNothing)
{
    op.files = {QString()};
    window->cmdRef_Click();
    EXPECT_EQ(op.dialogs.size(), 1u);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_FALSE(QFile::exists(six()));
    EXPECT_EQ(state.cropWidth, 256);
}

TEST_F(SequenceTest, UnreadableOrMismatchedPicturesEndTheRunWithTheirName)
{
    QFile bad(sample(3));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
    bad.write("not a picture");
    bad.close();
    op.files = {sample(1), sample(2), sample(3)};
    op.answers = {Operator::Answer::No};
    window->cmdRef_Click();
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_TRUE(op.messages[1].text.contains(sample(3))) << op.messages[1].text.toStdString();
    EXPECT_FALSE(QFile::exists(six()));
    // What was gathered so far stays in the image windows, but only a whole
    // set takes the place of the working images.
    EXPECT_FALSE(window->imageForm(2)->isHidden());
    EXPECT_TRUE(state.imageDCs[2].isNull());

    QImage small(100, 100, QImage::Format_RGB32);
    small.fill(Qt::gray);
    ASSERT_TRUE(small.save(sample(3), "BMP"));
    op.messages.clear();
    op.files = {sample(1), sample(2), sample(3)};
    op.answers = {Operator::Answer::Yes, Operator::Answer::No};
    window->naming().markFresh();
    window->cmdRef_Click();
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_TRUE(op.messages[1].text.contains("All six images must have the same size"));
    EXPECT_FALSE(QFile::exists(six()));
}

TEST_F(SequenceTest, BatchComposeGivesTheSequenceBytes)
{
    op.files = {sample(1)};
    op.answers = {Operator::Answer::Yes, Operator::Answer::Cancel};
    window->cmdRef_Click();
    QFile sequenceFile(six());
    ASSERT_TRUE(sequenceFile.open(QIODevice::ReadOnly));
    const QByteArray fromSequence = sequenceFile.readAll();

    const QString batch = folder.filePath("batch.six");
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    QStringList arguments = {"--layout", "reflection", "--output", batch};
    for (int n = 1; n <= 6; ++n)
        arguments << sample(n);
    ASSERT_EQ(runComposeCommand(arguments, out, err), 0) << errText.toStdString();
    QFile batchFile(batch);
    ASSERT_TRUE(batchFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(batchFile.readAll(), fromSequence);
}

TEST_F(SequenceTest, WithACardAFailedTransmissionCaptureRecoversTheCard)
{
    state.noCard = false;
    // A snap that fails: the card is brought down and up again and the run
    // ends without writing.
    card.results["snap"] = 11;
    op.answers = {Operator::Answer::Ok};
    window->cmdTrans_Click();
    EXPECT_EQ(op.texts(), QStringList({"Trans. Image 1: set up the optics and press OK.",
                                       "Error. Check that camera is connected, then click OK."}));
    EXPECT_EQ(op.messages[1].title, "Error");
    EXPECT_EQ(op.messages[1].icon, Operator::Icon::Exclamation);
    EXPECT_TRUE(op.dialogs.empty());
    EXPECT_EQ(card.calls, QStringList({"readIniFile DEFAULT", "prepare(1)", "defaultPalette(0)", "snap",
                                       "saveIniFile DEFAULT", "releasePalette", "closedown(1)", "init",
                                       "readIniFile DEFAULT", "prepare(1)", "defaultPalette(0)"}));
    EXPECT_FALSE(QFile::exists(six()));
}
