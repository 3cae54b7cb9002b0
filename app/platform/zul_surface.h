#pragma once

#include "ZUL_Tools_VB.h"

#include <QImage>
#include <QSize>

// Hands a picture's image to the capture library as its drawing target.
// The image is made true colour of the given size first, so the library
// never writes outside it.
ZulSurface zulSurfaceFor(QImage &image, QSize size);
