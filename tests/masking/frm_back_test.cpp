#include "fake_workstation.h"
#include "mask_test_support.h"
#include "masking/frm_back.h"
#include "masking/mask_point_file.h"
#include "masking/mask_render.h"
#include "masking/mask_zoom.h"
#include "platform/bmp_file.h"
#include "platform/picture_box.h"
#include "platform/up_down.h"
#include "shell_fixture.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include "batch_run.h"

#include <gtest/gtest.h>

using namespace mask_test;
using Answer = Operator::Answer;

namespace {

constexpr QRgb grey = 0xff808080;
constexpr QRgb black = 0xff000000;
constexpr QRgb red = frmBack::earlierPointColour;
constexpr QRgb green = frmBack::newPointColour;
constexpr QRgb cyan = frmBack::cursorColour;

// An editor over a small grey cell, as the composite writer leaves one.
class MaskEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.imageSizeOption = 0;
        state.cropWidth = 20;
        state.cropHeight = 16;
        state.imageWidth = 40;
        state.imageHeight = 36;
        state.maskImage = QImage(40, 36, QImage::Format_RGB32);
        state.maskImage.fill(grey);
        state.maskImage.setPixel(0, 0, 0xff102030);
        state.imageDCs[1] = QImage(4, 4, QImage::Format_RGB32);
        editor = std::make_unique<frmBack>(ws);
    }

    void click(int x, int y) { editor->Picture1_MouseDown(Qt::LeftButton, 0, x, y); }
    // Clicks an area and draws it with `answer` to the inside question.
    void drawArea(std::initializer_list<QPoint> points, Answer answer = Answer::Yes)
    {
        for (QPoint p : points)
            click(p.x(), p.y());
        op.answers = {answer};
        editor->CmdExecute_Click();
        op.answers.clear();
    }
    void drawTriangle(Answer answer = Answer::Yes) { drawArea({{1, 1}, {6, 1}, {1, 6}}, answer); }
    void writeFile(const QString &name, const QByteArray &contents)
    {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    QImage cell() const { return editor->Picture1->image().copy(0, 0, 20, 16); }
    // What Picture1 must show for a mask: grey where kept, black where masked.
    QImage shown(const QImage &mask) const { return mask_render::maskedPicture(state.maskImage, mask, QSize(24, 20)); }

    AppState state;
    ScriptedOperator op;
    FakeCardLibrary card;
    FakeWorkstation ws{state, op, card};
    std::unique_ptr<frmBack> editor;
    QTemporaryDir dir;
};

TEST_F(MaskEditor, LoadsWithEveryControlNamedAndTheImageShown)
{
    EXPECT_EQ(editor->windowTitle(), "Background");
    EXPECT_EQ(editor->Picture1->image().size(), QSize(24, 20));
    EXPECT_EQ(editor->Picture1->image(), shown(mask_render::whiteMask(QSize(20, 16))));
    EXPECT_EQ(editor->Picture1->image().pixel(0, 0), 0xff102030u);
    EXPECT_EQ(editor->Picture1->image().pixel(20, 0), black);
    EXPECT_FALSE(editor->Picture2->isVisibleTo(editor.get()));
    EXPECT_FALSE(editor->Frame1->isVisibleTo(editor.get()));
    EXPECT_FALSE(editor->cmdUndo->isEnabled());
    EXPECT_EQ(editor->areas(), MaskAreas());
    EXPECT_EQ(editor->UpDown2->maximum(), 19);
    EXPECT_EQ(editor->UpDown3->maximum(), 15);
    EXPECT_EQ(editor->UpDown4->minimum(), 1);
    EXPECT_EQ(editor->UpDown4->maximum(), 32);
    EXPECT_EQ(editor->UpDown1->maximum(), 127);
    EXPECT_EQ(editor->Label1->text(), "Click around area to be masked and click 'Draw'.");
    EXPECT_EQ(editor->checkCross->text(), "Crosses");
    EXPECT_EQ(editor->checkLines->text(), "Lines");

    const QList<QPair<QPushButton *, QStringList>> buttons = {
        {editor->CmdExecute, {"Draw", "Click to draw area AFTER defining area by clicking on image"}},
        {editor->cmdUndo, {"Delete Area", "Delete selected area"}},
        {editor->cmdClear, {"Clear All", "Clear all masked areas"}},
        {editor->cmdRead, {"Read .bgp", "Read in mask points from saved file"}},
        {editor->cmdSave, {"Save", "Save as .bng file"}},
        {editor->cmdReadSix, {"Read .SIX", "Read in image from .six file"}},
        {editor->cmdZoom, {"Zoom", "Zoom into the image"}},
        {editor->cmdClose, {"Close Zoom", "Close zoom picture - back to normal view"}},
    };
    for (const auto &[button, texts] : buttons) {
        EXPECT_EQ(button->text(), texts[0]);
        EXPECT_EQ(button->toolTip(), texts[1]);
        EXPECT_EQ(button->accessibleDescription(), texts[1]);
    }
    for (QWidget *widget : editor->findChildren<QWidget *>()) {
        if (qobject_cast<QToolButton *>(widget) || widget->objectName().startsWith("qt_"))
            continue;
        if (qobject_cast<QAbstractButton *>(widget) || qobject_cast<QLineEdit *>(widget) || qobject_cast<PictureBox *>(widget)
            || qobject_cast<QScrollBar *>(widget) || qobject_cast<UpDown *>(widget) || qobject_cast<QLabel *>(widget)) {
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->metaObject()->className() << " "
                                                             << widget->objectName().toStdString();
            EXPECT_EQ(widget->accessibleDescription(), widget->toolTip()) << widget->objectName().toStdString();
        }
    }
}

