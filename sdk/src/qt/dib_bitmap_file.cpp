#include "dib_bitmap_file.h"

#include <QtEndian>

#include <cstdint>
#include <cstring>

namespace {

constexpr uint32_t kFileHeader = 14;
constexpr uint32_t kInfoHeader = 40;
constexpr uint32_t kBitFields = 3;

uint32_t field32(const unsigned char *at)
{
    return qFromLittleEndian<uint32_t>(at);
}

uint16_t field16(const unsigned char *at)
{
    return qFromLittleEndian<uint16_t>(at);
}

} // namespace

QByteArray bitmapFileOf(const void *packedDib, size_t bytes)
{
    if (!packedDib || bytes < kInfoHeader || bytes > 0x7FFFFFFFu - kFileHeader)
        return {};
    const auto *dib = static_cast<const unsigned char *>(packedDib);
    const uint32_t headerSize = field32(dib);
    const uint16_t bits = field16(dib + 14);
    const uint32_t compression = field32(dib + 16);
    const uint32_t coloursUsed = field32(dib + 32);
    if (headerSize < kInfoHeader || headerSize > bytes)
        return {};
    // A zero count means a full table for the depth, as in any BMP file.
    uint64_t tableEntries = 0;
    if (bits <= 8)
        tableEntries = coloursUsed ? coloursUsed : uint64_t{1} << bits;
    if (tableEntries > 256)
        return {};
    const uint64_t masks = headerSize == kInfoHeader && compression == kBitFields ? 12 : 0;
    const uint64_t pixels = kFileHeader + headerSize + masks + 4 * tableEntries;
    if (pixels > kFileHeader + bytes)
        return {};

    QByteArray file(static_cast<qsizetype>(kFileHeader + bytes), '\0');
    auto *out = reinterpret_cast<unsigned char *>(file.data());
    qToLittleEndian<uint16_t>(0x4D42, out); // "BM"
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(file.size()), out + 2);
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(pixels), out + 10);
    std::memcpy(out + kFileHeader, dib, bytes);
    return file;
}
