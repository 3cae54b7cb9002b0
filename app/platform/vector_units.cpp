#include "platform/vector_units.h"

#include <algorithm>

namespace {

std::vector<VectorUnit> unitsOfProcessor()
{
    std::vector<VectorUnit> units{VectorUnit::Scalar};
#if ISOSTEP_VECTOR_UNITS
    units.push_back(VectorUnit::Sse2);
    if (__builtin_cpu_supports("avx2"))
        units.push_back(VectorUnit::Avx2);
    if (__builtin_cpu_supports("avx512f"))
        units.push_back(VectorUnit::Avx512);
#endif
    return units;
}

// Asked once: kernels check every row.
const std::vector<VectorUnit> &units()
{
    static const std::vector<VectorUnit> processor = unitsOfProcessor();
    return processor;
}

} // namespace

std::vector<VectorUnit> vectorUnits()
{
    return units();
}

VectorUnit widestVectorUnit()
{
    return units().back();
}

bool runs(VectorUnit unit)
{
    return std::find(units().begin(), units().end(), unit) != units().end();
}

const char *nameOf(VectorUnit unit)
{
    switch (unit) {
    case VectorUnit::Scalar:
        return "scalar";
    case VectorUnit::Sse2:
        return "SSE2";
    case VectorUnit::Avx2:
        return "AVX2";
    case VectorUnit::Avx512:
        return "AVX-512";
    }
    return "?";
}