TEST_F(MaskEditor, ClickingPointsStartsAnAreaAndDrawsThemRedAndGreen)
{
    editor->checkCross->setChecked(true);
    editor->checkLines->setChecked(true);
    click(5, 5);
    EXPECT_EQ(editor->areas().maskAreaCount, 1);
    EXPECT_EQ(editor->areas().maskCurrentArea, 1);
    EXPECT_EQ(editor->Text4->text(), "1");
    EXPECT_TRUE(editor->areas().maskNewArea);
    EXPECT_EQ(op.beeps, 1);
    QImage picture = editor->Picture1->image();
    EXPECT_EQ(picture.pixel(5, 5), green);
    EXPECT_EQ(picture.pixel(3, 5), green);
    EXPECT_EQ(picture.pixel(7, 5), green);
    EXPECT_EQ(picture.pixel(8, 5), grey); // the cross ends 2 pixels out
    EXPECT_EQ(picture.pixel(5, 3), green);
    EXPECT_EQ(picture.pixel(5, 8), grey);

    editor->Picture1_MouseDown(Qt::RightButton, 0, 12.5, 9.5); // halves go to even: (12, 10)
    EXPECT_EQ(editor->areas().maskAreaCount, 1);
    EXPECT_EQ(editor->areas().point(1, 1), QPoint(12, 10));
    EXPECT_EQ(editor->Text1->text(), "1");
    EXPECT_EQ(editor->Text2->text(), "12");
    EXPECT_EQ(editor->Text3->text(), "10");
    EXPECT_EQ(op.beeps, 2);
    picture = editor->Picture1->image();
    // The earlier point is red, but the newest point's green line starts on
    // it and is drawn last.
    EXPECT_EQ(picture.pixel(5, 5), green);
    EXPECT_EQ(picture.pixel(3, 5), red);
    EXPECT_EQ(picture.pixel(5, 3), red);
    EXPECT_EQ(picture.pixel(12, 10), green);
    EXPECT_EQ(picture.pixel(8, 7), green); // on the line from (5, 5)
    EXPECT_EQ(editor->areas().maskCursorX, 12);
    EXPECT_EQ(editor->areas().maskCursorY, 10);
    editor->Picture1_MouseDown(Qt::LeftButton, 0, 1e9, -1e9); // far off the picture: held to 16 bits
    EXPECT_EQ(editor->areas().point(1, 2), QPoint(32767, -32768));

    // Without crosses and lines only the points themselves show.
    editor = std::make_unique<frmBack>(ws);
    click(5, 5);
    click(12, 10);
    picture = editor->Picture1->image();
    EXPECT_EQ(picture.pixel(5, 5), red);
    EXPECT_EQ(picture.pixel(12, 10), green);
    EXPECT_EQ(picture.pixel(4, 5), grey);
    EXPECT_EQ(picture.pixel(8, 7), grey);
}

TEST_F(MaskEditor, TriangleAnsweredYesIsMaskedAndNoMasksEverythingElse)
{
    drawTriangle();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_TRUE(op.messages[0].question);
    EXPECT_EQ(op.messages[0].text, "Is background inside this area?");
    EXPECT_EQ(op.messages[0].title, "Area");
    EXPECT_EQ(op.messages[0].buttons, Operator::Buttons::YesNo);

    MaskAreas triangle;
    setArea(triangle, 1, true, {{1, 1}, {6, 1}, {1, 6}});
    const QImage yesMask = mask_render::combinedMask(triangle, QSize(20, 16));
    EXPECT_EQ(editor->combinedMask(), yesMask);
    EXPECT_EQ(art(yesMask).mid(0, 8).join('|'),
              QStringList({"....................", ".######.............", ".#####..............", ".####...............",
                           ".###................", ".##.................", ".#..................", "...................."})
                  .join('|'));
    EXPECT_EQ(editor->Picture1->image(), shown(yesMask));
    EXPECT_EQ(editor->Picture2->image(), yesMask);
    EXPECT_TRUE(editor->areas().inside(1));
    EXPECT_EQ(editor->areas().pointCount(1), 3);
    EXPECT_EQ(editor->areas().maskPointsEntered, 0);
    EXPECT_FALSE(editor->areas().maskNewArea);
    EXPECT_TRUE(editor->cmdUndo->isEnabled());
    EXPECT_EQ(editor->Text1->text(), "");
    EXPECT_EQ(editor->Text2->text(), "");
    EXPECT_EQ(editor->Text3->text(), "");

    // Drawing again asks nothing: the area is no longer new.
    editor->CmdExecute_Click();
    EXPECT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(editor->combinedMask(), yesMask);

    editor->cmdClear_Click();
    drawTriangle(Answer::No);
    QImage noMask = yesMask;
    noMask.invertPixels();
    EXPECT_EQ(editor->combinedMask(), noMask);
    EXPECT_EQ(editor->Picture1->image(), shown(noMask));
    EXPECT_EQ(editor->Picture1->image().pixel(10, 10), black);
    EXPECT_EQ(editor->Picture1->image().pixel(2, 2), grey);
    EXPECT_FALSE(editor->areas().inside(1));
}

