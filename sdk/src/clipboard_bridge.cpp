#include "clipboard_bridge.h"
#include "global_blocks.h"
#include "library_palette.h"
#include "packed_bitmap.h"
#include "qt_part.h"

#include <cstring>
#include <vector>

namespace zul {

// The clipboard belongs to the window system, which only the library's Qt
// part knows; without that part there is no clipboard to open.
bool putDibOnClipboard(const void *packedDib, std::size_t bytes)
{
    const QtPartCalls *part = qtPart();
    if (!part)
        return false;
    if (!libraryPalette().present)
        return part->putDibOnClipboard(packedDib, bytes, nullptr);

    // A library palette means a 256-colour display: the clipboard's image
    // shows the picture as drawing shows it there, while the bitmap's own
    // bytes go along unchanged.
    OwnedBlock copy(bytes);
    LockedBlock copied(copy.get());
    if (!copied)
        return false;
    std::memcpy(copied.bytes(), packedDib, bytes);
    const auto bitmap = readPackedBitmap(copied.bytes(), bytes);
    copied.unlock();
    if (!bitmap || bitmap->width <= 0 || bitmap->height <= 0)
        return false;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(bitmap->width) * static_cast<std::size_t>(bitmap->height));
    std::vector<std::uint32_t> palette(256);
    ZulSurface display{pixels.data(), bitmap->width, bitmap->height, bitmap->width, 8, palette.data()};
    if (ZULX_drawDIB(&display, copy.get(), 0, 0, 0, 0) != ZUL_OK)
        return false;
    const IndexedPicture shown{pixels.data(), bitmap->width, bitmap->height, palette.data()};
    return part->putDibOnClipboard(packedDib, bytes, &shown);
}

} // namespace zul
