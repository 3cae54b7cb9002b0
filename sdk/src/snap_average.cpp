#include "applied_config.h"
#include "connection.h"
#include "extended_snap.h"
#include "frame_sums.h"
#include "global_blocks.h"
#include "messages.h"
#include "packed_bitmap.h"
#include "raw_pairs.h"

#include <cstring>

using namespace zul;

// Sums the raw bytes of every snap, the card's Cb-Y-Cr-Y words for colour,
// and converts once at the end: averaging colours already converted would
// round each snap's colour on its own.
extern "C" ZUL_API int ZULX_snapAverageDIB(ZulConfig *config, ZulHandle *out, int frames, int divisor)
{
    if (!config || !out)
        return ZUL_ERR_BAD_POINTER;
    *out = nullptr;
    const int format = config->OutputFormat;
    if (format != 1 && format != 7)
        return ZUL_ERR_RANGE;
    const unsigned snaps = static_cast<unsigned>(frames) & 255u;
    const unsigned by = static_cast<unsigned>(divisor) & 255u;
    if (by == 0)
        return ZUL_ERR_RANGE;
    ZulVideoWindow &window = windowOf(*config);
    const int width = window.xPixels;
    const int height = window.yPixels;
    const BitmapLayout layout = *bitmapLayout(format, width, height);
    // The window is checked before any memory is sized by it.
    if (const int r = ZUL_prepareSnap(&window))
        return r;
    // Colour sums run over whole pairs, from the one that holds the first
    // pixel (it may start one pixel before the window) to the one that
    // holds the last, so each pixel converts with its own pair's chroma.
    const RawSpan span = rawSpan(*currentCard(), 0, width);
    const std::size_t rawBytes =
        format == 1 ? static_cast<std::size_t>((width + 1) / 2) * 2 : static_cast<std::size_t>(span.words) * 2;
    const std::size_t sumRowBytes = 2 * rawBytes; // one 16-bit sum per raw byte

    OwnedBlock work(2 * sumRowBytes);
    LockedBlock line(work.get());
    if (!line)
        return reportError(kCantAllocate, ZUL_ERR_NO_MEMORY);
    OwnedBlock bitmap(layout.headerBytes() + sumRowBytes * static_cast<std::size_t>(height));
    LockedBlock image(bitmap.get());
    if (!image)
        return reportError(kCantLock, ZUL_ERR_NO_MEMORY);
    writeBitmapHeader(layout, HeaderFor::Memory, image.bytes());
    std::uint8_t *pixels = image.bytes() + layout.headerBytes();
    auto *sums = reinterpret_cast<std::uint16_t *>(pixels);

    for (unsigned snap = 0; snap < snaps; ++snap) {
        if (const int r = acquire(*config))
            return r;
        if (const int r = ZUL_startReadout(format == 1 ? 1 : 10, nullptr))
            return r;
        for (int row = 0; row < height; ++row) {
            if (const int r = format == 1 ? ZUL_readLine(line.bytes(), 0, width)
                                          : readLineWholePairs(line.bytes(), 0, width))
                return r;
            addToSums(sums + static_cast<std::size_t>(height - 1 - row) * rawBytes, line.bytes(), rawBytes);
        }
    }

    // Rows go out from the first in memory, each packed at the stride over
    // sums already averaged: row r never reaches the sums of row r + 1.
    std::uint8_t *averaged = line.bytes();
    std::uint8_t *converted = line.bytes() + sumRowBytes;
    std::memset(line.bytes(), 0, 2 * sumRowBytes);
    for (int row = 0; row < height; ++row) {
        averageOfSums(sums + static_cast<std::size_t>(row) * rawBytes, rawBytes, by, averaged);
        std::uint8_t *to = pixels + static_cast<std::size_t>(row) * layout.stride;
        if (format == 1) {
            std::memcpy(to, averaged, layout.stride);
            continue;
        }
        // Without a snap there is no picture: black, not the colour of
        // all-zero Cb-Y-Cr-Y words. The pixels converted in front of the
        // window and after it are left out.
        if (snaps > 0)
            ZUL_convertCbYCrYToBGR24(converted, averaged, span.pixels);
        const std::size_t bytes = 3 * static_cast<std::size_t>(width);
        std::memcpy(to, converted + 3 * span.lead, bytes);
        std::memset(to + bytes, 0, layout.stride - bytes);
    }
    image.unlock();
    line.unlock();
    // The block held a sum per raw byte; the picture needs only its rows.
    ZUL_globalReAlloc(bitmap.get(), layout.headerBytes() + layout.imageBytes());
    *out = bitmap.release();
    return ZUL_OK;
}
