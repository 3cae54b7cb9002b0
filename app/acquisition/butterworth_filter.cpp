#include "acquisition/butterworth_filter.h"

#include "acquisition/butterworth_lanes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The value of pi the filter has always used; a "better" pi would move some
// roundings and change stored results.
constexpr double kPi = 3.14159265358979;

int paddedWidth(int cols)
{
    return (cols + 7) / 8 * 8;
}

// Image rows filtered together by the row passes: one strip of the widest
// lanes.
constexpr int kBandRows = 32;

// One pass along one line of n samples, `step` apart (negative for the
// backward passes): the recursion exactly as the filter is defined, one
// sample after the other. The vector paths are held against this.
void filterLine(const std::int16_t *in, std::int16_t *out, std::ptrdiff_t step, int n,
                const ButterworthCoefficients &c)
{
    for (int k = 0; k < n && k < 3; ++k)
        out[k * step] = in[k * step];
    for (int k = 3; k < n; ++k) {
        const double v = c.b0 * in[k * step] + c.b1 * in[(k - 1) * step] + c.b2 * in[(k - 2) * step] +
                         c.b3 * in[(k - 3) * step] -
                         (c.a1 * out[(k - 1) * step] + c.a2 * out[(k - 2) * step] + c.a3 * out[(k - 3) * step]);
        const double rounded = std::nearbyint(v); // halves to even in the default rounding mode
        out[k * step] = static_cast<std::int16_t>(rounded < 0.0 ? 0.0 : rounded > 255.0 ? 255.0 : rounded);
    }
}

// The four passes, each from one plane into the other; the result ends in
// `image`, where the green plane started.
void filterScalar(const SamplePlane &image, const SamplePlane &work, const ButterworthCoefficients &c)
{
    const int w = image.cols, h = image.rows;
    for (int y = 0; y < h; ++y)
        filterLine(image.row(y), work.row(y), 1, w, c);
    for (int y = 0; y < h; ++y)
        filterLine(work.row(y) + w - 1, image.row(y) + w - 1, -1, w, c);
    for (int x = 0; x < w; ++x)
        filterLine(image.row(0) + x, work.row(0) + x, image.stride, h, c);
    for (int x = 0; x < w; ++x)
        filterLine(work.row(h - 1) + x, image.row(h - 1) + x, -image.stride, h, c);
}

// Rows of pixels without a call into the image per row.
struct Pixels {
    const uchar *bits;
    qsizetype bytesPerLine;
    const QRgb *row(int y) const { return reinterpret_cast<const QRgb *>(bits + y * bytesPerLine); }
};

Pixels pixelsOf(const QImage &image)
{
    return {image.constBits(), image.bytesPerLine()};
}

void extractGreen(const QImage &image, const SamplePlane &to)
{
    const Pixels pixels = pixelsOf(image);
    for (int y = 0; y < to.rows; ++y)
        for (int x = 0; x < to.cols; ++x)
            to.row(y)[x] = static_cast<std::int16_t>(qGreen(pixels.row(y)[x]));
}

// The vector paths exist on x86-64 only, where SSE2 is always present for
// the transposes around them.
#if defined(__SSE2__)
// Eight rows of eight samples, transposed in registers.
[[gnu::always_inline]] inline void transpose8x8(__m128i r[8])
{
    const __m128i t0 = _mm_unpacklo_epi16(r[0], r[1]), t1 = _mm_unpackhi_epi16(r[0], r[1]);
    const __m128i t2 = _mm_unpacklo_epi16(r[2], r[3]), t3 = _mm_unpackhi_epi16(r[2], r[3]);
    const __m128i t4 = _mm_unpacklo_epi16(r[4], r[5]), t5 = _mm_unpackhi_epi16(r[4], r[5]);
    const __m128i t6 = _mm_unpacklo_epi16(r[6], r[7]), t7 = _mm_unpackhi_epi16(r[6], r[7]);
    const __m128i u0 = _mm_unpacklo_epi32(t0, t2), u1 = _mm_unpackhi_epi32(t0, t2);
    const __m128i u2 = _mm_unpacklo_epi32(t1, t3), u3 = _mm_unpackhi_epi32(t1, t3);
    const __m128i u4 = _mm_unpacklo_epi32(t4, t6), u5 = _mm_unpackhi_epi32(t4, t6);
    const __m128i u6 = _mm_unpacklo_epi32(t5, t7), u7 = _mm_unpackhi_epi32(t5, t7);
    r[0] = _mm_unpacklo_epi64(u0, u4);
    r[1] = _mm_unpackhi_epi64(u0, u4);
    r[2] = _mm_unpacklo_epi64(u1, u5);
    r[3] = _mm_unpackhi_epi64(u1, u5);
    r[4] = _mm_unpacklo_epi64(u2, u6);
    r[5] = _mm_unpackhi_epi64(u2, u6);
    r[6] = _mm_unpacklo_epi64(u3, u7);
    r[7] = _mm_unpackhi_epi64(u3, u7);
}

