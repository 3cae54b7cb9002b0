#pragma once

#include <cstdint>

namespace zul {

// The picture controls as the application sees them (-128..127, 0 the
// digitizer's nominal setting) against the digitizer's 9-bit gains.
int contrastGain(std::int8_t value);
int saturationGainU(std::int8_t value);
int saturationGainV(std::int8_t value);
std::int8_t contrastFromGain(int gain);
std::int8_t saturationFromGain(int gainU);

} // namespace zul
