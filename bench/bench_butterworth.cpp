#include "acquisition/butterworth_filter.h"

#include <benchmark/benchmark.h>

#include <QImage>

// A 532 x 532 frame, the card's full picture, with texture in every
// direction so no pass sees a constant line.
static QImage frame()
{
    QImage image(532, 532, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb((x * 3) & 255, (x * 7 + y * 13 + ((x * y) >> 5)) & 255, (y * 5) & 255);
    }
    return image;
}

static void BM_ButterworthFilter532(benchmark::State &state)
{
    const QImage source = frame();
    for (auto _ : state) {
        state.PauseTiming();
        QImage image = source.copy();
        state.ResumeTiming();
        ButterworthFilter(image, 0.25);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_ButterworthFilter532)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
