#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zul {

// Numbers in settings files, read and written the same way whatever locale
// the calling program has set: a decimal comma in the user's language must
// not turn a gamma of 0.50 into 0.

// The leading decimal integer, as the C library's atoi reads it (blanks,
// a sign, digits; 0 when there is none), held to the 32-bit range instead
// of overflowing.
std::int32_t leadingInteger(std::string_view text);

// The leading decimal number, as atof reads it: "1#" is 1, "abc" is 0.
// Infinity and NaN are not numbers here, and neither is anything a double
// cannot hold; beyond the float range it is an infinity.
float leadingFloat(std::string_view text);

// Fixed notation with two decimals, as "%.2f" writes it in the C locale.
std::string twoDecimals(float value);

} // namespace zul
