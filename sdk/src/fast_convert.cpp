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

// Where each of sixteen B, G and R bytes goes in the three 16-byte parts of
// their 48 bytes of B, G, R triplets; -1 leaves a byte to another channel.
struct BgrShuffle {
    alignas(16) std::int8_t parts[3][3][16];
    constexpr const std::int8_t (&operator[](int part) const)[3][16] { return parts[part]; }
};

constexpr BgrShuffle bgrShuffle()
{
    BgrShuffle shuffle{};
    for (int part = 0; part < 3; ++part)
        for (int channel = 0; channel < 3; ++channel)
            for (int j = 0; j < 16; ++j) {
                const int o = 16 * part + j;
                shuffle.parts[part][channel][j] = static_cast<std::int8_t>(o % 3 == channel ? o / 3 : -1);
            }
    return shuffle;
}

constexpr BgrShuffle kBgrShuffle = bgrShuffle();

// Sixteen B, G and R values to 48 bytes of B, G, R.
__attribute__((target("ssse3"))) inline void storeBgr(__m128i B, __m128i G, __m128i R, std::uint8_t *out)
{
    auto mask = [](int part, int channel) {
        return _mm_load_si128(reinterpret_cast<const __m128i *>(kBgrShuffle[part][channel]));
    };
    auto *o = reinterpret_cast<__m128i *>(out);
    for (int part = 0; part < 3; ++part)
        _mm_storeu_si128(o + part, _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(B, mask(part, 0)),
                                                             _mm_shuffle_epi8(G, mask(part, 1))),
                                                _mm_shuffle_epi8(R, mask(part, 2))));
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

static_assert(!kLuma.negated && !kBlueCb.negated && !kRedCr.negated && kGreenCb.negated && kGreenCr.negated &&
                  kGreenCb.whole == 0 && kGreenCr.whole == 0 && kLuma.whole == 1 && kBlueCb.offset == 128 &&
                  kRedCr.offset == 128 && kGreenCb.offset == 128 && kGreenCr.offset == 128,
              "the pair lanes of the AVX2 and AVX-512 steps are written for these signs, offsets and whole parts");

// A Cb constant in the even 16-bit lanes and a Cr constant in the odd ones.
__attribute__((target("avx2"))) inline __m256i cbCr256(int cb, int cr)
{
    return _mm256_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(cb) | static_cast<std::uint32_t>(cr) << 16));
}

// Each pixel's chroma terms are its pair's, worked once per pair: the pair's
// Cb and Cr sit side by side in two 16-bit lanes, each lane with its own
// constants, and are then spread over both pixels.
[[gnu::always_inline]] __attribute__((target("avx2"))) inline Planes32 indicesOf32(const std::uint8_t *in)
{
    const __m256i low = _mm256_set1_epi16(0x00FF);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i cbOfPair = _mm256_broadcastsi128_si256(_mm_setr_epi8(0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13));
    const __m256i crOfPair =
        _mm256_broadcastsi128_si256(_mm_setr_epi8(2, 3, 2, 3, 6, 7, 6, 7, 10, 11, 10, 11, 14, 15, 14, 15));
    const __m256i swapped =
        _mm256_broadcastsi128_si256(_mm_setr_epi8(2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13));
    Planes32 p;
    for (int h = 0; h < 2; ++h) {
        const __m256i words = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(in + 32 * h));
        const __m256i ty = term(_mm256_srli_epi16(words, 8), kLuma);
        const __m256i u = _mm256_sub_epi16(_mm256_and_si256(words, low), _mm256_set1_epi16(128));
        const __m256i a = _mm256_abs_epi16(u);
        const __m256i blueRed =
            _mm256_sign_epi16(_mm256_add_epi16(_mm256_mulhi_epu16(a, cbCr256(kBlueCb.fraction, kRedCr.fraction)),
                                               _mm256_mullo_epi16(a, cbCr256(kBlueCb.whole, kRedCr.whole))),
                              u);
        // Green's terms are of 128 - Cb and 128 - Cr; each pair adds its two.
        const __m256i greenTerms = _mm256_sign_epi16(
            _mm256_mulhi_epu16(a, cbCr256(kGreenCb.fraction, kGreenCr.fraction)), _mm256_sub_epi16(zero, u));
        p.b[h] = _mm256_add_epi16(ty, _mm256_shuffle_epi8(blueRed, cbOfPair));
        p.g[h] = _mm256_add_epi16(ty, _mm256_add_epi16(greenTerms, _mm256_shuffle_epi8(greenTerms, swapped)));
        p.r[h] = _mm256_add_epi16(ty, _mm256_shuffle_epi8(blueRed, crOfPair));
    }
    return p;
}

// Packing works within lanes, leaving the pixels as 0-7, 16-23, 8-15,
// 24-31; the permute puts them back in order.
__attribute__((target("avx2"))) inline __m256i packInOrder(__m256i first, __m256i second)
{
    return _mm256_permute4x64_epi64(_mm256_packus_epi16(first, second), _MM_SHUFFLE(3, 1, 2, 0));
}

