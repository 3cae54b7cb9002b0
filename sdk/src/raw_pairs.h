#pragma once

#include "card_record.h"

#include <cstdint>

namespace zul {

// The raw Cb-Y-Cr-Y words of pixels [first, first + count) of the latest
// capture run from the pair that holds the first pixel to the pair that
// holds the last: `lead` (0 or 1) pixels in front of the first, `words` in
// all. Converting them, `pixels` keeps the last pixel's own Cr when the card
// stored the rest of its pair (one pixel past the last), as the colour
// formats read it; otherwise the last pixel borrows the Cr before it.
struct RawSpan {
    int lead;
    int words;
    int pixels;
};

RawSpan rawSpan(const ZulCard &card, int firstPixel, int count);

// ZUL_readLine, but format 10 gives every word of rawSpan rather than the
// count rounded up to even, which falls one pair short when the first pixel
// is the second of its pair and the count is even.
int readLineWholePairs(std::uint8_t *buffer, int firstPixel, int count);

} // namespace zul
