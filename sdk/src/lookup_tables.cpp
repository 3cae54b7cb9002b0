#include "lookup_tables.h"

#include "fast_convert.h"

#include <cmath>

namespace zul {
namespace {

// A value beyond the int range gives the processor's "integer indefinite"
// on conversion, whose low byte is 0; doing the same keeps odd gammas from
// being undefined behaviour without changing any table a sane gamma gives.
std::uint8_t lowByte(double value)
{
    if (!(value > -2147483649.0 && value < 2147483648.0))
        return 0;
    return static_cast<std::uint8_t>(static_cast<std::int32_t>(value));
}

} // namespace

void buildLookupTables(LookupTables &t, float gamma)
{
    t.gamma = gamma;
    const double exponent = 1.0 / static_cast<double>(gamma);
    for (int v = 0; v < 256; ++v) {
        if (gamma == 1.0f)
            t.GT[v] = static_cast<std::uint8_t>(v);
        else if (v == 0)
            t.GT[v] = 0;
        else
            t.GT[v] = lowByte(255.0 * std::pow(v / 255.0, exponent) + 0.5);
    }

    constexpr int margin = LookupTables::kClampMargin;
    for (int i = 0; i < LookupTables::kClampSize; ++i) {
        std::uint8_t value;
        if (i < margin)
            value = 0;
        else if (i < margin + 256)
            value = t.GT[i - margin];
        else
            value = 255;
        t.CG[i] = value;
        t.R555[i] = static_cast<std::uint16_t>((value >> 3) << 10);
        t.G555[i] = static_cast<std::uint16_t>((value >> 3) << 5);
        t.B555[i] = static_cast<std::uint16_t>(value >> 3);
        t.R565[i] = static_cast<std::uint16_t>((value >> 3) << 11);
        t.G565[i] = static_cast<std::uint16_t>((value >> 2) << 5);
        t.B565[i] = static_cast<std::uint16_t>(value >> 3);
        t.R332[i] = static_cast<std::uint8_t>((value >> 5) << 5);
        t.G332[i] = static_cast<std::uint8_t>((value >> 5) << 2);
        t.B332[i] = static_cast<std::uint8_t>(value >> 6);
    }

    for (int v = 0; v < 256; ++v) {
        // The luma constants are single precision, as the card's converter
        // has always used them.
        t.TY[v] = static_cast<std::int32_t>(1.164f * static_cast<float>(v) - 18.624f) + margin;
        t.TRv[v] = static_cast<std::int32_t>((v - 128) * 1.596);
        t.TGv[v] = static_cast<std::int32_t>((128 - v) * 0.813);
        t.TBu[v] = static_cast<std::int32_t>((v - 128) * 2.018);
        t.TGu[v] = static_cast<std::int32_t>((128 - v) * 0.391);
        if (v <= 15)
            t.G8[v] = 0;
        else if (v >= 240)
            t.G8[v] = 255;
        else
            t.G8[v] = t.GT[static_cast<int>((v - 16) * 1.1434977578475336 + 0.5)];
    }
    t.vectorBgr = vectorConversionMatches(t);
}

} // namespace zul