// Thirty-two B, G and R values, pixels 0-15 in the low lane and 16-31 in
// the high one, to 96 bytes of B, G, R: each lane makes its 48 bytes as
// storeBgr does, and the lanes' parts are then put in order.
__attribute__((target("avx2"))) inline __m256i bgrShuffle256(int part, int channel)
{
    return _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i *>(kBgrShuffle[part][channel])));
}

__attribute__((target("avx2"))) inline void storeBgr32(__m256i B, __m256i G, __m256i R, std::uint8_t *out)
{
    __m256i parts[3];
    for (int part = 0; part < 3; ++part)
        parts[part] = _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(B, bgrShuffle256(part, 0)),
                                                      _mm256_shuffle_epi8(G, bgrShuffle256(part, 1))),
                                      _mm256_shuffle_epi8(R, bgrShuffle256(part, 2)));
    auto *o = reinterpret_cast<__m256i *>(out);
    _mm256_storeu_si256(o, _mm256_permute2x128_si256(parts[0], parts[1], 0x20));
    _mm256_storeu_si256(o + 1, _mm256_permute2x128_si256(parts[2], parts[0], 0x30));
    _mm256_storeu_si256(o + 2, _mm256_permute2x128_si256(parts[1], parts[2], 0x31));
}

__attribute__((target("avx2"))) int convertGroups32(const std::uint8_t *in, int groups, std::uint8_t *out)
{
    for (int i = 0; i < groups; ++i) {
        const Planes32 p = indicesOf32(in + 64 * i);
        storeBgr32(packInOrder(p.b[0], p.b[1]), packInOrder(p.g[0], p.g[1]), packInOrder(p.r[0], p.r[1]),
                   out + 96 * i);
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

// Sixty-four pixels a step with AVX-512. The chroma terms are worked once
// per pair rather than once per pixel: a pair's Cb and Cr sit side by side
// in two 16-bit lanes, each lane with its own constants.
// GCC 12's AVX-512 headers start each result from a self-initialised
// "undefined" vector, which its own uninitialised-use check then reports.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

// A Cb constant in the even 16-bit lanes and a Cr constant in the odd ones.
__attribute__((target("avx512bw,avx512vbmi"))) inline __m512i cbCr(int cb, int cr)
{
    return _mm512_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(cb) | static_cast<std::uint32_t>(cr) << 16));
}

struct Colour32 {
    __m512i b, g, r; // colour indices less 280 of thirty-two pixels, in pixel order
};

// Sixteen pairs, 64 bytes of Cb, Y, Cr, Y, to their colour indices.
[[gnu::always_inline]] __attribute__((target("avx512bw,avx512vbmi")))
inline Colour32 colourOf32(__m512i words)
{
    const __m512i zero = _mm512_setzero_si512();
    const __m512i y = _mm512_srli_epi16(words, 8);
    const __m512i c = _mm512_and_si512(words, _mm512_set1_epi16(0x00FF));
    // Luma v + trunc(v x fraction), v = Y - 16. For a negative v the signed
    // high product is the floor, one below the truncation: no v from -16 to
    // -1 times the fraction is a whole multiple of 65536.
    const __m512i v = _mm512_sub_epi16(y, _mm512_set1_epi16(static_cast<short>(kLuma.offset)));
    const __m512i luma = _mm512_sub_epi16(
        _mm512_add_epi16(v, _mm512_mulhi_epi16(v, _mm512_set1_epi16(static_cast<short>(kLuma.fraction)))),
        _mm512_srai_epi16(v, 15));
    // Chroma as sign(u) x (|u| x whole + the high product of the fraction),
    // u = Cb - 128 in the even lanes and Cr - 128 in the odd ones.
    const __m512i u = _mm512_sub_epi16(c, _mm512_set1_epi16(128));
    const __m512i a = _mm512_abs_epi16(u);
    const __mmask32 negative = _mm512_movepi16_mask(u);
    const __m512i blueRed = _mm512_add_epi16(_mm512_mulhi_epu16(a, cbCr(kBlueCb.fraction, kRedCr.fraction)),
                                             _mm512_mullo_epi16(a, cbCr(kBlueCb.whole, kRedCr.whole)));
    const __m512i signedBlueRed = _mm512_mask_sub_epi16(blueRed, negative, zero, blueRed);
    // Green's terms are of 128 - Cb and 128 - Cr, so their signs are u's
    // turned over; each pair adds its two, which the rotation swaps.
    const __m512i greenHigh = _mm512_mulhi_epu16(a, cbCr(kGreenCb.fraction, kGreenCr.fraction));
    const __m512i greenTerms = _mm512_mask_mov_epi16(_mm512_sub_epi16(zero, greenHigh), negative, greenHigh);
    const __m512i green = _mm512_add_epi16(greenTerms, _mm512_rol_epi32(greenTerms, 16));
    const __m512i cbOfPair = _mm512_broadcast_i32x4(_mm_setr_epi8(0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13));
    const __m512i crOfPair =
        _mm512_broadcast_i32x4(_mm_setr_epi8(2, 3, 2, 3, 6, 7, 6, 7, 10, 11, 10, 11, 14, 15, 14, 15));
    return {_mm512_add_epi16(luma, _mm512_shuffle_epi8(signedBlueRed, cbOfPair)), _mm512_add_epi16(luma, green),
            _mm512_add_epi16(luma, _mm512_shuffle_epi8(signedBlueRed, crOfPair))};
}

