// The extended capture layer on a full 625-line colour window (950 x 610,
// format 7) of the virtual card: a readout as a bitmap, the same readout
// as a BMP file (a restart and skip per row), the file write alone for
// comparison, and an average of 16 snaps with its accumulation measured on
// its own.
#include "ZUL_Tools_VB.h"
#include "frame_sums.h"
#include "kernel_paths.h"
#include "virtual_card.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 950;
constexpr int kLines = 610;

ZulConfig &prepared()
{
    static ZulConfig config;
    static const bool ok = [] {
        zul::vcard::installVirtualCard();
        ZULX_defaultConfig(&config);
        return ZUL_init() == ZUL_OK && ZULX_prepare(&config, 1) == ZUL_OK && ZULX_snap(&config) == ZUL_OK;
    }();
    if (!ok)
        std::abort();
    return config;
}

std::string benchFile()
{
    return "/tmp/zul-bench-" + std::to_string(::getpid()) + ".bmp";
}

void BM_ReadoutDIB(benchmark::State &state)
{
    ZulConfig &config = prepared();
    for (auto _ : state) {
        ZulHandle bitmap = nullptr;
        ZULX_readoutDIB(&config, &bitmap);
        ZUL_globalFree(bitmap);
    }
}
BENCHMARK(BM_ReadoutDIB)->Unit(benchmark::kMicrosecond);

void BM_ReadoutDIBToFile(benchmark::State &state)
{
    ZulConfig &config = prepared();
    const std::string path = benchFile();
    for (auto _ : state)
        if (ZULX_readoutDIBToFile(&config, path.c_str()) != ZUL_OK)
            state.SkipWithError("file not written");
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadoutDIBToFile)->Unit(benchmark::kMicrosecond);

// The file alone: the same bytes, one row per write, as the readout writes
// them.
void BM_WriteSameFile(benchmark::State &state)
{
    const std::string path = benchFile();
    const std::vector<unsigned char> row(2852, 7);
    for (auto _ : state) {
        std::FILE *f = std::fopen(path.c_str(), "wb");
        std::fwrite(row.data(), 1, 54, f);
        for (int j = 0; j < kLines; ++j)
            std::fwrite(row.data(), 1, row.size(), f);
        std::fclose(f);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_WriteSameFile)->Unit(benchmark::kMicrosecond);

void BM_SnapAverage16Frames(benchmark::State &state)
{
    ZulConfig &config = prepared();
    for (auto _ : state) {
        ZulHandle average = nullptr;
        ZULX_snapAverageDIB(&config, &average, 16, 16);
        ZUL_globalFree(average);
    }
    state.counters["s/frame"] = benchmark::Counter(16, benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
}
BENCHMARK(BM_SnapAverage16Frames)->Unit(benchmark::kMillisecond);

// One frame's share of the averaging: the sums of 610 raw lines of 1900
// bytes.
void accumulate(benchmark::State &state, bool wide)
{
    std::vector<std::uint16_t> sums(static_cast<std::size_t>(kLines) * 1900);
    const std::vector<std::uint8_t> line(1900, 200);
    zul::allowWideKernels(wide);
    for (auto _ : state) {
        for (int j = 0; j < kLines; ++j)
            zul::addToSums(sums.data() + static_cast<std::size_t>(j) * 1900, line.data(), line.size());
        benchmark::DoNotOptimize(sums.data());
    }
    zul::allowWideKernels(true);
}
void BM_AccumulateOneFrame(benchmark::State &state) { accumulate(state, true); }
void BM_AccumulateOneFrameScalar(benchmark::State &state) { accumulate(state, false); }
BENCHMARK(BM_AccumulateOneFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AccumulateOneFrameScalar)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
