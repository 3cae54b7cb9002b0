#include "align_geometry.h"

#include "platform/vb_conversions.h"

#include <algorithm>
#include <cmath>

namespace align {

int roundHalfEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

PreviewFit fitImageSet(int imageWidth, int imageHeight)
{
    PreviewFit fit;
    fit.imageMaxSide = std::max(imageWidth, imageHeight);
    if (fit.imageMaxSide <= 0)
        return fit;
    fit.previewScale = static_cast<float>(static_cast<double>(fit.imageMaxSide) / viewSide);
    const double scale = fit.previewScale;
    const double maxSide = fit.imageMaxSide;
    fit.previewWidth = static_cast<int16_t>(roundHalfEven(imageWidth / scale));
    fit.previewHeight = static_cast<int16_t>(roundHalfEven(imageHeight / scale));
    fit.previewLeft = static_cast<int16_t>(roundHalfEven(viewSide * ((maxSide - imageWidth) / 2) / maxSide));
    fit.previewTop = static_cast<int16_t>(roundHalfEven(viewSide * ((maxSide - imageHeight) / 2) / maxSide));
    return fit;
}

double squareSide(const PreviewFit &fit)
{
    return static_cast<double>(static_cast<float>(areaSide) / fit.previewScale);
}

int squareSidePixels(const PreviewFit &fit)
{
    return roundHalfEven(squareSide(fit));
}

namespace {
void clampOne(int16_t &corner, int16_t start, int16_t length, double side)
{
    if (corner < start)
        corner = start;
    if (corner + side > start + length - 1)
        corner = static_cast<int16_t>(roundHalfEven(start + length - 1 - side));
}
} // namespace

void clampArea(int16_t &areaLeft, int16_t &areaTop, const PreviewFit &fit)
{
    if (!fit.valid())
        return;
    const double side = squareSide(fit);
    clampOne(areaLeft, fit.previewLeft, fit.previewWidth, side);
    clampOne(areaTop, fit.previewTop, fit.previewHeight, side);
}

QPoint areaForPress(QPoint press, const PreviewFit &fit)
{
    const float half = 50.0f / fit.previewScale;
    return {roundHalfEven(static_cast<float>(press.x()) - half), roundHalfEven(static_cast<float>(press.y()) - half)};
}

QPoint zoomSourceOrigin(int16_t areaLeft, int16_t areaTop, const PreviewFit &fit)
{
    // A whole view pixel times the single-precision scale, rounded in single
    // precision before the conversion to a pixel.
    const float x = static_cast<float>(areaLeft - fit.previewLeft) * fit.previewScale;
    const float y = static_cast<float>(areaTop - fit.previewTop) * fit.previewScale;
    return {roundHalfEven(x), roundHalfEven(y)};
}

int arrowStep(int shiftMask)
{
    return shiftMask + 1;
}

int16_t originFromMarkers(double marker, double marker1)
{
    return static_cast<int16_t>(roundHalfEven((marker - marker1) / 2 + referenceOrigin));
}

MarkerOrigins originsFromMarkerTexts(const std::array<QString, 7> &text1, const std::array<QString, 7> &text2)
{
    MarkerOrigins result;
    std::array<double, 7> x{};
    std::array<double, 7> y{};
    for (int i = 1; i <= 6; ++i) {
        const auto valueX = vb::toDouble(text1[i]);
        const auto valueY = vb::toDouble(text2[i]);
        if (!valueX || !valueY) {
            result.badImage = i;
            result.error = QStringLiteral("The marker of image %1 is not a number.  Pick the marker on image %1 "
                                          "again or type its position in view pixels.")
                               .arg(i);
            return result;
        }
        x[i] = *valueX;
        y[i] = *valueY;
    }
    for (int i = 6; i >= 1; --i) {
        const double ox = (x[i] - x[1]) / 2 + referenceOrigin;
        const double oy = (y[i] - y[1]) / 2 + referenceOrigin;
        // An origin that does not fit the 16-bit variables is as unusable
        // as a box without a number.
        if (std::fabs(ox) > 32767.0 || std::fabs(oy) > 32767.0) {
            result.badImage = i;
            result.error = QStringLiteral("The marker of image %1 is too far from the marker of image 1.  "
                                          "Pick the marker on image %1 again.")
                               .arg(i);
            return result;
        }
        result.x[i] = originFromMarkers(x[i], x[1]);
        result.y[i] = originFromMarkers(y[i], y[1]);
    }
    return result;
}

} // namespace align
