#include "shell_fixture.h"

#include "platform/application_end.h"
#include "platform/picture_box.h"
#include "shell/area_selection.h"
#include "shell/frm_set.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

namespace {
constexpr QRgb kWhite = 0xffffffff;

QRgb at(const PictureBox *picture, int x, int y)
{
    return picture->image().pixel(x, y) | 0xff000000;
}

int pixelsOf(const PictureBox *picture, QRgb colour)
{
    int count = 0;
    const QImage &image = picture->image();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) | 0xff000000) == colour;
    return count;
}

int px(int units)
{
    return static_cast<int>(std::lround(units * frmSet::kPixelsPerUnit));
}

// Both corners of an outline given in picture units carry the colour.
void expectOutline(const PictureBox *picture, int left, int top, int width, int height, QRgb colour)
{
    EXPECT_EQ(at(picture, px(left), px(top)), colour);
    EXPECT_EQ(at(picture, px(left + width), px(top + height)), colour);
    EXPECT_EQ(at(picture, px(left + width / 2), px(top)), colour);
    EXPECT_EQ(at(picture, px(left), px(top + height / 2)), colour);
}

QByteArray captureIni(const char *window)
{
    QByteArray text = "[Default]\r\nSignalType=0\r\nInputChannel=0\r\nBrightness=0\r\nContrast=0\r\nSaturation=0\r\n"
                      "Hue=0\r\nGamma=1#\r\n";
    text += window;
    text += "interlacedPAL=0\r\nxOffsetNTSC=204\r\nxActiveNTSC=612\r\nxPixelsNTSC=512\r\nyOffsetNTSC=60\r\n"
            "yActiveNTSC=512\r\nyPixelsNTSC=512\r\ninterlacedNTSC=1\r\noutputFormat=7\r\nExtTrig=0\r\nFlash=0\r\n"
            "ExtTrigEnable=0\r\nFlashEnable=0\r\nGray16Enable=1\r\nGray256Enable=1\r\nColor256Enable=1\r\n"
            "Color16MEnable=1\r\nColor32kEnable=1\r\nColor64kEnable=1\r\nColor32bitEnable=1\r\n";
    return text;
}

class AreaWindowTest : public ShellTest {
protected:
    void TearDown() override
    {
        QFile::remove(iniPath);
        ShellTest::TearDown();
    }

    frmSet &openArea()
    {
        window->cmdArea_Click();
        auto *area = window->findChild<frmSet *>();
        if (!area)
            throw std::runtime_error("no area window");
        return *area;
    }

