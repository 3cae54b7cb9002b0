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

// A rule made ready for the rows of one bitmap: the kernel's non-zero taps,
// and, where its sums fit 16 bits and the processor has AVX2, the vector
// path with the division turned into a multiply and a shift.
class RowFilter {
public:
    explicit RowFilter(const FilterRule &rule);

    // Output bytes [0, count) of one row from the kernel's input rows
    // (rows[m] is the start of the m-th). `out` may lie at or before
    // rows[0] on the same memory: each output byte is stored only once
    // every input byte that it and the bytes after it need from rows[0]
    // has been read.
    void run(const std::uint8_t *const *rows, std::size_t count, std::uint8_t *out) const;

private:
    static constexpr int kMostVectorTaps = 32;

    const FilterRule &rule_;
    bool wide_ = false;
    int taps_ = 0;
    int tapRow_[kMostVectorTaps] = {};
    int tapOffset_[kMostVectorTaps] = {};
    std::int16_t tapWeight_[kMostVectorTaps] = {};
    int divideBy_ = 0; // 0: by 1, 1: by the magic multiply, 2: every quotient 0
    std::uint16_t magic_ = 0;
    int shift_ = 0;
};

} // namespace zul
