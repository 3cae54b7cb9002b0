#include "mask_render.h"

#include "platform/raster.h"

#include <QPolygon>

namespace mask_render {

QImage whiteMask(QSize size)
{
    QImage mask(size, QImage::Format_RGB32);
    mask.fill(white);
    return mask;
}

QImage areaMask(const MaskAreas &areas, int area, QSize size)
{
    QImage mask = whiteMask(size);
    const int count = areas.pointCount(area);
    if (count <= 1)
        return mask;
    QPolygon polygon;
    polygon.reserve(count);
    for (int point = 0; point < count; ++point)
        polygon << areas.point(area, point);
    raster::drawPolygon(mask, polygon, black, black);
    if (!areas.inside(area))
        mask.invertPixels();
    return mask;
}

QImage combinedMask(const MaskAreas &areas, QSize size)
{
    QImage combined = whiteMask(size);
    for (int area = 1; area <= areas.maskAreaCount && area <= MaskAreas::maxAreas; ++area) {
        if (areas.pointCount(area) <= 1)
            continue;
        const QImage mask = areaMask(areas, area, size);
        raster::bitBlt(combined, 0, 0, size.width(), size.height(), mask, 0, 0, raster::Rop::SrcAnd);
    }
    return combined;
}

QImage maskedPicture(const QImage &image, const QImage &mask, QSize pictureSize)
{
    QImage picture(pictureSize, QImage::Format_RGB32);
    picture.fill(black);
    const QSize cell = mask.size();
    if (!image.isNull())
        raster::bitBlt(picture, 0, 0, cell.width(), cell.height(), image, 0, 0, raster::Rop::SrcCopy);
    raster::bitBlt(picture, 0, 0, cell.width(), cell.height(), mask, 0, 0, raster::Rop::SrcAnd);
    return picture;
}

} // namespace mask_render