    QByteArray written()
    {
        QFile file(iniPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    const QString iniPath = QCoreApplication::applicationDirPath() + "/capture.ini";
};
} // namespace

TEST_F(AreaWindowTest, OpeningWith512SelectsItAndShowsBothLegendOutlines)
{
    store("options", "areaind", "1");
    load();
    frmSet &a = openArea();
    EXPECT_EQ(a.windowTitle(), "Select Area");
    EXPECT_EQ(a.size(), QSize(631, 436));
    EXPECT_FALSE(a.isModal());
    EXPECT_EQ(a.Picture1->size(), QSize(516, 384));
    EXPECT_EQ(a.Frame1->title(), "Select Area");
    EXPECT_EQ(a.Option1[0]->text(), "Flexi");
    EXPECT_EQ(a.Option1[1]->text(), "256");
    EXPECT_EQ(a.Option1[2]->text(), "512");
    EXPECT_EQ(a.cmdFlexi->text(), "Flexi");
    EXPECT_EQ(a.Command1->text(), "OK");
    EXPECT_TRUE(a.Option1[2]->isChecked());
    for (QWidget *control : {static_cast<QWidget *>(a.Picture1), static_cast<QWidget *>(a.Frame1),
                             static_cast<QWidget *>(a.Option1[0]), static_cast<QWidget *>(a.cmdFlexi),
                             static_cast<QWidget *>(a.Command1)})
        EXPECT_FALSE(control->accessibleName().isEmpty());

    expectOutline(a.Picture1, 256, 157, 256, 256, area::kLegend256);
    expectOutline(a.Picture1, 128, 30, 512, 510, area::kLegend512);
    EXPECT_EQ(pixelsOf(a.Picture1, area::kSelected), 0);
    // Both areas centre on the middle of the 512 x 380 snapshot.
    EXPECT_EQ(px(384), 256);
    EXPECT_EQ(px(285), 190);

    a.Option1[1]->click();
    expectOutline(a.Picture1, 256, 157, 256, 256, area::kSelected);
    EXPECT_EQ(pixelsOf(a.Picture1, area::kLegend256), 0);
    EXPECT_EQ(pixelsOf(a.Picture1, area::kLegend512), 0);
    a.Option1[2]->click();
    expectOutline(a.Picture1, 128, 30, 512, 510, area::kSelected);
    EXPECT_EQ(at(a.Picture1, px(256), px(157)), kWhite);
    EXPECT_TRUE(card.calls.isEmpty());
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(AreaWindowTest, OkWith256WritesItsCaptureWindowAndGeometry)
{
    store("options", "areaind", "1");
    MDIForm1 &w = load();
    frmSet &a = openArea();
    a.Option1[1]->click();
    a.Command1->click();
    QCoreApplication::processEvents();

    EXPECT_EQ(written(), captureIni("xOffsetPAL=308\r\nxActivePAL=331\r\nxPixelsPAL=276\r\n"
                                    "yOffsetPAL=87\r\nyActivePAL=138\r\nyPixelsPAL=276\r\n"));
    EXPECT_EQ(state.captureIniPath, iniPath);
    EXPECT_EQ(state.imageSizeOption, 0);
    EXPECT_EQ(state.imageWidth, 276);
    EXPECT_EQ(state.imageHeight, 276);
    EXPECT_EQ(state.cropWidth, 256);
    EXPECT_EQ(state.cropHeight, 256);
    EXPECT_EQ(state.imageMaxSide, 256);
    EXPECT_EQ(w.workPicture(WorkPicture::Loaded).size(), QSize(260, 260));
    EXPECT_EQ(w.workPicture(WorkPicture::Composite).size(), QSize(516, 260));
    EXPECT_EQ(w.workPicture(WorkPicture::Single).size(), QSize(260, 260));
    EXPECT_EQ(w.statusPanel(StatusPanel::Status), "6");
    EXPECT_EQ(w.findChild<frmSet *>(), nullptr);
    EXPECT_TRUE(op.messages.empty());

    // The size option is what the next start-up reads back.
    w.Form_Unload();
    EXPECT_EQ(SettingsStore().text("options", "areaind"), "0");
}

TEST_F(AreaWindowTest, OkWith512WritesItsCaptureWindowAndGeometry)
{
    MDIForm1 &w = load();
    frmSet &a = openArea();
    EXPECT_TRUE(a.Option1[1]->isChecked());
    a.Option1[2]->click();
    a.Command1_Click();
    EXPECT_EQ(written(), captureIni("xOffsetPAL=140\r\nxActivePAL=638\r\nxPixelsPAL=532\r\n"
                                    "yOffsetPAL=18\r\nyActivePAL=266\r\nyPixelsPAL=532\r\n"));
    EXPECT_EQ(state.imageSizeOption, 1);
    EXPECT_EQ(state.imageWidth, 532);
    EXPECT_EQ(state.cropWidth, 512);
    EXPECT_EQ(state.cropHeight, 512);
    EXPECT_EQ(state.imageMaxSide, 512);
    EXPECT_EQ(w.workPicture(WorkPicture::Composite).size(), QSize(1028, 516));
    EXPECT_EQ(w.statusPanel(StatusPanel::Status), "6");
}

TEST_F(AreaWindowTest, FlexiDrawsARubberBandButOkIsRefusedUntilAnAreaIsChosen)
{
    MDIForm1 &w = load();
    frmSet &a = openArea();
    a.Option1[0]->click();
    EXPECT_EQ(pixelsOf(a.Picture1, area::kSelected), 0);
    EXPECT_EQ(pixelsOf(a.Picture1, area::kLegend256), 0);

    emit a.Picture1->mousePressed(QPoint(100, 50), Qt::LeftButton, Qt::NoModifier);
    emit a.Picture1->mouseMoved(QPoint(160, 90), Qt::LeftButton, Qt::NoModifier);
    emit a.Picture1->mouseMoved(QPoint(200, 150), Qt::LeftButton, Qt::NoModifier);
    // Only the latest rectangle shows.
    EXPECT_EQ(at(a.Picture1, 100, 50), area::kSelected);
    EXPECT_EQ(at(a.Picture1, 200, 150), area::kSelected);
    EXPECT_EQ(at(a.Picture1, 150, 150), area::kSelected);
    EXPECT_EQ(at(a.Picture1, 160, 90), kWhite);
    EXPECT_EQ(at(a.Picture1, 150, 100), kWhite);
    emit a.Picture1->mouseReleased(QPoint(200, 150), Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(a.flexiRect().start, QPoint(150, 75));
    EXPECT_EQ(a.flexiRect().end, QPoint(300, 225));

    // Moving without the left button draws nothing.
    emit a.Picture1->mouseMoved(QPoint(20, 20), Qt::RightButton, Qt::NoModifier);
    EXPECT_EQ(at(a.Picture1, 100, 50), area::kSelected);

    a.cmdFlexi->click();
    EXPECT_TRUE(a.flexiToggle());
    EXPECT_EQ(a.Picture1->cursor().shape(), Qt::CrossCursor);

    a.Command1->click();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Choose the \"256\" or the \"512\" area before pressing OK.  "
                                   "A Flexi rectangle cannot be used as the capture area.");
    EXPECT_EQ(op.messages[0].title, "Select Area");
    EXPECT_FALSE(QFile::exists(iniPath));
    EXPECT_EQ(state.cropWidth, 256);
    EXPECT_EQ(w.statusPanel(StatusPanel::Status), "");
    ASSERT_EQ(w.findChild<frmSet *>(), &a);

    // Outside Flexi the rectangle is no longer drawn, and OK goes through.
    a.Option1[2]->click();
    emit a.Picture1->mousePressed(QPoint(10, 10), Qt::LeftButton, Qt::NoModifier);
    emit a.Picture1->mouseMoved(QPoint(30, 30), Qt::LeftButton, Qt::NoModifier);
    emit a.Picture1->mouseReleased(QPoint(30, 30), Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(at(a.Picture1, 10, 10), kWhite);
    EXPECT_EQ(a.flexiRect().end, QPoint(300, 225));
    a.Command1->click();
    EXPECT_EQ(state.cropWidth, 512);
    EXPECT_EQ(op.messages.size(), 1u);
}

TEST_F(AreaWindowTest, CardStepsRunOnlyWithTheCard)
{
    load(true);
    ASSERT_FALSE(state.noCard);
    card.calls.clear();
    openArea();
    // The full-frame settings, the snapshot, and the snapshot again under
    // the red 256 outline of the option click.
    EXPECT_EQ(card.calls, QStringList({"readIniFile DEFAULT", "prepare(1)", "defaultPalette(0)", "snap", "readoutDIB",
                                       "drawDIB", "drawDIB"}));
}

TEST_F(AreaWindowTest, FailingPrepareEndsTheProgram)
{
    load(true);
    card.results["prepare(1)"] = 5;
    int ended = -1;
    const auto previous = setApplicationEndHandler([&](int code) { ended = code; });
    openArea();
    setApplicationEndHandler(previous);
    EXPECT_EQ(ended, 1);
    ASSERT_FALSE(op.messages.empty());
    EXPECT_EQ(op.messages[0].title, "Plus test");
}

TEST_F(AreaWindowTest, SetAreaButtonOpensTheWindowAndRestoresThePointer)
{
    MDIForm1 &w = load();
    w.toolbarButton("area")->trigger();
    EXPECT_NE(w.findChild<frmSet *>(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(AreaWindowTest, DraggingOverTheFlexiButtonPullsTheRectangle)
{
    load();
    frmSet &a = openArea();
    a.show();
    emit a.Picture1->mousePressed(QPoint(300, 100), Qt::LeftButton, Qt::NoModifier);
    const QPoint onButton(5, 5);
    const QPoint target = a.Picture1->mapFrom(&a, a.cmdFlexi->mapTo(&a, onButton));
    ASSERT_GT(target.x(), 300);
    ASSERT_GT(target.y(), 101);
    auto moveOnButton = [&] {
        QMouseEvent move(QEvent::MouseMove, QPointF(onButton), a.cmdFlexi->mapToGlobal(QPointF(onButton)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(a.cmdFlexi, &move);
    };
    moveOnButton(); // not in Flexi mode: nothing
    EXPECT_EQ(pixelsOf(a.Picture1, area::kSelected), 0);
    a.Option1[0]->click();
    moveOnButton();
    EXPECT_EQ(at(a.Picture1, 300, 100), area::kSelected);
    EXPECT_EQ(at(a.Picture1, 300, 101), area::kSelected);
    EXPECT_EQ(at(a.Picture1, 301, 100), area::kSelected);
    EXPECT_EQ(at(a.Picture1, 299, 100), kWhite);
}

TEST_F(AreaWindowTest, AreaChangeReportsEachStepAndRefusesAnUnknownOption)
{
    MDIForm1 &w = load();
    QStringList digits;
    QTemporaryDir out;
    state.captureIniPath = out.filePath("capture.ini");
    ASSERT_TRUE(area::applySizeOption(w, 1, [&](const QString &d) { digits << d; }).ok());
    EXPECT_EQ(digits, QStringList({"2", "3", "4", "5"}));

    EXPECT_EQ(area::applySizeOption(w, 2).error, "There is no capture area 2.");
    EXPECT_EQ(state.imageSizeOption, 1);
    EXPECT_EQ(state.cropWidth, 512);
}