TEST_F(MaskEditor, OverlappingAreasMaskTheUnionAndOnePointAreasStillCount)
{
    drawArea({{0, 0}, {4, 0}, {4, 3}, {0, 3}});
    drawArea({{2, 2}, {6, 2}, {6, 5}, {2, 5}});
    EXPECT_EQ(art(editor->combinedMask()).mid(0, 7),
              (QStringList{"#####...............", "#####...............", "#######.............", "#######.............",
                           "..#####.............", "..#####.............", "...................."}));

    drawArea({{15, 15}}); // nothing to ask about a single point
    EXPECT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(editor->areas().maskAreaCount, 3);
    EXPECT_EQ(editor->areas().pointCount(3), 1);
    EXPECT_EQ(editor->Picture1->image().pixel(15, 15), grey);
    click(10, 10);
    EXPECT_EQ(editor->areas().maskAreaCount, 4);
    EXPECT_EQ(editor->Text4->text(), "4");
}

TEST_F(MaskEditor, A129thPointDropsTheOldestAndSpaceDoesTheSame)
{
    for (int i = 0; i < 129; ++i)
        editor->Picture1_MouseDown(Qt::LeftButton, 0, i % 20, i / 20);
    EXPECT_EQ(op.beeps, 129);
    EXPECT_EQ(editor->areas().maskPointsEntered, 128);
    EXPECT_EQ(editor->areas().point(1, 0), QPoint(1, 0));
    EXPECT_EQ(editor->areas().point(1, 127), QPoint(128 % 20, 128 / 20));
    EXPECT_EQ(editor->Text1->text(), "127");

    editor->Picture1_KeyDown(frmBack::keySpace, 0);
    EXPECT_EQ(editor->areas().maskPointsEntered, 128);
    EXPECT_EQ(editor->areas().point(1, 0), QPoint(2, 0));
    EXPECT_EQ(editor->areas().point(1, 127), QPoint(128 % 20, 128 / 20));
    EXPECT_EQ(editor->areas().maskPoints[1][128], QPoint());
    EXPECT_EQ(op.beeps, 129); // Space is silent
    drawArea({});
    EXPECT_EQ(editor->areas().pointCount(1), 128);
}

TEST_F(MaskEditor, A33rdAreaIsRefusedAndNothingIsStored)
{
    for (int area = 1; area <= 32; ++area)
        drawArea({{area % 20, 1}});
    EXPECT_EQ(editor->areas().maskAreaCount, 32);
    const MaskAreas before = editor->areas();
    const int beeps = op.beeps;
    click(3, 3);
    EXPECT_EQ(editor->areas(), before);
    EXPECT_EQ(op.beeps, beeps);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_FALSE(op.messages[0].question);
    EXPECT_EQ(op.messages[0].text, "All 32 areas are in use.  Delete an area before starting a new one.");
    EXPECT_EQ(op.messages[0].title, "Area");

    editor->Text4->setText("32");
    op.answers = {Answer::Yes};
    editor->cmdUndo_Click();
    click(3, 3);
    EXPECT_EQ(editor->areas().maskAreaCount, 32);
    EXPECT_EQ(editor->areas().maskPointsEntered, 1);
}

