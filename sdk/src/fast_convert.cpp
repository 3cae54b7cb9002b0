#include "fast_convert.h"

#include <algorithm>

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

// Sixteen B, G and R values to 48 bytes of B, G, R.
__attribute__((target("ssse3"))) inline void storeBgr(__m128i B, __m128i G, __m128i R, std::uint8_t *out)
{
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

// Sixteen pixels to 48 bytes of B, G, R.
__attribute__((target("ssse3"))) inline void convertSixteen(const std::uint8_t *in, std::uint8_t *out)
{
    const Planes p = indicesOfSixteen(in);
    // Saturating packs are the clamp tables at gamma 1.0.
    storeBgr(_mm_packus_epi16(p.b[0], p.b[1]), _mm_packus_epi16(p.g[0], p.g[1]), _mm_packus_epi16(p.r[0], p.r[1]),
             out);
}

__attribute__((target("ssse3"))) inline __m128i bits332(__m128i R, __m128i G, __m128i B)
{
    // Shifting 16-bit lanes lets bits of one byte into the top of the
    // other; the masks keep only bits that came from the byte itself.
    return _mm_or_si128(_mm_or_si128(_mm_and_si128(R, _mm_set1_epi8(static_cast<char>(0xE0))),
                                     _mm_and_si128(_mm_srli_epi16(G, 3), _mm_set1_epi8(0x1C))),
                        _mm_and_si128(_mm_srli_epi16(B, 6), _mm_set1_epi8(0x03)));
}

// The same steps, thirty-two pixels at a time.
__attribute__((target("avx2"))) inline __m256i term(__m256i sample, const Term &t)
{
    const __m256i offset = _mm256_set1_epi16(static_cast<short>(t.offset));
    const __m256i v = t.negated ? _mm256_sub_epi16(offset, sample) : _mm256_sub_epi16(sample, offset);
    const __m256i a = _mm256_abs_epi16(v);
    __m256i m = _mm256_mulhi_epu16(a, _mm256_set1_epi16(static_cast<short>(t.fraction)));
    for (int w = 0; w < t.whole; ++w)
        m = _mm256_add_epi16(m, a);
    return _mm256_sign_epi16(m, v);
}

struct Planes32 {
    __m256i b[2], g[2], r[2]; // pixels 0-15 and 16-31, eight to a lane
};

__attribute__((target("avx2"))) inline Planes32 indicesOf32(const std::uint8_t *in)
{
    const __m256i low = _mm256_set1_epi16(0x00FF);
    Planes32 p;
    for (int h = 0; h < 2; ++h) {
        const __m256i words = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(in + 32 * h));
        const __m256i y = _mm256_srli_epi16(words, 8);
        const __m256i c = _mm256_and_si256(words, low);
        const __m256i cb =
            _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(c, _MM_SHUFFLE(2, 2, 0, 0)), _MM_SHUFFLE(2, 2, 0, 0));
        const __m256i cr =
            _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(c, _MM_SHUFFLE(3, 3, 1, 1)), _MM_SHUFFLE(3, 3, 1, 1));
        const __m256i ty = term(y, kLuma);
        p.r[h] = _mm256_add_epi16(ty, term(cr, kRedCr));
        p.g[h] = _mm256_add_epi16(ty, _mm256_add_epi16(term(cb, kGreenCb), term(cr, kGreenCr)));
        p.b[h] = _mm256_add_epi16(ty, term(cb, kBlueCb));
    }
    return p;
}

// Packing works within lanes, leaving the pixels as 0-7, 16-23, 8-15,
// 24-31; the permute puts them back in order.
__attribute__((target("avx2"))) inline __m256i packInOrder(__m256i first, __m256i second)
{
    return _mm256_permute4x64_epi64(_mm256_packus_epi16(first, second), _MM_SHUFFLE(3, 1, 2, 0));
}

__attribute__((target("avx2"))) int convertGroups32(const std::uint8_t *in, int groups, std::uint8_t *out)
{
    for (int i = 0; i < groups; ++i) {
        const Planes32 p = indicesOf32(in + 64 * i);
        const __m256i B = packInOrder(p.b[0], p.b[1]);
        const __m256i G = packInOrder(p.g[0], p.g[1]);
        const __m256i R = packInOrder(p.r[0], p.r[1]);
        storeBgr(_mm256_castsi256_si128(B), _mm256_castsi256_si128(G), _mm256_castsi256_si128(R), out + 96 * i);
        storeBgr(_mm256_extracti128_si256(B, 1), _mm256_extracti128_si256(G, 1), _mm256_extracti128_si256(R, 1),
                 out + 96 * i + 48);
    }
    return groups * 16;
}

__attribute__((target("avx2"))) int convert332Groups32(const std::uint8_t *in, int groups,
                                                        const std::uint8_t *dither16, std::uint8_t *out)
{
    // Pixels 16-31 repeat the dither columns of pixels 0-15.
    const __m256i d2 = _mm256_slli_epi16(
        _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(dither16))), 1);
    const __m256i d4 = _mm256_add_epi16(d2, d2);
    for (int i = 0; i < groups; ++i) {
        Planes32 p = indicesOf32(in + 64 * i);
        for (int h = 0; h < 2; ++h) {
            p.r[h] = _mm256_add_epi16(p.r[h], d2);
            p.g[h] = _mm256_add_epi16(p.g[h], d2);
            p.b[h] = _mm256_add_epi16(p.b[h], d4);
        }
        const __m256i R = packInOrder(p.r[0], p.r[1]);
        const __m256i G = packInOrder(p.g[0], p.g[1]);
        const __m256i B = packInOrder(p.b[0], p.b[1]);
        auto *o = reinterpret_cast<__m128i *>(out + 32 * i);
        _mm_storeu_si128(o, bits332(_mm256_castsi256_si128(R), _mm256_castsi256_si128(G), _mm256_castsi256_si128(B)));
        _mm_storeu_si128(o + 1, bits332(_mm256_extracti128_si256(R, 1), _mm256_extracti128_si256(G, 1),
                                        _mm256_extracti128_si256(B, 1)));
    }
    return groups * 16;
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
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 16 * i), bits332(R, G, B));
    }
    return groups * 8;
}

#endif

} // namespace

namespace {

int levelOfProcessor()
{
#if ZUL_HAVE_X86
    if (__builtin_cpu_supports("avx2"))
        return 2;
    if (__builtin_cpu_supports("ssse3"))
        return 1;
#endif
    return 0;
}

int &levelLimit()
{
    static int limit = 2;
    return limit;
}

int level()
{
    static const int processor = levelOfProcessor();
    return std::min(processor, levelLimit());
}

} // namespace

void limitVectorLevel(int most)
{
    levelLimit() = most;
}

bool vectorConversionMatches(const LookupTables &tables)
{
    return level() > 0 && tablesMatch(tables);
}

int convert332PairsVector(const std::uint8_t *in, int pairs, const std::uint8_t *dither16, std::uint8_t *out)
{
#if ZUL_HAVE_X86
    const int wide = level() >= 2 ? convert332Groups32(in, pairs / 16, dither16, out) : 0;
    return wide + (level() >= 1 ? convert332Groups(in + 4 * wide, (pairs - wide) / 8, dither16, out + 2 * wide) : 0);
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
    const int wide = level() >= 2 ? convertGroups32(in, pairs / 16, out) : 0;
    return wide + (level() >= 1 ? convertGroups(in + 4 * wide, (pairs - wide) / 8, out + 6 * wide) : 0);
#else
    (void)in;
    (void)pairs;
    (void)out;
    return 0;
#endif
}

} // namespace zul
