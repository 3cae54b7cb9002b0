// The alignment window driven offscreen: its controls, the area and marker
// picking, the alignment file, "Read .SIX" and OK in each state.
#include "fake_workstation.h"

#include <gtest/gtest.h>

#include "acquisition/composite_writer.h"
#include "alignment/frm_align.h"
#include "alignment/six_file_reader.h"
#include "platform/bmp_file.h"
#include "platform/picture_box.h"
#include "platform/raster.h"
#include "platform/up_down.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

constexpr QRgb red = 0xffff0000u;
constexpr QRgb black = 0xff000000u;

int sampleValue(int k, int x, int y)
{
    return (37 * k + 3 * x + 7 * y) & 0xff;
}

// A 512 x 256 ".six" whose six images are all different.
QImage distinctSix()
{
    QImage file(512, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            file.setPixel(x, y, qRgb(sampleValue(6, x, y), sampleValue(4, x, y), sampleValue(2, x, y)));
            file.setPixel(256 + x, y, qRgb(sampleValue(5, x, y), sampleValue(1, x, y), sampleValue(3, x, y)));
        }
    return file;
}

QByteArray bytesOf(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The window in a light workstation with the start-up geometry.
class AlignTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.applyGeometry();
        state.setAllOrigins(10);
        sixName = folder.filePath("input.six");
        ASSERT_TRUE(distinctSix().save(sixName, "BMP"));
    }

    frmAlign &open()
    {
        ws.cmdAlign_Click();
        frmAlign *align = ws.alignWindow();
        EXPECT_NE(align, nullptr);
        return *align;
    }

    // Opens the window and reads the distinct ".six" into it.
    frmAlign &openAndRead()
    {
        frmAlign &align = open();
        op.files = {sixName};
        align.cmdRead_Click();
        op.dialogs.clear();
        return align;
    }

    QImage view(frmAlign &align, int i) const { return align.Picture1[i]->image(); }

    // What view i shows of the whole image i with the window's fit.
    QImage expectedWhole(const frmAlign &align, int i) const
    {
        QImage expected(200, 200, QImage::Format_RGB32);
        expected.fill(frmAlign::viewBackground);
        const auto &fit = align.fit();
        raster::stretchBlt(expected, fit.previewLeft, fit.previewTop, fit.previewWidth, fit.previewHeight,
                           state.imageDCs[i], 0, 0, state.imageWidth, state.imageHeight);
        return expected;
    }

    // The zoom of image i: source pixel (ox + x/2, oy + y/2) at view (x, y).
    void expectZoom(const QImage &shown, int i, QPoint origin, bool skipCross = false, QPoint cross = {})
    {
        const QImage &source = state.imageDCs[i];
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x) {
                if (skipCross && ((y == cross.y() && std::abs(x - cross.x()) <= 10) ||
                                  (x == cross.x() && std::abs(y - cross.y()) <= 10)))
                    continue;
                if (shown.pixel(x, y) != source.pixel(origin.x() + x / 2, origin.y() + y / 2)) {
                    ADD_FAILURE() << "view " << i << " at " << x << "," << y;
                    return;
                }
            }
    }

    // The cross at (x, y): red from x - 10 to x + 9 across and y - 10 to y + 9 down.
    void expectCross(const QImage &shown, int x, int y)
    {
        for (int d = -10; d < 10; ++d) {
            EXPECT_EQ(shown.pixel(x + d, y), red) << "across " << d;
            EXPECT_EQ(shown.pixel(x, y + d), red) << "down " << d;
        }
        EXPECT_NE(shown.pixel(x + 10, y), red);
        EXPECT_NE(shown.pixel(x, y + 10), red);
    }

    AppState state;
    ScriptedOperator op;
    FakeCardLibrary card;
    FakeWorkstation ws{state, op, card};
    QTemporaryDir folder;
    QString sixName;
};

int redPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == red;
    return count;
}

} // namespace

