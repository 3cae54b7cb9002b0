#pragma once

#include <vector>

// The vector instruction sets the image kernels are built for. Each kernel
// keeps a scalar path as its reference; the others do the same work on
// several pixels at once and give the same bytes.
enum class VectorUnit { Scalar, Sse2, Avx2, Avx512 };

// The kernels' vector code needs GCC's per-function target regions on
// x86-64, where SSE2 is always present and the wider units are asked of the
// processor at run time; the build itself assumes none of them.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define ISOSTEP_VECTOR_UNITS 1
#endif

// The units this build and processor can run: Scalar first, the widest
// last. Tests and benchmarks run a kernel on each of them.
std::vector<VectorUnit> vectorUnits();

// The widest of vectorUnits(), the one the program uses.
VectorUnit widestVectorUnit();

// Whether `unit` is one of vectorUnits(); a kernel asked for another takes
// the scalar path rather than stop on an instruction the processor lacks.
bool runs(VectorUnit unit);

const char *nameOf(VectorUnit unit);
