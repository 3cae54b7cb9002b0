#pragma once

#include "qt_part_interface.h"

#include <cstddef>

// Puts a bitmap on the system clipboard, both as an image for any program
// and as the BMP file itself ("image/bmp"). The image is `shown` where that
// is given (the picture as the library's palette shows it), else the file's
// picture. False when this process has no clipboard (no GUI application
// running on this thread) or the file cannot be read.
bool putBitmapFileOnClipboard(const void *file, std::size_t bytes, const zul::IndexedPicture *shown);