TEST_F(AlignTest, OpensWithEveryControlNamedAndWaitsForImages)
{
    frmAlign &align = open();
    EXPECT_EQ(align.windowTitle(), "Align");
    EXPECT_TRUE(align.isVisible());
    EXPECT_EQ(align.Label1->text(), "Grab images to align or read in SIX file.");
    EXPECT_FALSE(align.cmdZO->isEnabled());
    EXPECT_TRUE(align.cmdGrab->isEnabled());
    EXPECT_TRUE(align.Timer1->isActive());
    EXPECT_EQ(align.Timer1->interval(), 300);
    EXPECT_EQ(align.pickMode(), 0);
    EXPECT_TRUE(card.calls.isEmpty()) << card.calls.join(", ").toStdString();

    const std::vector<std::tuple<QPushButton *, QString, QString>> buttons = {
        {align.cmdGrab, "Grab Images", "Grab 6 images"},
        {align.cmdRead, "Read .SIX", "Read in .SIX file to align"},
        {align.cmdZO, "Zoom Out", "Reselect enlarged area"},
        {align.Command1, "Default", "Use default settings"},
        {align.cmdOpen, "Open .ALI", "Load in previously saved alignment file"},
        {align.cmdSave, "Save .ALI", "Save current alignment settings"},
        {align.cmdOK, "OK", ""},
    };
    for (const auto &[button, caption, tooltip] : buttons) {
        EXPECT_EQ(button->text(), caption);
        EXPECT_EQ(button->toolTip(), tooltip);
        EXPECT_EQ(button->accessibleName(), caption);
        EXPECT_EQ(button->accessibleDescription(), tooltip);
    }
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(align.Picture1[i]->size(), QSize(200, 200));
        EXPECT_EQ(align.Picture1[i]->accessibleName(), QStringLiteral("image %1").arg(i));
        EXPECT_EQ(align.Text1[i]->accessibleName(), QStringLiteral("marker x, image %1").arg(i));
        EXPECT_EQ(align.Text2[i]->accessibleName(), QStringLiteral("marker y, image %1").arg(i));
        EXPECT_TRUE(align.Text1[i]->text().isEmpty());
    }
    for (QWidget *widget : align.findChildren<QWidget *>())
        EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->metaObject()->className();
    EXPECT_EQ(align.Label1->accessibleName(), align.Label1->text());

    // Four ticks blink the highlight and leave it as it was.
    const bool hidden = align.Shape1->isHidden();
    for (int tick = 1; tick <= 4; ++tick) {
        align.Timer1_Timer();
        EXPECT_EQ(align.Shape1->isHidden(), tick % 2 == 1 ? !hidden : hidden);
        EXPECT_EQ(align.Timer1->isActive(), tick < 4);
    }
    EXPECT_EQ(align.blinkCount(), 4);

    // A second click on the alignment button shows the same window.
    ws.cmdAlign_Click();
    EXPECT_EQ(ws.alignWindow(), &align);
}

TEST_F(AlignTest, ReadSixSplitsByTheTableAndFitsTheViews)
{
    frmAlign &align = open();
    ws.naming().markUsed();
    op.files = {sixName + "  "};
    align.cmdRead_Click();
    ASSERT_EQ(op.dialogs.size(), 1u);
    EXPECT_FALSE(op.dialogs[0].save);
    EXPECT_EQ(op.dialogs[0].record.title, "Choose file name");
    EXPECT_EQ(op.dialogs[0].record.filters[0].first, "SIX files");
    EXPECT_EQ(op.dialogs[0].record.filters[0].second, "*.six");
    EXPECT_EQ(op.dialogs[0].record.defaultExtension, "six");
    EXPECT_TRUE(op.messages.empty());

    EXPECT_TRUE(ws.naming().fileNameFresh());
    EXPECT_EQ(state.alignState, 2);
    EXPECT_EQ(state.imageWidth, 276);
    EXPECT_EQ(state.imageHeight, 276);
    EXPECT_EQ(state.cropWidth, 256);
    EXPECT_EQ(state.cropHeight, 256);
    EXPECT_EQ(state.imageMaxSide, 276);
    EXPECT_FLOAT_EQ(align.fit().previewScale, 1.38f);
    // Image 1 is the right half's green, with a black margin of 10.
    const QImage &one = state.imageDCs[1];
    ASSERT_EQ(one.size(), QSize(276, 276));
    EXPECT_EQ(one.pixel(9, 9), black);
    EXPECT_EQ(one.pixel(10, 10), qRgb(sampleValue(1, 0, 0), sampleValue(1, 0, 0), sampleValue(1, 0, 0)));
    EXPECT_EQ(one.pixel(265, 100), qRgb(sampleValue(1, 255, 90), sampleValue(1, 255, 90), sampleValue(1, 255, 90)));
    EXPECT_EQ(one.pixel(266, 100), black);
    EXPECT_EQ(state.imageDCs[3].pixel(20, 30), qRgb(sampleValue(3, 10, 20), sampleValue(3, 10, 20), sampleValue(3, 10, 20)));

    EXPECT_EQ(align.areaLeft(), 50);
    EXPECT_EQ(align.areaTop(), 50);
    EXPECT_EQ(align.Label1->text(),
              "Move red square over the area of interest using the arrow keys and press ENTER.  Or, double click on the point of interest.");
    for (int i = 2; i <= 6; ++i)
        EXPECT_EQ(view(align, i), expectedWhole(align, i)) << "view " << i;
    // View 1 also carries the square: 72 view pixels for 100 source pixels.
    QImage withSquare = expectedWhole(align, 1);
    raster::drawBox(withSquare, QRect(50, 50, 72, 72), red);
    EXPECT_EQ(view(align, 1), withSquare);
    EXPECT_EQ(align.Picture2->image().size(), QSize(512, 256));
    EXPECT_TRUE(align.Picture1[1]->hasFocus() || !align.isActiveWindow());
}

