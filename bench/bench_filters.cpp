// The image filters on the sizes they meet: a 532 x 532 grey working image
// and a full 950 x 610 true-colour frame, 3 x 3 box. Each runs the export
// with its vector path and again with the plain loop of the same rule, so
// the two figures of one run give the ratio.
#include "ZUL_Tools_VB.h"
#include "kernel_paths.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

// A bitmap of the given size with varied bytes, and its bytes to restore it
// after each filtering shrank it.
struct Picture {
    ZulHandle bitmap;
    std::vector<unsigned char> bytes;

    Picture(int width, int height, int bits)
    {
        const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
        const std::size_t table = bits == 8 ? 1024 : 0;
        bytes.assign(40 + table + stride * static_cast<std::size_t>(height), 0);
        const std::uint32_t header[10] = {40, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                                          static_cast<std::uint32_t>(bits) << 16 | 1, 0,
                                          static_cast<std::uint32_t>(stride * static_cast<std::size_t>(height)),
                                          5905, 5905, bits == 8 ? 256u : 0u, bits == 8 ? 256u : 0u};
        std::memcpy(bytes.data(), header, sizeof header);
        unsigned seed = 1;
        for (std::size_t k = 40 + table; k < bytes.size(); ++k) {
            seed = seed * 1103515245u + 12345u;
            bytes[k] = static_cast<unsigned char>(seed >> 16);
        }
        bitmap = ZUL_globalAlloc(bytes.size());
    }
    ~Picture() { ZUL_globalFree(bitmap); }

    void restore()
    {
        ZUL_globalReAlloc(bitmap, bytes.size());
        std::memcpy(ZUL_globalLock(bitmap), bytes.data(), bytes.size());
        ZUL_globalUnlock(bitmap);
    }
};

void filter(benchmark::State &state, int width, int height, int bits, bool wide)
{
    Picture picture(width, height, bits);
    zul::allowWideKernels(wide);
    for (auto _ : state) {
        state.PauseTiming();
        picture.restore();
        state.ResumeTiming();
        if (ZULX_filterDIBPredef(picture.bitmap, 1) != ZUL_OK)
            state.SkipWithError("filter refused");
    }
    zul::allowWideKernels(true);
    state.counters["ns/byte"] = benchmark::Counter(static_cast<double>(width) * height * bits / 8,
                                                   benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}

void BM_Box8Bit532(benchmark::State &state) { filter(state, 532, 532, 8, true); }
void BM_Box8Bit532Scalar(benchmark::State &state) { filter(state, 532, 532, 8, false); }
void BM_Box24Bit950x610(benchmark::State &state) { filter(state, 950, 610, 24, true); }
void BM_Box24Bit950x610Scalar(benchmark::State &state) { filter(state, 950, 610, 24, false); }
BENCHMARK(BM_Box8Bit532)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Box8Bit532Scalar)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Box24Bit950x610)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Box24Bit950x610Scalar)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
