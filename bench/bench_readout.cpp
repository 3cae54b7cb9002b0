// Reading a full 625-line colour window (950 x 610, whole-frame transfer)
// out line by line: the live view and every saved picture go through it.
// libyuv's UYVY to RGB24 on the same frame is the yardstick.
#include "ZUL_Tools_VB.h"
#include "comparison_report.h"
#include "connection.h"
#include "fast_convert.h"
#include "virtual_card.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#if HAVE_LIBYUV
#include <libyuv.h>
#endif

namespace {

constexpr int kWidth = 950;
constexpr int kLines = 610;

// One snap of the built-in chart, kept for every benchmark.
bool snapped()
{
    static const bool ok = [] {
        zul::vcard::installVirtualCard();
        ZulConfig config{};
        ZulVideoWindow window{0, kWidth, kWidth, 0, kLines, kLines, 1, 0};
        return ZUL_init() == ZUL_OK && ZUL_videoConfig(0, 0, &config) == ZUL_OK &&
               ZUL_prepareSnap(&window) == ZUL_OK && ZUL_startSnap() == ZUL_OK && ZUL_finishSnap() == ZUL_OK;
    }();
    return ok;
}

void readOut(benchmark::State &state, int format, int bytesPerPixel)
{
    if (!snapped()) {
        state.SkipWithError("no snap");
        return;
    }
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(kWidth) * kLines * bytesPerPixel);
    for (auto _ : state) {
        ZUL_startReadout(format, nullptr);
        for (int line = 0; line < kLines; ++line)
            ZUL_readLine(picture.data() + static_cast<std::size_t>(line) * kWidth * bytesPerPixel, 0, kWidth);
        benchmark::DoNotOptimize(picture.data());
    }
    state.counters["ns/pixel"] = benchmark::Counter(static_cast<double>(kWidth) * kLines,
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

void BM_ReadoutFormat7(benchmark::State &state)
{
    readOut(state, 7, 3);
}
BENCHMARK(BM_ReadoutFormat7)->Unit(benchmark::kMicrosecond);

// What a processor gets with AVX2 but without AVX-512.
void BM_ReadoutFormat7Avx2(benchmark::State &state)
{
    if (!snapped()) {
        state.SkipWithError("no snap");
        return;
    }
    zul::limitVectorLevel(2);
    ZUL_setGamma(1.0f); // the tables note which path they allow
    readOut(state, 7, 3);
    zul::limitVectorLevel(zul::kWidestVectorLevel);
    ZUL_setGamma(1.0f);
}
BENCHMARK(BM_ReadoutFormat7Avx2)->Unit(benchmark::kMicrosecond);

void BM_ReadoutFormat3(benchmark::State &state)
{
    readOut(state, 3, 1);
}
BENCHMARK(BM_ReadoutFormat3)->Unit(benchmark::kMicrosecond);

#if HAVE_LIBYUV
void BM_LibyuvUyvyToRgb24(benchmark::State &state)
{
    if (!snapped()) {
        state.SkipWithError("no snap");
        return;
    }
    const std::vector<std::uint8_t> uyvy(zul::connection().frameStore.begin(),
                                         zul::connection().frameStore.begin() + kWidth * kLines * 2);
    std::vector<std::uint8_t> argb(static_cast<std::size_t>(kWidth) * kLines * 4);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kWidth) * kLines * 3);
    for (auto _ : state) {
        libyuv::UYVYToARGB(uyvy.data(), kWidth * 2, argb.data(), kWidth * 4, kWidth, kLines);
        libyuv::ARGBToRGB24(argb.data(), kWidth * 4, rgb.data(), kWidth * 3, kWidth, kLines);
        benchmark::DoNotOptimize(rgb.data());
    }
    state.counters["ns/pixel"] = benchmark::Counter(static_cast<double>(kWidth) * kLines,
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}
BENCHMARK(BM_LibyuvUyvyToRgb24)->Unit(benchmark::kMicrosecond);
#endif

} // namespace

int main(int argc, char **argv)
{
    return bench::runComparing(argc, argv,
                               {{"Format 7 readout of 950 x 610 against libyuv's UYVY to ARGB to RGB24",
                                 "BM_ReadoutFormat7", "BM_LibyuvUyvyToRgb24"}});
}