TEST_F(AlignTest, ReadSixRefusesBadFilesAndChangesNothing)
{
    frmAlign &align = open();
    const QString odd = folder.filePath("odd.six");
    QImage oddImage(301, 200, QImage::Format_RGB32);
    oddImage.fill(Qt::gray);
    ASSERT_TRUE(oddImage.save(odd, "BMP"));
    const QString text = folder.filePath("text.six");
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("no bitmap here");
    file.close();

    ws.naming().markUsed();
    const AppState before = state;
    const QImage viewBefore = view(align, 1);
    op.files = {odd, text, QString()};
    align.cmdRead_Click();
    align.cmdRead_Click();
    align.cmdRead_Click(); // cancelled
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[0].text, "The file " + odd +
                                       " is 301 x 200 pixels.  A .SIX file holds two halves side by side, so its width must be even.");
    EXPECT_EQ(op.messages[0].title, "Align");
    EXPECT_TRUE(op.messages[1].text.startsWith("Cannot read the picture file " + text));
    EXPECT_FALSE(ws.naming().fileNameFresh());
    EXPECT_EQ(state.alignState, before.alignState);
    EXPECT_EQ(state.imageWidth, before.imageWidth);
    EXPECT_TRUE(state.imageDCs[1].isNull());
    EXPECT_EQ(view(align, 1), viewBefore);
    EXPECT_EQ(align.Label1->text(), "Grab images to align or read in SIX file.");
}

