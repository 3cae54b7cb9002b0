#include "connection.h"
#include "global_blocks.h"
#include "messages.h"
#include "packed_bitmap.h"

#include <cstring>

using namespace zul;

extern "C" ZUL_API int ZULX_readoutDIB(ZulConfig *config, ZulHandle *out)
{
    if (!config || !out)
        return ZUL_ERR_BAD_POINTER;
    *out = nullptr;
    const int format = config->OutputFormat;
    if (const int r = ZUL_startReadout(format, nullptr))
        return r;
    // The bitmap is as large as the snap the card holds, whatever the
    // record says now, so every row of it is read.
    const ZulCard *card = currentCard();
    const auto layout = bitmapLayout(format, card->outputWidth, card->outputLines);
    if (!layout)
        return ZUL_ERR_RANGE;
    OwnedBlock probe(layout->stride);
    if (!LockedBlock(probe.get()))
        return reportError(kCantAllocate, ZUL_ERR_NO_MEMORY);
    OwnedBlock bitmap(layout->headerBytes() + layout->imageBytes());
    LockedBlock bytes(bitmap.get());
    if (!bytes)
        return reportError(kCantLock, ZUL_ERR_NO_MEMORY);
    writeBitmapHeader(*layout, HeaderFor::Memory, bytes.bytes());
    std::uint8_t *rows = bytes.bytes() + layout->headerBytes();
    for (int line = 0; line < layout->height; ++line)
        ZUL_readLine(rows + static_cast<std::size_t>(layout->height - 1 - line) * layout->stride, 0, layout->width);
    bytes.unlock();
    *out = bitmap.release();
    return ZUL_OK;
}

extern "C" ZUL_API int ZULX_copyDIB(ZulHandle bitmap, ZulHandle *out)
{
    if (!bitmap || !out)
        return ZUL_ERR_BAD_POINTER;
    *out = nullptr;
    LockedBlock source(bitmap);
    if (!source)
        return ZUL_ERR_NO_MEMORY;
    OwnedBlock copy(source.size());
    LockedBlock target(copy.get());
    if (!target)
        return ZUL_ERR_NO_MEMORY;
    std::memcpy(target.bytes(), source.bytes(), source.size());
    target.unlock();
    *out = copy.release();
    return ZUL_OK;
}
