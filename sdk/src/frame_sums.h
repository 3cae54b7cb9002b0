#pragma once

#include <cstddef>
#include <cstdint>

namespace zul {

// The running sums of an average of snaps: one 16-bit sum per raw byte,
// enough for 255 snaps of 255.
void addToSums(std::uint16_t *sums, const std::uint8_t *bytes, std::size_t count);

// Each sum divided by `divisor` (1..255, toward zero), held at 255.
void averageOfSums(const std::uint16_t *sums, std::size_t count, unsigned divisor, std::uint8_t *out);

} // namespace zul
