#pragma once

#include <QImage>

#include <vector>

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

// The ways the filter can run. Scalar follows the recursion one line at a
// time and is the reference; the others run it on neighbouring lines at once
// with the vector unit of their name and give the same bytes.
enum class ButterworthPath { Scalar, Sse2, Avx2, Avx512 };

// The paths this processor can run, the scalar one first and the one the
// filter uses last.
std::vector<ButterworthPath> butterworthPaths();

// Smooths a working image in place: the green channel is filtered forwards
// and backwards along every row, then along every column, and written back
// into red, green and blue (the fourth byte is kept). Works on whole numbers
// 0..255 throughout, so results are exact and repeatable.
void ButterworthFilter(QImage &image, double cutOffRatio);

// The same on a chosen path, one of butterworthPaths(), so that tests and
// benchmarks can hold each path against the scalar one.
void ButterworthFilter(QImage &image, double cutOffRatio, ButterworthPath path);
