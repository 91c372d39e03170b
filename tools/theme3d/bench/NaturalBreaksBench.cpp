// Natural breaks of 1,000,000 distinct values into 5 classes, next to the sort that any
// classification needs first (the baseline): the exact programme should cost a small multiple of
// the sort, well under a second.
#include "ClassBreaks.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <random>

namespace {

std::vector<double> Values(std::size_t n) {
    std::mt19937_64 random(1);
    std::lognormal_distribution<double> value(3.0, 1.5);
    std::vector<double> values(n);
    for (double& d : values)
        d = value(random);
    return values;
}

void BM_SortBaseline(benchmark::State& state) {
    const std::vector<double> values = Values(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        benchmark::DoNotOptimize(sorted.data());
    }
}

void BM_NaturalBreaks(benchmark::State& state) {
    std::vector<double> sorted = Values(static_cast<std::size_t>(state.range(0)));
    std::sort(sorted.begin(), sorted.end());
    for (auto _ : state)
        benchmark::DoNotOptimize(theme3d::ClassBreaks::NaturalBreaks(sorted, 5));
}

} // namespace

BENCHMARK(BM_SortBaseline)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NaturalBreaks)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
