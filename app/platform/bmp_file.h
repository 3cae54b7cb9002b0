#pragma once

#include "file_batch.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// The one bitmap form this program writes: an uncompressed 24-bit BMP with
// bottom-up rows (BITMAPINFOHEADER), each row padded to four bytes. Analysis
// programs and our own readers all take it.
QByteArray encodeBmp24(const QImage &image);

// Whether a picture of `size` makes such a file at all: its size must fit
// the 31 bits readers allow for it. Callers that build a large picture
// check this first rather than find out at writing.
bool fitsBmp24(QSize size);

// Writes `image` as a batch of one file, so a failed write leaves any earlier
// file of that name as it was. Returns false and a text naming the file
// and the reason when the file could not be written.
bool saveBmp24(const QImage &image, const QString &fileName, QString *errorText = nullptr);
