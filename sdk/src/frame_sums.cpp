#include "frame_sums.h"

#include "kernel_paths.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZUL_HAVE_X86 1
#endif

namespace zul {
namespace {

#if ZUL_HAVE_X86
__attribute__((target("avx2"))) std::size_t addToSumsWide(std::uint16_t *sums, const std::uint8_t *bytes,
                                                          std::size_t count)
{
    std::size_t k = 0;
    for (; k + 32 <= count; k += 32) {
        const __m256i low = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + k)));
        const __m256i high =
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + k + 16)));
        auto *at = reinterpret_cast<__m256i *>(sums + k);
        _mm256_storeu_si256(at, _mm256_add_epi16(_mm256_loadu_si256(at), low));
        _mm256_storeu_si256(at + 1, _mm256_add_epi16(_mm256_loadu_si256(at + 1), high));
    }
    return k;
}
#endif

} // namespace

void addToSums(std::uint16_t *sums, const std::uint8_t *bytes, std::size_t count)
{
    std::size_t k = 0;
#if ZUL_HAVE_X86
    if (wideKernels())
        k = addToSumsWide(sums, bytes, count);
#endif
    for (; k < count; ++k)
        sums[k] = static_cast<std::uint16_t>(sums[k] + bytes[k]);
}

void averageOfSums(const std::uint16_t *sums, std::size_t count, unsigned divisor, std::uint8_t *out)
{
    // floor(s / d) for every 16-bit s as one multiply: with m = ceil(2^32 / d)
    // the error m x d - 2^32 stays below d, too small to move any quotient.
    const std::uint64_t m = ((std::uint64_t{1} << 32) + divisor - 1) / divisor;
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint64_t q = (sums[k] * m) >> 32;
        out[k] = static_cast<std::uint8_t>(q > 255 ? 255 : q);
    }
}

} // namespace zul
