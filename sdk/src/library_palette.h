#pragma once

#include <array>
#include <cstdint>

namespace zul {

// The one palette the library keeps for 256-colour targets: made by
// ZULX_defaultPalette, forgotten by ZULX_releasePalette, realised into an
// 8-bit surface by every drawing and put beside a bitmap on the clipboard.
struct LibraryPalette {
    bool present = false;
    std::array<std::uint32_t, 256> entries{}; // 0x00RRGGBB
};

LibraryPalette &libraryPalette();

// Entry i of the 3-3-2 colour palette, the colours of the format 3 indices:
// red in bits 7-5, green in bits 4-2, blue in bits 1-0.
constexpr std::uint32_t colour332(int i)
{
    const auto red = static_cast<std::uint32_t>((((i >> 5) & 7) * 73) >> 1);
    const auto green = static_cast<std::uint32_t>((((i >> 2) & 7) * 73) >> 1);
    const auto blue = static_cast<std::uint32_t>((i & 3) * 85);
    return red << 16 | green << 8 | blue;
}

constexpr std::uint32_t grey(int i)
{
    const auto v = static_cast<std::uint32_t>(i & 255);
    return v << 16 | v << 8 | v;
}

} // namespace zul
