#include "acquisition/butterworth_filter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// The value of pi the filter has always used; a "better" pi would move some
// roundings and change stored results.
constexpr double kPi = 3.14159265358979;

// Every recursion runs down the rows of a plane of 16-bit samples, with the
// columns side by side as independent lines. Row passes therefore work on
// the transposed image. Running many lines in lock step lets the vector unit
// work on neighbouring lines while the recursion along each one stays serial.
using v4d = double __attribute__((vector_size(32)));
// The same, for rows held in ordinary double arrays, which promise no more
// than a double's alignment.
using v4dRow = double __attribute__((vector_size(32), aligned(8)));
using v4s = std::int16_t __attribute__((vector_size(8)));
using v4i = std::int32_t __attribute__((vector_size(16)));
constexpr int kLanes = 4;

struct Plane {
    int rows = 0;
    int cols = 0;
    int stride = 0; // cols rounded up to whole vectors; the extra lanes are scratch
    std::int16_t *data = nullptr;
    std::int16_t *row(int r) const { return data + static_cast<std::ptrdiff_t>(r) * stride; }
};

int paddedWidth(int cols) { return (cols + kLanes - 1) / kLanes * kLanes; }

// Vectors travel by reference: a 32-byte vector passed by value would have a
// different calling convention in the AVX2 build of filterRow.
inline void loadSamples(const std::int16_t *p, v4d &v)
{
    v4s s;
    std::memcpy(&s, p, sizeof s);
    v = __builtin_convertvector(s, v4d);
}

inline void storeSamples(std::int16_t *p, const v4d &v)
{
    const v4s s = __builtin_convertvector(__builtin_convertvector(v, v4i), v4s);
    std::memcpy(p, &s, sizeof s);
}

// One step of the recursion for a whole row of lines. Operand order and
// grouping are fixed: a regrouped sum rounds differently in the last bit and
// can tip a half the other way.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx2", "default")))
#endif
void filterRow(const std::int16_t *in, std::int16_t *out, const v4dRow *in1, const v4dRow *in2, v4dRow *in3,
               const v4dRow *out1, const v4dRow *out2, v4dRow *out3, int vectors, const ButterworthCoefficients &c)
{
    const v4d b0 = v4d{} + c.b0, b1 = v4d{} + c.b1, b2 = v4d{} + c.b2, b3 = v4d{} + c.b3;
    const v4d a1 = v4d{} + c.a1, a2 = v4d{} + c.a2, a3 = v4d{} + c.a3;
    const v4d zero = v4d{}, top = v4d{} + 255.0;
    // Adding and removing 1.5 x 2^52 leaves no fraction bits, so the sum is
    // rounded by the hardware's default mode: to nearest, halves to even.
    const v4d magic = v4d{} + 6755399441055744.0;
    for (int i = 0; i < vectors; ++i) {
        v4d x0;
        loadSamples(in + i * kLanes, x0);
        v4d v = b0 * x0 + b1 * in1[i] + b2 * in2[i] + b3 * in3[i] - (a1 * out1[i] + a2 * out2[i] + a3 * out3[i]);
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
    v4dRow *ring = reinterpret_cast<v4dRow *>(history.data());
    v4dRow *inSlot[3] = {ring, ring + vectors, ring + 2 * vectors};
    v4dRow *outSlot[3] = {ring + 3 * vectors, ring + 4 * vectors, ring + 5 * vectors};

    for (int step = 0; step < in.rows; ++step) {
        const int r = forward ? step : in.rows - 1 - step;
        const std::int16_t *src = in.row(r);
        std::int16_t *dst = out.row(r);
        if (step < 3) {
            std::memcpy(dst, src, sizeof(std::int16_t) * static_cast<std::size_t>(in.stride));
            for (int i = 0; i < vectors; ++i) {
                v4d v;
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

// Transposes in square tiles so both sides stay in cache.
constexpr int kTile = 16;

void transpose(const Plane &from, const Plane &to)
{
    for (int r0 = 0; r0 < from.rows; r0 += kTile) {
        const int r1 = std::min(r0 + kTile, from.rows);
        for (int c0 = 0; c0 < from.cols; c0 += kTile) {
            const int c1 = std::min(c0 + kTile, from.cols);
            for (int r = r0; r < r1; ++r) {
                const std::int16_t *src = from.row(r);
                for (int col = c0; col < c1; ++col)
                    to.row(col)[r] = src[col];
            }
        }
    }
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
    const std::size_t planeSize =
        static_cast<std::size_t>(std::max(static_cast<std::size_t>(w) * paddedWidth(h),
                                          static_cast<std::size_t>(h) * paddedWidth(w)));
    std::vector<std::int16_t> bufferA(planeSize, 0), bufferB(planeSize, 0);
    std::vector<double> history;

    // Rows first, on the transposed image: its rows are the image's columns.
    const Plane rowsA{w, h, paddedWidth(h), bufferA.data()};
    const Plane rowsB{w, h, paddedWidth(h), bufferB.data()};
    for (int y0 = 0; y0 < h; y0 += kTile) {
        const int y1 = std::min(y0 + kTile, h);
        for (int x0 = 0; x0 < w; x0 += kTile) {
            const int x1 = std::min(x0 + kTile, w);
            for (int y = y0; y < y1; ++y) {
                const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
                for (int x = x0; x < x1; ++x)
                    rowsA.row(x)[y] = static_cast<std::int16_t>(qGreen(line[x]));
            }
        }
    }
    runPass(rowsA, rowsB, true, c, history);
    runPass(rowsB, rowsA, false, c, history);

    const Plane colsB{h, w, paddedWidth(w), bufferB.data()};
    const Plane colsA{h, w, paddedWidth(w), bufferA.data()};
    // The scratch lanes of the reused buffer hold leftovers from the row
    // passes; clear them so the column passes start from known values.
    for (int y = 0; y < h; ++y)
        std::fill(colsB.row(y) + w, colsB.row(y) + colsB.stride, std::int16_t{0});
    transpose(rowsA, colsB);
    runPass(colsB, colsA, true, c, history);
    runPass(colsA, colsB, false, c, history);

    for (int y = 0; y < h; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const std::int16_t *grey = colsB.row(y);
        for (int x = 0; x < w; ++x) {
            const auto g = static_cast<std::uint32_t>(grey[x]);
            line[x] = (line[x] & 0xff000000u) | (g << 16) | (g << 8) | g;
        }
    }
}