// The green bytes of eight pixels as samples.
inline __m128i greenOfEight(const QRgb *p)
{
    const __m128i byte = _mm_set1_epi32(0xff);
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 4));
    return _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(low, 8), byte), _mm_and_si128(_mm_srli_epi32(high, 8), byte));
}

// Writes the transpose of a rows x cols source into `to`, whose rows are
// the source's columns: `eight(r, c)` gives eight samples of source row r
// from column c on, `one(r, c)` a single one. The samples from `to.cols`
// to the stride are cleared, so the vector paths filter zeros there rather
// than whatever the buffer held.
template <class Eight, class One>
[[gnu::always_inline]] inline void transposeInto(const SamplePlane &to, int rows, int cols, Eight eight, One one)
{
    const int blockRows = rows / 8 * 8;
    const int blockCols = cols / 8 * 8;
    for (int r0 = 0; r0 < blockRows; r0 += 8)
        for (int c0 = 0; c0 < blockCols; c0 += 8) {
            __m128i v[8];
#pragma GCC unroll 8
            for (int i = 0; i < 8; ++i)
                v[i] = eight(r0 + i, c0);
            transpose8x8(v);
#pragma GCC unroll 8
            for (int i = 0; i < 8; ++i)
                _mm_storeu_si128(reinterpret_cast<__m128i *>(to.row(c0 + i) + r0), v[i]);
        }
    for (int r = 0; r < rows; ++r)
        for (int c = r < blockRows ? blockCols : 0; c < cols; ++c)
            to.row(c)[r] = one(r, c);
    for (int c = 0; c < cols; ++c)
        std::fill(to.row(c) + to.cols, to.row(c) + to.stride, std::int16_t{0});
}

// The green of image rows y0 .. y0 + band.cols - 1, transposed: band row x
// holds column x of those rows.
void greenBand(const QImage &image, int y0, const SamplePlane &band)
{
    const Pixels pixels = pixelsOf(image);
    transposeInto(
        band, band.cols, band.rows,
        [&](int r, int c) { return greenOfEight(pixels.row(y0 + r) + c); },
        [&](int r, int c) { return static_cast<std::int16_t>(qGreen(pixels.row(y0 + r)[c])); });
}

// A filtered band back into its rows of the image plane.
void unband(const SamplePlane &band, const SamplePlane &plane, int y0)
{
    const SamplePlane rows{plane.row(y0), band.cols, plane.cols, plane.stride};
    transposeInto(
        rows, band.rows, band.cols,
        [&](int r, int c) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(band.row(r) + c)); },
        [&](int r, int c) { return band.row(r)[c]; });
}

// The row passes run down the columns of a transposed band of rows, small
// enough to stay in the cache from transpose to transpose; then the column
// passes run on the whole plane.
void filterVector(VectorUnit unit, const QImage &image, const SamplePlane &plane, std::int16_t *bandBuffer,
                  const ButterworthCoefficients &c)
{
    const int w = image.width(), h = image.height();
    for (int y0 = 0; y0 < h; y0 += kBandRows) {
        const SamplePlane band{bandBuffer, w, std::min(kBandRows, h - y0), kBandRows};
        greenBand(image, y0, band);
        filterColumns(unit, band, c);
        unband(band, plane, y0);
    }
    filterColumns(unit, plane, c);
}
#endif

