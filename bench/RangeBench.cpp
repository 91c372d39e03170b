// Range theme lookups and classification against the bare operations underneath: a loop over the
// break values, and a two-pass mean and deviation over the values.
#include "BenchInputs.h"

#include "Theme3DBase/KrTheme3DRange.h"
#include "VyBase600/TovoArray.h"
#include "VyBase600/TovoVariant.h"
#include "VyToolkit600/KrStyle.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

using KRS::KrStyle;
using KRS::KrTheme3D;
using KRS::KrTheme3DRange;
using TOVO::TovoArray;
using TOVO::TovoVariant;

namespace {

KrStyle StyleOf(std::size_t i) {
    KrStyle style;
    style.SetFillColor(TOVORGB(40 + 7 * (i % 30), 200 - 5 * (i % 30), 60));
    return style;
}

// Field values as a layer holds them: normally distributed around 500, ascending (the order in
// which a host hands them to the classification).
TovoArray<double> SortedValues(std::size_t nCount, unsigned nSeed) {
    bench::Rng rng(nSeed);
    std::normal_distribution<double> value(500.0, 120.0);
    std::vector<double> values(nCount);
    for (double& d : values)
        d = value(rng);
    std::sort(values.begin(), values.end());
    TovoArray<double> arr;
    arr.SetSize(static_cast<int>(nCount));
    std::copy(values.begin(), values.end(), arr.GetData());
    return arr;
}

// ---- style lookup ----

struct LookupCase {
    std::unique_ptr<KrTheme3DRange> theme;
    std::vector<double> breaks;         // the baseline's own break values
    std::vector<KrStyle> styles;        // and its own styles, one per range
    std::vector<const KrStyle*> ranges; // range i's style
    std::vector<TovoVariant> queries;
};

const LookupCase& GetLookupCase(int nClasses) {
    static std::map<int, std::unique_ptr<LookupCase>> cases;
    auto& slot = cases[nClasses];
    if (slot)
        return *slot;
    slot = std::make_unique<LookupCase>();
    LookupCase& c = *slot;
    c.theme = std::make_unique<KrTheme3DRange>();
    c.theme->SetExpression("HEIGHT");
    c.theme->MakeDefault(KrTheme3D::ClassEqualDistance, nClasses, SortedValues(10000, 3003),
                         TovoArray<double>(), 0.0);
    for (int i = 0; i < c.theme->GetCount(); ++i) {
        c.theme->SetStyleAt(i, StyleOf(static_cast<std::size_t>(i)));
        c.styles.push_back(StyleOf(static_cast<std::size_t>(i)));
    }
    for (int i = 0; i < c.theme->GetValueCount(); ++i)
        c.breaks.push_back(c.theme->GetValueAt(i));
    for (const KrStyle& style : c.styles)
        c.ranges.push_back(&style);
    // Features spread over the whole data range and a little beyond it.
    bench::Rng rng(4004 + static_cast<unsigned>(nClasses));
    std::uniform_real_distribution<double> value(c.breaks.front() - 150.0, c.breaks.back() + 150.0);
    c.queries.reserve(bench::kRingSize);
    for (std::size_t i = 0; i < bench::kRingSize; ++i)
        c.queries.emplace_back(value(rng));
    return c;
}

// The first break value above the number gives the range; past the last one, the top range.
const KrStyle* PlainRangeLookup(const LookupCase& c, const TovoVariant& value) {
    const double d = value.GetDouble();
    std::size_t i = 0;
    while (i < c.breaks.size() && !(d < c.breaks[i]))
        ++i;
    return c.ranges[i];
}

void RangeFindOurs(benchmark::State& state) {
    const LookupCase& c = GetLookupCase(static_cast<int>(state.range(0)));
    const KrTheme3D* theme = c.theme.get(); // the host drives every theme through the base
    benchmark::DoNotOptimize(theme);
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(theme->FindStyle(c.queries[i++ & bench::kRingMask]));
}

void RangeFindBase(benchmark::State& state) {
    const LookupCase& c = GetLookupCase(static_cast<int>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(PlainRangeLookup(c, c.queries[i++ & bench::kRingMask]));
}

// ---- classification ----

const TovoArray<double>& GetValues(int nCount) {
    static std::map<int, std::unique_ptr<TovoArray<double>>> cases;
    auto& slot = cases[nCount];
    if (!slot)
        slot = std::make_unique<TovoArray<double>>(
            SortedValues(static_cast<std::size_t>(nCount), 5005));
    return *slot;
}

void MakeDefaultOurs(benchmark::State& state, int nMethod) {
    const TovoArray<double>& values = GetValues(static_cast<int>(state.range(0)));
    KrTheme3DRange theme;
    for (auto _ : state) {
        benchmark::DoNotOptimize(theme.MakeDefault(nMethod, 5, values, TovoArray<double>(), 0.0));
        benchmark::ClobberMemory();
    }
}

// Mean, then the population deviation: the two passes over the values that the standard
// deviation method cannot avoid.
void MakeDefaultBase(benchmark::State& state) {
    const TovoArray<double>& values = GetValues(static_cast<int>(state.range(0)));
    const double* p = values.GetData();
    const std::size_t n = static_cast<std::size_t>(values.GetSize());
    for (auto _ : state) {
        double sum = 0.0;
        for (std::size_t i = 0; i < n; ++i)
            sum += p[i];
        const double mean = sum / static_cast<double>(n);
        double squares = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            const double diff = p[i] - mean;
            squares += diff * diff;
        }
        const double deviation = std::sqrt(squares / static_cast<double>(n));
        benchmark::DoNotOptimize(mean);
        benchmark::DoNotOptimize(deviation);
    }
}

void StdevOurs(benchmark::State& state) {
    MakeDefaultOurs(state, KrTheme3D::ClassStdev);
}

void EqualDistanceOurs(benchmark::State& state) {
    MakeDefaultOurs(state, KrTheme3D::ClassEqualDistance);
}

} // namespace

BENCHMARK(RangeFindOurs)->Name("range FindStyle double/Ours")->Arg(5)->Arg(32);
BENCHMARK(RangeFindBase)->Name("range FindStyle double/Base")->Arg(5)->Arg(32);
BENCHMARK(StdevOurs)
    ->Name("range MakeDefault stdev/Ours")
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(MakeDefaultBase)
    ->Name("range MakeDefault stdev/Base")
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(EqualDistanceOurs)
    ->Name("range MakeDefault equal distance/Ours")
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(MakeDefaultBase)
    ->Name("range MakeDefault equal distance/Base")
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
