#pragma once

#include <QByteArray>

#include <cstddef>

// A packed device-independent bitmap (header, colour table or masks, rows)
// with the 14-byte file header in front, so that it reads as a BMP file.
// Empty when the header does not describe a bitmap that fits the bytes.
QByteArray bitmapFileOf(const void *packedDib, size_t bytes);
