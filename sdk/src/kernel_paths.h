#pragma once

namespace zul {

// Whether the image kernels (frame sums, filters) take their AVX2 path:
// where the processor has it, unless turned off so that the scalar
// reference runs (the tests run both and compare).
bool wideKernels();
void allowWideKernels(bool allowed);

} // namespace zul
