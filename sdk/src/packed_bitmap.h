#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace zul {

// The packed device-independent bitmap every ZULX_ image is: a 40-byte
// header, the colour table or the three masks, then the rows bottom-up,
// each padded to whole 32-bit words. All fields little-endian.
constexpr std::size_t kInfoHeaderBytes = 40;
constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kMaskBytes = 12;
constexpr std::uint32_t kBitfields = 3;

inline void put16(std::uint8_t *at, std::uint32_t v)
{
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void put32(std::uint8_t *at, std::uint32_t v)
{
    put16(at, v);
    put16(at + 2, v >> 16);
}

inline std::uint32_t get16(const std::uint8_t *at)
{
    return static_cast<std::uint32_t>(at[0] | at[1] << 8);
}

inline std::uint32_t get32(const std::uint8_t *at)
{
    return get16(at) | get16(at + 2) << 16;
}

// Bytes per row: whole 32-bit words, kept to 16 bits as the card's
// clients have always computed it.
std::uint16_t bitmapStride(int bits, int width);

// The bitmap a readout format is delivered as.
struct BitmapLayout {
    int format = 0;
    int bits = 0;
    int tableEntries = 0; // 256, 16 or 0
    bool masks = false;   // the three 5-6-5 masks instead of a table
    int width = 0;
    int height = 0;
    std::uint16_t stride = 0;

    std::size_t tableBytes() const { return masks ? kMaskBytes : static_cast<std::size_t>(tableEntries) * 4; }
    std::size_t headerBytes() const { return kInfoHeaderBytes + tableBytes(); }
    std::size_t imageBytes() const { return static_cast<std::size_t>(height) * stride; }
};

// Nothing for formats that make no bitmap (6, 9, 10, 11 and any other).
std::optional<BitmapLayout> bitmapLayout(int format, int width, int height);

// Bitmaps in memory and BMP files differ in their resolution and in
// whether format 5 counts its masks as important colours.
enum class HeaderFor { Memory, File };

// The 40-byte header and the table or masks: layout.headerBytes() bytes.
void writeBitmapHeader(const BitmapLayout &layout, HeaderFor use, std::uint8_t *out);

void writeFileHeader(std::uint32_t fileSize, std::uint32_t pixelOffset, std::uint8_t *out);

// A packed bitmap found in a caller's block, checked so that every row it
// claims lies inside the block.
struct PackedBitmap {
    std::uint8_t *base = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    int bits = 0;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t imageSize = 0;
    std::size_t pixelOffset = 0; // from base
    std::size_t stride = 0;

    std::uint8_t *row(std::int32_t fromBottom) const
    {
        return base + pixelOffset + static_cast<std::size_t>(fromBottom) * stride;
    }
    const std::uint8_t *table() const { return base + kInfoHeaderBytes; }
};

std::optional<PackedBitmap> readPackedBitmap(std::uint8_t *base, std::size_t blockBytes);

} // namespace zul
