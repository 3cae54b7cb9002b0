#pragma once

#include <cstdint>

namespace zul {

constexpr int kControlRegister = 153;
constexpr std::uint8_t kStatusOnFailure = 18;

// Register transfers through the driver. Results: the count on success,
// -1 when the request fails, -2 (writes only) when the driver reports
// another count.
int writeRegisters(int first, const std::uint8_t *bytes, int count);
int readRegisters(int first, std::uint8_t *bytes, int count);

inline bool writeRegister(int number, std::uint8_t value)
{
    return writeRegisters(number, &value, 1) == 1;
}

// The control register write and status read never stop the caller: a
// failure is charged to the current operation in the trail, the write
// gives 18 and the read gives 18 as the status byte.
int writeControl(std::uint8_t value);
std::uint8_t readStatus();

// The card's pacing wait: n units of its status tick.
void waitUnits(std::uint16_t units);

} // namespace zul
