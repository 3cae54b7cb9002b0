// The whole road: a reflection sequence on the sample set, "Yes" to a new
// alignment, markers picked in the window, the alignment saved, OK, and the
// ".six" cut at the picked origins, the same as the batch command gives.
#include "shell_fixture.h"

#include "acquisition/composite_writer.h"
#include "acquisition/working_images.h"
#include "alignment/frm_align.h"
#include "cli/compose_command.h"
#include "platform/bmp_file.h"
#include "platform/picture_box.h"
#include "platform/raster.h"

#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

QByteArray bytesOf(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class AlignSequenceTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        for (int n = 1; n <= 6; ++n)
            ASSERT_TRUE(QFile::copy(QStringLiteral(ISOSTEP_SAMPLES_DIR "/sample%1.bmp").arg(n), sample(n)));
        load();
        op.files = {six()};
        window->cmdFile_Click();
        op.dialogs.clear();
    }

    QString sample(int n) const { return folder.filePath(QStringLiteral("sample%1.bmp").arg(n)); }
    QString six() const { return folder.filePath("disc.six"); }

    QTemporaryDir folder;
};

} // namespace

TEST_F(AlignSequenceTest, ReflectionYesMarkersOkWritesTheSixAtThePickedOrigins)
{
    op.files = {sample(1)};
    op.answers = {Operator::Answer::Yes, Operator::Answer::Yes};
    window->cmdRef_Click();
    ASSERT_EQ(op.messages.size(), 2u);
    QPointer<frmAlign> align = window->alignWindow();
    ASSERT_FALSE(align.isNull());
    EXPECT_TRUE(align->isVisible());
    EXPECT_EQ(align->size(), QSize(785, 507));
    EXPECT_EQ(state.alignState, 1);
    EXPECT_FALSE(align->cmdGrab->isEnabled());
    EXPECT_EQ(align->Label1->text(),
              "Move red square over the area of interest using the arrow keys and press ENTER.  Or, double click on the point of interest.");
    EXPECT_FALSE(QFile::exists(six()));
    // The set is drawn whole on opening.
    QImage whole(200, 200, QImage::Format_RGB32);
    whole.fill(frmAlign::viewBackground);
    raster::stretchBlt(whole, 0, 0, 200, 200, state.imageDCs[2], 0, 0, 276, 276);
    EXPECT_EQ(align->Picture1[2]->image(), whole);

    QTest::mouseClick(align->Picture1[1], Qt::LeftButton, Qt::NoModifier, QPoint(90, 100));
    QTest::keyClick(align->Picture1[1], Qt::Key_Return);
    ASSERT_EQ(align->pickMode(), 1);

    // Marker positions in view pixels, and the origins they must give:
    // image 3's 9.5 and image 4's 12.5 round to even, image 5 reaches past
    // the margin and is not clamped.
    const QPoint markers[7] = {{}, {100, 100}, {102, 98}, {95, 105}, {101, 101}, {120, 80}, {100, 100}};
    const std::array<QPoint, 6> origins = {QPoint(12, 12), QPoint(13, 11), QPoint(10, 14),
                                           QPoint(12, 12), QPoint(22, 2), QPoint(12, 12)};
    for (int i = 1; i <= 6; ++i)
        QTest::mouseClick(align->Picture1[i], Qt::LeftButton, Qt::NoModifier, markers[i]);
    EXPECT_EQ(window->statusPanel(StatusPanel::AlignmentSource), "Unsaved Settings");

    const QString sal = folder.filePath("disc.sal");
    op.files = {sal};
    align->cmdSave_Click();
    EXPECT_EQ(bytesOf(sal), QByteArray("12,12\r\n13,11\r\n10,14\r\n12,12\r\n22,2\r\n12,12\r\n"));

    op.messages.clear();
    QTest::mouseClick(align->cmdOK, Qt::LeftButton);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Finished.  Written file as " + six());
    EXPECT_EQ(op.unscripted, 0);

    WorkingImages set(SixLayout::Reflection);
    for (int n = 1; n <= 6; ++n)
        ASSERT_EQ(set.take(n, sample(n)), QString());
    const QByteArray written = bytesOf(six());
    EXPECT_EQ(written, encodeBmp24(packSix(SixLayout::Reflection, set.images(), QSize(256, 256), origins)));
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(state.alignX[i], origins[i - 1].x());
        EXPECT_EQ(state.alignY[i], origins[i - 1].y());
        EXPECT_TRUE(state.imageDCs[i].isNull());
    }
    EXPECT_EQ(state.alignState, 0);
    EXPECT_EQ(window->statusPanel(StatusPanel::Status), "Done");
    EXPECT_FALSE(window->naming().fileNameFresh());
    ASSERT_FALSE(align.isNull());
    EXPECT_TRUE(align->unloaded());
    EXPECT_FALSE(align->isVisible());
    EXPECT_EQ(state.cropWidth, 256);

    // The batch command with the saved alignment writes the same bytes.
    const QString batch = folder.filePath("batch.six");
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    QStringList arguments = {"--layout", "reflection", "--origins", sal, "--output", batch};
    for (int n = 1; n <= 6; ++n)
        arguments << sample(n);
    ASSERT_EQ(runComposeCommand(arguments, out, err), 0) << errText.toStdString();
    EXPECT_EQ(bytesOf(batch), written);

    // A later run under the same name, answered "No" to a new alignment,
    // keeps the picked origins.
    QFile::remove(six());
    op.files = {sample(1)};
    op.answers = {Operator::Answer::Yes, Operator::Answer::Yes, Operator::Answer::No};
    window->cmdRef_Click();
    EXPECT_EQ(bytesOf(six()), written);
}

TEST_F(AlignSequenceTest, ANewSetReplacesAWindowAlreadyOpen)
{
    window->cmdAlign_Click();
    QPointer<frmAlign> empty = window->alignWindow();
    ASSERT_FALSE(empty.isNull());
    ASSERT_TRUE(empty->cmdGrab->isEnabled());
    op.files = {sample(1)};
    op.answers = {Operator::Answer::Yes, Operator::Answer::Yes};
    window->cmdRef_Click();
    EXPECT_TRUE(empty.isNull());
    frmAlign *align = window->alignWindow();
    ASSERT_NE(align, nullptr);
    EXPECT_FALSE(align->cmdGrab->isEnabled());
    EXPECT_EQ(state.alignState, 1);
    EXPECT_FALSE(state.imageDCs[1].isNull());
    EXPECT_EQ(align->Picture1[1]->image().pixel(50, 50), 0xffff0000u);
}

TEST_F(AlignSequenceTest, ClosingTheWindowWithoutOkLeavesNothingPending)
{
    op.files = {sample(1)};
    op.answers = {Operator::Answer::Yes, Operator::Answer::Yes};
    window->cmdRef_Click();
    QPointer<frmAlign> align = window->alignWindow();
    ASSERT_FALSE(align.isNull());
    align->close();
    EXPECT_EQ(state.alignState, 0);
    EXPECT_TRUE(state.imageDCs[1].isNull());
    EXPECT_FALSE(QFile::exists(six()));

    // Opened again by hand it waits for images instead of drawing a set
    // that is gone.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window->cmdAlign_Click();
    ASSERT_NE(window->alignWindow(), nullptr);
    EXPECT_EQ(window->alignWindow()->Label1->text(), "Grab images to align or read in SIX file.");
    EXPECT_TRUE(window->alignWindow()->cmdGrab->isEnabled());
}
