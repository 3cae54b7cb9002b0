#pragma once

// What the alignment window's parts share: its texts and its pen. Only the
// window's own files include this.
#include <QRgb>
#include <QString>
#include <array>

namespace align_window {

inline const QString title = QStringLiteral("Align");
inline const QString grabOrRead = QStringLiteral("Grab images to align or read in SIX file.");
inline const QString moveSquare = QStringLiteral(
    "Move red square over the area of interest using the arrow keys and press ENTER.  Or, double click on the point of interest.");
// After a grab the text has always had one space less.
inline const QString moveSquareAfterGrab = QStringLiteral(
    "Move red square over the area of interest using the arrow keys and press ENTER. Or, double click on the point of interest.");
inline const QString pickMarkers = QStringLiteral(
    "Click to select marker point on each image, then click OK.  You may save the data for later use before clicking OK if you wish.");
inline const QString reposition = QStringLiteral(
    "Reposition the red square over the area of interest using the arrow keys and press ENTER.  Or, double click on the point of interest.");

// What the operator sets on the polariscope before each of the six grabs.
inline const std::array<QString, 6> grabPrompts = {
    QStringLiteral("Set polarisers vertical by setting 100 to white direction arrow. "
                   "Tang will be vertically down and large knob, H, horizontal.  Lock knob H. "
                   "Move small knob, B, to red location D.  Rotate inner ring so that compensator yellow arrow is at "
                   "-45 (red)."),
    QStringLiteral("Rotate compensator yellow arrow by 90° to +45 (white) and press OK"),
    QStringLiteral("Move small knob, B, to red location M and press OK"),
    QStringLiteral("Rotate compensator yellow arrow by 45° to 0 (white) and press OK"),
    QStringLiteral("Rotate compensator yellow arrow by 45° to -45 (red) and press OK"),
    QStringLiteral("Rotate compensator yellow arrow by 45° to -90 (red) and press OK"),
};

inline constexpr QRgb red = 0xffff0000u;

} // namespace align_window
