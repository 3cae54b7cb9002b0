// The picture file in front of the virtual card (option source=). Only the
// decoders the card needs are compiled in, and a file is checked against
// its own header before one of them runs: a decoder handed a short file
// fills the frame from memory it never wrote, and a few header bytes can
// ask for gigabytes.
#include "video_source.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#endif
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_ONLY_BMP
#define STBI_ONLY_PNG
#define STBI_ONLY_PNM
#define STBI_MAX_DIMENSIONS 8192
#include <stb/stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace zul::vcard {

namespace {

// The largest frame, the 625-line standard's; nothing beyond it is ever shown.
constexpr int frameWidth = 950;
constexpr int frameHeight = 610;
// 8192 x 8192 pixels of 32 bits and a header, at most.
constexpr std::uintmax_t largestFile = std::uintmax_t(8192) * 8192 * 4 + 4096;

class Bytes {
public:
    Bytes(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}
    std::size_t size() const { return size_; }
    bool has(std::size_t at, std::size_t count) const { return at <= size_ && count <= size_ - at; }
    std::uint32_t u16(std::size_t at) const { return std::uint32_t(data_[at] | data_[at + 1] << 8); }
    std::uint32_t u32(std::size_t at) const { return u16(at) | u16(at + 2) << 16; }
    std::uint32_t be32(std::size_t at) const
    {
        return std::uint32_t(data_[at]) << 24 | std::uint32_t(data_[at + 1]) << 16 | std::uint32_t(data_[at + 2]) << 8
               | data_[at + 3];
    }
    std::uint8_t operator[](std::size_t at) const { return data_[at]; }
    bool holds(std::size_t at, const char *text, std::size_t length) const
    {
        return has(at, length) && std::memcmp(data_ + at, text, length) == 0;
    }

private:
    const std::uint8_t *data_;
    std::size_t size_;
};

// Uncompressed rows from the pixel offset on, as stb_image reads them
// (it refuses the compressed kinds itself).
bool bmpComplete(const Bytes &file)
{
    if (!file.has(0, 18))
        return false;
    const std::uint32_t header = file.u32(14);
    const bool core = header == 12;
    if (!file.has(14, header) || (!core && header < 40))
        return false;
    const std::int64_t width = core ? std::int64_t(file.u16(18)) : std::int64_t(std::int32_t(file.u32(18)));
    const std::int64_t height = core ? std::int64_t(file.u16(20)) : std::int64_t(std::int32_t(file.u32(22)));
    const std::int64_t bits = core ? file.u16(24) : file.u16(28);
    const std::size_t offset = file.u32(10);
    if (width <= 0 || height == 0 || width > 8192 || height > 8192 || height < -8192 || offset > file.size())
        return false;
    const std::int64_t stride = (width * bits + 31) / 32 * 4;
    return std::uint64_t(stride * (height < 0 ? -height : height)) <= file.size() - offset;
}

// Every chunk inside the file, up to and with IEND.
bool pngComplete(const Bytes &file)
{
    std::size_t at = 8;
    while (file.has(at, 12)) {
        const std::size_t length = file.be32(at);
        if (!file.has(at + 12, length))
            return false;
        if (file.holds(at + 4, "IEND", 4))
            return true;
        at += 12 + length;
    }
    return false;
}

// Binary netpbm of 8-bit samples: three numbers among white space and
// comments, one character, then every sample.
bool pnmComplete(const Bytes &file)
{
    std::size_t at = 2;
    std::uint64_t numbers[3] = {};
    for (std::uint64_t &number : numbers) {
        for (;;) {
            if (at >= file.size())
                return false;
            if (file[at] == '#') {
                while (at < file.size() && file[at] != '\n' && file[at] != '\r')
                    ++at;
            } else if (std::strchr(" \t\n\v\f\r", file[at]) && file[at] != 0) {
                ++at;
            } else {
                break;
            }
        }
        // The decoder's own number reading overflows on long runs of digits.
        int digits = 0;
        for (; at < file.size() && file[at] >= '0' && file[at] <= '9'; ++at, ++digits)
            number = number * 10 + std::uint64_t(file[at] - '0');
        if (digits == 0 || digits > 5)
            return false;
    }
    // 16-bit samples meet a fault of the decoder when it converts them;
    // the card's pictures have 8 bits.
    if (numbers[2] == 0 || numbers[2] > 255)
        return false;
    ++at; // the single white space before the samples
    const std::uint64_t channels = file[1] == '6' ? 3 : 1;
    const std::uint64_t samples = numbers[0] * numbers[1] * channels;
    return at <= file.size() && samples <= file.size() - at;
}

bool complete(const Bytes &file)
{
    if (file.holds(0, "BM", 2))
        return bmpComplete(file);
    if (file.holds(0, "\x89PNG\r\n\x1a\n", 8))
        return pngComplete(file);
    if (file.holds(0, "P5", 2) || file.holds(0, "P6", 2))
        return pnmComplete(file);
    return false;
}

} // namespace

VideoFrame decodePicture(const std::uint8_t *bytes, std::size_t size)
{
    const Bytes file(bytes, size);
    if (size > largestFile || size > std::size_t(INT32_MAX) || !complete(file))
        return {};
    int width = 0;
    int height = 0;
    int channels = 0;
    const int length = static_cast<int>(size);
    if (!stbi_info_from_memory(bytes, length, &width, &height, &channels) || width <= 0 || height <= 0
        || width > 8192 || height > 8192)
        return {};
    stbi_uc *pixels = stbi_load_from_memory(bytes, length, &width, &height, &channels, 3);
    if (!pixels)
        return {};
    const int keptWidth = std::min(width, frameWidth);
    const int keptHeight = std::min(height, frameHeight);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(keptWidth) * static_cast<std::size_t>(keptHeight) * 3);
    for (int row = 0; row < keptHeight; ++row)
        std::memcpy(&rgb[static_cast<std::size_t>(row) * static_cast<std::size_t>(keptWidth) * 3],
                    pixels + static_cast<std::size_t>(row) * static_cast<std::size_t>(width) * 3,
                    static_cast<std::size_t>(keptWidth) * 3);
    stbi_image_free(pixels);
    return frameFromRgb(keptWidth, keptHeight, rgb);
}

VideoFrame loadPicture(const std::string &path)
{
    std::error_code error;
    // A device or a huge file is never a picture for the card.
    if (!std::filesystem::is_regular_file(path, error) || std::filesystem::file_size(path, error) > largestFile || error)
        return {};
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return decodePicture(bytes.data(), bytes.size());
}

} // namespace zul::vcard
