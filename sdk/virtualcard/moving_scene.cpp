#include "moving_scene.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace zul::vcard {
namespace {

constexpr int kSteps = 1024; // phase steps of one fringe

// Luma of one fringe, from its dark middle through the bright one and back,
// a little overdriven so the extremes clip as a real overexposure would.
const std::array<std::uint8_t, kSteps> &fringeLuma()
{
    static const std::array<std::uint8_t, kSteps> luma = [] {
        std::array<std::uint8_t, kSteps> table{};
        for (int i = 0; i < kSteps; ++i) {
            const double level = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / kSteps);
            const auto grey = static_cast<std::uint8_t>(std::lround(std::clamp(-0.06 + 1.12 * level, 0.0, 1.0) * 255.0));
            table[static_cast<std::size_t>(i)] = studioRange(grey, grey, grey).y;
        }
        return table;
    }();
    return luma;
}

} // namespace

void drawFringeScene(VideoFrame &frame, int width, int height, int snap)
{
    const std::size_t pixels = static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0));
    frame.width = width;
    frame.height = height;
    frame.y.resize(pixels);
    frame.cb.assign(pixels, 128);
    frame.cr.assign(pixels, 128);
    if (pixels == 0)
        return;

    const auto &luma = fringeLuma();
    const std::uint8_t ground = studioRange(40, 40, 40).y;
    const double turn = 0.02 * snap;
    const double wander = 0.05 * snap;
    const double radius = 0.4 * std::min(width, height);
    const double cx = width / 2.0 + 12.0 * std::cos(wander);
    const double cy = height / 2.0 + 12.0 * std::sin(wander);
    const double c = std::cos(turn) / radius;
    const double s = std::sin(turn) / radius;
    for (int row = 0; row < height; ++row) {
        std::uint8_t *line = frame.y.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(width);
        const double dy = row - cy;
        for (int x = 0; x < width; ++x) {
            const double dx = x - cx;
            // In units of the radius, turned with the disc.
            const double u = dx * c + dy * s;
            const double v = dy * c - dx * s;
            if (u * u + v * v > 1.0) {
                line[x] = ground;
                continue;
            }
            const double order = 5.0 * (u * u + 0.4 * v * v) + 0.6 * u + 2.0;
            line[x] = luma[static_cast<std::size_t>(static_cast<int>(order * kSteps)) % kSteps];
        }
    }
}

} // namespace zul::vcard
