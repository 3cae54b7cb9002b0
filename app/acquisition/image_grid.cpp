#include "image_grid.h"

#include "platform/picture_box.h"
#include "platform/raster.h"
#include "platform/twips.h"
#include "workbench/frm_img.h"
#include "workbench/workstation.h"

#include <algorithm>
#include <cmath>

ImageGrid::ImageGrid(const Workstation &workstation)
{
    const QSize area = workstation.pictureAreaSize();
    gridWidth_ = twipsFromPixels(area.width()) - 270;
    gridHeight_ = twipsFromPixels(area.height()) - 750;
    // A row is never taller than a column is wide.
    if (gridHeight_ / 2 > gridWidth_ / 3)
        gridHeight_ = gridWidth_ * 2 / 3;
    gridHeight_ = std::min(gridHeight_, 7680);
    gridWidth_ = std::min(gridWidth_, 11520);
}

void ImageGrid::place(FrmImg *form, int index, const QString &caption) const
{
    const int cellWidth = gridWidth_ / 3 + 90;
    const int cellHeight = gridHeight_ / 2 + 375;
    const int left = cellWidth * (index <= 3 ? index - 1 : index - 4);
    const int top = index <= 3 ? 0 : cellHeight;
    form->setGeometry(pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(cellWidth),
                      pixelsFromTwips(cellHeight));
    form->setWindowTitle(caption);
    form->show();
}

void ImageGrid::drawFitted(FrmImg *form, const QImage &working, int maxSide) const
{
    const int side = std::max(1, pixelsFromTwips(gridWidth_ / 3));
    const double scale = static_cast<double>(side) / std::max(1, maxSide);
    const int x = static_cast<int>(std::nearbyint((maxSide - working.width()) / 2.0 * scale));
    const int y = static_cast<int>(std::nearbyint((maxSide - working.height()) / 2.0 * scale));
    QImage view(side, side, QImage::Format_RGB32);
    view.fill(Qt::black);
    raster::stretchBlt(view, x, y, static_cast<int>(std::nearbyint(working.width() * scale)),
                       static_cast<int>(std::nearbyint(working.height() * scale)), working, 0, 0, working.width(),
                       working.height());
    form->picture()->setImage(view);
}
