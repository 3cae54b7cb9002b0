#pragma once

#include <cstddef>
#include <cstdint>

namespace zul {

// One convolution as the filters apply it to every byte of a row on its
// own: a weighted sum of kernelWidth x kernelHeight bytes, `step` bytes
// apart across and one input row apart down, divided toward zero; a
// negative result made positive or 0, anything above 255 held at 255.
struct FilterRule {
    int kernelWidth;
    int kernelHeight;
    const std::int8_t *coefficients; // row after row
    std::int32_t divisor;            // nonzero
    bool absolute;
    int step; // bytes per pixel
};

// Output bytes [0, count) of one row from the kernel's input rows
// (rows[m] is the start of the m-th). `out` may lie at or before rows[0]
// on the same memory: each output byte is stored only once every input
// byte that it and the bytes after it need from rows[0] has been read.
void filterRow(const FilterRule &rule, const std::uint8_t *const *rows, std::size_t count, std::uint8_t *out);

// The plain loop of the rule, always; the reference the fast path is
// measured and checked against.
void filterRowScalar(const FilterRule &rule, const std::uint8_t *const *rows, std::size_t count,
                     std::uint8_t *out);

} // namespace zul
