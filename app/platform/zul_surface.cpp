#include "zul_surface.h"

#include "card_library.h"
#include "picture_box.h"

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

int setDefaultPalette(CardLibrary &card, PictureBox &picture, const ZulConfig &config)
{
    ZulSurface surface = zulSurfaceFor(picture.imageForDrawing(), picture.size());
    const int format = config.OutputFormat;
    return card.defaultPalette(&surface, format == 1 || format == 2 ? 1 : 0);
}