// Grey into red, green and blue; the fourth byte is the caller's.
void writeGrey(const SamplePlane &from, QImage &image)
{
    for (int y = 0; y < from.rows; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const std::int16_t *grey = from.row(y);
        int x = 0;
#if defined(__SSE2__)
        const __m128i fourth = _mm_set1_epi32(static_cast<int>(0xff000000u));
        const __m128i zero = _mm_setzero_si128();
        for (; x + 8 <= from.cols; x += 8) {
            const __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i *>(grey + x));
            for (int half = 0; half < 2; ++half) {
                const __m128i v = half ? _mm_unpackhi_epi16(g, zero) : _mm_unpacklo_epi16(g, zero);
                __m128i *out = reinterpret_cast<__m128i *>(line + x + 4 * half);
                const __m128i kept = _mm_and_si128(_mm_loadu_si128(out), fourth);
                const __m128i rgb = _mm_or_si128(v, _mm_or_si128(_mm_slli_epi32(v, 8), _mm_slli_epi32(v, 16)));
                _mm_storeu_si128(out, _mm_or_si128(kept, rgb));
            }
        }
#endif
        for (; x < from.cols; ++x) {
            const auto g = static_cast<std::uint32_t>(grey[x]);
            line[x] = (line[x] & 0xff000000u) | (g << 16) | (g << 8) | g;
        }
    }
}

// The sequences filter six frames in a row. Fresh megabyte-sized buffers
// per frame came straight from the system each time, and clearing their
// pages cost as much as a filter pass; the buffers are kept per thread.
struct Scratch {
    std::vector<std::int16_t> a, b;
};

Scratch &scratch()
{
    thread_local Scratch s;
    return s;
}

bool allFinite(const ButterworthCoefficients &c)
{
    for (double v : {c.b0, c.b1, c.b2, c.b3, c.a1, c.a2, c.a3})
        if (!std::isfinite(v))
            return false;
    return true;
}

} // namespace

ButterworthCoefficients butterworthCoefficients(double cutOffRatio)
{
    const double k = std::tan(kPi * cutOffRatio / 2.0);
    const double k2 = k * k;
    const double k3 = k2 * k;
    const double d = k3 + 2.0 * k2 + 2.0 * k + 1.0;
    ButterworthCoefficients c;
    c.b0 = k3 / d;
    c.b1 = 3.0 * c.b0;
    c.b2 = c.b1;
    c.b3 = c.b0;
    c.a1 = (3.0 * k3 + 2.0 * k2 - 2.0 * k - 3.0) / d;
    c.a2 = (3.0 * k3 - 2.0 * k2 - 2.0 * k + 3.0) / d;
    c.a3 = (k3 - 2.0 * k2 + 2.0 * k - 1.0) / d;
    return c;
}

void ButterworthFilter(QImage &image, double cutOffRatio)
{
    ButterworthFilter(image, cutOffRatio, widestVectorUnit());
}

void ButterworthFilter(QImage &image, double cutOffRatio, VectorUnit unit)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return;
    const ButterworthCoefficients c = butterworthCoefficients(cutOffRatio);
    // A NaN cut-off, or one on the pole at 1.5, has no filter at all; the
    // image is better left as it came than filled with made-up values.
    if (!allFinite(c))
        return;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image.convertTo(QImage::Format_RGB32);
    if (!runs(unit))
        unit = VectorUnit::Scalar;

    const int w = image.width();
    const int h = image.height();
    // The image plane, and the scalar path's second plane or a band.
    const std::size_t planeSize = std::max(static_cast<std::size_t>(h) * paddedWidth(w),
                                           static_cast<std::size_t>(w) * kBandRows);
    Scratch &s = scratch();
    if (s.a.size() < planeSize) {
        s.a.resize(planeSize);
        s.b.resize(planeSize);
    }
    const SamplePlane plane{s.a.data(), h, w, paddedWidth(w)};
    if (unit == VectorUnit::Scalar) {
        extractGreen(image, plane);
        filterScalar(plane, SamplePlane{s.b.data(), h, w, paddedWidth(w)}, c);
    } else {
#if defined(__SSE2__)
        filterVector(unit, image, plane, s.b.data(), c);
#endif
    }
    writeGrey(plane, image);
}