TEST_F(AlignTest, AreaFollowsPressesAndArrowsAndStaysInsideTheImage)
{
    frmAlign &align = openAndRead();
    // Through the widget: the press is in view pixels.
    QTest::mouseClick(align.Picture1[3], Qt::LeftButton, Qt::NoModifier, QPoint(199, 190));
    EXPECT_EQ(align.areaLeft(), 127);
    EXPECT_EQ(align.areaTop(), 127);
    QImage expected = expectedWhole(align, 1);
    raster::drawBox(expected, QRect(127, 127, 72, 72), red);
    EXPECT_EQ(view(align, 1), expected);
    EXPECT_EQ(view(align, 3), expectedWhole(align, 3));

    align.Picture1_MouseDown(1, 1, 0, 100, 80);
    EXPECT_EQ(align.areaLeft(), 64);
    EXPECT_EQ(align.areaTop(), 44);
    align.Picture1_KeyDown(2, frmAlign::KeyRight, 0);
    EXPECT_EQ(align.areaLeft(), 65);
    align.Picture1_KeyDown(1, frmAlign::KeyRight, frmAlign::ShiftKey);
    EXPECT_EQ(align.areaLeft(), 67);
    align.Picture1_KeyDown(1, frmAlign::KeyDown, frmAlign::CtrlKey);
    EXPECT_EQ(align.areaTop(), 47);
    QTest::keyClick(align.Picture1[1], Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(align.areaTop(), 45);
    QTest::keyClick(align.Picture1[1], Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(align.areaLeft(), 64);
    expected = expectedWhole(align, 1);
    raster::drawBox(expected, QRect(64, 45, 72, 72), red);
    EXPECT_EQ(view(align, 1), expected);

    // Up against the top-left corner the clamp holds the square at 0.
    for (int k = 0; k < 30; ++k)
        align.Picture1_KeyDown(1, frmAlign::KeyUp, frmAlign::CtrlKey);
    EXPECT_EQ(align.areaTop(), 0);
    align.Picture1_KeyDown(1, 'A', 0);
    EXPECT_EQ(align.areaTop(), 0);
    EXPECT_EQ(align.pickMode(), 0);
}

TEST_F(AlignTest, EnterZoomsAllViewsAndMarkerClicksChangeOnlyTheirView)
{
    frmAlign &align = openAndRead();
    align.Timer1->stop();
    QTest::keyClick(align.Picture1[1], Qt::Key_Return);
    EXPECT_EQ(align.pickMode(), 1);
    EXPECT_TRUE(align.cmdZO->isEnabled());
    EXPECT_TRUE(align.Timer1->isActive());
    EXPECT_EQ(align.blinkCount(), 0);
    EXPECT_EQ(align.Label1->text(), "Click to select marker point on each image, then click OK.  "
                                    "You may save the data for later use before clicking OK if you wish.");
    // Area (50, 50) at 1.38 source pixels per view pixel starts at source (69, 69).
    for (int i = 1; i <= 6; ++i)
        expectZoom(view(align, i), i, QPoint(69, 69));

    std::array<QImage, 7> before;
    for (int i = 1; i <= 6; ++i)
        before[i] = view(align, i);
    ws.setStatusPanel(StatusPanel::AlignmentSource, "Default");
    QTest::mouseClick(align.Picture1[4], Qt::LeftButton, Qt::NoModifier, QPoint(57, 40));
    EXPECT_EQ(align.Text1[4]->text(), "57");
    EXPECT_EQ(align.Text2[4]->text(), "40");
    EXPECT_EQ(state.alignX[4], 28); // 28.5, ties to even
    EXPECT_EQ(state.alignY[4], 20);
    EXPECT_EQ(ws.panel(StatusPanel::AlignmentSource), "Unsaved Settings");
    for (int i = 1; i <= 6; ++i) {
        if (i == 4)
            continue;
        EXPECT_EQ(view(align, i), before[i]) << "view " << i;
        EXPECT_TRUE(align.Text1[i]->text().isEmpty());
        EXPECT_TRUE(align.Text2[i]->text().isEmpty());
    }
    expectZoom(view(align, 4), 4, QPoint(69, 69), true, QPoint(57, 40));
    expectCross(view(align, 4), 57, 40);
    EXPECT_EQ(redPixels(view(align, 4)), 39);

    // Arrows move the marker by Shift + 1; the up-down redraws the same way.
    align.Picture1_KeyDown(4, frmAlign::KeyRight, frmAlign::ShiftKey);
    align.Picture1_KeyDown(4, frmAlign::KeyUp, frmAlign::CtrlKey);
    EXPECT_EQ(align.Text1[4]->text(), "59");
    EXPECT_EQ(align.Text2[4]->text(), "37");
    expectCross(view(align, 4), 59, 37);
    EXPECT_EQ(redPixels(view(align, 4)), 39);
    align.UpDown2[4]->stepBy(1);
    EXPECT_EQ(align.Text2[4]->text(), "38");
    expectCross(view(align, 4), 59, 38);
    EXPECT_EQ(redPixels(view(align, 4)), 39);
    EXPECT_EQ(view(align, 5), before[5]);

    // A double-click picks no new area while markers are being picked.
    const int16_t left = align.areaLeft();
    QTest::mouseDClick(align.Picture1[2], Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(align.pickMode(), 1);
    EXPECT_EQ(align.areaLeft(), left);
}

TEST_F(AlignTest, ZoomOutAndDoubleClickAndDefault)
{
    frmAlign &align = openAndRead();
    // The first click of a double-click centres the square, the second zooms.
    QTest::mouseClick(align.Picture1[5], Qt::LeftButton, Qt::NoModifier, QPoint(100, 80));
    EXPECT_EQ(align.pickMode(), 0);
    QTest::mouseDClick(align.Picture1[5], Qt::LeftButton, Qt::NoModifier, QPoint(100, 80));
    EXPECT_EQ(align.areaLeft(), 64);
    EXPECT_EQ(align.areaTop(), 44);
    EXPECT_EQ(align.pickMode(), 1);
    const QPoint origin(88, 61); // round(64 * 1.38), round(44 * 1.38)
    for (int i = 1; i <= 6; ++i)
        expectZoom(view(align, i), i, origin);

    align.Command1_Click();
    EXPECT_EQ(ws.panel(StatusPanel::AlignmentSource), "Default");
    EXPECT_EQ(align.pickMode(), 1);
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(align.Text1[i]->text(), "20");
        EXPECT_EQ(align.Text2[i]->text(), "20");
        EXPECT_EQ(state.alignX[i], 10);
        EXPECT_EQ(state.alignY[i], 10);
        expectZoom(view(align, i), i, origin, true, QPoint(20, 20));
        expectCross(view(align, i), 20, 20);
    }

    align.Timer1->stop();
    align.cmdZO_Click();
    EXPECT_EQ(align.pickMode(), 0);
    EXPECT_FALSE(align.cmdZO->isEnabled());
    EXPECT_TRUE(align.Timer1->isActive());
    EXPECT_EQ(align.Label1->text(), "Reposition the red square over the area of interest using the arrow keys and "
                                    "press ENTER.  Or, double click on the point of interest.");
    QImage expected = expectedWhole(align, 1);
    raster::drawBox(expected, QRect(64, 44, 72, 72), red);
    EXPECT_EQ(view(align, 1), expected);
    EXPECT_EQ(view(align, 6), expectedWhole(align, 6));
}

TEST_F(AlignTest, SaveAfterDefaultWritesTwelvesAndOpenPutsTwiceTheValuesInTheBoxes)
{
    frmAlign &align = open();
    align.Command1_Click();
    const QString sal = folder.filePath("default.sal");
    op.files = {sal};
    align.cmdSave_Click();
    ASSERT_EQ(op.dialogs.size(), 1u);
    EXPECT_TRUE(op.dialogs[0].save);
    EXPECT_EQ(op.dialogs[0].record.title, "Choose file name");
    EXPECT_EQ(op.dialogs[0].record.filters[0].first, "SAL files");
    EXPECT_EQ(op.dialogs[0].record.filters[0].second, "*.sal");
    EXPECT_EQ(op.dialogs[0].record.defaultExtension, "sal");
    EXPECT_TRUE(op.dialogs[0].record.overwritePrompt);
    EXPECT_EQ(bytesOf(sal), QByteArray("12,12\r\n12,12\r\n12,12\r\n12,12\r\n12,12\r\n12,12\r\n"));
    EXPECT_EQ(ws.panel(StatusPanel::AlignmentSource), sal);
    EXPECT_EQ(state.alignX[3], 12);

    const QString other = folder.filePath("other.sal");
    QFile file(other);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("12,12\r\n13,12\r\n14,11\r\n12,10\r\n12,12\r\n9,12\r\n1,2\r\n");
    file.close();
    ws.naming().markUsed();
    op.files = {other};
    align.cmdOpen_Click();
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(op.dialogs[1].record.filters[0].second, "*.sal");
    EXPECT_FALSE(op.dialogs[1].save);
    EXPECT_EQ(align.Text1[3]->text(), "28");
    EXPECT_EQ(align.Text2[3]->text(), "22");
    EXPECT_EQ(align.Text1[6]->text(), "18");
    EXPECT_EQ(align.Text2[4]->text(), "20");
    EXPECT_EQ(state.alignX[3], 14);
    EXPECT_EQ(state.alignY[3], 11);
    EXPECT_EQ(state.alignX[1], 12); // the seventh line is not read
    EXPECT_TRUE(ws.naming().fileNameFresh());
    EXPECT_EQ(ws.panel(StatusPanel::AlignmentSource), other);

    // Saving what was opened gives the same six lines.
    const QString again = folder.filePath("again.sal");
    op.files = {again};
    align.cmdSave_Click();
    EXPECT_EQ(bytesOf(again), QByteArray("12,12\r\n13,12\r\n14,11\r\n12,10\r\n12,12\r\n9,12\r\n"));

    // A cancelled save has recomputed the origins and leaves panel 7 empty.
    align.Text1[2]->setText("30");
    op.files = {QString()};
    align.cmdSave_Click();
    EXPECT_EQ(state.alignX[2], 15);
    EXPECT_EQ(ws.panel(StatusPanel::AlignmentSource), "");
    EXPECT_EQ(op.unscripted, 0);
}

TEST_F(AlignTest, OpenOfABadFileSaysWhyAndChangesNothing)
{
    frmAlign &align = open();
    align.Command1_Click();
    state.alignX[2] = 13;
    const QString bad = folder.filePath("bad.sal");
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("14,11\r\n16,9\r\nfifteen,3\r\n12,12\r\n12,12\r\n12,12\r\n");
    file.close();
    ws.naming().markUsed();
    op.files = {bad, folder.filePath("missing.sal"), QString()};
    align.cmdOpen_Click();
    align.cmdOpen_Click();
    align.cmdOpen_Click();
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[0].text, "Line 3 of the alignment file " + bad +
                                       " reads \"fifteen,3\", which is not two whole numbers from -32768 to 32767 "
                                       "separated by a comma.  The alignment is unchanged.");
    EXPECT_TRUE(op.messages[1].text.startsWith("The alignment file " + folder.filePath("missing.sal") + " cannot be opened."));
    EXPECT_EQ(align.Text1[1]->text(), "20");
    EXPECT_EQ(align.Text1[2]->text(), "20");
    EXPECT_EQ(state.alignX[1], 10);
    EXPECT_EQ(state.alignX[2], 13);
    EXPECT_FALSE(ws.naming().fileNameFresh());
    EXPECT_EQ(ws.panel(StatusPanel::AlignmentSource), "Default");
}

TEST_F(AlignTest, ABoxWithoutANumberIsRefusedByNameAndSkippedWhenDrawn)
{
    frmAlign &align = openAndRead();
    align.Picture1_KeyDown(1, frmAlign::KeyReturn, 0);
    align.Command1_Click();
    align.Text1[2]->setText("2O");
    align.Picture1_KeyDown(2, frmAlign::KeyRight, 0);
    EXPECT_EQ(align.Text1[2]->text(), "2O");
    EXPECT_EQ(redPixels(view(align, 2)), 0);
    expectZoom(view(align, 2), 2, QPoint(69, 69));

    ws.naming().adopt(folder.filePath("never.six"));
    op.files = {folder.filePath("never.sal")};
    align.cmdOK_Click();
    align.cmdSave_Click();
    ASSERT_EQ(op.messages.size(), 2u);
    for (const auto &message : op.messages) {
        EXPECT_EQ(message.text, "The marker of image 2 is not a number.  Pick the marker on image 2 again or "
                                "type its position in view pixels.");
        EXPECT_EQ(message.title, "Align");
    }
    EXPECT_TRUE(op.dialogs.empty());
    EXPECT_FALSE(QFile::exists(ws.naming().currentFileName()));
    EXPECT_EQ(state.alignX[3], 10);
    EXPECT_EQ(state.alignState, 2);
    EXPECT_EQ(align.pickMode(), 1);
}

TEST_F(AlignTest, OkWithNoImagesAndGrabWithoutACardChangeNothing)
{
    frmAlign &align = open();
    ws.naming().adopt(folder.filePath("empty.six"));
    align.Command1_Click();
    align.cmdGrab_Click();
    align.cmdOK_Click();
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[0].text, "No capture card is available, so no images can be grabbed.  "
                                   "Use Read .SIX to align the images of a .SIX file.");
    EXPECT_EQ(op.messages[1].text, "There are no images to compose.  Grab images or read a .SIX file first.");
    EXPECT_TRUE(card.calls.isEmpty());
    EXPECT_TRUE(state.imageDCs[1].isNull());
    EXPECT_EQ(align.Label1->text(), "Grab images to align or read in SIX file.");
    EXPECT_FALSE(QFile::exists(ws.naming().currentFileName()));
    EXPECT_FALSE(align.unloaded());
    EXPECT_EQ(state.alignX[4], 12);
}

