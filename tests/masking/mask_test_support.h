#pragma once

#include "masking/mask_areas.h"

#include <QImage>
#include <QStringList>
#include <initializer_list>

namespace mask_test {

// One row of text per image row: '#' black, '.' white, '?' anything else.
inline QStringList art(const QImage &image)
{
    QStringList rows;
    for (int y = 0; y < image.height(); ++y) {
        QString row;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y) | 0xff000000;
            row += pixel == 0xff000000 ? QLatin1Char('#') : pixel == 0xffffffff ? QLatin1Char('.') : QLatin1Char('?');
        }
        rows << row;
    }
    return rows;
}

inline void setArea(MaskAreas &areas, int area, bool inside, std::initializer_list<QPoint> points)
{
    areas.maskAreaCount = std::max<int16_t>(areas.maskAreaCount, int16_t(area));
    areas.maskInside[area] = inside;
    areas.maskPointCount[area] = int16_t(points.size());
    int p = 0;
    for (QPoint point : points)
        areas.maskPoints[area][p++] = point;
}

} // namespace mask_test
