#pragma once

// Fixtures shared by the composition tests: six distinguishable grey images
// and a reader for what was written.

#include <QImage>
#include <QImageReader>
#include <QString>

#include <array>
#include <cstdint>

namespace six_test {

// A grey value that differs between images and between neighbouring
// pixels, so a wrong image, channel or one-pixel shift shows at once.
inline int greyAt(int image, int x, int y)
{
    std::uint32_t h = std::uint32_t(image) * 2654435761u ^ std::uint32_t(x) * 40503u ^ std::uint32_t(y) * 9973u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return int(h & 0xff);
}

inline QImage greyImage(int image, int width, int height)
{
    QImage result(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int v = greyAt(image, x, y);
            row[x] = qRgb(v, v, v);
        }
    }
    return result;
}

inline std::array<QImage, 6> sixGreyImages(int width, int height)
{
    std::array<QImage, 6> images;
    for (int i = 0; i < 6; ++i)
        images[i] = greyImage(i + 1, width, height);
    return images;
}

inline QImage readRgb32(const QString &fileName)
{
    return QImageReader(fileName).read().convertToFormat(QImage::Format_RGB32);
}

} // namespace six_test
