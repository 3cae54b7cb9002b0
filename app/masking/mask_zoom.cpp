#include "mask_zoom.h"

#include "platform/picture_box.h"
#include "platform/raster.h"

#include <QGridLayout>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

MaskZoomPanel::MaskZoomPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Frame1"));
    setAccessibleName(QStringLiteral("Zoom"));
    setAccessibleDescription(toolTip());
    setFrameShape(QFrame::Box);

    Picture3 = new PictureBox(this);
    Picture3->setObjectName(QStringLiteral("Picture3"));
    Picture3->setAccessibleName(QStringLiteral("Zoomed picture"));
    Picture3->setAccessibleDescription(Picture3->toolTip());
    Picture3->setFixedSize(sourceWidth * magnification, sourceHeight * magnification);
    QImage blank(sourceWidth * magnification, sourceHeight * magnification, QImage::Format_RGB32);
    blank.fill(0xff000000);
    Picture3->setImage(blank);

    HBar = new QScrollBar(Qt::Horizontal, this);
    HBar->setObjectName(QStringLiteral("HBar"));
    HBar->setAccessibleName(QStringLiteral("Pan across"));
    HBar->setAccessibleDescription(HBar->toolTip());
    VBar = new QScrollBar(Qt::Vertical, this);
    VBar->setObjectName(QStringLiteral("VBar"));
    VBar->setAccessibleName(QStringLiteral("Pan up and down"));
    VBar->setAccessibleDescription(VBar->toolTip());
    for (QScrollBar *bar : {HBar, VBar}) {
        bar->setSingleStep(smallChange);
        bar->setPageStep(largeChange);
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            refresh(source_);
            emit barsMoved();
        });
    }

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    layout->addWidget(Picture3, 0, 0);
    layout->addWidget(VBar, 0, 1);
    layout->addWidget(HBar, 1, 0);

    connect(Picture3, &PictureBox::mousePressed, this,
            [this](QPoint pixel, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
                emit imageClicked(toImage(pixel, HBar->value(), VBar->value()), button, modifiers);
            });
}

void MaskZoomPanel::setRanges(int imageWidth, int imageHeight)
{
    HBar->setRange(0, std::max(imageWidth - sourceWidth, 0));
    VBar->setRange(0, std::max(imageHeight - sourceHeight, 0));
    for (QScrollBar *bar : {HBar, VBar}) {
        bar->setSingleStep(smallChange);
        bar->setPageStep(largeChange);
    }
}

void MaskZoomPanel::refresh(const QImage &source)
{
    source_ = source;
    QImage zoomed(sourceWidth * magnification, sourceHeight * magnification, QImage::Format_RGB32);
    // Past the picture's edges the bars may show no image; that strip reads
    // as black rather than as the last zoom.
    zoomed.fill(0xff000000);
    raster::stretchBlt(zoomed, 0, 0, zoomed.width(), zoomed.height(), source, HBar->value(), VBar->value(),
                       sourceWidth, sourceHeight);
    Picture3->setImage(zoomed);
}

QPoint MaskZoomPanel::toImage(QPointF zoomed, int h, int v)
{
    // Round to the nearest pixel (halves to even) before dropping the
    // remainder, as the click coordinates always were.
    const int x = int(std::nearbyint(zoomed.x()));
    const int y = int(std::nearbyint(zoomed.y()));
    return {h + x / magnification, v + y / magnification};
}