TEST_F(AlignTest, StateTwoCancelKeepsEverythingAndYesWritesAtTheMarkers)
{
    frmAlign &align = openAndRead();
    align.Picture1_KeyDown(1, frmAlign::KeyReturn, 0);
    for (int i = 1; i <= 6; ++i) {
        align.Text1[i]->setText("51");
        align.Text2[i]->setText("44");
    }
    align.Text1[4]->setText("57");
    align.Text2[4]->setText("40");
    align.Text1[2]->setText("52");
    align.Text1[3]->setText("54");
    ws.naming().adopt(folder.filePath("out.six"));
    std::array<QImage, 7> before;
    for (int i = 1; i <= 6; ++i)
        before[i] = view(align, i);

    op.answers = {Operator::Answer::Cancel};
    align.cmdOK_Click();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text,
              "Keep same file name?  Click YES to continue and overwrite old file, or NO choose new file name");
    EXPECT_EQ(op.messages[0].title, "File Name");
    EXPECT_EQ(op.messages[0].buttons, Operator::Buttons::YesNoCancel);
    EXPECT_FALSE(QFile::exists(ws.naming().currentFileName()));
    EXPECT_EQ(state.alignState, 2);
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(view(align, i), before[i]);
    EXPECT_FALSE(state.imageDCs[1].isNull());
    EXPECT_EQ(state.alignX[4], 15);
    EXPECT_EQ(state.alignY[4], 10);
    EXPECT_EQ(state.alignX[2], 12);
    EXPECT_EQ(state.alignX[3], 14);
    EXPECT_EQ(align.pickMode(), 0);

    const std::array<QImage, 6> images = {state.imageDCs[1], state.imageDCs[2], state.imageDCs[3],
                                          state.imageDCs[4], state.imageDCs[5], state.imageDCs[6]};
    op.messages.clear();
    op.answers = {Operator::Answer::Yes};
    align.cmdOK_Click();
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[1].text, "Finished.  Written file as " + ws.naming().currentFileName());
    const std::array<QPoint, 6> origins = {QPoint(12, 12), QPoint(12, 12), QPoint(14, 12),
                                           QPoint(15, 10), QPoint(12, 12), QPoint(12, 12)};
    EXPECT_EQ(bytesOf(ws.naming().currentFileName()),
              encodeBmp24(packSix(SixLayout::Reflection, images, QSize(256, 256), origins)));
    EXPECT_EQ(state.alignState, 0);
    EXPECT_EQ(align.pickMode(), 0);
    EXPECT_FALSE(ws.naming().fileNameFresh());
    for (int i = 1; i <= 6; ++i) {
        EXPECT_TRUE(state.imageDCs[i].isNull());
        EXPECT_EQ(redPixels(view(align, i)), 0);
        EXPECT_EQ(view(align, i).pixel(100, 100), frmAlign::viewBackground);
    }
    EXPECT_FALSE(align.unloaded());
    EXPECT_TRUE(align.isVisible());
}

