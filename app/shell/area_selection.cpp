#include "area_selection.h"

#include "capture_ini.h"
#include "platform/raster.h"
#include "workbench/app_state.h"
#include "workbench/workstation.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace area {

std::optional<Row> row(int sizeOption)
{
    // xActive is 1.2 times the pixel count, rounded; yActive is one field of
    // the interlaced frame.
    switch (sizeOption) {
    case 0: return Row{308, 331, 276, 87, 138, 276};
    case 1: return Row{140, 638, 532, 18, 266, 532};
    default: return std::nullopt;
    }
}

QRect unitRect(Outline outline)
{
    switch (outline) {
    case Outline::Area256: return {256, 157, 256, 256};
    case Outline::Area512: return {128, 30, 512, 510};
    case Outline::Area512Full: return {128, 30, 512, 512};
    }
    return {};
}

void drawOutline(QImage &image, Outline outline, QRgb colour, double pixelsPerUnit)
{
    // The box runs from the top-left corner to the corner width and height
    // further on, both included, as the original picture's box did.
    const QRect r = unitRect(outline);
    auto at = [pixelsPerUnit](int units) { return static_cast<int>(std::lround(units * pixelsPerUnit)); };
    raster::drawBox(image, QRect(QPoint(at(r.left()), at(r.top())),
                                 QPoint(at(r.left() + r.width()), at(r.top() + r.height()))),
                    colour);
}

FileResult applySizeOption(Workstation &workstation, int16_t sizeOption,
                           const std::function<void(const QString &)> &progress)
{
    auto report = [&progress](const char *digit) {
        if (progress)
            progress(QString::fromLatin1(digit));
    };
    const auto chosen = row(sizeOption);
    if (!chosen)
        return {QStringLiteral("There is no capture area %1.").arg(sizeOption)};
    AppState &state = workstation.state();
    report("2");
    const FileResult written = WriteCaptureIni(state.captureIniPath, chosen->xOffset, chosen->xActive, chosen->xPixels,
                                               chosen->yOffset, chosen->yActive, chosen->yPixels);
    if (!written.ok())
        return written;
    // The size option follows the file only once the file is written, so the
    // option stored at shutdown always names the window the card will use.
    state.imageSizeOption = sizeOption;
    report("3");
    state.imageWidth = chosen->xPixels;
    state.cropWidth = chosen->xPixels - 20;
    state.imageHeight = chosen->yPixels;
    state.cropHeight = chosen->yPixels - 20;
    report("4");
    state.imageMaxSide = std::max(chosen->xPixels, chosen->yPixels) - 20;
    report("5");
    sizeWorkPictures(workstation);
    QCoreApplication::processEvents();
    return {};
}

} // namespace area
