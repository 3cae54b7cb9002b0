#include "raster.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace raster {

namespace {

constexpr QRgb opaque = 0xff000000u;

void ensureRgb32(QImage &image)
{
    if (!image.isNull() && image.format() != QImage::Format_RGB32)
        image.convertTo(QImage::Format_RGB32);
}

// Reads the source as RGB32 without copying when it already is.
QImage rgb32View(const QImage &source)
{
    if (source.format() == QImage::Format_RGB32)
        return source;
    return source.convertToFormat(QImage::Format_RGB32);
}

bool usesSource(Rop rop)
{
    return rop != Rop::Blackness && rop != Rop::PatCopy;
}

template <typename Op>
void applyRows(QImage &target, const QRect &targetRect, const QImage &source, QPoint sourceTopLeft, Op op)
{
    const int width = targetRect.width();
    for (int row = 0; row < targetRect.height(); ++row) {
        auto *out = reinterpret_cast<QRgb *>(target.scanLine(targetRect.top() + row)) + targetRect.left();
        const auto *in = reinterpret_cast<const QRgb *>(source.constScanLine(sourceTopLeft.y() + row)) + sourceTopLeft.x();
        for (int i = 0; i < width; ++i)
            out[i] = op(out[i], in[i]) | opaque;
    }
}

void fillRows(QImage &target, const QRect &rect, QRgb value)
{
    for (int row = rect.top(); row <= rect.bottom(); ++row) {
        auto *out = reinterpret_cast<QRgb *>(target.scanLine(row)) + rect.left();
        std::fill(out, out + rect.width(), value);
    }
}

void plot(QImage &target, int x, int y, QRgb pen)
{
    if (x >= 0 && y >= 0 && x < target.width() && y < target.height())
        reinterpret_cast<QRgb *>(target.scanLine(y))[x] = pen | opaque;
}

// Floor and ceiling of a quotient with a positive divisor.
std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b) != 0 && a < 0)
        --q;
    return q;
}

std::int64_t ceilDiv(std::int64_t a, std::int64_t b)
{
    return -floorDiv(-a, b);
}

// The same for a wide dividend; the quotient of a line's own coordinates
// always fits 64 bits.
std::int64_t ceilDiv128(__int128 a, std::int64_t b)
{
    __int128 q = a / b;
    if (a % b != 0 && a > 0)
        ++q;
    return static_cast<std::int64_t>(q);
}

} // namespace

void fill(QImage &target, const QRect &rect, Rop rop, QRgb brush)
{
    ensureRgb32(target);
    const QRect clipped = rect.normalized() & target.rect();
    if (clipped.isEmpty())
        return;
    fillRows(target, clipped, rop == Rop::PatCopy ? (brush | opaque) : opaque);
}

void bitBlt(QImage &target, int x, int y, int width, int height,
            const QImage &source, int sx, int sy, Rop rop, QRgb brush)
{
    if (width <= 0 || height <= 0)
        return;
    if (!usesSource(rop)) {
        fill(target, QRect(x, y, width, height), rop, brush);
        return;
    }
    ensureRgb32(target);
    if (target.isNull() || source.isNull())
        return;

    // Clip against the target and the source at once: the part of the
    // rectangle that exists in both is the only part that changes.
    QRect targetRect(x, y, width, height);
    const QRect sourceInTarget = QRect(0, 0, source.width(), source.height()).translated(x - sx, y - sy);
    targetRect &= target.rect();
    targetRect &= sourceInTarget;
    if (targetRect.isEmpty())
        return;
    const QPoint sourceTopLeft(targetRect.left() - x + sx, targetRect.top() - y + sy);
    const QImage in = rgb32View(source);

    switch (rop) {
    case Rop::SrcCopy:
        applyRows(target, targetRect, in, sourceTopLeft, [](QRgb, QRgb s) { return s; });
        break;
    case Rop::MergeCopy:
        applyRows(target, targetRect, in, sourceTopLeft, [brush](QRgb, QRgb s) { return s & brush; });
        break;
    case Rop::SrcPaint:
        applyRows(target, targetRect, in, sourceTopLeft, [](QRgb d, QRgb s) { return d | s; });
        break;
    case Rop::SrcAnd:
        applyRows(target, targetRect, in, sourceTopLeft, [](QRgb d, QRgb s) { return d & s; });
        break;
    case Rop::Blackness:
    case Rop::PatCopy:
        break;
    }
}

void stretchBlt(QImage &target, int x, int y, int width, int height,
                const QImage &source, int sx, int sy, int sourceWidth, int sourceHeight)
{
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    ensureRgb32(target);
    if (target.isNull() || source.isNull())
        return;
    const QImage in = rgb32View(source);

    const QRect visible = QRect(x, y, width, height) & target.rect();
    if (visible.isEmpty())
        return;

    // Source column for each visible target column, or -1 when it falls
    // outside the source image.
    std::vector<int> columns(visible.width());
    for (int tx = visible.left(); tx <= visible.right(); ++tx) {
        const std::int64_t i = tx - x;
        const std::int64_t column = sx + (2 * i + 1) * sourceWidth / (2 * std::int64_t(width));
        columns[tx - visible.left()] = (column >= 0 && column < in.width()) ? int(column) : -1;
    }
    for (int ty = visible.top(); ty <= visible.bottom(); ++ty) {
        const std::int64_t j = ty - y;
        const std::int64_t row = sy + (2 * j + 1) * sourceHeight / (2 * std::int64_t(height));
        if (row < 0 || row >= in.height())
            continue;
        const auto *src = reinterpret_cast<const QRgb *>(in.constScanLine(int(row)));
        auto *out = reinterpret_cast<QRgb *>(target.scanLine(ty));
        for (int tx = visible.left(); tx <= visible.right(); ++tx) {
            const int column = columns[tx - visible.left()];
            if (column >= 0)
                out[tx] = src[column] | opaque;
        }
    }
}

