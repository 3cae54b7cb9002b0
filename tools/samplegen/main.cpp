// Writes the six pictures of a loaded disc, sample1.bmp to sample6.bmp, for
// trying the sequences without a card and for the tests.
#include "disc_model.h"

#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create folder %s\n", argv[1]);
        return 1;
    }
    constexpr int kSize = 276;
    const DiscModel model;
    for (int n = 1; n <= 6; ++n) {
        const std::vector<std::uint8_t> grey = renderSixStepImage(model, kSize, n);
        QImage image(kSize, kSize, QImage::Format_RGB32);
        for (int y = 0; y < kSize; ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < kSize; ++x) {
                const int g = grey[static_cast<std::size_t>(y) * kSize + x];
                line[x] = qRgb(g, g, g);
            }
        }
        const QString path = QDir(folder).filePath(QStringLiteral("sample%1.bmp").arg(n));
        // RGB32 goes out as a 24-bit BMP, the depth the frame grabber saved.
        if (!image.save(path, "BMP")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
