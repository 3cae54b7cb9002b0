#include "global_blocks.h"
#include "library_palette.h"
#include "packed_bitmap.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

using namespace zul;

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

struct Target {
    std::uint8_t *pixels;
    int width, height;
    std::size_t stride;
    std::uint32_t *palette; // only for an 8-bit surface
};

int checkSurface(const ZulSurface &dc, Target &t)
{
    if (!dc.pixels)
        return ZUL_ERR_BAD_POINTER;
    if ((dc.bitsPerPixel != 8 && dc.bitsPerPixel != 32) || dc.width < 0 || dc.height < 0 ||
        dc.stride < std::int64_t{dc.width} * (dc.bitsPerPixel / 8))
        return ZUL_ERR_RANGE;
    if (dc.bitsPerPixel == 8 && !dc.palette)
        return ZUL_ERR_BAD_POINTER;
    t = {static_cast<std::uint8_t *>(dc.pixels), dc.width, dc.height, static_cast<std::size_t>(dc.stride),
         dc.bitsPerPixel == 8 ? dc.palette : nullptr};
    return ZUL_OK;
}

// One channel of a bit-field pixel, widened to 8 bits by repeating its
// bits, so the field's full value is full intensity.
struct Field {
    std::uint32_t mask = 0;
    int shift = 0;
    int width = 0;

    explicit Field(std::uint32_t m) : mask(m), shift(m ? std::countr_zero(m) : 0), width(std::popcount(m)) {}

    std::uint32_t operator()(std::uint32_t pixel) const
    {
        const std::uint32_t v = (pixel & mask) >> shift;
        if (width >= 8)
            return v >> (width - 8);
        std::uint32_t wide = 0;
        int have = 0;
        for (; have < 8 && width > 0; have += width)
            wide = wide << width | v;
        return have > 8 ? wide >> (have - 8) : wide;
    }
};

// Turns bitmap rows into 0xFFRRGGBB colours.
class RowDecoder {
public:
    explicit RowDecoder(const PackedBitmap &b)
        : b_(b), red_(masks(0)), green_(masks(1)), blue_(masks(2))
    {
    }

    static bool supports(const PackedBitmap &b)
    {
        switch (b.bits) {
        case 1:
        case 4:
        case 8:
        case 24:
            return true;
        case 16:
        case 32:
            return b.compression == 0 || b.compression == kBitfields;
        default:
            return false;
        }
    }

    void decode(int fromBottom, std::uint32_t *out) const
    {
        const std::uint8_t *row = b_.row(fromBottom);
        for (int x = 0; x < b_.width; ++x)
            out[x] = kOpaque | pixel(row, x);
    }

private:
    std::uint32_t masks(int channel) const
    {
        if (b_.compression == kBitfields)
            return get32(b_.table() + 4 * channel);
        static constexpr std::uint32_t k555[3] = {0x7C00, 0x03E0, 0x001F};
        static constexpr std::uint32_t k888[3] = {0xFF0000, 0x00FF00, 0x0000FF};
        return b_.bits == 16 ? k555[channel] : k888[channel];
    }

    std::uint32_t entry(std::uint32_t index) const
    {
        return index < b_.coloursUsed ? get32(b_.table() + 4 * index) & 0xFFFFFF : 0;
    }

    std::uint32_t fields(std::uint32_t p) const { return red_(p) << 16 | green_(p) << 8 | blue_(p); }

    std::uint32_t pixel(const std::uint8_t *row, int x) const
    {
        const auto at = static_cast<std::size_t>(x);
        switch (b_.bits) {
        case 1:
            return entry((row[at / 8] >> (7 - at % 8)) & 1u);
        case 4:
            return entry(at % 2 ? row[at / 2] & 15u : row[at / 2] >> 4u);
        case 8:
            return entry(row[at]);
        case 16:
            return fields(get16(row + 2 * at));
        case 24:
            return static_cast<std::uint32_t>(row[3 * at + 2] << 16 | row[3 * at + 1] << 8 | row[3 * at]);
        default:
            return fields(get32(row + 4 * at));
        }
    }

    const PackedBitmap &b_;
    Field red_, green_, blue_;
};

// The palette entry nearest each colour, as a 256-colour device shows it.
class NearestEntry {
public:
    explicit NearestEntry(const std::uint32_t *palette) : palette_(palette) {}

