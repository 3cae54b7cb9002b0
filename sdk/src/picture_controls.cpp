#include "picture_controls.h"

#include "connection.h"
#include "function_trail.h"
#include "registers.h"

#include <cmath>

namespace zul {
namespace {

// Above the nominal gain the control spreads over the rest of the 9 bits,
// below it over the range down to 0, so both ends of -128..127 reach the
// ends of the register.
int gain(int v, int nominal, int span)
{
    return v > 0 ? nominal + span * v / 127 : (v + 128) * nominal / 128;
}

} // namespace

int contrastGain(std::int8_t value)
{
    return gain(value, 216, 295);
}

int saturationGainU(std::int8_t value)
{
    return gain(value, 254, 257);
}

int saturationGainV(std::int8_t value)
{
    return gain(value, 180, 182);
}

std::int8_t contrastFromGain(int r)
{
    return static_cast<std::int8_t>(r > 216 ? (127 * r - 27285) / 295 : (r - 216) * 128 / 216);
}

std::int8_t saturationFromGain(int u)
{
    return static_cast<std::int8_t>(u > 254 ? (127 * u - 32130) / 257 : (u - 254) * 128 / 254);
}

} // namespace zul

using namespace zul;

namespace {

constexpr int kBrightness = 10;
constexpr int kControl = 11;
constexpr int kContrast = 12;
constexpr int kSaturationU = 13;
constexpr int kHue = 15;
constexpr std::uint8_t kContrastHigh = 0x04;
constexpr std::uint8_t kSaturationUHigh = 0x02;
constexpr std::uint8_t kSaturationVHigh = 0x01;

int setByte(const char *name, int reg, int value)
{
    entering(name);
    if (!currentCard())
        return failed(ZUL_ERR_NOT_INITIALIZED);
    if (!writeRegister(reg, static_cast<std::uint8_t>(value)))
        return failed(ZUL_ERR_LOST_CONTACT);
    return ZUL_OK;
}

int getByte(const char *name, int reg, std::uint8_t *out)
{
    entering(name);
    if (!currentCard())
        return failed(ZUL_ERR_NOT_INITIALIZED);
    if (!out)
        return failed(ZUL_ERR_BAD_POINTER);
    if (readRegisters(reg, out, 1) != 1)
        return failed(ZUL_ERR_LOST_CONTACT);
    return ZUL_OK;
}

std::uint8_t withBit(std::uint8_t byte, std::uint8_t bit, bool set)
{
    return static_cast<std::uint8_t>(set ? byte | bit : byte & ~bit);
}

} // namespace

extern "C" ZUL_API int ZUL_setBrightness(int value)
{
    return setByte("ZUL_setBrightness", kBrightness, value);
}

extern "C" ZUL_API int ZUL_setHue(int value)
{
    return setByte("ZUL_setHue", kHue, value);
}

extern "C" ZUL_API int ZUL_getBrightness(uint8_t *out)
{
    return getByte("ZUL_getBrightness", kBrightness, out);
}

extern "C" ZUL_API int ZUL_getHue(uint8_t *out)
{
    return getByte("ZUL_getHue", kHue, out);
}

extern "C" ZUL_API int ZUL_setContrast(int value)
{
    entering("ZUL_setContrast");
    if (!currentCard())
        return failed(ZUL_ERR_NOT_INITIALIZED);
    const int c = contrastGain(static_cast<std::int8_t>(value));
    std::uint8_t control = 0;
    if (readRegisters(kControl, &control, 1) != 1)
        return failed(ZUL_ERR_LOST_CONTACT);
    const std::uint8_t pair[2] = {withBit(control, kContrastHigh, c & 0x100), static_cast<std::uint8_t>(c)};
    if (writeRegisters(kControl, pair, 2) != 2)
        return failed(ZUL_ERR_LOST_CONTACT);
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_setSaturation(int value)
{
    entering("ZUL_setSaturation");
    if (!currentCard())
        return failed(ZUL_ERR_NOT_INITIALIZED);
    const int u = saturationGainU(static_cast<std::int8_t>(value));
    const int v = saturationGainV(static_cast<std::int8_t>(value));
    std::uint8_t control = 0;
    if (readRegisters(kControl, &control, 1) != 1)
        return failed(ZUL_ERR_LOST_CONTACT);
    control = withBit(withBit(control, kSaturationUHigh, u & 0x100), kSaturationVHigh, v & 0x100);
    if (!writeRegister(kControl, control))
        return failed(ZUL_ERR_LOST_CONTACT);
    const std::uint8_t pair[2] = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(v)};
    if (writeRegisters(kSaturationU, pair, 2) != 2)
        return failed(ZUL_ERR_LOST_CONTACT);
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_getContrast(int8_t *out)
{
    entering("ZUL_getContrast");
    if (!currentCard())
        return failed(ZUL_ERR_NOT_INITIALIZED);
    if (!out)
        return failed(ZUL_ERR_BAD_POINTER);
    std::uint8_t pair[2] = {};
    if (readRegisters(kControl, pair, 2) != 2)
        return failed(ZUL_ERR_LOST_CONTACT);
    *out = contrastFromGain(((pair[0] & kContrastHigh) ? 0x100 : 0) | pair[1]);
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_getSaturation(int8_t *out)
{
    entering("ZUL_getSaturation");
    if (!currentCard())
        return failed(ZUL_ERR_NOT_INITIALIZED);
    if (!out)
        return failed(ZUL_ERR_BAD_POINTER);
    std::uint8_t control = 0;
    std::uint8_t low = 0;
    if (readRegisters(kControl, &control, 1) != 1 || readRegisters(kSaturationU, &low, 1) != 1)
        return failed(ZUL_ERR_LOST_CONTACT);
    *out = saturationFromGain(((control & kSaturationUHigh) ? 0x100 : 0) | low);
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_setGamma(float gamma)
{
    entering("ZUL_setGamma");
    if (!currentCard())
        return failed(ZUL_ERR_NOT_INITIALIZED);
    // Zero and NaN give no exponent at all. A negative gamma is taken as it
    // comes: its entries above 255 keep their low byte, as callers of the
    // card have always seen.
    if (gamma == 0.0f || std::isnan(gamma))
        return failed(ZUL_ERR_RANGE);
    buildLookupTables(connection().tables, gamma);
    return ZUL_OK;
}
