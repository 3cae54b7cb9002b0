#pragma once

#include <array>
#include <cstdint>

namespace zul {

// Every per-pixel step of a readout is a look-up in one of these, so they
// are rebuilt whole on each gamma change and never computed per pixel.
struct LookupTables {
    // Colour indices run 280 below and 280 above the 0..255 range, so a sum
    // of terms can be clamped by the look-up itself.
    static constexpr int kClampMargin = 280;
    static constexpr int kClampSize = 816;

    float gamma = 1.0f;
    std::array<std::uint8_t, 256> GT{};
    std::array<std::uint8_t, kClampSize> CG{};
    std::array<std::int32_t, 256> TY{};
    std::array<std::int32_t, 256> TRv{};
    std::array<std::int32_t, 256> TGv{};
    std::array<std::int32_t, 256> TBu{};
    std::array<std::int32_t, 256> TGu{};
    std::array<std::uint16_t, kClampSize> R555{}, G555{}, B555{};
    std::array<std::uint16_t, kClampSize> R565{}, G565{}, B565{};
    std::array<std::uint8_t, kClampSize> R332{}, G332{}, B332{};
    std::array<std::uint8_t, 256> G8{};
    // B, G, R conversion may take the vector path: it gives these tables'
    // values exactly.
    bool vectorBgr = false;
};

void buildLookupTables(LookupTables &tables, float gamma);

} // namespace zul
