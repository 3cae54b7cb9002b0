// Rebuilding the colour tables on a gamma change: the format dialog does it
// live while the operator drags the gamma control, so it has to stay well
// under a frame time.
#include "lookup_tables.h"

#include <benchmark/benchmark.h>

static void BM_BuildTablesIdentity(benchmark::State &state)
{
    zul::LookupTables tables;
    for (auto _ : state) {
        zul::buildLookupTables(tables, 1.0f);
        benchmark::DoNotOptimize(tables.CG.data());
    }
}
BENCHMARK(BM_BuildTablesIdentity);

static void BM_BuildTablesGamma(benchmark::State &state)
{
    zul::LookupTables tables;
    float gamma = 0.45f;
    for (auto _ : state) {
        zul::buildLookupTables(tables, gamma);
        benchmark::DoNotOptimize(tables.CG.data());
        gamma = gamma < 2.5f ? gamma + 0.01f : 0.45f;
    }
}
BENCHMARK(BM_BuildTablesGamma);

BENCHMARK_MAIN();