void drawLine(QImage &target, QPoint from, QPoint to, QRgb pen)
{
    ensureRgb32(target);
    const std::int64_t dx = std::int64_t(to.x()) - from.x();
    const std::int64_t dy = std::int64_t(to.y()) - from.y();
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const std::int64_t major = xMajor ? dx : dy;
    const std::int64_t minor = xMajor ? dy : dx;
    const std::int64_t steps = major < 0 ? -major : major;
    const std::int64_t majorStart = xMajor ? from.x() : from.y();
    const std::int64_t minorStart = xMajor ? from.y() : from.x();
    const int step = major < 0 ? -1 : 1;
    // Only the steps whose major coordinate falls inside the image can paint
    // anything; a line reaching far outside costs no more than one across it.
    const std::int64_t extent = xMajor ? target.width() : target.height();
    std::int64_t first = step > 0 ? -majorStart : majorStart - (extent - 1);
    std::int64_t last = step > 0 ? extent - 1 - majorStart : majorStart;
    first = std::max<std::int64_t>(first, 0);
    last = std::min<std::int64_t>(last, steps - 1);
    for (std::int64_t i = first; i <= last; ++i) {
        // Ideal minor coordinate m = minorStart + i * minor / steps; the
        // pixel is the nearest integer, halves going down: ceil(m - 1/2).
        // Wide arithmetic: 32-bit coordinates times a 33-bit step count.
        const __int128 numerator = 2 * (__int128(minorStart) * steps + __int128(i) * minor) - steps;
        const std::int64_t m = ceilDiv128(numerator, 2 * steps);
        const std::int64_t a = majorStart + i * step;
        const std::int64_t minorExtent = xMajor ? target.height() : target.width();
        if (m < 0 || m >= minorExtent)
            continue;
        if (xMajor)
            plot(target, int(a), int(m), pen);
        else
            plot(target, int(m), int(a), pen);
    }
}

void drawBox(QImage &target, const QRect &box, QRgb pen)
{
    ensureRgb32(target);
    const QRect r = box.normalized();
    if (r.isEmpty())
        return;
    // Walk only the stretch of each side that lies on the image.
    for (int x = std::max(r.left(), 0); x <= std::min(r.right(), target.width() - 1); ++x) {
        plot(target, x, r.top(), pen);
        plot(target, x, r.bottom(), pen);
    }
    for (int y = std::max(r.top(), 0); y <= std::min(r.bottom(), target.height() - 1); ++y) {
        plot(target, r.left(), y, pen);
        plot(target, r.right(), y, pen);
    }
}

void fillPolygon(QImage &target, const QPolygon &polygon, QRgb brush)
{
    ensureRgb32(target);
    const int n = int(polygon.size());
    if (n < 3 || target.isNull())
        return;
    const QRect bounds = polygon.boundingRect();
    const int firstRow = std::max(bounds.top(), 0);
    const int endRow = std::min(bounds.bottom(), target.height()); // the bottom row is never inside
    std::vector<std::int64_t> crossings;
    crossings.reserve(n);
    for (int y = firstRow; y < endRow; ++y) {
        crossings.clear();
        for (int k = 0; k < n; ++k) {
            QPoint a = polygon[k];
            QPoint b = polygon[(k + 1) % n];
            if (a.y() == b.y())
                continue;
            if (a.y() > b.y())
                std::swap(a, b);
            // Half-open in y, so a vertex shared by two edges counts once
            // and the bottom row of the polygon is left out.
            if (y < a.y() || y >= b.y())
                continue;
            const std::int64_t numerator = std::int64_t(a.x()) * (b.y() - a.y()) + std::int64_t(y - a.y()) * (b.x() - a.x());
            // Pixel x is inside a span [left, right) of exact crossings
            // exactly when ceil(left) <= x < ceil(right).
            crossings.push_back(ceilDiv(numerator, b.y() - a.y()));
        }
        std::sort(crossings.begin(), crossings.end());
        auto *out = reinterpret_cast<QRgb *>(target.scanLine(y));
        for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
            const std::int64_t left = std::max<std::int64_t>(crossings[k], 0);
            const std::int64_t right = std::min<std::int64_t>(crossings[k + 1], target.width());
            for (std::int64_t x = left; x < right; ++x)
                out[x] = brush | opaque;
        }
    }
}

void outlinePolygon(QImage &target, const QPolygon &polygon, QRgb pen)
{
    const int n = int(polygon.size());
    if (n == 0)
        return;
    if (n == 1) {
        ensureRgb32(target);
        plot(target, polygon[0].x(), polygon[0].y(), pen);
        return;
    }
    for (int k = 0; k < n; ++k)
        drawLine(target, polygon[k], polygon[(k + 1) % n], pen);
    // A polygon whose points all coincide has no edge that paints them.
    plot(target, polygon[0].x(), polygon[0].y(), pen);
}

void drawPolygon(QImage &target, const QPolygon &polygon, std::optional<QRgb> pen, std::optional<QRgb> brush)
{
    if (brush)
        fillPolygon(target, polygon, *brush);
    if (pen)
        outlinePolygon(target, polygon, *pen);
}

} // namespace raster
