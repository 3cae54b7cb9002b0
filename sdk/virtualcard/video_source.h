#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zul::vcard {

// The picture in front of the virtual card's input, already in the
// digitizer's terms: BT.601 studio-range Y, Cb and Cr per pixel. Pixels
// outside it are black.
struct VideoFrame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> y, cb, cr;

    struct Sample {
        std::uint8_t y, cb, cr;
    };
    Sample at(int x, int row) const
    {
        if (x < 0 || row < 0 || x >= width || row >= height)
            return {16, 128, 128};
        const auto i = static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
        return {y[i], cb[i], cr[i]};
    }
};

// BT.601 studio range, rounded to the nearest code.
VideoFrame::Sample studioRange(std::uint8_t r, std::uint8_t g, std::uint8_t b);

// From 8-bit R, G, B triplets, row after row.
VideoFrame frameFromRgb(int width, int height, const std::vector<std::uint8_t> &rgb);

// A picture file as the video source: a BMP, PNG or 8-bit binary netpbm file of
// at most 8192 x 8192 pixels, of which the part the largest frame shows is
// kept. An empty frame when the file cannot be read, is of another kind, is
// larger, or ends before its last pixel.
VideoFrame loadPicture(const std::string &path);
// The same for a file's bytes.
VideoFrame decodePicture(const std::uint8_t *bytes, std::size_t size);

// The built-in chart, one full frame of the standard (950 x 610 or 780 x 510
// frame pixels): black, with a white area inset 64 pixels at the sides and
// 48 lines at top and bottom, holding a grey ramp across its second quarter
// and eight colour bars across its third; its first and last quarters stay
// white so the area's edges are bright all round.
VideoFrame testChart(int width, int height);

} // namespace zul::vcard