TEST_F(AlignTest, AFailedWriteKeepsTheWindowAndItsImages)
{
    frmAlign &align = openAndRead();
    align.Command1_Click();
    ws.naming().adopt(folder.filePath("no/such/folder/out.six"));
    op.answers = {Operator::Answer::Yes};
    align.cmdOK_Click();
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_TRUE(op.messages[1].text.startsWith("Could not write " + ws.naming().currentFileName()))
        << op.messages[1].text.toStdString();
    EXPECT_EQ(state.alignState, 2);
    EXPECT_FALSE(state.imageDCs[6].isNull());
    EXPECT_FALSE(align.unloaded());

    // The same for an alignment file: told, and panel 7 keeps its source.
    op.messages.clear();
    op.files = {folder.filePath("no/such/folder/a.sal")};
    align.cmdSave_Click();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_TRUE(op.messages[0].text.startsWith("Could not write ")) << op.messages[0].text.toStdString();
    EXPECT_EQ(ws.panel(StatusPanel::AlignmentSource), "Default");

    // Reading a file again goes back to choosing the area.
    align.Picture1_KeyDown(1, frmAlign::KeyReturn, 0);
    ASSERT_EQ(align.pickMode(), 1);
    op.files = {sixName};
    align.cmdRead_Click();
    EXPECT_EQ(align.pickMode(), 0);
    EXPECT_FALSE(align.cmdZO->isEnabled());
}

