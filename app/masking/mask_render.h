#pragma once

#include "mask_areas.h"

#include <QImage>
#include <QSize>

// Masks are RGB32 images of the cell size: white keeps a pixel, black masks
// it as background. They are combined with the image by AND.
namespace mask_render {

inline constexpr QRgb white = 0xffffffff;
inline constexpr QRgb black = 0xff000000;

QImage whiteMask(QSize size);

// The mask of one area: its polygon filled black under the alternate rule
// and outlined with the 1-pixel black pen, then inverted when the
// background lies outside it. Areas of fewer than two points mask nothing.
QImage areaMask(const MaskAreas &areas, int area, QSize size);

// The AND of the masks of areas 1..maskAreaCount, in area order.
QImage combinedMask(const MaskAreas &areas, QSize size);

// What the editor shows: the top-left of `image` ANDed with `mask`, on a
// black picture of `pictureSize`.
QImage maskedPicture(const QImage &image, const QImage &mask, QSize pictureSize);

} // namespace mask_render
