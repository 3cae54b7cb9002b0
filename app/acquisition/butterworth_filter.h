#pragma once

#include "platform/vector_units.h"

#include <QImage>

// Third-order Butterworth low-pass, bilinear transform with pre-warping.
// b1 and b2 are 3 x b0 and b3 equals b0; they are kept apart so the
// recursion reads like its textbook form.
struct ButterworthCoefficients {
    double b0 = 0.0;
    double b1 = 0.0;
    double b2 = 0.0;
    double b3 = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
    double a3 = 0.0;
};

// cutOffRatio is the cut-off as a fraction of the Nyquist frequency; the
// filter is a low-pass only for 0 < cutOffRatio < 1.
ButterworthCoefficients butterworthCoefficients(double cutOffRatio);

// Smooths a working image in place: the green channel is filtered forwards
// and backwards along every row, then along every column, and written back
// into red, green and blue (the fourth byte is kept). Works on whole numbers
// 0..255 throughout, so results are exact and repeatable.
void ButterworthFilter(QImage &image, double cutOffRatio);

// The same on a chosen vector unit, so that tests and benchmarks can hold
// each against the scalar path, which follows the recursion one line at a
// time; the vector paths run it on neighbouring lines at once.
void ButterworthFilter(QImage &image, double cutOffRatio, VectorUnit unit);
