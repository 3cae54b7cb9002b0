#include "fast_convert.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZUL_HAVE_X86 1
#endif

namespace zul {
namespace {

// Every colour term is a product cut toward zero: sign(v) x floor(|v| x k).
// With |v| < 256 and k = whole + fraction, floor(|v| x fraction) is a 16-bit
// high multiply by fraction x 65536 rounded up: the error stays below the
// distance of any of these products from the next integer. The tables are
// still checked entry by entry before the vector path is trusted.
struct Term {
    int offset;          // v = sample - offset (or offset - sample when negated)
    bool negated;
    int whole;           // integer part of k
    std::uint16_t fraction; // fractional part of k x 65536, rounded up
};

constexpr Term kLuma{16, false, 1, 10748};     // 1.164
constexpr Term kRedCr{128, false, 1, 39060};   // 1.596
constexpr Term kGreenCr{128, true, 0, 53281};  // 0.813
constexpr Term kBlueCb{128, false, 2, 1180};   // 2.018
constexpr Term kGreenCb{128, true, 0, 25625};  // 0.391

int termOf(const Term &t, int sample)
{
    const int v = t.negated ? t.offset - sample : sample - t.offset;
    const int a = v < 0 ? -v : v;
    const int m = a * t.whole + ((a * t.fraction) >> 16);
    return v < 0 ? -m : m;
}

bool tablesMatch(const LookupTables &t)
{
    if (t.gamma != 1.0f)
        return false;
    for (int v = 0; v < 256; ++v) {
        if (t.TY[v] - LookupTables::kClampMargin != termOf(kLuma, v) || t.TRv[v] != termOf(kRedCr, v) ||
            t.TGv[v] != termOf(kGreenCr, v) || t.TBu[v] != termOf(kBlueCb, v) || t.TGu[v] != termOf(kGreenCb, v))
            return false;
    }
    return true;
}

#if ZUL_HAVE_X86

__attribute__((target("ssse3"))) inline __m128i term(__m128i sample, const Term &t)
{
    const __m128i offset = _mm_set1_epi16(static_cast<short>(t.offset));
    const __m128i v = t.negated ? _mm_sub_epi16(offset, sample) : _mm_sub_epi16(sample, offset);
    const __m128i a = _mm_abs_epi16(v);
    __m128i m = _mm_mulhi_epu16(a, _mm_set1_epi16(static_cast<short>(t.fraction)));
    for (int w = 0; w < t.whole; ++w)
        m = _mm_add_epi16(m, a);
    return _mm_sign_epi16(m, v);
}

struct Planes {
    __m128i b[2], g[2], r[2]; // colour indices less 280, eight pixels each
};

// Sixteen pixels (eight pairs) to their colour indices.
__attribute__((target("ssse3"))) inline Planes indicesOfSixteen(const std::uint8_t *in)
{
    const __m128i low = _mm_set1_epi16(0x00FF);
    const __m128i words[2] = {_mm_loadu_si128(reinterpret_cast<const __m128i *>(in)),
                              _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + 16))};
    Planes p;
    auto &b = p.b;
    auto &g = p.g;
    auto &r = p.r;
    for (int h = 0; h < 2; ++h) {
        const __m128i y = _mm_srli_epi16(words[h], 8);
        const __m128i c = _mm_and_si128(words[h], low);
        // Each pixel of a pair gets the pair's Cb (even word) and Cr (odd).
        const __m128i cb = _mm_shufflehi_epi16(_mm_shufflelo_epi16(c, _MM_SHUFFLE(2, 2, 0, 0)), _MM_SHUFFLE(2, 2, 0, 0));
        const __m128i cr = _mm_shufflehi_epi16(_mm_shufflelo_epi16(c, _MM_SHUFFLE(3, 3, 1, 1)), _MM_SHUFFLE(3, 3, 1, 1));
        const __m128i ty = term(y, kLuma);
        r[h] = _mm_add_epi16(ty, term(cr, kRedCr));
        g[h] = _mm_add_epi16(ty, _mm_add_epi16(term(cb, kGreenCb), term(cr, kGreenCr)));
        b[h] = _mm_add_epi16(ty, term(cb, kBlueCb));
    }
    return p;
}

