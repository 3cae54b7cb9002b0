#pragma once

#include "ZUL_Tools_VB.h"

#include <QImage>
#include <QSize>

class CardImage;
class CardLibrary;

// One picture from the camera, as the moire capture, the alignment grab and
// the transmission sequence take it.
struct CapturedFrame {
    int result = 0; // the first failing library result, or 0
    QImage image;   // the picture at the corner of a black image, unscaled
    bool ok() const { return result == 0; }
};

// The size of the pictures the configuration's window gives.
QSize frameSize(const ZulConfig &config);

// Snaps and reads out one picture into `slot` (freeing what it held), or,
// when more than one frame is to be averaged and the library can sum the
// configuration's format (true colour 7 or grey 1), takes the average of
// `averageCount` snaps. The picture is then drawn, unscaled, at the corner
// of a black image of `size`. A failed snap skips the read-out, so the slot
// is empty and the image black.
CapturedFrame captureFrame(CardLibrary &card, ZulConfig &config, int averageCount, CardImage &slot, QSize size);
