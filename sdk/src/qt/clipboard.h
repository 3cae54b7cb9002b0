#pragma once

#include <cstddef>

// Puts a packed device-independent bitmap on the system clipboard, both as
// an image for any program and as the bitmap's own bytes ("image/bmp").
// False when this process has no clipboard (no GUI application running on
// this thread) or the bitmap cannot be read.
bool putDibOnClipboard(const void *packedDib, std::size_t bytes);
