#pragma once

#include <QSize>

// The windows were laid out in twips, fifteen to a screen pixel. Every size
// and position given in twips goes through here, rounded to the nearest
// pixel.
inline constexpr int twipsPerPixel = 15;

constexpr int pixelsFromTwips(int twips)
{
    return (twips >= 0 ? twips + twipsPerPixel / 2 : twips - twipsPerPixel / 2) / twipsPerPixel;
}

constexpr QSize pixelsFromTwips(int widthTwips, int heightTwips)
{
    return {pixelsFromTwips(widthTwips), pixelsFromTwips(heightTwips)};
}

constexpr int twipsFromPixels(int pixels)
{
    return pixels * twipsPerPixel;
}
