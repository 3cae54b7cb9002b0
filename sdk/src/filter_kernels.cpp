#include "filter_kernels.h"

#include "kernel_paths.h"

#include <array>
#include <bit>
#include <cstdlib>
#include <utility>

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

#if ZUL_HAVE_X86

struct Division {
    int kind;
    __m256i magic;
    __m128i shift;
    bool positive;
    bool absolute;
};

// Quotients of sixteen 16-bit sums, ready to be packed to bytes.
__attribute__((target("avx2"))) inline __m256i quotients(__m256i sum, const Division &d)
{
    __m256i q = _mm256_abs_epi16(sum);
    if (d.kind == 1)
        q = _mm256_srl_epi16(_mm256_mulhi_epu16(q, d.magic), d.shift);
    else if (d.kind == 2)
        q = _mm256_setzero_si256();
    if (!d.absolute) {
        const __m256i zero = _mm256_setzero_si256();
        const __m256i negative = d.positive ? _mm256_cmpgt_epi16(zero, sum) : _mm256_cmpgt_epi16(sum, zero);
        q = _mm256_andnot_si256(negative, q);
    }
    return q;
}

__attribute__((target("avx2"))) inline __m256i widened(const std::uint8_t *at)
{
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(at)));
}

// Thirty-two outputs of one row at `i`, packed to bytes.
template <int Taps>
__attribute__((target("avx2"))) inline __m256i thirtyTwo(const std::uint8_t *const *at, const __m256i *w,
                                                         const Division &d, std::size_t i)
{
    __m256i low = _mm256_setzero_si256();
    __m256i high = _mm256_setzero_si256();
    for (int t = 0; t < Taps; ++t) {
        low = _mm256_add_epi16(low, _mm256_mullo_epi16(widened(at[t] + i), w[t]));
        high = _mm256_add_epi16(high, _mm256_mullo_epi16(widened(at[t] + i + 16), w[t]));
    }
    // Saturating to unsigned bytes holds the quotients at 255.
    const __m256i packed = _mm256_packus_epi16(quotients(low, d), quotients(high, d));
    return _mm256_permute4x64_epi64(packed, 0xD8);
}

// A row thirty-two outputs a step, the tap count fixed so that the loop
// over the taps unrolls and the weights stay in registers. A last, partial
// step works out the final thirty-two and keeps only the outputs not yet
// stored: those need inputs at or after their own place, which no store
// has reached, so a row of any width of at least 32 bytes needs no scalar
// tail.
template <int Taps>
__attribute__((target("avx2"))) std::size_t runTaps(const std::uint8_t *const *at, const std::int16_t *weights,
                                                    const Division &d, std::size_t count, std::uint8_t *out)
{
    if (count < 32)
        return 0;
    __m256i w[Taps];
    for (int t = 0; t < Taps; ++t)
        w[t] = _mm256_set1_epi16(weights[t]);
    const std::size_t whole = count & ~std::size_t{31};
    for (std::size_t i = 0; i < whole; i += 32)
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + i), thirtyTwo<Taps>(at, w, d, i));
    if (whole < count) {
        alignas(32) std::uint8_t last[32];
        _mm256_store_si256(reinterpret_cast<__m256i *>(last), thirtyTwo<Taps>(at, w, d, count - 32));
        for (std::size_t i = whole; i < count; ++i)
            out[i] = last[i - (count - 32)];
    }
    return count;
}

using TapRunner = std::size_t (*)(const std::uint8_t *const *, const std::int16_t *, const Division &, std::size_t,
                                  std::uint8_t *);

template <int... Counts> constexpr auto runners(std::integer_sequence<int, Counts...>)
{
    return std::array<TapRunner, sizeof...(Counts)>{&runTaps<Counts + 1>...};
}

__attribute__((target("avx2"))) std::size_t runWide(const std::uint8_t *const *at, const std::int16_t *weights,
                                                     int taps, int kind, std::uint16_t magic, int shift,
                                                     const FilterRule &rule, std::size_t count, std::uint8_t *out)
{
    static constexpr auto kRunners = runners(std::make_integer_sequence<int, 32>());
    const Division d{kind, _mm256_set1_epi16(static_cast<short>(magic)), _mm_cvtsi32_si128(shift),
                     rule.divisor > 0, rule.absolute};
    return kRunners[static_cast<std::size_t>(taps - 1)](at, weights, d, count, out);
}

#endif

} // namespace

RowFilter::RowFilter(const FilterRule &rule) : rule_(rule)
{
    // The vector path adds in 16 bits: only while no sum can leave them.
    long reach = 0;
    for (int m = 0; m < rule.kernelHeight; ++m)
        for (int j = 0; j < rule.kernelWidth; ++j) {
            const int c = rule.coefficients[m * rule.kernelWidth + j];
            reach += std::abs(c) * 255L;
            if (c == 0)
                continue;
            if (taps_ == kMostVectorTaps || reach > 32767)
                return;
            tapRow_[taps_] = m;
            tapOffset_[taps_] = j * rule.step;
            tapWeight_[taps_] = static_cast<std::int16_t>(c);
            ++taps_;
        }
    if (taps_ == 0 || !wideKernels())
        return;
    // Sums of at most 15 bits divided by d as a high multiply and a shift:
    // with l = ceil(log2 d) and m = ceil(2^(15 + l) / d), the error
    // m d - 2^(15 + l) stays below 2^l, which keeps every quotient exact.
    const std::int64_t d = std::abs(static_cast<std::int64_t>(rule.divisor));
    if (d == 1) {
        divideBy_ = 0;
    } else if (d > 32767) {
        divideBy_ = 2;
    } else {
        const int l = std::bit_width(static_cast<std::uint32_t>(d - 1));
        magic_ = static_cast<std::uint16_t>(((std::uint64_t{1} << (15 + l)) + static_cast<std::uint64_t>(d) - 1) /
                                            static_cast<std::uint64_t>(d));
        shift_ = l - 1;
        divideBy_ = 1;
    }
    wide_ = true;
}

void RowFilter::run(const std::uint8_t *const *rows, std::size_t count, std::uint8_t *out) const
{
    std::size_t done = 0;
#if ZUL_HAVE_X86
    if (wide_) {
        const std::uint8_t *at[kMostVectorTaps];
        for (int t = 0; t < taps_; ++t)
            at[t] = rows[tapRow_[t]] + tapOffset_[t];
        done = runWide(at, tapWeight_, taps_, divideBy_, magic_, shift_, rule_, count, out);
    }
#endif
    filterBytes(rule_, rows, done, count, out);
}

} // namespace zul