TEST_F(MaskEditor, DeletingArea2Of3KeepsArea3sChoice)
{
    drawArea({{0, 0}, {5, 0}, {0, 5}});
    drawArea({{10, 0}, {15, 0}, {10, 5}});
    drawArea({{0, 9}, {6, 9}, {0, 15}}, Answer::No);
    editor->Text4->setText("2");
    EXPECT_EQ(editor->areas().maskCurrentArea, 2);
    EXPECT_EQ(editor->Text1->text(), "0");
    EXPECT_EQ(editor->Text2->text(), "10");
    EXPECT_EQ(editor->Text3->text(), "0");

    op.answers = {Answer::No};
    editor->cmdUndo_Click();
    EXPECT_EQ(op.messages.back().text, "Are you sure you want to DELETE AREA 2?");
    EXPECT_EQ(op.messages.back().title, "Delete Area");
    EXPECT_EQ(op.messages.back().buttons, Operator::Buttons::YesNo);
    EXPECT_EQ(editor->areas().maskAreaCount, 3);

    const size_t asked = op.messages.size();
    op.answers = {Answer::Yes};
    editor->cmdUndo_Click();
    EXPECT_EQ(op.messages.size(), asked + 1); // the redraw asks nothing more
    EXPECT_EQ(editor->areas().maskAreaCount, 2);
    EXPECT_TRUE(editor->areas().inside(1));
    EXPECT_FALSE(editor->areas().inside(2));
    EXPECT_EQ(editor->areas().point(2, 2), QPoint(0, 15));

    MaskAreas expected;
    setArea(expected, 1, true, {{0, 0}, {5, 0}, {0, 5}});
    setArea(expected, 2, false, {{0, 9}, {6, 9}, {0, 15}});
    EXPECT_EQ(editor->combinedMask(), mask_render::combinedMask(expected, QSize(20, 16)));
    EXPECT_EQ(editor->Picture1->image(), shown(editor->combinedMask()));
}

TEST_F(MaskEditor, DeletingAnAreaPastTheLastDeletesNothingAndSaysSo)
{
    drawArea({{0, 0}, {5, 0}, {0, 5}});
    drawArea({{10, 0}, {15, 0}, {10, 5}});
    const MaskAreas before = editor->areas();
    const QImage mask = editor->combinedMask();
    editor->Text4->setText("5");
    ASSERT_EQ(editor->areas().maskCurrentArea, 5);
    op.messages.clear();
    op.answers = {Answer::Yes};
    editor->cmdUndo_Click();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_FALSE(op.messages[0].question);
    EXPECT_EQ(op.messages[0].text, "There is no area 5 to delete.  The areas are numbered 1 to 2.");
    EXPECT_EQ(op.messages[0].title, "Delete Area");
    EXPECT_EQ(editor->areas().maskAreaCount, 2);
    EXPECT_EQ(editor->areas().pointCount(2), 3);
    EXPECT_EQ(editor->combinedMask(), mask);
    EXPECT_EQ(editor->areas().maskPoints, before.maskPoints);
}

TEST_F(MaskEditor, ClearAllForgetsEveryAreaAndTheOneBeingEntered)
{
    drawTriangle();
    click(10, 10);
    click(12, 12);
    editor->cmdClear_Click();
    EXPECT_TRUE(op.messages.size() == 1u);
    EXPECT_EQ(editor->areas().maskAreaCount, 0);
    EXPECT_EQ(editor->areas().maskPointsEntered, 0);
    EXPECT_EQ(editor->combinedMask(), mask_render::whiteMask(QSize(20, 16)));
    EXPECT_EQ(editor->Picture1->image(), shown(editor->combinedMask()));
    EXPECT_EQ(editor->Text1->text(), "");
    click(3, 3);
    EXPECT_EQ(editor->areas().maskAreaCount, 1);
    EXPECT_EQ(editor->areas().maskPointsEntered, 1);
}

