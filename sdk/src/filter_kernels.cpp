#include "filter_kernels.h"

#include "kernel_paths.h"

#include <bit>
#include <cstdlib>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZUL_HAVE_X86 1
#endif

namespace zul {
namespace {

inline std::uint8_t finish(std::int64_t sum, const FilterRule &rule)
{
    std::int64_t v = sum / rule.divisor;
    if (v < 0)
        v = rule.absolute ? -v : 0;
    return static_cast<std::uint8_t>(v > 255 ? 255 : v);
}

#if ZUL_HAVE_X86

// Division of 15-bit magnitudes by |divisor| as a high multiply and a
// shift: with l = ceil(log2 d) and m = ceil(2^(15 + l) / d) the error
// m d - 2^(15 + l) stays below 2^l, which keeps every quotient of a number
// below 2^15 exact.
struct Divider {
    int kind = 0; // 0: by 1, 1: by magic, 2: always 0
    std::uint16_t magic = 0;
    int shift = 0;

    explicit Divider(std::int64_t d)
    {
        if (d == 1) {
            kind = 0;
        } else if (d > 32767) {
            kind = 2;
        } else {
            const int l = std::bit_width(static_cast<std::uint32_t>(d - 1));
            magic = static_cast<std::uint16_t>(((std::uint64_t{1} << (15 + l)) + static_cast<std::uint64_t>(d) - 1) /
                                               static_cast<std::uint64_t>(d));
            shift = l - 1;
            kind = 1;
        }
    }
};

struct Tap {
    int row;
    int offset;
    std::int16_t weight;
};

// Sixteen sums of one row of outputs, in 16-bit lanes.
__attribute__((target("avx2"))) inline __m256i sums16(const Tap *taps, int count, const std::uint8_t *const *rows,
                                                      std::size_t i)
{
    __m256i acc = _mm256_setzero_si256();
    for (int t = 0; t < count; ++t) {
        const __m256i v = _mm256_cvtepu8_epi16(
            _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[taps[t].row] + i + taps[t].offset)));
        if (taps[t].weight == 1)
            acc = _mm256_add_epi16(acc, v);
        else if (taps[t].weight == -1)
            acc = _mm256_sub_epi16(acc, v);
        else
            acc = _mm256_add_epi16(acc, _mm256_mullo_epi16(v, _mm256_set1_epi16(taps[t].weight)));
    }
    return acc;
}

__attribute__((target("avx2"))) inline __m256i finish16(__m256i sum, const Divider &divider, bool positiveDivisor,
                                                        bool absolute)
{
    const __m256i magnitude = _mm256_abs_epi16(sum);
    __m256i q = magnitude;
    if (divider.kind == 1)
        q = _mm256_srli_epi16(_mm256_mulhi_epu16(magnitude, _mm256_set1_epi16(static_cast<short>(divider.magic))),
                              divider.shift);
    else if (divider.kind == 2)
        q = _mm256_setzero_si256();
    if (!absolute) {
        const __m256i zero = _mm256_setzero_si256();
        const __m256i negative = positiveDivisor ? _mm256_cmpgt_epi16(zero, sum) : _mm256_cmpgt_epi16(sum, zero);
        q = _mm256_andnot_si256(negative, q);
    }
    return q;
}

// Thirty-two outputs a step while the kernel's sums fit 16 bits; gives
// how many bytes it did.
__attribute__((target("avx2"))) std::size_t filterRowWide(const FilterRule &rule, const std::uint8_t *const *rows,
                                                           std::size_t count, std::uint8_t *out)
{
    Tap list[64];
    int used = 0;
    long reach = 0;
    for (int m = 0; m < rule.kernelHeight; ++m)
        for (int j = 0; j < rule.kernelWidth; ++j) {
            const int c = rule.coefficients[m * rule.kernelWidth + j];
            reach += std::abs(c) * 255L;
            if (c == 0)
                continue;
            if (used == 64)
                return 0;
            list[used++] = {m, j * rule.step, static_cast<std::int16_t>(c)};
        }
    if (reach > 32767)
        return 0;
    const Divider divider(std::abs(static_cast<std::int64_t>(rule.divisor)));
    const bool positive = rule.divisor > 0;
    std::size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m256i low = finish16(sums16(list, used, rows, i), divider, positive, rule.absolute);
        const __m256i high = finish16(sums16(list, used, rows, i + 16), divider, positive, rule.absolute);
        // Saturating to unsigned bytes holds the quotients at 255.
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + i), packed);
    }
    return i;
}

#endif

void filterBytes(const FilterRule &rule, const std::uint8_t *const *rows, std::size_t from, std::size_t count,
                 std::uint8_t *out)
{
    for (std::size_t i = from; i < count; ++i) {
        std::int64_t sum = 0;
        const std::int8_t *c = rule.coefficients;
        for (int m = 0; m < rule.kernelHeight; ++m) {
            const std::uint8_t *in = rows[m] + i;
            for (int j = 0; j < rule.kernelWidth; ++j)
                sum += *c++ * in[static_cast<std::size_t>(j * rule.step)];
        }
        out[i] = finish(sum, rule);
    }
}

} // namespace

void filterRowScalar(const FilterRule &rule, const std::uint8_t *const *rows, std::size_t count, std::uint8_t *out)
{
    filterBytes(rule, rows, 0, count, out);
}

void filterRow(const FilterRule &rule, const std::uint8_t *const *rows, std::size_t count, std::uint8_t *out)
{
    std::size_t done = 0;
#if ZUL_HAVE_X86
    if (wideKernels())
        done = filterRowWide(rule, rows, count, out);
#endif
    filterBytes(rule, rows, done, count, out);
}

} // namespace zul
