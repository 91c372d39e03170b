// The chart of one feature, against the bare job: allocating and filling the same number of
// plain part records (and text records, with the same percent texts) from the same values.
#include "BenchInputs.h"

#include "Theme3DBase/KrTheme3DGraph.h"
#include "VyBase600/TovoGeometryTypes.h"
#include "VyGeometry600/KrGeometry.h"
#include "VyToolkit600/KrStyle.h"
#include "VyToolkit600/KrTextStyle.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <utility>

using KRS::KrGeometry;
using KRS::KrStyle;
using KRS::KrTextStyle;
using KRS::KrTheme3D;
using KRS::KrTheme3DGraph;
using TOVO::TovoPoint3D;

namespace {

constexpr std::size_t kFeatures = 4096; // a power of two: features are taken round-robin
constexpr double kMinValue = 1.0;
constexpr double kMaxValue = 100.0;

struct GraphCase {
    std::unique_ptr<KrTheme3DGraph> theme;
    int nItems = 0;
    std::vector<double> values; // kFeatures rows of nItems values, all positive
    std::vector<TovoPoint3D> positions;
    // What the baseline works from: the same figures the theme was given or computed.
    std::vector<KrStyle> styles;
    KrTextStyle textStyle;
    double barWidth = 0.0;
    double minSum = 0.0, maxSum = 0.0;
    double minSize = 0.0, maxSize = 0.0;
};

const GraphCase& GetGraphCase(int nType, int nItems, bool bTexts) {
    static std::map<std::tuple<int, int, bool>, std::unique_ptr<GraphCase>> cases;
    auto& slot = cases[std::make_tuple(nType, nItems, bTexts)];
    if (slot)
        return *slot;
    slot = std::make_unique<GraphCase>();
    GraphCase& c = *slot;
    c.nItems = nItems;
    c.theme = std::make_unique<KrTheme3DGraph>();
    KrTheme3DGraph& theme = *c.theme;
    for (int i = 0; i < nItems; ++i) {
        theme.Add(TOVO::TovoMBString::Formatted("POP_%d", 2000 + i));
        KrStyle style;
        style.SetFillColor(TOVORGB(20 * i % 256, 255 - 15 * i % 256, 120));
        theme.SetStyleAt(i, style);
        c.styles.push_back(style);
    }
    theme.SetGraphType(nType);
    theme.SetShowItemText(bTexts ? TRUE : FALSE);
    theme.SetGraduatedMode(KrTheme3DGraph::Constant);
    c.minSum = nItems * kMinValue;
    c.maxSum = nItems * kMaxValue;
    // A layer of ten by ten degrees: the theme derives the bar width and chart sizes from it.
    theme.CalExtremumvValue(c.minSum, c.maxSum, TOVO::TovoRect2D(100.0, 20.0, 110.0, 30.0), 0,
                            FALSE);
    c.textStyle = theme.GetItemTextStyle();
    c.barWidth = theme.GetBarWidth();
    c.minSize = theme.GetMinSumSize();
    c.maxSize = theme.GetMaxSumSize();
    bench::Rng rng(7007 + static_cast<unsigned>(nType * 100 + nItems));
    std::uniform_real_distribution<double> value(kMinValue, kMaxValue);
    std::uniform_real_distribution<double> lon(100.0, 110.0);
    std::uniform_real_distribution<double> lat(20.0, 30.0);
    c.values.resize(kFeatures * static_cast<std::size_t>(nItems));
    for (double& d : c.values)
        d = value(rng);
    for (std::size_t i = 0; i < kFeatures; ++i)
        c.positions.emplace_back(lon(rng), lat(rng), 0.0);
    return c;
}

// ---- the baseline's plain records ----

struct PlainPart {
    TovoPoint3D centre;
    double radiusX, radiusY, height;
    double sweep, startAngle, endAngle; // pie slices only
    KrStyle style;
};

struct PlainText {
    KrTextStyle style;
    TovoPoint3D point;
    std::string text;
};

struct PlainChart {
    std::vector<std::unique_ptr<PlainPart>> parts;
    std::vector<std::unique_ptr<PlainText>> texts;
};

constexpr double kEquatorMetres = 40075016.68557849;
constexpr double kDegToRad = 0.017453292519943295;

std::string PercentText(double value, double sum) {
    char buf[64];
    const int n = std::snprintf(buf, sizeof buf, "%.1f%%", value / sum * 100.0);
    return std::string(buf, static_cast<std::size_t>(n));
}

double PlainSize(const GraphCase& c, double sum) {
    return c.maxSize - (c.maxSize - c.minSize) * (c.maxSum - sum) / (c.maxSum - c.minSum);
}

std::unique_ptr<PlainChart> PlainBars(const GraphCase& c, const double* v, const TovoPoint3D& p,
                                      bool bTexts) {
    auto chart = std::make_unique<PlainChart>();
    const int n = c.nItems;
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
        sum += v[i];
    const double size = PlainSize(c, sum);
    const double spacing = 2.0 * c.barWidth / (std::cos(p.y * kDegToRad) * kEquatorMetres) * 360.0;
    const double half = (n - 1) * spacing * 0.5;
    for (int i = 0; i < n; ++i) {
        const double height = size * v[i] / sum;
        const double x = p.x + i * spacing - half;
        chart->parts.push_back(std::make_unique<PlainPart>(
            PlainPart{TovoPoint3D(x, p.y, p.z), c.barWidth * 0.5, c.barWidth * 0.5, height, 0.0,
                      0.0, 0.0, c.styles[static_cast<std::size_t>(i)]}));
        if (bTexts)
            chart->texts.push_back(std::make_unique<PlainText>(
                PlainText{c.textStyle, TovoPoint3D(x, p.y, p.z + height), PercentText(v[i], sum)}));
    }
    return chart;
}

std::unique_ptr<PlainChart> PlainPie(const GraphCase& c, const double* v, const TovoPoint3D& p,
                                     bool bTexts) {
    auto chart = std::make_unique<PlainChart>();
    const int n = c.nItems;
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
        sum += v[i];
    const double radius = PlainSize(c, sum) * 0.25;
    double before = 0.0;
    for (int i = 0; i < n; before += v[i], ++i) {
        const double sweep = v[i] / sum * 360.0 - (n > 1 ? 2.0 : 0.0);
        if (sweep < 1.0)
            continue;
        const double start = 360.0 * before / sum;
        chart->parts.push_back(std::make_unique<PlainPart>(
            PlainPart{p, radius, radius, radius * 0.5, sweep, start, start + sweep,
                      c.styles[static_cast<std::size_t>(i)]}));
        if (bTexts) {
            const double degrees = radius * 360.0 / kEquatorMetres;
            const double middle = (start + sweep * 0.5) * kDegToRad;
            chart->texts.push_back(std::make_unique<PlainText>(
                PlainText{c.textStyle,
                          TovoPoint3D(p.x + degrees * std::cos(middle),
                                      p.y + degrees * std::sin(middle), p.z + degrees * 0.5),
                          PercentText(v[i], sum)}));
        }
    }
    return chart;
}

// ---- the workloads ----

void GraphOurs(benchmark::State& state, int nType) {
    const GraphCase& c = GetGraphCase(nType, static_cast<int>(state.range(0)), state.range(1) != 0);
    KrTheme3D* theme = c.theme.get(); // the host drives every theme through the base
    benchmark::DoNotOptimize(theme);
    // The values are all positive, so the theme never writes into them.
    double* values = const_cast<double*>(c.values.data());
    const unsigned nItems = static_cast<unsigned>(c.nItems);
    std::size_t i = 0;
    for (auto _ : state) {
        const std::size_t f = i++ & (kFeatures - 1);
        KrGeometry* chart = theme->ConvertToGeometry(values + f * nItems, nItems, c.positions[f]);
        benchmark::DoNotOptimize(chart);
        delete chart; // the host owns the chart and drops it once drawn
    }
}

void GraphBase(benchmark::State& state, int nType) {
    const GraphCase& c = GetGraphCase(nType, static_cast<int>(state.range(0)), state.range(1) != 0);
    const bool bTexts = state.range(1) != 0;
    const std::size_t nItems = static_cast<std::size_t>(c.nItems);
    std::size_t i = 0;
    for (auto _ : state) {
        const std::size_t f = i++ & (kFeatures - 1);
        const double* v = c.values.data() + f * nItems;
        auto chart = nType == KrTheme3DGraph::Pie ? PlainPie(c, v, c.positions[f], bTexts)
                                                  : PlainBars(c, v, c.positions[f], bTexts);
        benchmark::DoNotOptimize(chart.get());
    }
}

void BarOurs(benchmark::State& state) {
    GraphOurs(state, KrTheme3DGraph::Bar);
}
void BarBase(benchmark::State& state) {
    GraphBase(state, KrTheme3DGraph::Bar);
}
void PieOurs(benchmark::State& state) {
    GraphOurs(state, KrTheme3DGraph::Pie);
}
void PieBase(benchmark::State& state) {
    GraphBase(state, KrTheme3DGraph::Pie);
}

void Shapes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"items", "texts"});
    for (int items : {3, 12})
        for (int texts : {0, 1})
            b->Args({items, texts});
}

} // namespace

BENCHMARK(BarOurs)->Name("graph ConvertToGeometry bar/Ours")->Apply(Shapes);
BENCHMARK(BarBase)->Name("graph ConvertToGeometry bar/Base")->Apply(Shapes);
BENCHMARK(PieOurs)->Name("graph ConvertToGeometry pie/Ours")->Apply(Shapes);
BENCHMARK(PieBase)->Name("graph ConvertToGeometry pie/Base")->Apply(Shapes);

BENCHMARK_MAIN();
