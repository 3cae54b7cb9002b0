// "Select Area" with the card: the whole video frame under the outlines.
#include "capture_fixture.h"

#include "platform/picture_box.h"
#include "platform/raster.h"
#include "platform/zul_surface.h"
#include "shell/area_selection.h"
#include "shell/frm_set.h"

#include <QRadioButton>

TEST_F(CaptureTest, TheAreaWindowShowsTheWholeFrameUnderItsOutlinesAndTheRubberBand)
{
    MDIForm1 &w = start();
    // The full-frame settings: the library's defaults, the whole 950 x 610
    // frame of a 625-line signal.
    ZulConfig whole{};
    ASSERT_EQ(ZULX_defaultConfig(&whole), 0);
    ASSERT_EQ(ZULX_saveIniFile(QFile::encodeName(path("captotal.ini")).constData(), "DEFAULT", &whole), 0);
    card->setPicture(scene(3));

    // What the picture shows under the outlines: the frame as the library
    // reads it out and draws it into 512 x 380, on white.
    ASSERT_EQ(ZULX_prepare(&whole, 1), 0);
    ASSERT_EQ(ZULX_snap(&whole), 0);
    ZulHandle frame = nullptr;
    ASSERT_EQ(ZULX_readoutDIB(&whole, &frame), 0);
    QImage snapshot(516, 384, QImage::Format_RGB32);
    snapshot.fill(Qt::white);
    ZulSurface surface = zulSurfaceFor(snapshot, snapshot.size());
    ASSERT_EQ(ZULX_drawDIB(&surface, frame, 0, 0, 512, 380), 0);
    ZUL_globalFree(frame);
    ASSERT_NE(snapshot.pixel(200, 150), 0xffffffffu);
    auto with = [&snapshot](const std::function<void(QImage &)> &draw) {
        QImage expected = snapshot;
        draw(expected);
        return expected;
    };
    auto outline = [](area::Outline which, QRgb colour) {
        return [which, colour](QImage &image) { area::drawOutline(image, which, colour, frmSet::kPixelsPerUnit); };
    };

    w.cmdArea_Click();
    frmSet *a = w.findChild<frmSet *>();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(op.texts(), QStringList());
    // Size option 0: the click on "256" drew its red outline, the legends
    // went over it.
    EXPECT_EQ(a->Picture1->image(), with([&](QImage &image) {
                  outline(area::Outline::Area256, area::kSelected)(image);
                  outline(area::Outline::Area256, area::kLegend256)(image);
                  outline(area::Outline::Area512, area::kLegend512)(image);
              }));

    a->Option1[2]->click();
    EXPECT_EQ(a->Picture1->image(), with(outline(area::Outline::Area512, area::kSelected)));

    // The rubber band follows the pointer over the frame, which shows again
    // where the band was.
    a->Option1[0]->click();
    emit a->Picture1->mousePressed(QPoint(100, 50), Qt::LeftButton, Qt::NoModifier);
    emit a->Picture1->mouseMoved(QPoint(300, 200), Qt::LeftButton, Qt::NoModifier);
    emit a->Picture1->mouseMoved(QPoint(200, 150), Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(a->Picture1->image(), with([](QImage &image) {
                  raster::drawBox(image, QRect(QPoint(100, 50), QPoint(200, 150)), area::kSelected);
              }));
    EXPECT_EQ(ended, -1);
}
