#pragma once

#include "platform/file_result.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class Workstation;

// The two grab areas in the middle of the video frame, and the outlines
// that show them on a picture of the whole frame.
namespace area {

// The digitizer's PAL window for one area, in the order the capture
// settings file takes them. The grab is 20 pixels larger than the crop in
// each direction, for the alignment margin.
struct Row {
    int16_t xOffset, xActive, xPixels, yOffset, yActive, yPixels;
};

// Size option 0 is the 256 area, 1 the 512 area; anything else has no row.
std::optional<Row> row(int sizeOption);

enum class Outline { Area256, Area512, Area512Full };

// Every outline is given in picture units, 768 across and 570 down the whole
// frame, so both areas centre on (384, 285) whatever the picture's size.
constexpr double kUnitsAcross = 768.0;
constexpr double kUnitsDown = 570.0;
QRect unitRect(Outline outline);

// Draws the outline on an image that shows the frame at pixelsPerUnit.
void drawOutline(QImage &image, Outline outline, QRgb colour, double pixelsPerUnit);

constexpr QRgb kLegend256 = 0xff00ff00;
constexpr QRgb kLegend512 = 0xff0000ff;
constexpr QRgb kSelected = 0xffff0000;

// Rewrites the capture settings file for the area and sets the working
// geometry and work pictures to match. Nothing changes when the file cannot
// be written. The status callback hears the progress digits "2" to "5"
// between the steps.
FileResult applySizeOption(Workstation &workstation, int16_t sizeOption,
                           const std::function<void(const QString &)> &progress = {});

} // namespace area
