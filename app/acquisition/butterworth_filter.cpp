#include "acquisition/butterworth_filter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The value of pi the filter has always used; a "better" pi would move some
// roundings and change stored results.
constexpr double kPi = 3.14159265358979;

// Every recursion runs down the rows of a plane of 16-bit samples, with the
// columns side by side as independent lines. Row passes therefore work on
// the transposed image. Running many lines in lock step lets the vector unit
// work on neighbouring lines while the recursion along each one stays serial.
using v8d = double __attribute__((vector_size(64)));
// The same, for rows held in ordinary double arrays, which promise no more
// than a double's alignment.
using v8dRow = double __attribute__((vector_size(64), aligned(8)));
using v8s = std::int16_t __attribute__((vector_size(16)));
using v8i = std::int32_t __attribute__((vector_size(32)));
constexpr int kLanes = 8;

struct Plane {
    int rows = 0;
    int cols = 0;
    int stride = 0; // cols rounded up to whole vectors; the extra lanes are scratch
    std::int16_t *data = nullptr;
    std::int16_t *row(int r) const { return data + static_cast<std::ptrdiff_t>(r) * stride; }
};

int paddedWidth(int cols) { return (cols + kLanes - 1) / kLanes * kLanes; }

// Vectors travel by reference: a wide vector passed by value has a different
// calling convention in each instruction-set build of filterRow.
inline void loadSamples(const std::int16_t *p, v8d &v)
{
    v8s s;
    std::memcpy(&s, p, sizeof s);
    // Through 32 bits: the direct conversion is done one lane at a time.
    v = __builtin_convertvector(__builtin_convertvector(s, v8i), v8d);
}

inline void storeSamples(std::int16_t *p, const v8d &v)
{
    const v8s s = __builtin_convertvector(__builtin_convertvector(v, v8i), v8s);
    std::memcpy(p, &s, sizeof s);
}

// One step of the recursion for a whole row of lines. Operand order and
// grouping are fixed: a regrouped sum rounds differently in the last bit and
// can tip a half the other way.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx512f", "avx2", "default")))
#endif
void filterRow(const std::int16_t *in, std::int16_t *out, const v8dRow *in1, const v8dRow *in2, v8dRow *in3,
               const v8dRow *out1, const v8dRow *out2, v8dRow *out3, int vectors, const ButterworthCoefficients &c)
{
    const v8d b0 = v8d{} + c.b0, b1 = v8d{} + c.b1, b2 = v8d{} + c.b2, b3 = v8d{} + c.b3;
    const v8d a1 = v8d{} + c.a1, a2 = v8d{} + c.a2, a3 = v8d{} + c.a3;
    const v8d zero = v8d{}, top = v8d{} + 255.0;
    // Adding and removing 1.5 x 2^52 leaves no fraction bits, so the sum is
    // rounded by the hardware's default mode: to nearest, halves to even.
    const v8d magic = v8d{} + 6755399441055744.0;
    for (int i = 0; i < vectors; ++i) {
        v8d x0;
        loadSamples(in + i * kLanes, x0);
        v8d v = b0 * x0 + b1 * in1[i] + b2 * in2[i] + b3 * in3[i] - (a1 * out1[i] + a2 * out2[i] + a3 * out3[i]);
        // Clamping before rounding gives the same whole number as rounding
        // first, and keeps a wild value (or NaN, from a cut-off outside the
        // low-pass range) from overflowing the 16-bit sample.
        v = v > zero ? v : zero;
        v = v < top ? v : top;
        v = (v + magic) - magic;
        in3[i] = x0;  // the oldest input slot becomes the newest
        out3[i] = v;
        storeSamples(out + i * kLanes, v);
    }
}

// One pass along every column of `in`, top to bottom or bottom to top. The
// three rows at the start of the pass's direction are copied unchanged.
void runPass(const Plane &in, const Plane &out, bool forward, const ButterworthCoefficients &c,
             std::vector<double> &history)
{
    const int vectors = in.stride / kLanes;
    history.assign(static_cast<std::size_t>(in.stride) * 6, 0.0);
    // Three input rows and three output rows, kept as doubles so each
    // sample is converted once rather than seven times.
    v8dRow *ring = reinterpret_cast<v8dRow *>(history.data());
    v8dRow *inSlot[3] = {ring, ring + vectors, ring + 2 * vectors};
    v8dRow *outSlot[3] = {ring + 3 * vectors, ring + 4 * vectors, ring + 5 * vectors};

    for (int step = 0; step < in.rows; ++step) {
        const int r = forward ? step : in.rows - 1 - step;
        const std::int16_t *src = in.row(r);
        std::int16_t *dst = out.row(r);
        if (step < 3) {
            std::memcpy(dst, src, sizeof(std::int16_t) * static_cast<std::size_t>(in.stride));
            for (int i = 0; i < vectors; ++i) {
                v8d v;
                loadSamples(src + i * kLanes, v);
                inSlot[step][i] = v;
                outSlot[step][i] = v;
            }
            continue;
        }
        const int s1 = (step - 1) % 3, s2 = (step - 2) % 3, s3 = step % 3;
        filterRow(src, dst, inSlot[s1], inSlot[s2], inSlot[s3], outSlot[s1], outSlot[s2], outSlot[s3], vectors, c);
    }
}