// Sixteen pixels to 48 bytes of B, G, R.
__attribute__((target("ssse3"))) inline void convertSixteen(const std::uint8_t *in, std::uint8_t *out)
{
    const Planes p = indicesOfSixteen(in);
    // Saturating packs are the clamp tables at gamma 1.0.
    const __m128i B = _mm_packus_epi16(p.b[0], p.b[1]);
    const __m128i G = _mm_packus_epi16(p.g[0], p.g[1]);
    const __m128i R = _mm_packus_epi16(p.r[0], p.r[1]);

    const char z = -1;
    const __m128i b0 = _mm_setr_epi8(0, z, z, 1, z, z, 2, z, z, 3, z, z, 4, z, z, 5);
    const __m128i g0 = _mm_setr_epi8(z, 0, z, z, 1, z, z, 2, z, z, 3, z, z, 4, z, z);
    const __m128i r0 = _mm_setr_epi8(z, z, 0, z, z, 1, z, z, 2, z, z, 3, z, z, 4, z);
    const __m128i b1 = _mm_setr_epi8(z, z, 6, z, z, 7, z, z, 8, z, z, 9, z, z, 10, z);
    const __m128i g1 = _mm_setr_epi8(5, z, z, 6, z, z, 7, z, z, 8, z, z, 9, z, z, 10);
    const __m128i r1 = _mm_setr_epi8(z, 5, z, z, 6, z, z, 7, z, z, 8, z, z, 9, z, z);
    const __m128i b2 = _mm_setr_epi8(z, 11, z, z, 12, z, z, 13, z, z, 14, z, z, 15, z, z);
    const __m128i g2 = _mm_setr_epi8(z, z, 11, z, z, 12, z, z, 13, z, z, 14, z, z, 15, z);
    const __m128i r2 = _mm_setr_epi8(10, z, z, 11, z, z, 12, z, z, 13, z, z, 14, z, z, 15);
    auto *o = reinterpret_cast<__m128i *>(out);
    _mm_storeu_si128(o, _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(B, b0), _mm_shuffle_epi8(G, g0)),
                                     _mm_shuffle_epi8(R, r0)));
    _mm_storeu_si128(o + 1, _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(B, b1), _mm_shuffle_epi8(G, g1)),
                                         _mm_shuffle_epi8(R, r1)));
    _mm_storeu_si128(o + 2, _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(B, b2), _mm_shuffle_epi8(G, g2)),
                                         _mm_shuffle_epi8(R, r2)));
}

__attribute__((target("ssse3"))) int convertGroups(const std::uint8_t *in, int groups, std::uint8_t *out)
{
    for (int i = 0; i < groups; ++i)
        convertSixteen(in + 32 * i, out + 48 * i);
    return groups * 8;
}

// Sixteen pixels to 3-3-2 bytes, the dither added to the indices first:
// twice for red and green, four times for blue.
__attribute__((target("ssse3"))) int convert332Groups(const std::uint8_t *in, int groups,
                                                      const std::uint8_t *dither16, std::uint8_t *out)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i *>(dither16));
    const __m128i d2[2] = {_mm_slli_epi16(_mm_unpacklo_epi8(d, zero), 1), _mm_slli_epi16(_mm_unpackhi_epi8(d, zero), 1)};
    const __m128i redMask = _mm_set1_epi8(static_cast<char>(0xE0));
    const __m128i greenMask = _mm_set1_epi8(0x1C);
    const __m128i blueMask = _mm_set1_epi8(0x03);
    for (int i = 0; i < groups; ++i) {
        Planes p = indicesOfSixteen(in + 32 * i);
        for (int h = 0; h < 2; ++h) {
            p.r[h] = _mm_add_epi16(p.r[h], d2[h]);
            p.g[h] = _mm_add_epi16(p.g[h], d2[h]);
            p.b[h] = _mm_add_epi16(p.b[h], _mm_add_epi16(d2[h], d2[h]));
        }
        const __m128i R = _mm_packus_epi16(p.r[0], p.r[1]);
        const __m128i G = _mm_packus_epi16(p.g[0], p.g[1]);
        const __m128i B = _mm_packus_epi16(p.b[0], p.b[1]);
        // Shifting 16-bit lanes lets bits of one byte into the top of the
        // other; the masks keep only bits that came from the byte itself.
        const __m128i bits = _mm_or_si128(_mm_or_si128(_mm_and_si128(R, redMask),
                                                       _mm_and_si128(_mm_srli_epi16(G, 3), greenMask)),
                                          _mm_and_si128(_mm_srli_epi16(B, 6), blueMask));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 16 * i), bits);
    }
    return groups * 8;
}

#endif

} // namespace

bool vectorConversionMatches(const LookupTables &tables)
{
#if ZUL_HAVE_X86
    return __builtin_cpu_supports("ssse3") && tablesMatch(tables);
#else
    (void)tables;
    return false;
#endif
}

int convert332PairsVector(const std::uint8_t *in, int pairs, const std::uint8_t *dither16, std::uint8_t *out)
{
#if ZUL_HAVE_X86
    return convert332Groups(in, pairs / 8, dither16, out);
#else
    (void)in;
    (void)pairs;
    (void)dither16;
    (void)out;
    return 0;
#endif
}

int convertBgrPairsVector(const std::uint8_t *in, int pairs, std::uint8_t *out)
{
#if ZUL_HAVE_X86
    return convertGroups(in, pairs / 8, out);
#else
    (void)in;
    (void)pairs;
    (void)out;
    return 0;
#endif
}

} // namespace zul
