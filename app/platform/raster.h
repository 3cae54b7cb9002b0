#pragma once

#include <QImage>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QRgb>

#include <optional>

// The handful of raster operations the program was built on, over QImage in
// Format_RGB32 (0xffRRGGBB). Every function clips to the target; the alpha
// byte of every written pixel is 0xff.
//
// Source pixels that lie outside the source image leave their target pixels
// untouched: callers that want black there fill the target black first, as
// every composition in this program does.
namespace raster {

enum class Rop {
    SrcCopy,   // target = source
    MergeCopy, // target = source AND brush
    SrcPaint,  // target = target OR source
    SrcAnd,    // target = target AND source
    Blackness, // target = black; the source is not read
    PatCopy,   // target = brush; the source is not read
};

// Block transfer of a width x height rectangle of `source` at (sx, sy) to
// `target` at (x, y). A non-RGB32 target is converted in place.
void bitBlt(QImage &target, int x, int y, int width, int height,
            const QImage &source, int sx, int sy, Rop rop, QRgb brush = 0xff000000);

// Source-less operations (Blackness, PatCopy) on a rectangle of the target.
void fill(QImage &target, const QRect &rect, Rop rop, QRgb brush = 0xff000000);

// Stretched copy in COLORONCOLOR mode: every target pixel takes the one
// source pixel under its centre, i.e. target column x + i (0 <= i < width)
// reads source column sx + floor((2i + 1) * sourceWidth / (2 * width)), and
// rows likewise. Nothing is blended, so grey values survive unchanged.
// Non-positive sizes draw nothing.
void stretchBlt(QImage &target, int x, int y, int width, int height,
                const QImage &source, int sx, int sy, int sourceWidth, int sourceHeight);

// A 1-pixel line from `from` up to, but not including, `to` (as a pen moved
// with LineTo leaves it). The major axis is stepped one pixel at a time; the
// minor coordinate is the nearest integer to the ideal line, and an exact
// half goes to the smaller coordinate, so a segment covers the same pixels
// whichever end it starts from (apart from the end that is left out).
void drawLine(QImage &target, QPoint from, QPoint to, QRgb pen);

// The four sides of `box`, corners included (QRect's right() and bottom()
// are the last column and row painted).
void drawBox(QImage &target, const QRect &box, QRgb pen);

// Even-odd ("alternate") fill: pixel (x, y) is inside when the point (x, y)
// is, with points on left and top edges counted in and those on right and
// bottom edges left out, so abutting polygons never share a pixel.
void fillPolygon(QImage &target, const QPolygon &polygon, QRgb brush);

// The closed outline with a 1-pixel pen: every edge drawn as drawLine does,
// the closing edge included, which paints every vertex exactly once.
void outlinePolygon(QImage &target, const QPolygon &polygon, QRgb pen);

// What a polygon drawn with a brush and a pen shows: the fill, then the
// outline over it. Either may be left out.
void drawPolygon(QImage &target, const QPolygon &polygon, std::optional<QRgb> pen, std::optional<QRgb> brush);

} // namespace raster