#if defined(__SSE2__)
// Transposes an 8 x 8 block of samples in registers.
void transposeBlock(const Plane &from, const Plane &to, int r0, int c0)
{
    auto load = [&](int i) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(from.row(r0 + i) + c0)); };
    const __m128i a0 = load(0), a1 = load(1), a2 = load(2), a3 = load(3);
    const __m128i a4 = load(4), a5 = load(5), a6 = load(6), a7 = load(7);
    const __m128i t0 = _mm_unpacklo_epi16(a0, a1), t1 = _mm_unpackhi_epi16(a0, a1);
    const __m128i t2 = _mm_unpacklo_epi16(a2, a3), t3 = _mm_unpackhi_epi16(a2, a3);
    const __m128i t4 = _mm_unpacklo_epi16(a4, a5), t5 = _mm_unpackhi_epi16(a4, a5);
    const __m128i t6 = _mm_unpacklo_epi16(a6, a7), t7 = _mm_unpackhi_epi16(a6, a7);
    const __m128i u0 = _mm_unpacklo_epi32(t0, t2), u1 = _mm_unpackhi_epi32(t0, t2);
    const __m128i u2 = _mm_unpacklo_epi32(t1, t3), u3 = _mm_unpackhi_epi32(t1, t3);
    const __m128i u4 = _mm_unpacklo_epi32(t4, t6), u5 = _mm_unpackhi_epi32(t4, t6);
    const __m128i u6 = _mm_unpacklo_epi32(t5, t7), u7 = _mm_unpackhi_epi32(t5, t7);
    auto store = [&](int i, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i *>(to.row(c0 + i) + r0), v); };
    store(0, _mm_unpacklo_epi64(u0, u4));
    store(1, _mm_unpackhi_epi64(u0, u4));
    store(2, _mm_unpacklo_epi64(u1, u5));
    store(3, _mm_unpackhi_epi64(u1, u5));
    store(4, _mm_unpacklo_epi64(u2, u6));
    store(5, _mm_unpackhi_epi64(u2, u6));
    store(6, _mm_unpacklo_epi64(u3, u7));
    store(7, _mm_unpackhi_epi64(u3, u7));
}
constexpr int kBlock = 8;
#else
constexpr int kBlock = 1;
#endif

void transpose(const Plane &from, const Plane &to)
{
    const int rowsInBlocks = from.rows / kBlock * kBlock;
    const int colsInBlocks = from.cols / kBlock * kBlock;
#if defined(__SSE2__)
    for (int r0 = 0; r0 < rowsInBlocks; r0 += kBlock)
        for (int c0 = 0; c0 < colsInBlocks; c0 += kBlock)
            transposeBlock(from, to, r0, c0);
#endif
    for (int r = 0; r < from.rows; ++r) {
        const std::int16_t *src = from.row(r);
        for (int col = r < rowsInBlocks ? colsInBlocks : 0; col < from.cols; ++col)
            to.row(col)[r] = src[col];
    }
    for (int col = 0; col < to.rows; ++col)
        std::fill(to.row(col) + to.cols, to.row(col) + to.stride, std::int16_t{0});
}

void extractGreen(const QImage &image, const Plane &to)
{
    for (int y = 0; y < to.rows; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        std::int16_t *dst = to.row(y);
        int x = 0;
#if defined(__SSE2__)
        const __m128i byte = _mm_set1_epi32(0xff);
        for (; x + 8 <= to.cols; x += 8) {
            const __m128i p0 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(line + x));
            const __m128i p1 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(line + x + 4));
            const __m128i g = _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(p0, 8), byte),
                                              _mm_and_si128(_mm_srli_epi32(p1, 8), byte));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + x), g);
        }
#endif
        for (; x < to.cols; ++x)
            dst[x] = static_cast<std::int16_t>(qGreen(line[x]));
        std::fill(dst + to.cols, dst + to.stride, std::int16_t{0});
    }
}

// Grey into red, green and blue; the fourth byte is the caller's.
void writeGrey(const Plane &from, QImage &image)
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
    std::vector<double> history;
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
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return;
    const ButterworthCoefficients c = butterworthCoefficients(cutOffRatio);
    // A NaN cut-off, or one on the pole at 1.5, has no filter at all; the
    // image is better left as it came than filled with made-up values.
    if (!allFinite(c))
        return;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image.convertTo(QImage::Format_RGB32);

    const int w = image.width();
    const int h = image.height();
    // Two buffers take turns as input and output of every step.
    const std::size_t planeSize =
        std::max(static_cast<std::size_t>(w) * paddedWidth(h), static_cast<std::size_t>(h) * paddedWidth(w));
    Scratch &s = scratch();
    if (s.a.size() < planeSize) {
        s.a.resize(planeSize);
        s.b.resize(planeSize);
    }
    std::vector<double> &history = s.history;

    const Plane imageA{h, w, paddedWidth(w), s.a.data()};
    const Plane imageB{h, w, paddedWidth(w), s.b.data()};
    // The row passes run on the transposed image, whose rows are the
    // image's columns.
    const Plane transposedA{w, h, paddedWidth(h), s.a.data()};
    const Plane transposedB{w, h, paddedWidth(h), s.b.data()};

    extractGreen(image, imageA);
    transpose(imageA, transposedB);
    runPass(transposedB, transposedA, true, c, history);
    runPass(transposedA, transposedB, false, c, history);
    transpose(transposedB, imageA);
    runPass(imageA, imageB, true, c, history);
    runPass(imageB, imageA, false, c, history);
    writeGrey(imageA, image);
}
