// The views: drawing, the red square, zooming and marker picking.
#include "frm_align.h"

#include "frm_align_shared.h"
#include "platform/picture_box.h"
#include "platform/raster.h"
#include "platform/vb_conversions.h"
#include "workbench/app_state.h"
#include "workbench/workstation.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace align_window;

void frmAlign::clearView(int index)
{
    Picture1[index]->imageForDrawing().fill(viewBackground);
    Picture1[index]->update();
}

void frmAlign::drawWhole(int index)
{
    drawImage(index, state_.imageDCs[index], QSize(state_.imageWidth, state_.imageHeight), fit_);
}

void frmAlign::drawImage(int index, const QImage &image, QSize size, const align::PreviewFit &fit)
{
    raster::stretchBlt(Picture1[index]->imageForDrawing(), fit.previewLeft, fit.previewTop, fit.previewWidth,
                       fit.previewHeight, image, 0, 0, size.width(), size.height());
    Picture1[index]->update();
}

void frmAlign::drawSquare()
{
    if (!fit_.valid())
        return;
    const int side = align::squareSidePixels(fit_);
    raster::drawBox(Picture1[1]->imageForDrawing(), QRect(areaLeft_, areaTop_, side, side), red);
    Picture1[1]->update();
}

void frmAlign::drawZoom(int index)
{
    const QPoint origin = align::zoomSourceOrigin(areaLeft_, areaTop_, fit_);
    raster::stretchBlt(Picture1[index]->imageForDrawing(), 0, 0, align::viewSide, align::viewSide, state_.imageDCs[index],
                       origin.x(), origin.y(), align::areaSide, align::areaSide);
    Picture1[index]->update();
}

void frmAlign::drawCross(int index, int x, int y)
{
    QImage &view = Picture1[index]->imageForDrawing();
    raster::drawLine(view, QPoint(x - 10, y), QPoint(x + 10, y), red);
    raster::drawLine(view, QPoint(x, y - 10), QPoint(x, y + 10), red);
    Picture1[index]->update();
}

void frmAlign::redrawMarkerView(int index)
{
    clearView(index);
    drawZoom(index);
    const auto x = vb::toInt16(Text1[index]->text());
    const auto y = vb::toInt16(Text2[index]->text());
    if (x && y)
        drawCross(index, *x, *y);
}

void frmAlign::redrawAreaView()
{
    align::clampArea(areaLeft_, areaTop_, fit_);
    clearView(1);
    drawWhole(1);
    drawSquare();
}

void frmAlign::zoomAll()
{
    for (int i = 1; i <= 6; ++i)
        drawZoom(i);
    blinkCount_ = 0;
    pickMode_ = 1;
    Timer1->start();
    cmdZO->setEnabled(true);
    setInstructions(pickMarkers);
}

void frmAlign::restartBlinking()
{
    Timer1->start();
    blinkCount_ = 0;
}

void frmAlign::stepBox(QLineEdit *box, int delta)
{
    if (const auto value = vb::toDouble(box->text()))
        box->setText(vb::fromDouble(*value + delta));
}

void frmAlign::cmdZO_Click()
{
    for (int i = 1; i <= 6; ++i) {
        clearView(i);
        drawWhole(i);
    }
    drawSquare();
    pickMode_ = 0;
    cmdZO->setEnabled(false);
    restartBlinking();
    setInstructions(reposition);
    Picture1[1]->setFocus();
}

void frmAlign::Command1_Click()
{
    for (int i = 6; i >= 1; --i) {
        state_.alignX[i] = state_.alignY[i] = 10;
        Text1[i]->setText(QStringLiteral("20"));
        Text2[i]->setText(QStringLiteral("20"));
        drawZoom(i);
        drawCross(i, 20, 20);
    }
    workstation_.setStatusPanel(StatusPanel::AlignmentSource, QStringLiteral("Default"));
}

void frmAlign::Picture1_MouseDown(int index, int, int, int x, int y)
{
    if (pickMode_ == 0) {
        if (!haveImages())
            return;
        const QPoint corner = align::areaForPress(QPoint(x, y), fit_);
        areaLeft_ = static_cast<int16_t>(corner.x());
        areaTop_ = static_cast<int16_t>(corner.y());
        redrawAreaView();
        return;
    }
    state_.alignX[index] = static_cast<int16_t>(align::roundHalfEven(static_cast<float>(x) / 2.0f));
    state_.alignY[index] = static_cast<int16_t>(align::roundHalfEven(static_cast<float>(y) / 2.0f));
    clearView(index);
    Text1[index]->setText(QString::number(x));
    Text2[index]->setText(QString::number(y));
    drawZoom(index);
    drawCross(index, x, y);
    workstation_.setStatusPanel(StatusPanel::AlignmentSource, QStringLiteral("Unsaved Settings"));
}

void frmAlign::Picture1_DblClick(int)
{
    if (pickMode_ == 1 || !haveImages())
        return;
    zoomAll();
}

void frmAlign::Picture1_KeyDown(int index, int keyCode, int shift)
{
    const int step = align::arrowStep(shift);
    if (pickMode_ == 0) {
        if (!haveImages())
            return;
        switch (keyCode) {
        case KeyUp:
            areaTop_ = static_cast<int16_t>(areaTop_ - step);
            break;
        case KeyDown:
            areaTop_ = static_cast<int16_t>(areaTop_ + step);
            break;
        case KeyLeft:
            areaLeft_ = static_cast<int16_t>(areaLeft_ - step);
            break;
        case KeyRight:
            areaLeft_ = static_cast<int16_t>(areaLeft_ + step);
            break;
        default:
            break;
        }
        redrawAreaView();
        if (keyCode == KeyReturn)
            zoomAll();
        return;
    }
    switch (keyCode) {
    case KeyUp:
        stepBox(Text2[index], -step);
        break;
    case KeyDown:
        stepBox(Text2[index], step);
        break;
    case KeyLeft:
        stepBox(Text1[index], -step);
        break;
    case KeyRight:
        stepBox(Text1[index], step);
        break;
    default:
        return;
    }
    redrawMarkerView(index);
}

void frmAlign::UpDown_Change(int index)
{
    redrawMarkerView(index);
}

void frmAlign::Timer1_Timer()
{
    Shape1->setHidden(!Shape1->isHidden());
    ++blinkCount_;
    if (blinkCount_ > 3)
        Timer1->stop();
}

