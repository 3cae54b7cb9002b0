// The Butterworth filter on the card's full 532 x 532 frame, on the path
// this processor gets, against the scalar path as the yardstick; the
// narrower vector paths show what a processor without the widest unit gets.
#include "acquisition/butterworth_filter.h"
#include "comparison_report.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <string>

namespace {

// Texture in every direction so no pass sees a constant line.
QImage frame()
{
    QImage image(532, 532, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb((x * 3) & 255, (x * 7 + y * 13 + ((x * y) >> 5)) & 255, (y * 5) & 255);
    }
    return image;
}

void filterOn(benchmark::State &state, VectorUnit unit)
{
    const QImage source = frame();
    for (auto _ : state) {
        state.PauseTiming();
        QImage image = source.copy();
        state.ResumeTiming();
        ButterworthFilter(image, 0.25, unit);
        benchmark::DoNotOptimize(image.constBits());
    }
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::RegisterBenchmark("BM_ButterworthFilter532", filterOn, widestVectorUnit())
        ->Unit(benchmark::kMillisecond);
    for (VectorUnit unit : vectorUnits())
        if (unit != widestVectorUnit())
            benchmark::RegisterBenchmark((std::string("BM_ButterworthFilter532/") + nameOf(unit)).c_str(), filterOn,
                                         unit)
                ->Unit(benchmark::kMillisecond);
    return bench::runComparing(argc, argv,
                               {{"ButterworthFilter 532 x 532 against its scalar path", "BM_ButterworthFilter532",
                                 "BM_ButterworthFilter532/scalar"}});
}
