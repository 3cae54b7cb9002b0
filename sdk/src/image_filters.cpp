#include "filter_kernels.h"
#include "global_blocks.h"
#include "packed_bitmap.h"

#include <array>

using namespace zul;

namespace {

constexpr std::int8_t kBox[] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
constexpr std::int8_t kWeighted[] = {1, 1, 1, 1, 8, 1, 1, 1, 1};
constexpr std::int8_t kSharpen[] = {0, -1, 0, -1, 10, -1, 0, -1, 0};
constexpr std::int8_t kSharpenMore[] = {1, -4, 1, -4, 16, -4, 1, -4, 1};
constexpr std::int8_t kVertical[] = {1, 2, 1};
constexpr std::int8_t kLines[] = {1, -4, 1, -2, 8, -2, -6, 24, -6, -2, 8, -2, 1, -4, 1};
constexpr std::int8_t kEdgeAcross[] = {-1, 0, 1, -2, 0, 2, -1, 0, 1};
constexpr std::int8_t kEdgeDown[] = {-1, -2, -1, 0, 0, 0, 1, 2, 1};

constexpr ZulFilter kBuiltIn[] = {
    {3, 3, 9, 0, kBox},        {3, 3, 16, 0, kWeighted},  {3, 3, 6, 0, kSharpen},    {3, 3, 4, 0, kSharpenMore},
    {1, 3, 4, 0, kVertical},   {3, 5, 16, 0, kLines},     {3, 3, 1, 1, kEdgeAcross}, {3, 3, 1, 1, kEdgeDown},
};

} // namespace

extern "C" ZUL_API int ZULX_filterDIB(ZulHandle bitmap, const ZulFilter *filter)
{
    if (!bitmap || !filter)
        return ZUL_ERR_BAD_POINTER;
    if (filter->kernelWidth == 0 || filter->kernelHeight == 0 || filter->divisor == 0)
        return ZUL_ERR_RANGE;
    if (!filter->coefficients)
        return ZUL_ERR_BAD_POINTER;
    LockedBlock block(bitmap);
    if (!block)
        return ZUL_ERR_NO_MEMORY;
    const auto b = readPackedBitmap(block.bytes(), block.size());
    if (!b || b->width < filter->kernelWidth || b->height < filter->kernelHeight ||
        (b->bits != 8 && b->bits != 24 && b->bits != 32))
        return ZUL_ERR_RANGE;

    const int width = b->width - filter->kernelWidth + 1;
    const int height = b->height - filter->kernelHeight + 1;
    const std::size_t stride = (static_cast<std::size_t>(width) * static_cast<std::size_t>(b->bits) + 31) / 32 * 4;
    const int step = b->bits / 8;
    const FilterRule rule{filter->kernelWidth, filter->kernelHeight, filter->coefficients, filter->divisor,
                          filter->absolute != 0, step};
    const RowFilter filterRow(rule);
    // In place: output row k lies at or before input row k, and the rows
    // below it are consumed already.
    std::uint8_t *pixels = block.bytes() + b->pixelOffset;
    std::array<const std::uint8_t *, 255> rows{};
    const auto bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(step);
    for (int k = 0; k < height; ++k) {
        for (int m = 0; m < filter->kernelHeight; ++m)
            rows[static_cast<std::size_t>(m)] = b->row(k + m);
        filterRow.run(rows.data(), bytes, pixels + static_cast<std::size_t>(k) * stride);
    }
    put32(block.bytes() + 4, static_cast<std::uint32_t>(width));
    put32(block.bytes() + 8, static_cast<std::uint32_t>(height));
    put32(block.bytes() + 20, static_cast<std::uint32_t>(stride * static_cast<std::size_t>(height)));
    block.unlock();
    // Shrinking cannot lose what the header describes; should the block
    // refuse to shrink it only stays longer than needed.
    ZUL_globalReAlloc(bitmap, b->pixelOffset + stride * static_cast<std::size_t>(height));
    return ZUL_OK;
}

extern "C" ZUL_API const ZulFilter *ZULX_getFilter(int number)
{
    return number >= 1 && number <= 8 ? &kBuiltIn[number - 1] : nullptr;
}

extern "C" ZUL_API int ZULX_filterDIBPredef(ZulHandle bitmap, int number)
{
    const ZulFilter *filter = ZULX_getFilter(static_cast<std::uint16_t>(number));
    if (!filter)
        return ZUL_ERR_RANGE;
    return ZULX_filterDIB(bitmap, filter);
}
