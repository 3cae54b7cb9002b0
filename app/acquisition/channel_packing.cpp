#include "acquisition/channel_packing.h"

#if ISOSTEP_VECTOR_UNITS
#include <immintrin.h>
#endif

namespace {

constexpr QRgb kOpaque = 0xff000000u;
constexpr QRgb kRed = 0x00ff0000u;
constexpr QRgb kGreen = 0x0000ff00u;
constexpr QRgb kBlue = 0x000000ffu;

// Pixels [from, width).
void packScalar(QRgb *out, const QRgb *red, const QRgb *green, const QRgb *blue, int from, int width)
{
    for (int x = from; x < width; ++x)
        out[x] = kOpaque | (red[x] & kRed) | (green[x] & kGreen) | (blue[x] & kBlue);
}

#if ISOSTEP_VECTOR_UNITS

// Each gives the number of pixels done, a whole number of its vectors.
int packSse2(QRgb *out, const QRgb *red, const QRgb *green, const QRgb *blue, int width)
{
    auto at = [](const QRgb *p, int x) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + x)); };
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
    const __m128i r = _mm_set1_epi32(static_cast<int>(kRed));
    const __m128i g = _mm_set1_epi32(static_cast<int>(kGreen));
    const __m128i b = _mm_set1_epi32(static_cast<int>(kBlue));
    int x = 0;
    for (; x + 4 <= width; x += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + x),
                         _mm_or_si128(_mm_or_si128(opaque, _mm_and_si128(at(red, x), r)),
                                      _mm_or_si128(_mm_and_si128(at(green, x), g), _mm_and_si128(at(blue, x), b))));
    return x;
}

__attribute__((target("avx2"))) int packAvx2(QRgb *out, const QRgb *red, const QRgb *green, const QRgb *blue,
                                             int width)
{
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(kOpaque));
    const __m256i r = _mm256_set1_epi32(static_cast<int>(kRed));
    const __m256i g = _mm256_set1_epi32(static_cast<int>(kGreen));
    const __m256i b = _mm256_set1_epi32(static_cast<int>(kBlue));
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m256i fromRed = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(red + x)), r);
        const __m256i fromGreen = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(green + x)), g);
        const __m256i fromBlue = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(blue + x)), b);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + x),
                            _mm256_or_si256(_mm256_or_si256(opaque, fromRed), _mm256_or_si256(fromGreen, fromBlue)));
    }
    return x;
}

__attribute__((target("avx512f"))) int packAvx512(QRgb *out, const QRgb *red, const QRgb *green, const QRgb *blue,
                                                  int width)
{
    const __m512i opaque = _mm512_set1_epi32(static_cast<int>(kOpaque));
    const __m512i r = _mm512_set1_epi32(static_cast<int>(kRed));
    const __m512i g = _mm512_set1_epi32(static_cast<int>(kGreen));
    const __m512i b = _mm512_set1_epi32(static_cast<int>(kBlue));
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m512i fromRed = _mm512_and_si512(_mm512_loadu_si512(red + x), r);
        const __m512i fromGreen = _mm512_and_si512(_mm512_loadu_si512(green + x), g);
        const __m512i fromBlue = _mm512_and_si512(_mm512_loadu_si512(blue + x), b);
        _mm512_storeu_si512(out + x, _mm512_or_si512(_mm512_or_si512(opaque, fromRed), _mm512_or_si512(fromGreen, fromBlue)));
    }
    return x;
}

#endif

} // namespace

void packChannelRow(QRgb *out, const QRgb *red, const QRgb *green, const QRgb *blue, int width, VectorUnit unit)
{
    int done = 0;
#if ISOSTEP_VECTOR_UNITS
    switch (unit) {
    case VectorUnit::Sse2:
        done = packSse2(out, red, green, blue, width);
        break;
    case VectorUnit::Avx2:
        done = packAvx2(out, red, green, blue, width);
        break;
    case VectorUnit::Avx512:
        done = packAvx512(out, red, green, blue, width);
        break;
    case VectorUnit::Scalar:
        break;
    }
#else
    (void)unit;
#endif
    packScalar(out, red, green, blue, done, width);
}
