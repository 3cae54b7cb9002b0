#include "bmp_layout.h"

#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::int64_t fileHeaderSize = 14;
constexpr std::uint32_t coreHeaderSize = 12; // OS/2 1.x: 16-bit sizes, 3-byte colours

enum Compression : std::uint32_t { rgb = 0, rle8 = 1, rle4 = 2, bitFields = 3, alphaBitFields = 6 };

class Bytes {
public:
    explicit Bytes(const QByteArray &bytes)
        : data_(reinterpret_cast<const unsigned char *>(bytes.constData())), size_(bytes.size())
    {
    }
    std::int64_t size() const { return size_; }
    unsigned byte(std::int64_t at) const { return data_[at]; }
    std::uint32_t u16(std::int64_t at) const { return std::uint32_t(data_[at] | data_[at + 1] << 8); }
    std::uint32_t u32(std::int64_t at) const { return u16(at) | u16(at + 2) << 16; }

private:
    const unsigned char *data_;
    std::int64_t size_;
};

QString endsEarly()
{
    return QStringLiteral("The file ends before the last of its pixels");
}

QString outside()
{
    return QStringLiteral("Its compressed pixels run outside the picture");
}

// Walks an RLE4 or RLE8 stream without decoding it: every run must stay in
// the picture and every byte it needs must be in the file.
QString walkRunLength(const Bytes &file, std::int64_t at, std::int64_t width, std::int64_t height, bool fourBit)
{
    std::int64_t x = 0;
    std::int64_t y = 0;
    while (y < height) {
        if (at + 2 > file.size())
            return endsEarly();
        const unsigned count = file.byte(at);
        const unsigned code = file.byte(at + 1);
        at += 2;
        if (count > 0) {
            if (x + count > width)
                return outside();
            x += count;
            continue;
        }
        if (code == 0) { // end of line
            x = 0;
            ++y;
        } else if (code == 1) { // end of bitmap
            return {};
        } else if (code == 2) { // move right and up
            if (at + 2 > file.size())
                return endsEarly();
            x += file.byte(at);
            y += file.byte(at + 1);
            at += 2;
            if (x > width || y > height || (y == height && x > 0))
                return outside();
        } else { // `code` pixels given one by one, padded to a 16-bit word
            if (x + code > width)
                return outside();
            const std::int64_t bytes = fourBit ? (code + 1) / 2 : code;
            at += bytes + (bytes & 1);
            if (at > file.size())
                return endsEarly();
            x += code;
        }
    }
    return {};
}

} // namespace

BmpLayout checkBmpLayout(const QByteArray &bytes)
{
    BmpLayout layout;
    const Bytes file(bytes);
    if (file.size() < fileHeaderSize + 4 || file.byte(0) != 'B' || file.byte(1) != 'M') {
        layout.problem = QStringLiteral("It is too short for a bitmap file");
        return layout;
    }
    const std::int64_t pixelOffset = file.u32(10);
    const std::uint32_t headerSize = file.u32(fileHeaderSize);
    const bool core = headerSize == coreHeaderSize;
    if (!core && headerSize < 40) {
        layout.problem = QStringLiteral("Its header is of an unknown kind");
        return layout;
    }
    if (fileHeaderSize + headerSize > file.size()) {
        layout.problem = QStringLiteral("The file ends inside its header");
        return layout;
    }
    const std::int64_t info = fileHeaderSize;
    // The common type of a ternary would lose the sign of a top-down height.
    const std::int64_t width = core ? std::int64_t(file.u16(info + 4)) : std::int64_t(std::int32_t(file.u32(info + 4)));
    const std::int64_t signedHeight =
        core ? std::int64_t(file.u16(info + 6)) : std::int64_t(std::int32_t(file.u32(info + 8)));
    const std::uint32_t bits = core ? file.u16(info + 10) : file.u16(info + 14);
    const std::uint32_t compression = core ? rgb : file.u32(info + 16);
    const std::uint32_t coloursUsed = core ? 0 : file.u32(info + 32);
    const std::int64_t height = std::llabs(signedHeight);
    if (width <= 0 || height <= 0) {
        layout.problem = QStringLiteral("It declares a picture of %1 x %2 pixels").arg(width).arg(signedHeight);
        return layout;
    }
    const bool indexed = bits == 1 || bits == 4 || bits == 8;
    const bool direct = bits == 16 || bits == 24 || bits == 32;
    const bool codingFits = (compression == rgb && (indexed || direct)) || (compression == rle8 && bits == 8)
                            || (compression == rle4 && bits == 4)
                            || ((compression == bitFields || compression == alphaBitFields) && (bits == 16 || bits == 32));
    if (!codingFits) {
        layout.problem = QStringLiteral("Its pixels are stored in a way this program does not read "
                                        "(%1 bits a pixel, compression %2)")
                             .arg(bits)
                             .arg(compression);
        return layout;
    }
    layout.runLength = compression == rle8 || compression == rle4;
    if (layout.runLength && signedHeight < 0) {
        layout.problem = QStringLiteral("It is compressed but stored top row first");
        return layout;
    }

    // Masks follow a plain 40-byte header; later headers hold them inside.
    std::int64_t tableStart = fileHeaderSize + headerSize;
    if (headerSize == 40 && compression == bitFields)
        tableStart += 12;
    if (headerSize == 40 && compression == alphaBitFields)
        tableStart += 16;
    std::int64_t colours = 0;
    if (indexed) {
        colours = coloursUsed ? coloursUsed : std::int64_t(1) << bits;
        if (colours > 256) {
            layout.problem = QStringLiteral("It declares %1 colours, more than a bitmap can have").arg(colours);
            return layout;
        }
    }
    const std::int64_t tableEnd = tableStart + colours * (core ? 3 : 4);
    if (tableEnd > file.size()) {
        layout.problem = QStringLiteral("The file ends inside its colour table");
        return layout;
    }
    if (pixelOffset < tableEnd) {
        layout.problem = QStringLiteral("Its pixels start at byte %1, inside its header or colour table").arg(pixelOffset);
        return layout;
    }
    if (pixelOffset > file.size()) {
        layout.problem = QStringLiteral("Its pixels start at byte %1, past the end of the file").arg(pixelOffset);
        return layout;
    }

    if (layout.runLength) {
        layout.problem = walkRunLength(file, pixelOffset, width, height, compression == rle4);
        return layout;
    }
    const std::int64_t stride = (width * bits + 31) / 32 * 4;
    if (stride > (file.size() - pixelOffset) / height)
        layout.problem = endsEarly();
    return layout;
}
