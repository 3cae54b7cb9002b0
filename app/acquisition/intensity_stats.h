#pragma once

#include <QImage>
#include <cstdint>

// The exposure check of the preview: the largest, smallest and summed
// green value of a frozen picture, and the pixels brighter than the
// operator's threshold painted red.
namespace intensity {

struct Reading {
    int max = 0;
    int min = 255;
    int32_t sum = 0;
};

// The vector path gives the same reading and marks as the scalar one; the
// scalar one is kept as the reference the vector one is checked against.
enum class Path { Scalar, Vector };

// Visits rows 2..height-2 and, within each, columns 2..width-2 (both
// inclusive) of `bitmap` (Format_RGB32), stopping at its edge. Every pixel
// whose green value is above `threshold` is painted red in `marks` at the
// same place when `marks` is given and holds that place.
Reading measure(const QImage &bitmap, int width, int height, int threshold, QImage *marks, Path path = Path::Vector);

// The mean as the check shows it: the sum divided by the whole width and
// height (the unvisited border counts as dark), rounded half to even.
int mean(const Reading &reading, int width, int height);

} // namespace intensity
