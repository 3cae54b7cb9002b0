#include "connection.h"
#include "global_blocks.h"
#include "messages.h"
#include "packed_bitmap.h"
#include "replacing_file.h"

#include <cstdint>

using namespace zul;

extern "C" ZUL_API int ZULX_readoutDIBToFile(ZulConfig *config, const char *fileName)
{
    if (!config || !fileName)
        return ZUL_ERR_BAD_POINTER;
    const int format = config->OutputFormat;
    if (!bitmapLayout(format, 0, 0))
        return ZUL_ERR_RANGE;
    // The file's header needs the size of the snap before the first row.
    if (const int r = ZUL_startReadout(format, nullptr))
        return r;
    const ZulCard *card = currentCard();
    const BitmapLayout layout = *bitmapLayout(format, card->outputWidth, card->outputLines);
    OwnedBlock line(layout.stride);
    LockedBlock row(line.get());
    if (!row)
        return reportError(kCantAllocate, ZUL_ERR_NO_MEMORY);

    ReplacingFile file(fileName);
    const auto pixelOffset = static_cast<std::uint32_t>(kFileHeaderBytes + layout.headerBytes());
    std::uint8_t headers[kFileHeaderBytes + kInfoHeaderBytes + 256 * 4];
    writeFileHeader(pixelOffset + static_cast<std::uint32_t>(layout.imageBytes()), pixelOffset, headers);
    writeBitmapHeader(layout, HeaderFor::File, headers + kFileHeaderBytes);
    bool written = file.write(headers, pixelOffset);
    // Bottom row first with one row of memory: each row is read by a
    // readout of its own that skips the rows above it.
    for (int j = 0; written && j < layout.height; ++j) {
        if (const int r = ZUL_startReadout(format, nullptr))
            return r;
        if (const int r = ZUL_skipLines(layout.height - j - 1))
            return r;
        if (const int r = ZUL_readLine(row.bytes(), 0, layout.width))
            return r;
        written = file.write(row.bytes(), layout.stride);
    }
    if (!written || !file.commit())
        return reportError(kCantWrite, ZUL_ERR_FILE);
    return ZUL_OK;
}

extern "C" ZUL_API int ZULX_saveDIBToFile(ZulHandle bitmap, const char *fileName)
{
    if (!bitmap || !fileName)
        return ZUL_ERR_BAD_POINTER;
    const LockedBlock block(bitmap);
    if (!block)
        return ZUL_ERR_NO_MEMORY;
    const std::uint8_t *dib = block.bytes();
    if (block.size() < kInfoHeaderBytes)
        return ZUL_ERR_RANGE;
    const std::uint32_t bits = get16(dib + 14);
    const std::uint32_t compression = get32(dib + 16);
    std::uint64_t imageBytes = get32(dib + 20);
    // A plain bitmap may leave its image size 0; its rows are still there.
    if (imageBytes == 0 && compression == 0) {
        const auto width = static_cast<std::int32_t>(get32(dib + 4));
        const auto height = static_cast<std::int32_t>(get32(dib + 8));
        imageBytes = (static_cast<std::uint64_t>(width > 0 ? width : 0) * bits + 31) / 32 * 4 *
                     static_cast<std::uint64_t>(height > 0 ? height : -static_cast<std::int64_t>(height));
    }
    const std::uint64_t pixelOffset = kFileHeaderBytes + kInfoHeaderBytes +
                                      (bits <= 8 ? std::uint64_t{get32(dib + 32)} * 4 : 0) +
                                      (compression == kBitfields ? kMaskBytes : 0);
    const std::uint64_t fileSize = pixelOffset + imageBytes;
    // What the header promises must be in the block: nothing past its end
    // is written out.
    if (fileSize - kFileHeaderBytes > block.size() || fileSize > UINT32_MAX)
        return ZUL_ERR_RANGE;
    std::uint8_t header[kFileHeaderBytes];
    writeFileHeader(static_cast<std::uint32_t>(fileSize), static_cast<std::uint32_t>(pixelOffset), header);
    ReplacingFile file(fileName);
    const bool written = file.write(header, sizeof header) && file.write(dib, fileSize - kFileHeaderBytes);
    return written && file.commit() ? ZUL_OK : ZUL_ERR_FILE;
}
