#include "disc_model.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
}

DiscStress discStress(const DiscModel &m, double x, double y)
{
    const double r = m.radius;
    const double patch2 = m.contactPatch * m.contactPatch;
    const double r1sq = std::max(x * x + (r - y) * (r - y), patch2);
    const double r2sq = std::max(x * x + (r + y) * (r + y), patch2);
    const double r1q = r1sq * r1sq;
    const double r2q = r2sq * r2sq;
    const double k = 2.0 * m.load / (kPi * m.thickness);
    DiscStress s;
    s.sx = -k * ((r - y) * x * x / r1q + (r + y) * x * x / r2q - 1.0 / (2.0 * r));
    s.sy = -k * (std::pow(r - y, 3) / r1q + std::pow(r + y, 3) / r2q - 1.0 / (2.0 * r));
    s.txy = k * ((r - y) * (r - y) * x / r1q - (r + y) * (r + y) * x / r2q);
    return s;
}

DiscPhase discPhase(const DiscModel &m, double x, double y)
{
    DiscPhase p;
    if (x * x + y * y > m.radius * m.radius)
        return p;
    const DiscStress s = discStress(m, x, y);
    const double halfDiff = (s.sx - s.sy) / 2.0;
    // sigma1 - sigma2 from Mohr's circle.
    const double diff = 2.0 * std::sqrt(halfDiff * halfDiff + s.txy * s.txy);
    p.delta = 2.0 * kPi * std::min(diff * m.thickness / m.fringeValue, m.maxFringeOrder);
    p.theta = 0.5 * std::atan2(2.0 * s.txy, s.sx - s.sy);
    return p;
}

std::array<double, 6> sixStepIntensities(const DiscModel &m, const DiscPhase &p)
{
    const double half = m.amplitude / 2.0;
    const double sd = std::sin(p.delta);
    const double s2t = std::sin(2.0 * p.theta);
    const double c2t = std::cos(2.0 * p.theta);
    return {
        m.background + half * (1.0 - s2t * sd),
        m.background + half * (1.0 + c2t * sd),
        m.background + half * (1.0 + s2t * sd),
        m.background + half * (1.0 - std::cos(p.delta)),
        m.background + half * (1.0 - c2t * sd),
        m.background + half * (1.0 + std::cos(p.delta)),
    };
}

std::vector<std::uint8_t> renderSixStepImage(const DiscModel &m, int size, int image)
{
    std::vector<std::uint8_t> pixels;
    if (size <= 0 || image < 1 || image > 6)
        return pixels;
    pixels.resize(static_cast<std::size_t>(size) * size);
    const double centre = size / 2.0;
    for (int row = 0; row < size; ++row)
        for (int col = 0; col < size; ++col) {
            const double x = col + 0.5 - centre;
            const double y = centre - (row + 0.5);
            const double v = sixStepIntensities(m, discPhase(m, x, y))[image - 1];
            pixels[static_cast<std::size_t>(row) * size + col] =
                static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
        }
    return pixels;
}