TEST_F(MaskEditor, ArrowKeysMoveTheCursorAndSpaceAddsItsPoint)
{
    click(5, 5);
    editor->Picture1_KeyDown(frmBack::keyRight, 0);
    EXPECT_EQ(editor->areas().maskCursorX, 6);
    editor->Picture1_KeyDown(frmBack::keyDown, frmBack::shiftKey);
    EXPECT_EQ(editor->areas().maskCursorY, 7);
    editor->Picture1_KeyDown(frmBack::keyLeft, frmBack::ctrlKey); // Shift + 1 counts every shift bit
    EXPECT_EQ(editor->areas().maskCursorX, 3);
    editor->Picture1_KeyDown(frmBack::keyUp, 0);
    EXPECT_EQ(editor->areas().maskCursorY, 6);
    const QImage picture = editor->Picture1->image();
    for (int d = -3; d <= 3; ++d) {
        EXPECT_EQ(picture.pixel(3 + d, 6), cyan) << d;
        EXPECT_EQ(picture.pixel(3, 6 + d), cyan) << d;
    }
    EXPECT_EQ(picture.pixel(7, 6), grey);
    EXPECT_EQ(picture.pixel(5, 5), green);
    EXPECT_EQ(op.beeps, 1);

    editor->Picture1_KeyDown(frmBack::keySpace, 0);
    EXPECT_EQ(editor->areas().maskPointsEntered, 2);
    EXPECT_EQ(editor->areas().point(1, 1), QPoint(3, 6));
    EXPECT_EQ(editor->Text1->text(), "1");
    EXPECT_EQ(editor->Text2->text(), "3");
    EXPECT_EQ(editor->Text3->text(), "6");
    EXPECT_EQ(editor->Picture1->image().pixel(3, 6), green);
    EXPECT_EQ(editor->Picture1->image().pixel(5, 5), red);
    EXPECT_EQ(op.beeps, 1);

    // The edges: 0..cropWidth and 0..cropHeight.
    editor->Picture1_KeyDown(frmBack::keyLeft, frmBack::altKey); // 5 pixels would pass 0
    EXPECT_EQ(editor->areas().maskCursorX, 3);
    EXPECT_EQ(op.beeps, 2);
    for (int i = 0; i < 17; ++i)
        editor->Picture1_KeyDown(frmBack::keyRight, 0);
    EXPECT_EQ(editor->areas().maskCursorX, 20);
    EXPECT_EQ(op.beeps, 2);
    editor->Picture1_KeyDown(frmBack::keyRight, 0);
    EXPECT_EQ(editor->areas().maskCursorX, 20);
    EXPECT_EQ(op.beeps, 3);
    const MaskAreas before = editor->areas();
    editor->Picture1_KeyDown(65, 0); // any other key
    EXPECT_EQ(editor->areas(), before);

    // Keys reach the handler from the picture box too.
    QTest::keyClick(editor->Picture1, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(editor->areas().maskCursorY, 4);
}

TEST_F(MaskEditor, SpinnersInspectAndMovePoints)
{
    drawTriangle();
    drawArea({{10, 10}, {15, 10}, {15, 14}}, Answer::No);

    // Area spinner: clamped to the areas there are.
    editor->Text4->setText("2");
    editor->UpDown4->stepBy(1);
    EXPECT_EQ(op.beeps, 7);
    EXPECT_EQ(editor->Text4->text(), "2");
    EXPECT_EQ(editor->areas().maskCurrentArea, 2);
    EXPECT_EQ(editor->Picture1->image().pixel(15, 10), green);
    editor->UpDown4->stepBy(-1);
    EXPECT_EQ(editor->areas().maskCurrentArea, 1);
    EXPECT_EQ(editor->Text1->text(), "0");
    EXPECT_EQ(editor->Text2->text(), "1");

    // Point spinner: clamped to the last point of the area.
    editor->UpDown1->stepBy(1);
    EXPECT_EQ(editor->Text1->text(), "1");
    EXPECT_EQ(editor->Text2->text(), "6");
    EXPECT_EQ(editor->Text3->text(), "1");
    EXPECT_EQ(editor->Picture1->image().pixel(6, 1), green);
    EXPECT_EQ(editor->Picture1->image().pixel(1, 1), red);
    editor->UpDown1->stepBy(1);
    editor->UpDown1->stepBy(1);
    EXPECT_EQ(op.beeps, 8);
    EXPECT_EQ(editor->Text1->text(), "2");
    EXPECT_EQ(editor->Text3->text(), "6");

    // Moving point 2 of area 1 takes effect at the next "Draw".
    const QImage before = editor->combinedMask();
    editor->UpDown2->stepBy(3);
    EXPECT_EQ(editor->areas().point(1, 2), QPoint(4, 6));
    editor->UpDown3->stepBy(-2);
    EXPECT_EQ(editor->areas().point(1, 2), QPoint(4, 4));
    EXPECT_EQ(editor->combinedMask(), before);
    EXPECT_EQ(editor->Picture1->image().pixel(4, 4), red);
    const size_t asked = op.messages.size();
    editor->CmdExecute_Click();
    EXPECT_EQ(op.messages.size(), asked);
    MaskAreas expected;
    setArea(expected, 1, true, {{1, 1}, {6, 1}, {4, 4}});
    setArea(expected, 2, false, {{10, 10}, {15, 10}, {15, 14}});
    EXPECT_EQ(editor->combinedMask(), mask_render::combinedMask(expected, QSize(20, 16)));
    EXPECT_EQ(editor->Picture1->image(), shown(editor->combinedMask()));
}

TEST_F(MaskEditor, SaveWritesTheMaskBitmapAndPointFileThenCloses)
{
    drawTriangle();
    drawArea({{10, 10}, {15, 10}, {15, 14}, {10, 14}}, Answer::No);
    editor->show();

    const QImage mask = editor->combinedMask();
    ASSERT_EQ(mask.size(), QSize(20, 16));
    const QString name = dir.filePath("mask1.bng");
    op.files = {name};
    editor->cmdSave_Click();
    ASSERT_EQ(op.dialogs.size(), 1u);
    EXPECT_TRUE(op.dialogs[0].save);
    EXPECT_EQ(op.dialogs[0].record.title, "Choose file name");
    EXPECT_EQ(op.dialogs[0].record.filters, (QList<QPair<QString, QString>>{{"Mask bitmap files", "*.bng"}}));
    EXPECT_EQ(op.dialogs[0].record.defaultExtension, "bng");
    EXPECT_TRUE(op.dialogs[0].record.overwritePrompt);
    EXPECT_EQ(ws.panel(StatusPanel::AlignmentSource), name);
    EXPECT_EQ(fileBytes(name), encodeBmp24(mask));
    const QByteArray points = fileBytes(dir.filePath("mask1.bgp"));
    EXPECT_EQ(points, QByteArray("\"NB\",2\r\n3,#TRUE#\r\n1,1\r\n6,1\r\n1,6\r\n"
                                 "4,#FALSE#\r\n10,10\r\n15,10\r\n15,14\r\n10,14\r\n"));
    EXPECT_EQ(points.count("\r\n"), 1 + 2 + 3 + 4);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(op.messages.size(), 2u);
}

TEST_F(MaskEditor, SaveCancelledOrFailedKeepsEditorAndEarlierFiles)
{
    drawTriangle();
    editor->show();

    op.files = {QString()};
    editor->cmdSave_Click();
    EXPECT_TRUE(ws.panel(StatusPanel::AlignmentSource).isEmpty());
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(op.messages.size(), 1u);

    // A point file that cannot be written: the bitmap stays as it was, too.
    const QString name = dir.filePath("old.bng");
    writeFile(name, "earlier");
    ASSERT_TRUE(QDir(dir.path()).mkdir("old.bgp"));
    op.files = {name};
    editor->cmdSave_Click();
    EXPECT_EQ(fileBytes(name), QByteArray("earlier"));
    EXPECT_TRUE(editor->isVisible());
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[1].title, "Save");
    EXPECT_TRUE(op.messages[1].text.contains("old.bgp")) << op.messages[1].text.toStdString();

    // A name whose point file would be itself.
    op.files = {dir.filePath("self.bgp")};
    editor->cmdSave_Click();
    EXPECT_EQ(op.messages.back().text, QString("\"%1\" would be both the mask and its point file.  Choose a name ending in .bng.")
                                           .arg(dir.filePath("self.bgp")));
    EXPECT_FALSE(QFile::exists(dir.filePath("self.bgp")));

    // "mask" without an extension: the point file is ".bgp" beside it.
    op.files = {dir.filePath("mask")};
    editor->cmdSave_Click();
    EXPECT_TRUE(QFile::exists(dir.filePath("mask")));
    EXPECT_EQ(fileBytes(dir.filePath(".bgp")), QByteArray("\"NB\",1\r\n3,#TRUE#\r\n1,1\r\n6,1\r\n1,6\r\n"));
    EXPECT_FALSE(editor->isVisible());
}