// Byte positions for putting sixty-four pixels' B, G and R bytes, as the
// saturating packs leave them, into three vectors of B, G, R triplets:
// first B and G, then R over the slots left free.
struct BgrIndex {
    alignas(64) std::uint8_t blueGreen[3][64];
    alignas(64) std::uint8_t red[3][64];
};

constexpr BgrIndex bgrIndex()
{
    // A pack takes pixels 8L..8L+7 of its first operand into bytes 16L..
    // 16L+7 and the same pixels of its second into the next eight.
    auto packed = [](int p) { return p < 32 ? 16 * (p / 8) + p % 8 : 16 * ((p - 32) / 8) + 8 + p % 8; };
    BgrIndex index{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 64; ++j) {
            const int o = 64 * i + j, pixel = o / 3, channel = o % 3;
            index.blueGreen[i][j] = static_cast<std::uint8_t>(channel == 1 ? 64 + packed(pixel) : packed(pixel));
            index.red[i][j] = static_cast<std::uint8_t>(channel == 2 ? 64 + packed(pixel) : j);
        }
    return index;
}

constexpr BgrIndex kBgrIndex = bgrIndex();

__attribute__((target("avx512bw,avx512vbmi"))) inline __mmask64 firstBytes(int n)
{
    return n >= 64 ? ~__mmask64{0} : n <= 0 ? __mmask64{0} : (__mmask64{1} << n) - 1;
}

// Thirty-two pairs, or the `pairs` < 32 left at the end of a line through
// masked loads and stores that touch no byte past either buffer.
template <bool kTail>
[[gnu::always_inline]] __attribute__((target("avx512bw,avx512vbmi")))
inline void convert64(const std::uint8_t *in, std::uint8_t *out, int pairs)
{
    __m512i w0, w1;
    if constexpr (kTail) {
        w0 = _mm512_maskz_loadu_epi8(firstBytes(4 * pairs), in);
        w1 = pairs > 16 ? _mm512_maskz_loadu_epi8(firstBytes(4 * pairs - 64), in + 64) : _mm512_setzero_si512();
    } else {
        w0 = _mm512_loadu_si512(in);
        w1 = _mm512_loadu_si512(in + 64);
    }
    const Colour32 first = colourOf32(w0), second = colourOf32(w1);
    // Saturating packs are the clamp tables at gamma 1.0.
    const __m512i B = _mm512_packus_epi16(first.b, second.b);
    const __m512i G = _mm512_packus_epi16(first.g, second.g);
    const __m512i R = _mm512_packus_epi16(first.r, second.r);
    for (int i = 0; i < 3; ++i) {
        const __m512i blueGreen = _mm512_permutex2var_epi8(
            B, _mm512_load_si512(reinterpret_cast<const __m512i *>(kBgrIndex.blueGreen[i])), G);
        const __m512i bgr = _mm512_permutex2var_epi8(
            blueGreen, _mm512_load_si512(reinterpret_cast<const __m512i *>(kBgrIndex.red[i])), R);
        if constexpr (kTail) {
            if (6 * pairs > 64 * i)
                _mm512_mask_storeu_epi8(out + 64 * i, firstBytes(6 * pairs - 64 * i), bgr);
        } else {
            _mm512_storeu_si512(out + 64 * i, bgr);
        }
    }
}

__attribute__((target("avx512bw,avx512vbmi")))
int convertGroups64(const std::uint8_t *in, int pairs, std::uint8_t *out)
{
    int done = 0;
    for (; done + 32 <= pairs; done += 32)
        convert64<false>(in + 4 * done, out + 6 * done, 32);
    if (done < pairs)
        convert64<true>(in + 4 * done, out + 6 * done, pairs - done);
    return pairs;
}

#pragma GCC diagnostic pop

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
    if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi"))
        return 3;
    if (__builtin_cpu_supports("avx2"))
        return 2;
    if (__builtin_cpu_supports("ssse3"))
        return 1;
#endif
    return 0;
}

int &levelLimit()
{
    static int limit = kWidestVectorLevel;
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
    if (level() >= 3)
        return convertGroups64(in, pairs, out);
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