TEST_F(AlignTest, StateTwoNoAsksForANewName)
{
    frmAlign &align = openAndRead();
    align.Command1_Click();
    ws.naming().adopt(folder.filePath("old.six"));
    const QString chosen = folder.filePath("new.six");
    op.answers = {Operator::Answer::No};
    op.files = {chosen};
    align.cmdOK_Click();
    ASSERT_EQ(op.dialogs.size(), 1u);
    EXPECT_TRUE(op.dialogs[0].save);
    EXPECT_EQ(op.dialogs[0].record.filters[0].second, "*.six");
    EXPECT_EQ(ws.naming().currentFileName(), chosen);
    EXPECT_EQ(ws.panel(StatusPanel::FileName), chosen);
    EXPECT_TRUE(QFile::exists(chosen));
    EXPECT_FALSE(QFile::exists(folder.filePath("old.six")));
    EXPECT_EQ(state.alignState, 0);
}

TEST_F(AlignTest, StateTwoNoWithTheNameDialogCancelledWritesNothing)
{
    frmAlign &align = openAndRead();
    align.Command1_Click();
    ws.naming().adopt(folder.filePath("old.six"));
    op.answers = {Operator::Answer::No};
    op.files = {QString()};
    align.cmdOK_Click();
    EXPECT_EQ(op.dialogs.size(), 1u);
    EXPECT_EQ(ws.naming().currentFileName(), folder.filePath("old.six"));
    EXPECT_FALSE(QFile::exists(folder.filePath("old.six")));
    EXPECT_EQ(state.alignState, 2);
    EXPECT_FALSE(state.imageDCs[1].isNull());
}

