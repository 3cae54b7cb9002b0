#include "video_source.h"

#include <cmath>

namespace zul::vcard {

VideoFrame::Sample studioRange(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    const double y = 16.0 + (65.481 * r + 128.553 * g + 24.966 * b) / 255.0;
    const double cb = 128.0 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255.0;
    const double cr = 128.0 + (112.0 * r - 93.786 * g - 18.214 * b) / 255.0;
    return {static_cast<std::uint8_t>(std::lround(y)), static_cast<std::uint8_t>(std::lround(cb)),
            static_cast<std::uint8_t>(std::lround(cr))};
}

VideoFrame frameFromRgb(int width, int height, const std::vector<std::uint8_t> &rgb)
{
    VideoFrame frame;
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (width <= 0 || height <= 0 || rgb.size() < pixels * 3)
        return frame;
    frame.width = width;
    frame.height = height;
    frame.y.resize(pixels);
    frame.cb.resize(pixels);
    frame.cr.resize(pixels);
    for (std::size_t i = 0; i < pixels; ++i) {
        const auto s = studioRange(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
        frame.y[i] = s.y;
        frame.cb[i] = s.cb;
        frame.cr[i] = s.cr;
    }
    return frame;
}

VideoFrame testChart(int width, int height)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3, 0);
    static constexpr std::uint8_t kBars[8][3] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                                                 {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};
    const int left = 64;
    const int right = width - 64;
    const int top = 48;
    const int bottom = height - 48;
    const int quarter = (bottom - top) / 4;
    for (int row = top; row < bottom; ++row)
        for (int x = left; x < right; ++x) {
            std::uint8_t *p = &rgb[(static_cast<std::size_t>(row) * width + x) * 3];
            const int band = (row - top) / quarter;
            if (band == 1) {
                const auto v = static_cast<std::uint8_t>(255 * (x - left) / (right - left - 1));
                p[0] = p[1] = p[2] = v;
            } else if (band == 2) {
                const auto *bar = kBars[8 * (x - left) / (right - left)];
                p[0] = bar[0];
                p[1] = bar[1];
                p[2] = bar[2];
            } else {
                p[0] = p[1] = p[2] = 255;
            }
        }
    return frameFromRgb(width, height, rgb);
}

} // namespace zul::vcard
