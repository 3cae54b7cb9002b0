#include "zul_surface.h"

ZulSurface zulSurfaceFor(QImage &image, QSize size)
{
    if (image.size() != size || image.format() != QImage::Format_RGB32) {
        image = QImage(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        image.fill(Qt::black);
    }
    ZulSurface surface{};
    surface.pixels = image.bits();
    surface.width = image.width();
    surface.height = image.height();
    surface.stride = static_cast<int32_t>(image.bytesPerLine());
    surface.bitsPerPixel = 32;
    surface.palette = nullptr;
    return surface;
}
