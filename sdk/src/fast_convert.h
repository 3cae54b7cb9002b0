#pragma once

#include "lookup_tables.h"

#include <cstdint>

namespace zul {

// Whether the colour tables are exactly the integer terms the vector
// conversion computes (gamma 1.0, and every term checked), and the
// processor can run it.
bool vectorConversionMatches(const LookupTables &tables);

// Caps the instruction set the vector paths use (3 AVX-512, 2 AVX2, 1 SSSE3,
// 0 none) so each can be checked on a processor that has a wider one.
constexpr int kWidestVectorLevel = 3;
void limitVectorLevel(int most);

// Converts Cb-Y-Cr-Y pairs to B, G, R; gives the number of pairs done: all
// of them with AVX-512, else whole groups of eight, or 0 when it cannot help.
int convertBgrPairsVector(const std::uint8_t *in, int pairs, std::uint8_t *out);

// The same for 3-3-2 colour indices; `dither16` holds the dither values of
// the sixteen pixels of each group.
int convert332PairsVector(const std::uint8_t *in, int pairs, const std::uint8_t *dither16, std::uint8_t *out);

} // namespace zul
