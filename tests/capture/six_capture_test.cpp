// The transmission sequence and the alignment window's grab on the virtual
// card: six different pictures through to the ".six", byte for byte.
#include "capture_fixture.h"

#include "alignment/frm_align.h"
#include "cli/compose_command.h"
#include "platform/picture_box.h"
#include "platform/raster.h"

#include <QTextStream>

namespace {

constexpr auto kOk = Operator::Answer::Ok;
constexpr auto kCancel = Operator::Answer::Cancel;

QString transPrompt(int n)
{
    return QStringLiteral("Trans. Image %1: set up the optics and press OK.").arg(n);
}

const QStringList kGrabPrompts = {
    QString::fromUtf8("Set polarisers vertical by setting 100 to white direction arrow. Tang will be vertically down "
                      "and large knob, H, horizontal.  Lock knob H. Move small knob, B, to red location D.  Rotate "
                      "inner ring so that compensator yellow arrow is at -45 (red)."),
    QString::fromUtf8("Rotate compensator yellow arrow by 90° to +45 (white) and press OK"),
    QString::fromUtf8("Move small knob, B, to red location M and press OK"),
    QString::fromUtf8("Rotate compensator yellow arrow by 45° to 0 (white) and press OK"),
    QString::fromUtf8("Rotate compensator yellow arrow by 45° to -45 (red) and press OK"),
    QString::fromUtf8("Rotate compensator yellow arrow by 45° to -90 (red) and press OK"),
};

class SixCaptureTest : public CaptureTest {
protected:
    // Picture n of the set, as the camera gives it, saved as "frame<n>.bmp".
    void grabFrames()
    {
        for (int n = 1; n <= 6; ++n)
            grabToFile(scene(10 + n), frameFile(n));
    }
    QString frameFile(int n) const { return path(QStringLiteral("frame%1.bmp").arg(n)); }

    // Start-up with the card, the six frames saved, and the alignment
    // window's grab taken through all six prompts.
    frmAlign *grabInAlignWindow()
    {
        MDIForm1 &w = start();
        grabFrames();
        w.cmdAlign_Click();
        frmAlign *align = w.alignWindow();
        if (!align)
            return nullptr;
        setUpOptics(kGrabPrompts);
        op.answers = {kOk, kOk, kOk, kOk, kOk, kOk};
        align->cmdGrab_Click();
        return align;
    }

    // The operator turns to picture n when prompt n shows (of the scenes
    // after `scenes`); `stopAt` makes the camera stop there, until the
    // operator is told to reconnect it.
    void setUpOptics(const QStringList &prompts, int stopAt = 0, int scenes = 10)
    {
        op.atBench = [this, prompts, stopAt, scenes](const QString &text) {
            if (const qsizetype n = prompts.indexOf(text); n >= 0) {
                card->setPicture(scene(scenes + static_cast<int>(n) + 1));
                card->options().acquisitionStuck = n + 1 == stopAt;
            }
            if (text == "Error. Check that camera is connected, then click OK.")
                card->options().acquisitionStuck = false;
        };
    }

    QByteArray composed(const QString &layout, const QList<int> &order)
    {
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        QStringList arguments = {"--layout", layout, "--output", path("files.six")};
        for (int n : order)
            arguments << frameFile(n);
        EXPECT_EQ(runComposeCommand(arguments, out, err), 0) << errText.toStdString();
        return fileBytes(path("files.six"));
    }
};

QStringList transPrompts()
{
    QStringList prompts;
    for (int n = 1; n <= 6; ++n)
        prompts << transPrompt(n);
    return prompts;
}

} // namespace