TEST_F(MaskEditor, ReadPointFileRedrawsWithoutQuestionsAndSavesItBackIdentically)
{
    const QByteArray contents = "\"NB\",2\r\n3,#TRUE#\r\n1,1\r\n6,1\r\n1,6\r\n4,#FALSE#\r\n10,10\r\n15,10\r\n15,14\r\n10,14\r\n";
    const QString name = dir.filePath("in.bgp");
    writeFile(name, contents);
    click(7, 7); // an area half entered is dropped by the read
    op.files = {name};
    editor->cmdRead_Click();
    EXPECT_EQ(op.dialogs[0].record.filters, (QList<QPair<QString, QString>>{{"Background Point files", "*.bgp"}}));
    EXPECT_EQ(op.dialogs[0].record.title, "Choose file name");
    EXPECT_TRUE(op.messages.empty());
    // The point file is the editor's own; the ".six" name stays as it was.
    EXPECT_TRUE(ws.naming().currentFileName().isEmpty());
    EXPECT_EQ(editor->areas().maskAreaCount, 2);
    EXPECT_EQ(editor->areas().maskPointsEntered, 0);
    const auto read = mask_point_file::decode(contents, name);
    EXPECT_EQ(editor->combinedMask(), mask_render::combinedMask(read.areas, QSize(20, 16)));
    EXPECT_EQ(editor->Picture1->image(), shown(editor->combinedMask()));
    EXPECT_TRUE(editor->cmdUndo->isEnabled());

    op.files = {dir.filePath("out.bng")};
    editor->cmdSave_Click();
    EXPECT_EQ(fileBytes(dir.filePath("out.bgp")), contents);

    // The bare-number form: one area, background inside.
    editor = std::make_unique<frmBack>(ws);
    const QString bare = dir.filePath("bare.bgp");
    writeFile(bare, "3\r\n1,1\r\n6,1\r\n1,6\r\n");
    op.files = {bare};
    editor->cmdRead_Click();
    EXPECT_EQ(editor->areas().maskAreaCount, 1);
    EXPECT_TRUE(editor->areas().inside(1));
    EXPECT_EQ(editor->Picture1->image().pixel(2, 2), black);
    EXPECT_EQ(editor->Picture1->image().pixel(10, 10), grey);
}

