#include "acquisition/butterworth_lanes.h"

#include <cstring>

#if ISOSTEP_VECTOR_UNITS
#include <immintrin.h>

namespace {

// Two columns to a register: the x86-64 baseline, so no target region.
namespace sse2 {

struct Lanes {
    using D = __m128d;
    static constexpr int kWidth = 2;
    static constexpr int kStripVectors = 4;

    static D broadcast(double v) { return _mm_set1_pd(v); }
    static D load(const std::int16_t *p)
    {
        int pair;
        std::memcpy(&pair, p, sizeof pair);
        return _mm_cvtepi32_pd(_mm_unpacklo_epi16(_mm_cvtsi32_si128(pair), _mm_setzero_si128()));
    }
    static void store(std::int16_t *p, D v)
    {
        const __m128i words = _mm_cvtpd_epi32(v);
        const int pair = _mm_cvtsi128_si32(_mm_packs_epi32(words, words));
        std::memcpy(p, &pair, sizeof pair);
    }
    static D clampToByte(D v) { return _mm_min_pd(_mm_max_pd(v, _mm_setzero_pd()), _mm_set1_pd(255.0)); }
    // Adding and removing 1.5 x 2^52 leaves no fraction bits, so the value
    // is rounded by the processor's mode, to nearest with halves to even.
    static D roundToEven(D v)
    {
        const D magic = _mm_set1_pd(6755399441055744.0);
        return _mm_sub_pd(_mm_add_pd(v, magic), magic);
    }
};

#include "acquisition/butterworth_columns.inc"

} // namespace sse2

#pragma GCC push_options
#pragma GCC target("avx2")
namespace avx2 {

struct Lanes {
    using D = __m256d;
    static constexpr int kWidth = 4;
    static constexpr int kStripVectors = 4;

    static D broadcast(double v) { return _mm256_set1_pd(v); }
    static D load(const std::int16_t *p)
    {
        return _mm256_cvtepi32_pd(_mm_cvtepu16_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(p))));
    }
    static void store(std::int16_t *p, D v)
    {
        const __m128i words = _mm256_cvtpd_epi32(v);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(p), _mm_packs_epi32(words, words));
    }
    static D clampToByte(D v) { return _mm256_min_pd(_mm256_max_pd(v, _mm256_setzero_pd()), _mm256_set1_pd(255.0)); }
    static D roundToEven(D v) { return _mm256_round_pd(v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC); }
};

#include "acquisition/butterworth_columns.inc"

} // namespace avx2
#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("avx512f")
// GCC 12's AVX-512 headers start each result from a self-initialised
// "undefined" vector, which its own uninitialised-use check then reports.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
namespace avx512 {

struct Lanes {
    using D = __m512d;
    static constexpr int kWidth = 8;
    static constexpr int kStripVectors = 4;

    static D broadcast(double v) { return _mm512_set1_pd(v); }
    static D load(const std::int16_t *p)
    {
        return _mm512_cvtepi32_pd(_mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p))));
    }
    static void store(std::int16_t *p, D v)
    {
        const __m512i bits = _mm512_castpd_si512(_mm512_add_pd(v, _mm512_set1_pd(6755399441055744.0)));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p), _mm512_cvtepi64_epi16(bits));
    }
    static D clampToByte(D v) { return _mm512_min_pd(_mm512_max_pd(v, _mm512_setzero_pd()), _mm512_set1_pd(255.0)); }
    static D roundToEven(D v) { return _mm512_roundscale_pd(v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC); }
};

#include "acquisition/butterworth_columns.inc"

} // namespace avx512
#pragma GCC diagnostic pop
#pragma GCC pop_options

} // namespace

void filterColumns(VectorUnit unit, const SamplePlane &plane, const ButterworthCoefficients &c)
{
    switch (unit) {
    case VectorUnit::Sse2:
        sse2::filterColumns(plane, c);
        break;
    case VectorUnit::Avx2:
        avx2::filterColumns(plane, c);
        break;
    case VectorUnit::Avx512:
        avx512::filterColumns(plane, c);
        break;
    case VectorUnit::Scalar:
        break;
    }
}

#else

void filterColumns(VectorUnit, const SamplePlane &, const ButterworthCoefficients &) {}

#endif