TEST_F(SixCaptureTest, TransmissionCapturesEachImageAfreshAsTheFilesComposeIt)
{
    MDIForm1 &w = start();
    grabFrames();
    w.naming().adopt(path("trans.six"));
    setUpOptics(transPrompts());
    op.answers = {kOk, kOk, kOk, kOk, kOk, kOk};
    w.cmdTrans_Click();
    EXPECT_EQ(op.texts(), transPrompts() << "Finished.  Written file as " + path("trans.six"));
    EXPECT_EQ(op.messages[0].buttons, Operator::Buttons::OkCancel);
    EXPECT_EQ(op.dialogs.size(), 0u);
    EXPECT_EQ(fileBytes(path("trans.six")), composed("transmission", {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(w.imageForm(6)->windowTitle(), "Trans. Image 6");
    EXPECT_EQ(ended, -1);
}

TEST_F(SixCaptureTest, TransmissionStoppedByCancelOrByTheCardWritesNothingAndCarriesOn)
{
    MDIForm1 &w = start();
    w.naming().adopt(path("trans.six"));
    setUpOptics(transPrompts());
    op.answers = {kOk, kOk, kCancel};
    w.cmdTrans_Click();
    EXPECT_EQ(op.texts(), transPrompts().mid(0, 3));
    EXPECT_FALSE(QFile::exists(path("trans.six")));
    EXPECT_TRUE(w.naming().fileNameFresh());

    // The camera stops at image 4: the card is brought down and up again
    // once the operator has reconnected it, and nothing is written.
    op.messages.clear();
    setUpOptics(transPrompts(), 4);
    op.answers = {kOk, kOk, kOk, kOk};
    w.cmdTrans_Click();
    ASSERT_EQ(op.texts(), transPrompts().mid(0, 4) << "Error. Check that camera is connected, then click OK.");
    EXPECT_EQ(op.messages[4].title, "Error");
    EXPECT_EQ(op.messages[4].icon, Operator::Icon::Exclamation);
    EXPECT_FALSE(QFile::exists(path("trans.six")));
    EXPECT_TRUE(QFile::exists(path("dump.ini")));
    EXPECT_EQ(ended, -1);

    // The program and the card carry on.
    grabFrames();
    op.messages.clear();
    setUpOptics(transPrompts());
    op.answers = {kOk, kOk, kOk, kOk, kOk, kOk};
    w.cmdTrans_Click();
    EXPECT_EQ(op.texts().last(), "Finished.  Written file as " + path("trans.six"));
    EXPECT_EQ(fileBytes(path("trans.six")), composed("transmission", {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(ended, -1);
}

TEST_F(SixCaptureTest, GrabbedImagesWithDefaultOriginsComposeAsTheFramesFromFiles)
{
    frmAlign *align = grabInAlignWindow();
    ASSERT_NE(align, nullptr);
    EXPECT_EQ(op.texts(), kGrabPrompts);
    EXPECT_EQ(op.messages[0].title, "Align");
    EXPECT_FLOAT_EQ(align->fit().previewScale, 1.38f);
    EXPECT_EQ(align->Picture1[1]->image().pixel(50, 50), 0xffff0000u); // the red square

    op.messages.clear();
    align->Command1_Click();
    op.answers = {Operator::Answer::Yes};
    op.files = {path("grab.six")};
    align->cmdOK_Click();
    EXPECT_EQ(op.texts(),
              QStringList({"Do you wish to save the .six data?", "Finished.  Written file as " + path("grab.six")}));

    // With the crosses at their default place OK cuts every grabbed frame
    // at (12, 12); the reflection sequence cuts a file at its own (0, 0).
    // The frames moved 12 pixels up and left are the files that compose
    // the same ".six".
    for (int n = 1; n <= 6; ++n) {
        const QImage frame = QImage(frameFile(n)).convertToFormat(QImage::Format_RGB32);
        QImage moved(frame.size(), QImage::Format_RGB32);
        moved.fill(Qt::black);
        raster::bitBlt(moved, 0, 0, frame.width(), frame.height(), frame, 12, 12, raster::Rop::SrcCopy);
        ASSERT_TRUE(moved.save(frameFile(n), "BMP"));
    }
    EXPECT_EQ(fileBytes(path("grab.six")), composed("reflection", {1, 2, 3, 4, 5, 6}));
}

TEST_F(SixCaptureTest, AGrabCancelledOrFailedPutsBackWhatTheWindowHad)
{
    frmAlign *align = grabInAlignWindow();
    ASSERT_NE(align, nullptr);
    const std::array<QImage, 7> set = state.imageDCs;
    std::array<QImage, 7> views;
    for (int i = 1; i <= 6; ++i)
        views[i] = align->Picture1[i]->image();
    const int setNumber = state.imageSet;

    struct Case {
        const char *what;
        std::deque<Operator::Answer> answers;
        int stopAt;
        QStringList told;
    };
    const Case cases[] = {
        {"cancelled at image 3", {kOk, kOk, kCancel}, 0, {}},
        {"camera stopped at image 2",
         {kOk, kOk},
         2,
         {"Image 2 could not be grabbed (No video signal detected).  The window keeps the images it had."}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        op.messages.clear();
        setUpOptics(kGrabPrompts, c.stopAt, 30); // other pictures than the set's
        op.answers = c.answers;
        align->cmdGrab_Click();
        EXPECT_EQ(op.texts(), kGrabPrompts.mid(0, static_cast<qsizetype>(c.answers.size())) + c.told);
        EXPECT_EQ(state.imageSet, setNumber);
        for (int i = 1; i <= 6; ++i) {
            EXPECT_EQ(state.imageDCs[i], set[i]) << i;
            EXPECT_EQ(align->Picture1[i]->image(), views[i]) << i;
        }
        EXPECT_EQ(ended, -1);
    }
}
