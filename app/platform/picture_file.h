#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

struct PictureRead {
    QImage image;  // Format_RGB32, null when the file could not be read
    QString error; // "Cannot read the picture file X.  <reason>."
    bool ok() const { return !image.isNull(); }
};

// The one way this program reads a picture file: BMP in every variant, PNG,
// TIFF and the netpbm formats, told apart by their first bytes. Any other
// content is refused, whatever the file's name, because the image plug-ins
// would otherwise pick a decoder of their own (an SVG one needs a display).
// A file whose pixels are not all there is refused too.
PictureRead readPicture(const QString &fileName);

// The same for a file already in memory. The decoder draws onto a canvas
// filled with `canvasByte`; only the pixels a compressed BMP skips keep it,
// so a check can decode twice with different bytes to show that every other
// pixel came from the file.
PictureRead decodePicture(const QByteArray &bytes, const QString &fileName, uchar canvasByte = 0);
