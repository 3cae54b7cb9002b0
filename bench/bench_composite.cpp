#include "acquisition/butterworth_filter.h"
#include "acquisition/composite_writer.h"
#include "acquisition/working_images.h"
#include "platform/bmp_file.h"
#include "comparison_report.h"

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

// The yardstick: the same six images into a new 1024 x 512 picture the
// plain way, three planes merged into each tile, rows stored bottom up as
// a bitmap file keeps them. It is built for the compiler to vectorise, as a
// library's plain loop would be, so that it measures the memory traffic of
// the job rather than a scalar loop.
static void mergeRow(QRgb *__restrict out, const QRgb *__restrict red, const QRgb *__restrict green,
                     const QRgb *__restrict blue, int width) __attribute__((optimize("O3")));
static void mergeRow(QRgb *__restrict out, const QRgb *__restrict red, const QRgb *__restrict green,
                     const QRgb *__restrict blue, int width)
{
    for (int x = 0; x < width; ++x)
        out[x] = 0xff000000u | (red[x] & 0xff0000u) | (green[x] & 0xff00u) | (blue[x] & 0xffu);
}

static QImage mergeAndFlip(const std::array<QImage, 6> &images, QSize crop, QPoint origin)
{
    static constexpr int kPlanes[2][3] = {{6, 4, 2}, {5, 1, 3}};
    QImage out(2 * crop.width(), crop.height(), QImage::Format_RGB32);
    uchar *bits = out.bits();
    for (int tile = 0; tile < 2; ++tile)
        for (int y = 0; y < crop.height(); ++y) {
            auto *dst = reinterpret_cast<QRgb *>(bits + (crop.height() - 1 - y) * out.bytesPerLine()) +
                        tile * crop.width();
            const QRgb *plane[3];
            for (int c = 0; c < 3; ++c) {
                const QImage &image = images[kPlanes[tile][c] - 1];
                plane[c] = reinterpret_cast<const QRgb *>(image.constBits() + (y + origin.y()) * image.bytesPerLine()) +
                           origin.x();
            }
            mergeRow(dst, plane[0], plane[1], plane[2], crop.width());
        }
    return out;
}

static void BM_MergeAndFlip532(benchmark::State &state)
{
    const auto images = frames();
    for (auto _ : state) {
        QImage six = mergeAndFlip(images, QSize(512, 512), QPoint(10, 10));
        benchmark::DoNotOptimize(six.constBits());
    }
}
BENCHMARK(BM_MergeAndFlip532)->Unit(benchmark::kMicrosecond);

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
    return bench::runComparing(argc, argv,
                               {{"Packing six 532 x 532 into 1024 x 512 against a plain merge and flip",
                                 "BM_PackSix532", "BM_MergeAndFlip532"}});
}
