#pragma once

#include <array>
#include <cstdint>
#include <vector>

// A disc loaded in compression across its vertical diameter, seen in a
// circular polariscope at the six analyser settings of the phase-stepping
// method. Lengths are in pixels; y points up, the centre is the origin.
struct DiscModel {
    double radius = 128.0;    // R
    double load = 301.59;     // P, about three fringes at the centre
    double thickness = 1.0;   // t
    double fringeValue = 1.0; // f-sigma, stress per fringe per unit thickness
    // The stresses grow without bound at the two contacts. Closer than this
    // to a contact the distance is held at this value, and the fringe order
    // never passes maxFringeOrder: beyond it fringes are finer than a pixel
    // and would only alias. A whole order keeps the pictures continuous.
    double contactPatch = 4.0;
    double maxFringeOrder = 7.0;
    double background = 8.0;  // I-b, light that passes whatever the stress
    double amplitude = 240.0; // I-a
};

struct DiscStress {
    double sx = 0.0;
    double sy = 0.0;
    double txy = 0.0;
};

struct DiscPhase {
    double delta = 0.0; // relative retardation, radians
    double theta = 0.0; // principal direction, radians
};

// Plane-stress field of the loaded disc (Frocht); only meaningful inside.
DiscStress discStress(const DiscModel &model, double x, double y);

// Retardation and principal direction; outside the disc there is no
// retardation.
DiscPhase discPhase(const DiscModel &model, double x, double y);

// The intensities of images 1 to 6 (index 0 to 5) for a given phase.
std::array<double, 6> sixStepIntensities(const DiscModel &model, const DiscPhase &phase);

// One square grey picture of `size` x `size` pixels, rows top to bottom,
// with the disc centred; `image` is 1 to 6.
std::vector<std::uint8_t> renderSixStepImage(const DiscModel &model, int size, int image);
