// The intensity check of the preview on a 532 x 532 frozen picture, with
// its threshold at 240: the scalar reference against the vector path.
#include "acquisition/intensity_stats.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <random>

namespace {

void measure(benchmark::State &state, intensity::Path path)
{
    QImage bitmap(532, 532, QImage::Format_RGB32);
    std::mt19937 random(17);
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            bitmap.setPixel(x, y, qRgb(0, static_cast<int>(random() % 256), 0));
    QImage marks(537, 537, QImage::Format_RGB32);
    marks.fill(Qt::black);
    for (auto _ : state) {
        const auto reading = intensity::measure(bitmap, 532, 532, 240, &marks, path);
        benchmark::DoNotOptimize(reading);
    }
}

void BM_IntensityStatsScalar(benchmark::State &state)
{
    measure(state, intensity::Path::Scalar);
}
BENCHMARK(BM_IntensityStatsScalar)->Unit(benchmark::kMicrosecond);

void BM_IntensityStatsVector(benchmark::State &state)
{
    measure(state, intensity::Path::Vector);
}
BENCHMARK(BM_IntensityStatsVector)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