TEST_F(MaskEditor, BadOrCancelledPointFileChangesNothing)
{
    drawTriangle();
    const MaskAreas before = editor->areas();
    const QImage mask = editor->combinedMask();
    const QImage picture = editor->Picture1->image();
    ws.naming().adopt("/data/run1.six");

    op.files = {QString()};
    editor->cmdRead_Click();
    EXPECT_EQ(ws.naming().currentFileName(), "/data/run1.six");
    EXPECT_EQ(op.messages.size(), 1u);

    const QString name = dir.filePath("bad.bgp");
    writeFile(name, "\"NB\",2\r\n2,#TRUE#\r\n1,1\r\n5,5\r\n200,#TRUE#\r\n");
    for (const QString &file : {name, dir.filePath("missing.bgp")}) {
        op.files = {file};
        editor->cmdRead_Click();
        EXPECT_EQ(op.messages.back().title, "Read .bgp");
        EXPECT_TRUE(op.messages.back().text.contains(file)) << op.messages.back().text.toStdString();
        EXPECT_EQ(editor->areas(), before);
        EXPECT_EQ(editor->combinedMask(), mask);
        EXPECT_EQ(editor->Picture1->image(), picture);
    }
    EXPECT_EQ(op.messages[1].text, QString("The point file \"%1\" cannot be used: line 5 gives an area 200 points, and an "
                                           "area holds at most 128.  No areas were read.")
                                       .arg(name));
}

TEST_F(MaskEditor, ReadSixTakesTheRedOfTheLeftHalfAndKeepsTheAreas)
{
    drawTriangle();
    const MaskAreas areas = editor->areas();

    QImage six(30, 12, QImage::Format_RGB32);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 30; ++x)
            six.setPixel(x, y, qRgb(x * 8 + y, 200, 7));
    const QString name = dir.filePath("run.six");
    ASSERT_TRUE(saveBmp24(six, name));
    op.files = {QStringLiteral("  ") + name + QStringLiteral(" ")};
    editor->cmdReadSix_Click();
    EXPECT_EQ(op.dialogs.back().record.filters, (QList<QPair<QString, QString>>{{"SIX files", "*.six"}}));
    EXPECT_EQ(state.imageWidth, 15);
    EXPECT_EQ(state.cropWidth, 15);
    EXPECT_EQ(state.imageMaxSide, 15);
    EXPECT_EQ(state.imageHeight, 12);
    EXPECT_EQ(state.cropHeight, 12);
    EXPECT_TRUE(ws.naming().fileNameFresh());
    ASSERT_EQ(state.maskImage.size(), QSize(15, 12));
    EXPECT_EQ(state.maskImage.pixel(14, 11), qRgb(14 * 8 + 11, 14 * 8 + 11, 14 * 8 + 11));
    EXPECT_EQ(state.maskImage.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(editor->UpDown2->maximum(), 14);
    EXPECT_EQ(editor->UpDown3->maximum(), 11);
    EXPECT_EQ(editor->Picture1->image().size(), QSize(19, 16));
    EXPECT_EQ(editor->Picture1->image().pixel(2, 2), qRgb(18, 18, 18)); // the mask starts white again
    EXPECT_EQ(editor->combinedMask(), mask_render::whiteMask(QSize(15, 12)));
    EXPECT_EQ(editor->areas(), areas);

    // Cancelled, unreadable: nothing changes.
    const QImage image = state.maskImage;
    op.files = {QString(), dir.filePath("none.six")};
    editor->cmdReadSix_Click();
    editor->cmdReadSix_Click();
    EXPECT_EQ(state.maskImage, image);
    EXPECT_EQ(state.cropWidth, 15);
    EXPECT_EQ(op.messages.back().title, "Read .SIX");
    EXPECT_TRUE(op.messages.back().text.contains("none.six"));
    // A file cut after its header is refused, not drawn from stale memory.
    const QString cut = dir.filePath("cut.six");
    {
        QFile file(cut);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(fileBytes(name).left(60));
    }
    op.files = {cut};
    editor->cmdReadSix_Click();
    EXPECT_EQ(op.messages.back().text, "Cannot read the picture file " + cut + ".  The file ends before the last of its pixels.");
    EXPECT_EQ(state.maskImage, image);

    // Closing the editor puts the capture geometry back.
    editor->close();
    EXPECT_EQ(state.imageWidth, 276);
    EXPECT_EQ(state.cropWidth, 256);
    EXPECT_TRUE(state.imageDCs[1].isNull());
}

