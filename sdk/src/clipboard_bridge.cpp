#include "clipboard_bridge.h"
#include "global_blocks.h"
#include "library_palette.h"
#include "packed_bitmap.h"
#include "qt_part.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace zul {
namespace {

// The picture as drawing shows it on the 256-colour display the library
// palette was made for.
std::optional<std::vector<std::uint8_t>> drawnInLibraryPalette(const void *packedDib, std::size_t bytes,
                                                               const PackedBitmap &bitmap,
                                                               std::vector<std::uint32_t> &palette)
{
    OwnedBlock copy(bytes);
    {
        const LockedBlock copied(copy.get());
        if (!copied)
            return std::nullopt;
        std::memcpy(copied.bytes(), packedDib, bytes);
    }
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height));
    palette.assign(256, 0);
    ZulSurface display{pixels.data(), bitmap.width, bitmap.height, bitmap.width, 8, palette.data()};
    if (ZULX_drawDIB(&display, copy.get(), 0, 0, 0, 0) != ZUL_OK)
        return std::nullopt;
    return pixels;
}

} // namespace

// The clipboard belongs to the window system, which only the library's Qt
// part knows; without that part there is no clipboard to open.
bool putDibOnClipboard(const void *packedDib, std::size_t bytes)
{
    const QtPartCalls *part = qtPart();
    if (!part || bytes > UINT32_MAX - kFileHeaderBytes)
        return false;
    // Handed over as a BMP file, whose header the library writes by its own
    // reading of the bitmap.
    std::vector<std::uint8_t> file(kFileHeaderBytes + bytes);
    std::memcpy(file.data() + kFileHeaderBytes, packedDib, bytes);
    const auto bitmap = readPackedBitmap(file.data() + kFileHeaderBytes, bytes);
    if (!bitmap)
        return false;
    writeFileHeader(static_cast<std::uint32_t>(file.size()),
                    static_cast<std::uint32_t>(kFileHeaderBytes + bitmap->pixelOffset), file.data());
    if (!libraryPalette().present)
        return part->putBitmapFileOnClipboard(file.data(), file.size(), nullptr);

    // A library palette means a 256-colour display: the clipboard's image
    // is the picture as that display shows it; the file goes along as it is.
    std::vector<std::uint32_t> palette;
    const auto pixels = drawnInLibraryPalette(packedDib, bytes, *bitmap, palette);
    if (!pixels)
        return false;
    const IndexedPicture shown{pixels->data(), bitmap->width, bitmap->height, palette.data()};
    return part->putBitmapFileOnClipboard(file.data(), file.size(), &shown);
}

} // namespace zul
