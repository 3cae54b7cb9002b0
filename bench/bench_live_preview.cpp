// The live preview on the virtual card, as the main window's timer runs it:
// snap the whole 625-line frame (950 x 610, format 7, unscaled), read it
// out, draw it into the preview's picture, count its green values for the
// exposure panel and draw the crop frame. The virtual card shows its moving
// fringe scene, so it draws a new picture on every snap as well.
//
// A frame may allocate its bitmap and nothing more, apart from the one row
// the library claims and frees again to see that memory is there before it
// takes the bitmap: the bench counts every heap allocation made while it
// runs.
#include "acquisition/exposure_panel.h"
#include "acquisition/live_preview.h"
#include "platform/card_image.h"
#include "platform/card_library.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <atomic>
#include <cstdio>
#include <cstdlib>

extern "C" void *__libc_malloc(std::size_t);
extern "C" void *__libc_calloc(std::size_t, std::size_t);
extern "C" void *__libc_realloc(void *, std::size_t);

namespace {
std::atomic<bool> counting{false};
std::atomic<std::size_t> allocations{0};
std::atomic<std::size_t> allocatedBytes{0};

void note(std::size_t bytes)
{
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
        allocatedBytes.fetch_add(bytes, std::memory_order_relaxed);
    }
}
} // namespace

// Every allocation of the process, the library's and Qt's included, passes
// through these.
extern "C" void *malloc(std::size_t bytes) noexcept
{
    note(bytes);
    return __libc_malloc(bytes);
}
extern "C" void *calloc(std::size_t count, std::size_t bytes) noexcept
{
    note(count * bytes);
    return __libc_calloc(count, bytes);
}
extern "C" void *realloc(void *block, std::size_t bytes) noexcept
{
    note(bytes);
    return __libc_realloc(block, bytes);
}

namespace {

void BM_LivePreviewFrame(benchmark::State &state)
{
    DynamicCardLibrary card(QStringLiteral(ZUL_LIBRARY_FILE));
    ZulConfig config{};
    if (card.init() != 0 || card.defaultConfig(&config) != 0 || card.prepare(&config, 1) != 0) {
        state.SkipWithError("the virtual card did not come up");
        return;
    }
    const QSize pictureSize(512, 380);
    QImage picture;
    CardImage image;
    GreenHistogram histogram;
    auto frame = [&] {
        snapLiveImage(card, config, image);
        const QRect drawn = drawLiveImage(card, config, image, picture, pictureSize);
        countGreen(picture, drawn, histogram);
        drawCropFrame(picture, QSize(256, 256));
    };
    frame(); // the picture and the library's buffers are made once

    allocations = 0;
    allocatedBytes = 0;
    counting = true;
    for (auto _ : state) {
        frame();
        benchmark::DoNotOptimize(histogram.counts.data());
    }
    counting = false;

    const double frames = static_cast<double>(state.iterations());
    const std::size_t rowBytes = (950 * 3 + 3) / 4 * 4;
    const std::size_t bitmapBytes = 40 + rowBytes * 610;
    state.counters["frames/s"] = benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["allocations/frame"] = static_cast<double>(allocations) / frames;
    state.counters["heap bytes/frame"] = static_cast<double>(allocatedBytes) / frames;
    state.counters["bitmap bytes"] = static_cast<double>(bitmapBytes);
    // The bitmap, the probing row, and the small record of each handle.
    if (static_cast<double>(allocatedBytes) / frames > static_cast<double>(bitmapBytes + rowBytes + 2 * 32)) {
        std::fprintf(stderr, "%.1f allocations and %.0f bytes a frame; the bitmap has %zu bytes\n",
                     static_cast<double>(allocations) / frames, static_cast<double>(allocatedBytes) / frames,
                     bitmapBytes);
        state.SkipWithError("a frame allocates more than its bitmap");
    }
    image.reset();
    card.closedown(1);
}
BENCHMARK(BM_LivePreviewFrame)->Unit(benchmark::kMillisecond)->MinTime(5.0)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    setenv("ZUL_DRIVER", "virtual", 1);
    setenv("ZUL_VIRTUAL_CARD", "scene=fringes", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
