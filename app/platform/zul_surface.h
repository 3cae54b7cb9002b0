#pragma once

#include "ZUL_Tools_VB.h"

#include <QImage>
#include <QSize>

// Hands a picture's image to the capture library as its drawing target.
// The image is made true colour of the given size first, so the library
// never writes outside it.
ZulSurface zulSurfaceFor(QImage &image, QSize size);

class CardLibrary;
class PictureBox;

// Realises the library's default palette into a picture's surface, grey
// when the configuration's output format is one of the grey ones (1 or 2).
// The result is the library's, for the caller to keep or ignore.
int setDefaultPalette(CardLibrary &card, PictureBox &picture, const ZulConfig &config);
