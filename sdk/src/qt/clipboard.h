#pragma once

#include "qt_part_interface.h"

#include <cstddef>

// Puts a packed device-independent bitmap on the system clipboard, both as
// an image for any program and as the bitmap's own bytes ("image/bmp").
// The image is `shown` where that is given (the picture as the library's
// palette shows it), else the bitmap itself. False when this process has no
// clipboard (no GUI application running on this thread) or the bitmap cannot
// be read.
bool putDibOnClipboard(const void *packedDib, std::size_t bytes, const zul::IndexedPicture *shown);
