#include "intensity_stats.h"

#include <algorithm>
#include <bit>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace intensity {
namespace {

constexpr QRgb kMark = 0xffff0000;

struct Span {
    int firstRow, lastRow, firstColumn, lastColumn;
    bool empty() const { return lastRow < firstRow || lastColumn < firstColumn; }
};

Span visited(const QImage &bitmap, int width, int height)
{
    return {2, std::min(height - 2, bitmap.height() - 1), 2, std::min(width - 2, bitmap.width() - 1)};
}

// A marks picture may be smaller or larger than the measured bitmap; only
// the places both hold are painted.
QRgb *markRow(QImage *marks, int y)
{
    return marks && y < marks->height() ? reinterpret_cast<QRgb *>(marks->scanLine(y)) : nullptr;
}

void mark(QRgb *row, const QImage *marks, int x)
{
    if (row && x < marks->width())
        row[x] = kMark;
}

void visitScalar(const QRgb *row, int from, int to, int threshold, QRgb *marksRow, const QImage *marks,
                 Reading &reading)
{
    for (int x = from; x <= to; ++x) {
        const int g = qGreen(row[x]);
        reading.max = std::max(reading.max, g);
        reading.min = std::min(reading.min, g);
        if (g > threshold)
            mark(marksRow, marks, x);
        reading.sum += g;
    }
}

Reading measureScalar(const QImage &bitmap, const Span &span, int threshold, QImage *marks)
{
    Reading reading;
    for (int y = span.firstRow; y <= span.lastRow; ++y)
        visitScalar(reinterpret_cast<const QRgb *>(bitmap.constScanLine(y)), span.firstColumn, span.lastColumn,
                    threshold, markRow(marks, y), marks, reading);
    return reading;
}

#if defined(__SSE2__)
// Sixteen pixels at a time: their green bytes packed into one register, so
// one instruction each finds the largest, the smallest, the sum and the
// pixels above the threshold.
Reading measureVector(const QImage &bitmap, const Span &span, int threshold, QImage *marks)
{
    const __m128i lowByte = _mm_set1_epi32(0xff);
    const __m128i zero = _mm_setzero_si128();
    // g > threshold as max(g, threshold + 1) == g; a threshold of 255 or
    // more marks nothing, a negative one everything.
    const bool marksSome = marks && threshold < 255;
    const __m128i above = _mm_set1_epi8(static_cast<char>(std::clamp(threshold + 1, 0, 255)));
    __m128i largest = zero;
    __m128i smallest = _mm_set1_epi8(static_cast<char>(0xff));
    __m128i sums = zero;
    Reading tail;
    const int count = span.lastColumn - span.firstColumn + 1;
    const int vectorCount = count / 16 * 16;

    for (int y = span.firstRow; y <= span.lastRow; ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(bitmap.constScanLine(y)) + span.firstColumn;
        QRgb *marksRow = markRow(marks, y);
        for (int i = 0; i < vectorCount; i += 16) {
            auto green = [&](int at) {
                const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + i + at));
                return _mm_and_si128(_mm_srli_epi32(pixels, 8), lowByte);
            };
            const __m128i g = _mm_packus_epi16(_mm_packs_epi32(green(0), green(4)), _mm_packs_epi32(green(8), green(12)));
            largest = _mm_max_epu8(largest, g);
            smallest = _mm_min_epu8(smallest, g);
            sums = _mm_add_epi64(sums, _mm_sad_epu8(g, zero));
            if (marksSome) {
                auto bits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(g, above), g)));
                for (; bits != 0; bits &= bits - 1)
                    mark(marksRow, marks, span.firstColumn + i + std::countr_zero(bits));
            }
        }
        visitScalar(row - span.firstColumn, span.firstColumn + vectorCount, span.lastColumn, threshold, marksRow, marks,
                    tail);
    }

    alignas(16) unsigned char bytes[16];
    Reading reading = tail;
    if (vectorCount > 0) {
        _mm_store_si128(reinterpret_cast<__m128i *>(bytes), largest);
        reading.max = std::max(reading.max, static_cast<int>(*std::max_element(bytes, bytes + 16)));
        _mm_store_si128(reinterpret_cast<__m128i *>(bytes), smallest);
        reading.min = std::min(reading.min, static_cast<int>(*std::min_element(bytes, bytes + 16)));
        alignas(16) long long halves[2];
        _mm_store_si128(reinterpret_cast<__m128i *>(halves), sums);
        reading.sum += static_cast<int32_t>(halves[0] + halves[1]);
    }
    return reading;
}
#endif

} // namespace

Reading measure(const QImage &bitmap, int width, int height, int threshold, QImage *marks, Path path)
{
    const Span span = visited(bitmap, width, height);
    if (span.empty() || bitmap.format() != QImage::Format_RGB32)
        return {};
#if defined(__SSE2__)
    if (path == Path::Vector)
        return measureVector(bitmap, span, threshold, marks);
#else
    (void)path;
#endif
    return measureScalar(bitmap, span, threshold, marks);
}

int mean(const Reading &reading, int width, int height)
{
    if (width <= 0 || height <= 0)
        return 0;
    // The default rounding mode takes halves to the even neighbour.
    return static_cast<int>(std::nearbyint(static_cast<double>(reading.sum) / width / height));
}

} // namespace intensity
