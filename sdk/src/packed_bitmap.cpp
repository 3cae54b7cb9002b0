#include "packed_bitmap.h"

#include "library_palette.h"

namespace zul {
namespace {

constexpr std::int32_t kMemoryPelsPerMetre = 5905;
constexpr std::int32_t kFilePelsPerMetre = 11810;
constexpr std::uint32_t kRedMask565 = 0xF800;
constexpr std::uint32_t kGreenMask565 = 0x07E0;
constexpr std::uint32_t kBlueMask565 = 0x001F;

std::uint32_t tableEntry(int format, int i)
{
    switch (format) {
    case 1:
        return grey(i);
    case 2:
        return grey(17 * i);
    default:
        return colour332(i);
    }
}

} // namespace

std::uint16_t bitmapStride(int bits, int width)
{
    return static_cast<std::uint16_t>(((bits * width + 31) >> 5) << 2);
}

std::optional<BitmapLayout> bitmapLayout(int format, int width, int height)
{
    BitmapLayout layout;
    layout.format = format;
    switch (format) {
    case 1:
    case 3:
        layout.bits = 8;
        layout.tableEntries = 256;
        break;
    case 2:
        layout.bits = 4;
        layout.tableEntries = 16;
        break;
    case 4:
        layout.bits = 16;
        break;
    case 5:
        layout.bits = 16;
        layout.masks = true;
        break;
    case 7:
        layout.bits = 24;
        break;
    case 8:
        layout.bits = 32;
        break;
    default:
        return std::nullopt;
    }
    layout.width = width;
    layout.height = height;
    layout.stride = bitmapStride(layout.bits, width);
    return layout;
}

void writeBitmapHeader(const BitmapLayout &layout, HeaderFor use, std::uint8_t *out)
{
    const std::int32_t pels = use == HeaderFor::File ? kFilePelsPerMetre : kMemoryPelsPerMetre;
    const auto used = static_cast<std::uint32_t>(layout.masks ? 3 : layout.tableEntries);
    const std::uint32_t important = layout.masks && use == HeaderFor::File ? 0 : used;
    put32(out, static_cast<std::uint32_t>(kInfoHeaderBytes));
    put32(out + 4, static_cast<std::uint32_t>(layout.width));
    put32(out + 8, static_cast<std::uint32_t>(layout.height));
    put16(out + 12, 1);
    put16(out + 14, static_cast<std::uint32_t>(layout.bits));
    put32(out + 16, layout.masks ? kBitfields : 0);
    put32(out + 20, static_cast<std::uint32_t>(layout.imageBytes()));
    put32(out + 24, static_cast<std::uint32_t>(pels));
    put32(out + 28, static_cast<std::uint32_t>(pels));
    put32(out + 32, used);
    put32(out + 36, important);
    std::uint8_t *table = out + kInfoHeaderBytes;
    if (layout.masks) {
        put32(table, kRedMask565);
        put32(table + 4, kGreenMask565);
        put32(table + 8, kBlueMask565);
        return;
    }
    for (int i = 0; i < layout.tableEntries; ++i)
        put32(table + 4 * i, tableEntry(layout.format, i));
}

void writeFileHeader(std::uint32_t fileSize, std::uint32_t pixelOffset, std::uint8_t *out)
{
    out[0] = 'B';
    out[1] = 'M';
    put32(out + 2, fileSize);
    put32(out + 6, 0);
    put32(out + 10, pixelOffset);
}

std::optional<PackedBitmap> readPackedBitmap(std::uint8_t *base, std::size_t blockBytes)
{
    if (!base || blockBytes < kInfoHeaderBytes || get32(base) != kInfoHeaderBytes)
        return std::nullopt;
    PackedBitmap b;
    b.base = base;
    b.width = static_cast<std::int32_t>(get32(base + 4));
    b.height = static_cast<std::int32_t>(get32(base + 8));
    b.bits = static_cast<int>(get16(base + 14));
    b.compression = get32(base + 16);
    b.imageSize = get32(base + 20);
    b.coloursUsed = get32(base + 32);
    const bool indexed = b.bits <= 8;
    if (b.width <= 0 || b.height <= 0 || b.bits <= 0 || b.bits > 32 || (indexed && b.coloursUsed > 256u))
        return std::nullopt;
    b.pixelOffset = kInfoHeaderBytes + (b.compression == kBitfields ? kMaskBytes : 0) +
                    (indexed ? static_cast<std::size_t>(b.coloursUsed) * 4 : 0);
    b.stride = ((static_cast<std::size_t>(b.width) * static_cast<std::size_t>(b.bits) + 31) / 32) * 4;
    if (b.pixelOffset > blockBytes || (blockBytes - b.pixelOffset) / b.stride < static_cast<std::size_t>(b.height))
        return std::nullopt;
    return b;
}

} // namespace zul