TEST_F(AlignTest, ClosingRestoresTheGeometryOfTheSizeOptionAndDropsTheImages)
{
    frmAlign &align = openAndRead();
    state.imageSizeOption = 1;
    align.close();
    EXPECT_TRUE(align.unloaded());
    EXPECT_EQ(state.imageWidth, 532);
    EXPECT_EQ(state.imageHeight, 532);
    EXPECT_EQ(state.imageMaxSide, 532);
    EXPECT_EQ(state.cropWidth, 512);
    EXPECT_EQ(state.cropHeight, 512);
    for (int i = 1; i <= 6; ++i)
        EXPECT_TRUE(state.imageDCs[i].isNull());
    // With the images gone no set waits for OK any more.
    EXPECT_EQ(state.alignState, 0);
}

TEST_F(AlignTest, WithACardTheWindowPreparesItGrabsAndOkAsksWhetherToSave)
{
    state.noCard = false;
    frmAlign &align = open();
    EXPECT_EQ(card.calls, QStringList({"readIniFile DEFAULT", "prepare(1)", "defaultPalette(0)"}));
    card.calls.clear();
    // One prompt and one snap and read-out per image.
    op.answers = std::deque<Operator::Answer>(6, Operator::Answer::Ok);
    align.cmdGrab_Click();
    QStringList grabCalls = {"prepare(1)", "defaultPalette(0)"};
    for (int i = 1; i <= 6; ++i)
        grabCalls << "snap" << "readoutDIB";
    EXPECT_EQ(card.calls, grabCalls);
    ASSERT_EQ(op.messages.size(), 6u);
    EXPECT_EQ(op.messages[2].text, "Move small knob, B, to red location M and press OK");
    EXPECT_EQ(op.messages[2].buttons, Operator::Buttons::OkCancel);
    op.messages.clear();
    EXPECT_EQ(align.Label1->text(), "Move red square over the area of interest using the arrow keys and press ENTER. "
                                    "Or, double click on the point of interest.");
    EXPECT_EQ(state.imageDCs[6].size(), QSize(276, 276));
    EXPECT_TRUE(align.Timer1->isActive());
    EXPECT_FLOAT_EQ(align.fit().previewScale, 1.38f);
    EXPECT_EQ(view(align, 1).pixel(50, 50), red);
    EXPECT_EQ(state.alignState, 0);

    // Grabbed images: OK asks whether to save; No closes and writes nothing.
    ws.naming().adopt(folder.filePath("grab.six"));
    align.Command1_Click();
    op.answers = {Operator::Answer::No};
    align.cmdOK_Click();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Do you wish to save the .six data?");
    EXPECT_EQ(op.messages[0].title, "Save?");
    EXPECT_EQ(op.messages[0].buttons, Operator::Buttons::YesNo);
    EXPECT_TRUE(align.unloaded());
    EXPECT_FALSE(QFile::exists(ws.naming().currentFileName()));
    EXPECT_TRUE(state.imageDCs[1].isNull());

    // Yes asks for the name, shows it in panel 2 and writes there.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ws.cmdAlign_Click();
    frmAlign *again = ws.alignWindow();
    ASSERT_NE(again, nullptr);
    ASSERT_FALSE(again->unloaded());
    op.answers = std::deque<Operator::Answer>(6, Operator::Answer::Ok);
    again->cmdGrab_Click();
    again->Command1_Click();
    const QString chosen = folder.filePath("chosen.six");
    op.messages.clear();
    op.answers = {Operator::Answer::Yes};
    op.files = {chosen};
    again->cmdOK_Click();
    ASSERT_EQ(op.dialogs.size(), 1u);
    EXPECT_TRUE(op.dialogs[0].save);
    EXPECT_EQ(op.dialogs[0].record.filters[0].first, "SIX files");
    EXPECT_EQ(ws.naming().currentFileName(), chosen);
    EXPECT_EQ(ws.panel(StatusPanel::FileName), chosen);
    ASSERT_TRUE(QFile::exists(chosen));
    EXPECT_EQ(QImage(chosen).size(), QSize(512, 256));
    EXPECT_EQ(op.messages.back().text, "Finished.  Written file as " + chosen);
    EXPECT_TRUE(again->unloaded());
    EXPECT_EQ(again->pickMode(), 0);
}
