#include "acquisition/butterworth_filter.h"
#include "acquisition/composite_writer.h"
#include "acquisition/working_images.h"
#include "platform/bmp_file.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QImage>
#include <QTemporaryDir>

#include <array>

// Six 532 x 532 grey frames (the 512-pixel crop size) with texture that
// differs from image to image.
static std::array<QImage, 6> frames()
{
    std::array<QImage, 6> images;
    for (int i = 0; i < 6; ++i) {
        images[i] = QImage(532, 532, QImage::Format_RGB32);
        for (int y = 0; y < 532; ++y) {
            auto *line = reinterpret_cast<QRgb *>(images[i].scanLine(y));
            for (int x = 0; x < 532; ++x) {
                const int v = (x * (3 + i) + y * 7 + ((x * y) >> (4 + i))) & 255;
                line[x] = qRgb(v, v, v);
            }
        }
    }
    return images;
}

static void BM_PackSix532(benchmark::State &state)
{
    const auto images = frames();
    std::array<QPoint, 6> origins;
    origins.fill(QPoint(10, 10));
    for (auto _ : state) {
        QImage six = packSix(SixLayout::Reflection, images, QSize(512, 512), origins);
        benchmark::DoNotOptimize(six.constBits());
    }
}
BENCHMARK(BM_PackSix532)->Unit(benchmark::kMicrosecond);

// Load six files, filter them, compose and write the .six: what one
// reflection run costs apart from the operator.
static void BM_ReflectionPath532(benchmark::State &state)
{
    QTemporaryDir dir;
    const auto images = frames();
    std::array<QString, 6> files;
    for (int i = 0; i < 6; ++i) {
        files[i] = dir.filePath(QStringLiteral("frame%1.bmp").arg(i + 1));
        if (!saveBmp24(images[i], files[i])) {
            state.SkipWithError("cannot write the input frames");
            return;
        }
    }
    for (auto _ : state) {
        WorkingImages set(SixLayout::Reflection);
        for (int i = 1; i <= 6; ++i)
            set.take(i, files[i - 1]);
        for (int i = 1; i <= 6; ++i)
            ButterworthFilter(set.image(i), 0.25);
        CompositeRequest request = set.request();
        request.fileName = dir.filePath(QStringLiteral("frames.six"));
        const QString error = writeComposite(buildComposite(request));
        if (!error.isEmpty()) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
    }
}
BENCHMARK(BM_ReflectionPath532)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