    std::uint8_t operator()(std::uint32_t colour)
    {
        colour &= 0xFFFFFF;
        const auto found = cache_.find(colour);
        if (found != cache_.end())
            return found->second;
        int best = 0;
        long bestDistance = -1;
        for (int i = 0; i < 256; ++i) {
            const long d = distance(colour, palette_[i]);
            if (bestDistance < 0 || d < bestDistance) {
                best = i;
                bestDistance = d;
            }
        }
        const auto index = static_cast<std::uint8_t>(best);
        cache_.emplace(colour, index);
        return index;
    }

private:
    static long distance(std::uint32_t a, std::uint32_t b)
    {
        long sum = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const long d = static_cast<long>((a >> shift) & 255) - static_cast<long>((b >> shift) & 255);
            sum += d * d;
        }
        return sum;
    }

    const std::uint32_t *palette_;
    std::unordered_map<std::uint32_t, std::uint8_t> cache_;
};

// Draws `b` into the target rectangle (x, y, w, h): target pixel (i, j)
// shows the source pixel nearest its centre, which for an unscaled
// rectangle is pixel (i, j) itself.
void place(const PackedBitmap &b, Target &t, int x, int y, int w, int h)
{
    const int left = std::max(x, 0), right = std::min(x + w, t.width);
    const int top = std::max(y, 0), bottom = std::min(y + h, t.height);
    if (left >= right || top >= bottom)
        return;
    // Kept between draws: a live view draws every frame, and then the
    // buffers are already as large as they need to be.
    thread_local std::vector<int> columns;
    thread_local std::vector<std::uint32_t> colours;
    columns.resize(static_cast<std::size_t>(right - left));
    colours.resize(static_cast<std::size_t>(b.width));
    for (int tx = left; tx < right; ++tx)
        columns[static_cast<std::size_t>(tx - left)] =
            static_cast<int>((2 * static_cast<std::int64_t>(tx - x) + 1) * b.width / (2 * static_cast<std::int64_t>(w)));
    const RowDecoder decoder(b);
    NearestEntry nearest(t.palette);
    int decoded = -1;
    for (int ty = top; ty < bottom; ++ty) {
        const auto sy =
            static_cast<int>((2 * static_cast<std::int64_t>(ty - y) + 1) * b.height / (2 * static_cast<std::int64_t>(h)));
        if (sy != decoded) {
            decoder.decode(b.height - 1 - sy, colours.data());
            decoded = sy;
        }
        std::uint8_t *row = t.pixels + static_cast<std::size_t>(ty) * t.stride;
        for (int tx = left; tx < right; ++tx) {
            const std::uint32_t c = colours[static_cast<std::size_t>(columns[static_cast<std::size_t>(tx - left)])];
            if (t.palette)
                row[tx] = nearest(c);
            else
                std::memcpy(row + 4 * static_cast<std::size_t>(tx), &c, 4);
        }
    }
}

} // namespace

extern "C" ZUL_API int ZULX_drawDIB(ZulSurface *dc, ZulHandle bitmap, int x, int y, int width, int height)
{
    if (!dc || !bitmap)
        return ZUL_ERR_BAD_POINTER;
    Target target{};
    if (const int r = checkSurface(*dc, target))
        return r;
    const LockedBlock bytes(bitmap);
    if (!bytes)
        return ZUL_ERR_NO_MEMORY;
    const auto b = readPackedBitmap(bytes.bytes(), bytes.size());
    if (!b || !RowDecoder::supports(*b))
        return ZUL_ERR_RANGE;
    const int w = static_cast<std::int16_t>(width);
    const int h = static_cast<std::int16_t>(height);
    if (w < 0 || h < 0)
        return ZUL_ERR_RANGE;
    const LibraryPalette &palette = libraryPalette();
    if (target.palette && palette.present)
        std::copy(palette.entries.begin(), palette.entries.end(), target.palette);
    place(*b, target, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), w ? w : b->width,
          h ? h : b->height);
    return ZUL_OK;
}

extern "C" ZUL_API int ZULX_draw(ZulSurface *dc, ZulConfig *config, int x, int y, int width, int height)
{
    if (!dc || !config)
        return ZUL_ERR_BAD_POINTER;
    const int asked = config->OutputFormat;
    int format = asked < 1 || asked > 8 || asked == 6 ? 7 : asked;
    // A device of 256 colours or fewer gets the dithered 3-3-2 picture
    // instead of true colour it would only map to its palette.
    if (dc->bitsPerPixel <= 8 && format == 7)
        format = 3;
    ZulHandle bitmap = nullptr;
    config->OutputFormat = format;
    const int read = ZULX_readoutDIB(config, &bitmap);
    config->OutputFormat = asked;
    if (read != ZUL_OK)
        return read;
    const int drawn = ZULX_drawDIB(dc, bitmap, x, y, width, height);
    ZUL_globalFree(bitmap);
    return drawn;
}
