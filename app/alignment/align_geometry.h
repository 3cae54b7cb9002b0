#pragma once

#include <QPoint>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// The numbers behind the alignment window's views. The views are 200 x 200
// pixels; a whole image is fitted into one, and a zoomed view shows a
// 100 x 100 source area at two view pixels per source pixel.
namespace align {

inline constexpr int viewSide = 200;
inline constexpr int areaSide = 100;        // source pixels under the red square
inline constexpr int referenceOrigin = 12;  // crop origin given to image 1 by the markers

// Where a whole image sits in a view. The scale is kept in single precision
// because the square's side and the zoom origin were always derived from
// that rounded value; computing them from the exact ratio moves ties.
struct PreviewFit {
    int32_t imageMaxSide = 0;
    float previewScale = 0.0f; // source pixels per view pixel
    int16_t previewLeft = 0;
    int16_t previewTop = 0;
    int16_t previewWidth = 0;
    int16_t previewHeight = 0;
    bool valid() const { return previewScale > 0.0f; }
};

// Nearest integer, ties to even, as every conversion of the window rounds.
int roundHalfEven(double value);

PreviewFit fitImageSet(int imageWidth, int imageHeight);

// The red square's side in view pixels (100 / previewScale), unrounded and
// as drawn.
double squareSide(const PreviewFit &fit);
int squareSidePixels(const PreviewFit &fit);

// Keeps the square's corner inside the fitted image: first not left of or
// above it, then not past its right or bottom edge.
void clampArea(int16_t &areaLeft, int16_t &areaTop, const PreviewFit &fit);

// The corner for a mouse press at (x, y), before clamping: the square is
// centred on the press.
QPoint areaForPress(QPoint press, const PreviewFit &fit);

// The source pixel shown at (0, 0) of a zoomed view.
QPoint zoomSourceOrigin(int16_t areaLeft, int16_t areaTop, const PreviewFit &fit);

// Arrow steps are one view pixel plus the key-state mask (1 Shift, 2 Ctrl,
// 4 Alt), so Shift steps 2 and Ctrl 3.
int arrowStep(int shiftMask);

// The crop origin of an image whose marker is at `marker` when image 1's
// is at `marker1`, both in zoomed-view pixels.
int16_t originFromMarkers(double marker, double marker1);

// Crop origins of images 1..6 from the marker boxes' texts (index 1..6).
struct MarkerOrigins {
    std::array<int16_t, 7> x{};
    std::array<int16_t, 7> y{};
    int badImage = 0; // the first image whose box holds no number, or 0
    QString error;    // the operator's text when badImage is set
    bool ok() const { return badImage == 0; }
};
MarkerOrigins originsFromMarkerTexts(const std::array<QString, 7> &text1, const std::array<QString, 7> &text2);

} // namespace align