TEST_F(MaskEditor, ZoomPanelMapsClicksAndFollowsEveryRedraw)
{
    EXPECT_EQ(MaskZoomPanel::toImage(QPointF(2, 2), 0, 0), QPoint(0, 0));
    EXPECT_EQ(MaskZoomPanel::toImage(QPointF(3, 3), 0, 0), QPoint(1, 1));
    EXPECT_EQ(MaskZoomPanel::toImage(QPointF(200, 100), 40, 0), QPoint(106, 33));
    EXPECT_EQ(MaskZoomPanel::toImage(QPointF(2.5, 5.5), 0, 0), QPoint(0, 2)); // halves to even first

    editor->cmdZoom_Click();
    MaskZoomPanel *zoom = editor->Frame1;
    EXPECT_TRUE(zoom->isVisibleTo(editor.get()));
    EXPECT_FALSE(editor->Picture1->isVisibleTo(editor.get()));
    EXPECT_EQ(zoom->HBar->maximum(), 0); // the 40 x 36 working image is smaller than the zoom
    EXPECT_EQ(zoom->HBar->singleStep(), 30);
    EXPECT_EQ(zoom->VBar->pageStep(), 150);
    EXPECT_EQ(zoom->Picture3->image().size(), QSize(450, 390));
    EXPECT_EQ(zoom->Picture3->image().pixel(1, 1), 0xff102030u);
    EXPECT_EQ(zoom->Picture3->image().pixel(3, 3), grey);

    editor->Picture3_MouseDown(Qt::LeftButton, 0, 14, 20);
    EXPECT_EQ(editor->areas().point(1, 0), QPoint(4, 6));
    EXPECT_EQ(zoom->Picture3->image().pixel(12, 18), green);
    EXPECT_EQ(zoom->Picture3->image().pixel(14, 20), green);
    QTest::mouseClick(zoom->Picture3, Qt::LeftButton, {}, QPoint(31, 19));
    EXPECT_EQ(editor->areas().point(1, 1), QPoint(10, 6));
    EXPECT_EQ(zoom->Picture3->image().pixel(30, 18), green);
    editor->Picture3_MouseDown(Qt::LeftButton, 0, 10, 40);
    drawArea({});
    EXPECT_EQ(zoom->Picture3->image().pixel(5 * 3, 7 * 3), black);

    editor->cmdClear_Click();
    EXPECT_TRUE(zoom->isVisibleTo(editor.get()));
    EXPECT_EQ(zoom->Picture3->image().pixel(5 * 3, 7 * 3), grey);
    editor->cmdClose_Click();
    EXPECT_FALSE(zoom->isVisibleTo(editor.get()));
    EXPECT_TRUE(editor->Picture1->isVisibleTo(editor.get()));

    // The refresh runs while the panel is hidden, too.
    drawArea({{0, 0}, {3, 0}, {0, 3}});
    EXPECT_EQ(zoom->Picture3->image().pixel(1, 1), black);
}

TEST_F(MaskEditor, ZoomBarsPanOverALargeImage)
{
    editor.reset(); // closing puts the capture geometry back
    state.cropWidth = 300;
    state.cropHeight = 200;
    state.imageWidth = 320;
    state.imageHeight = 220;
    state.maskImage = QImage(320, 220, QImage::Format_RGB32);
    for (int x = 0; x < 320; ++x)
        for (int y = 0; y < 220; ++y)
            state.maskImage.setPixel(x, y, qRgb(x % 256, y, 0));
    editor = std::make_unique<frmBack>(ws);
    editor->cmdZoom_Click();
    MaskZoomPanel *zoom = editor->Frame1;
    EXPECT_EQ(zoom->HBar->maximum(), 170);
    EXPECT_EQ(zoom->VBar->maximum(), 90);
    zoom->HBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(zoom->HBar->value(), 30);
    EXPECT_EQ(zoom->Picture3->image().pixel(0, 0), qRgb(30, 0, 0));
    EXPECT_EQ(zoom->Picture3->image().pixel(90, 3), qRgb(60, 1, 0));
    zoom->HBar->setValue(170);
    zoom->VBar->setValue(90);
    // Past the cell (300 x 200, plus the 4-pixel border) the zoom shows no image.
    EXPECT_EQ(zoom->Picture3->image().pixel(3 * 129, 0), qRgb(299 % 256, 90, 0));
    EXPECT_EQ(zoom->Picture3->image().pixel(3 * 131, 0), black);
    EXPECT_EQ(zoom->Picture3->image().pixel(3 * 145, 0), black);
    editor->Picture3_MouseDown(Qt::LeftButton, 0, 200, 100);
    EXPECT_EQ(editor->areas().point(1, 0), QPoint(236, 123));
}

class MaskEditorFromMainWindow : public ShellTest {};

TEST_F(MaskEditorFromMainWindow, BackgroundButtonOpensTheEditorBesideTheMainWindow)
{
    MDIForm1 &main = load();
    main.cmdBack_Click();
    auto *editor = main.findChild<frmBack *>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_FALSE(editor->isModal());
    EXPECT_EQ(editor->windowTitle(), "Background");
    EXPECT_EQ(editor->size(), QSize(800, 600));
    EXPECT_EQ(editor->combinedMask().size(), QSize(state.cropWidth, state.cropHeight));

    const QTemporaryDir dir;
    op.files = {dir.filePath("m.bng")};
    editor->cmdSave_Click();
    EXPECT_EQ(main.statusPanel(StatusPanel::AlignmentSource), dir.filePath("m.bng"));
    EXPECT_TRUE(QFile::exists(dir.filePath("m.bgp")));
}

} // namespace
