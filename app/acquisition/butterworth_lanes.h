#pragma once

#include "acquisition/butterworth_filter.h"

#include <cstddef>
#include <cstdint>

// A plane of whole-number samples 0..255, rows top to bottom. The stride is
// a whole number of eight-sample groups; the samples from `cols` to the
// stride are scratch that the vector paths may filter along with the rest.
struct SamplePlane {
    std::int16_t *data = nullptr;
    int rows = 0;
    int cols = 0;
    std::ptrdiff_t stride = 0;
    std::int16_t *row(int r) const { return data + r * stride; }
};

// One direction of the filter: the recursion forwards, then backwards, down
// every column of the plane, in place. The vector paths run neighbouring
// columns in the lanes of one register, each lane doing exactly the scalar
// operations in the scalar order, so every sample comes out the same.
// `unit` is a vector unit of vectorUnits() other than Scalar.
void filterColumns(VectorUnit unit, const SamplePlane &plane, const ButterworthCoefficients &c);
