#pragma once

#include "platform/vector_units.h"

#include <QRgb>

// One row of a composite tile: pixel x is opaque, with the red of red[x],
// the green of green[x] and the blue of blue[x]. This is what MERGECOPY of
// each source into a black channel surface followed by SRCPAINT of the
// three into a black tile gives, in one pass over the row. The scalar unit
// is the reference the vector units are held against; `unit` is one of
// vectorUnits(), asked once by the caller rather than once a row.
void packChannelRow(QRgb *out, const QRgb *red, const QRgb *green, const QRgb *blue, int width, VectorUnit unit);
