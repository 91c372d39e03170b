// Unique theme lookups against the bare operations underneath: a hash lookup of the value text,
// a binary search over the sorted value numbers, and the plain walk that parses every value text.
#include "BenchInputs.h"

#include "Theme3DBase/KrTheme3DItem.h"
#include "Theme3DBase/KrTheme3DUnique.h"
#include "VyBase600/TovoMBString.h"
#include "VyBase600/TovoVariant.h"
#include "VyToolkit600/KrStyle.h"

#include <algorithm>
#include <map>
#include <memory>
#include <unordered_map>
#ifdef VY_BENCH_FLAT_TABLE
#include <absl/container/flat_hash_map.h>
#endif

using KRS::KrStyle;
using KRS::KrTheme3D;
using KRS::KrTheme3DItem;
using KRS::KrTheme3DUnique;
using TOVO::TovoMBString;
using TOVO::TovoVariant;

namespace {

KrStyle StyleOf(std::size_t i) {
    KrStyle style;
    style.SetFillColor(TOVORGB(i % 251, (i / 251) % 251, 90));
    style.SetLineWidth(1.0 + static_cast<double>(i % 4));
    return style;
}

// The theme with one visible item per value text, in the order given.
std::unique_ptr<KrTheme3DUnique> MakeTheme(const std::vector<std::string>& texts) {
    auto theme = std::make_unique<KrTheme3DUnique>();
    theme->SetExpression("LANDUSE");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        KrTheme3DItem item;
        item.m_strCaption = TovoMBString(texts[i]);
        item.m_Style = StyleOf(i);
        theme->Add(TovoMBString(texts[i]), item);
    }
    return theme;
}

// ---- text values ----

struct TextCase {
    std::unique_ptr<KrTheme3DUnique> theme;
    // The baseline's own table, with its own styles: the bare job of a text-keyed style lookup.
    std::vector<KrStyle> styles;
    std::unordered_map<std::string, const KrStyle*> table;
#ifdef VY_BENCH_FLAT_TABLE
    absl::flat_hash_map<std::string, const KrStyle*> flat;
    // The same probe, but to the theme's own items, whose visibility the answer depends on.
    absl::flat_hash_map<std::string, const KrTheme3DItem*> flatItems;
#endif
    KrStyle defaultStyle;
    std::vector<TovoVariant> queries;
};

const TextCase& GetTextCase(int nValues) {
    static std::map<int, std::unique_ptr<TextCase>> cases;
    auto& slot = cases[nValues];
    if (slot)
        return *slot;
    slot = std::make_unique<TextCase>();
    TextCase& c = *slot;
    bench::Rng rng(1001 + static_cast<unsigned>(nValues));
    std::unordered_set<std::string> used;
    const std::vector<std::string> texts =
        bench::DistinctTexts(static_cast<std::size_t>(nValues), rng, used);
    const std::vector<std::string> misses = bench::DistinctTexts(4096, rng, used);
    c.theme = MakeTheme(texts);
    c.styles.reserve(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        c.styles.push_back(StyleOf(i));
        c.table.emplace(texts[i], &c.styles.back());
#ifdef VY_BENCH_FLAT_TABLE
        c.flat.emplace(texts[i], &c.styles.back());
        c.flatItems.emplace(texts[i], c.theme->Find(TovoMBString(texts[i])));
#endif
    }
    std::bernoulli_distribution hit(bench::kHitShare);
    std::uniform_int_distribution<std::size_t> pickValue(0, texts.size() - 1);
    std::uniform_int_distribution<std::size_t> pickMiss(0, misses.size() - 1);
    c.queries.reserve(bench::kRingSize);
    for (std::size_t i = 0; i < bench::kRingSize; ++i)
        c.queries.emplace_back(
            TovoMBString(hit(rng) ? texts[pickValue(rng)] : misses[pickMiss(rng)]));
    return c;
}

// The same text conversion the theme makes (the value's text form), then one hash lookup.
const KrStyle* PlainTextLookup(const TextCase& c, const TovoVariant& value) {
    const TovoMBString text = value.ToString();
    if (text.IsEmpty())
        return &c.defaultStyle;
    const auto it = c.table.find(text.Str());
    return it == c.table.end() ? &c.defaultStyle : it->second;
}

#ifdef VY_BENCH_FLAT_TABLE
// The bare job at its fastest: the text as the variant holds it, one probe of a flat table.
const KrStyle* FlatTextLookup(const TextCase& c, const TovoVariant& value) {
    const std::string& text = value.GetText().Str();
    if (text.empty())
        return &c.defaultStyle;
    const auto it = c.flat.find(text);
    return it == c.flat.end() ? &c.defaultStyle : it->second;
}

// The theme's whole job with the flat table: the item's flag decides between its style and the
// default, so a hit also reads the item's first cache line.
const KrStyle* FlatItemLookup(const TextCase& c, const TovoVariant& value) {
    const std::string& text = value.GetText().Str();
    if (text.empty())
        return &c.defaultStyle;
    const auto it = c.flatItems.find(text);
    if (it == c.flatItems.end() || !it->second->m_bVisible)
        return &c.defaultStyle;
    return &it->second->m_Style;
}

void UniqueTextFlat(benchmark::State& state) {
    const TextCase& c = GetTextCase(static_cast<int>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(FlatTextLookup(c, c.queries[i++ & bench::kRingMask]));
}

void UniqueTextFlatItems(benchmark::State& state) {
    const TextCase& c = GetTextCase(static_cast<int>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(FlatItemLookup(c, c.queries[i++ & bench::kRingMask]));
}
#endif

void UniqueTextOurs(benchmark::State& state) {
    const TextCase& c = GetTextCase(static_cast<int>(state.range(0)));
    const KrTheme3D* theme = c.theme.get(); // the host drives every theme through the base
    benchmark::DoNotOptimize(theme);
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(theme->FindStyle(c.queries[i++ & bench::kRingMask]));
}

void UniqueTextBase(benchmark::State& state) {
    const TextCase& c = GetTextCase(static_cast<int>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(PlainTextLookup(c, c.queries[i++ & bench::kRingMask]));
}

// ---- double values ----

struct NumberCase {
    std::unique_ptr<KrTheme3DUnique> theme;
    std::vector<std::string> texts; // the value texts in theme order, for the plain walk
    std::vector<KrStyle> styles;    // in theme order
    std::vector<double> sorted;     // the value numbers, ascending, for the binary search
    std::vector<const KrStyle*> sortedStyles;
    std::vector<const KrTheme3DItem*> sortedItems; // the theme's own items, same order
    KrStyle defaultStyle;
    std::vector<TovoVariant> queries;
};

const NumberCase& GetNumberCase(int nValues) {
    static std::map<int, std::unique_ptr<NumberCase>> cases;
    auto& slot = cases[nValues];
    if (slot)
        return *slot;
    slot = std::make_unique<NumberCase>();
    NumberCase& c = *slot;
    bench::Rng rng(2002 + static_cast<unsigned>(nValues));
    // Values with two decimals, as measured quantities are usually kept: k / 100 for distinct k.
    std::uniform_int_distribution<long long> pickHundredths(0, 99999999);
    std::unordered_set<long long> used;
    std::vector<double> numbers;
    while (numbers.size() < static_cast<std::size_t>(nValues)) {
        const long long k = pickHundredths(rng);
        if (used.insert(k).second)
            numbers.push_back(static_cast<double>(k) / 100.0);
    }
    for (double d : numbers)
        c.texts.push_back(bench::ShortestText(d));
    c.theme = MakeTheme(c.texts);
    for (std::size_t i = 0; i < numbers.size(); ++i)
        c.styles.push_back(StyleOf(i));
    std::vector<std::size_t> order(numbers.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&numbers](std::size_t a, std::size_t b) { return numbers[a] < numbers[b]; });
    for (std::size_t i : order) {
        c.sorted.push_back(numbers[i]);
        c.sortedStyles.push_back(&c.styles[i]);
        c.sortedItems.push_back(c.theme->Find(TovoMBString(c.texts[i])));
    }
    // A miss lies half a hundredth away from every value.
    std::bernoulli_distribution hit(bench::kHitShare);
    std::uniform_int_distribution<std::size_t> pickValue(0, numbers.size() - 1);
    c.queries.reserve(bench::kRingSize);
    for (std::size_t i = 0; i < bench::kRingSize; ++i) {
        const double d = hit(rng) ? numbers[pickValue(rng)]
                                  : (static_cast<double>(pickHundredths(rng)) + 0.5) / 100.0;
        c.queries.emplace_back(d);
    }
    // The theme builds its numeric index on the first numeric lookup; a layer scan pays that once.
    c.theme->FindStyle(c.queries[0]);
    return c;
}

// By binary search: the position of the first sorted number within the tolerance of the
// value's, or the end.
std::size_t FirstMatch(const NumberCase& c, const TovoVariant& value) {
    const double d = value.GetDouble();
    const auto it = std::lower_bound(c.sorted.begin(), c.sorted.end(), d - 1e-10);
    return it != c.sorted.end() && *it - d < 1e-10 ? static_cast<std::size_t>(it - c.sorted.begin())
                                                   : c.sorted.size();
}

const KrStyle* PlainNumberLookup(const NumberCase& c, const TovoVariant& value) {
    const std::size_t n = FirstMatch(c, value);
    return n < c.sorted.size() ? c.sortedStyles[n] : &c.defaultStyle;
}

// The same search to the theme's own items: a hit reads the item's visibility, as the theme must.
const KrStyle* PlainNumberItemLookup(const NumberCase& c, const TovoVariant& value) {
    const std::size_t n = FirstMatch(c, value);
    if (n == c.sorted.size() || !c.sortedItems[n]->m_bVisible)
        return &c.defaultStyle;
    return &c.sortedItems[n]->m_Style;
}

// What the lookup would cost without an index: parse each value text in theme order until one
// matches. std::from_chars is the fastest correct parse the library offers.
const KrStyle* WalkNumberLookup(const NumberCase& c, const TovoVariant& value) {
    const double d = value.GetDouble();
    for (std::size_t i = 0; i < c.texts.size(); ++i) {
        const std::string& text = c.texts[i];
        double number = 0.0;
        std::from_chars(text.data(), text.data() + text.size(), number);
        const double diff = number - d;
        if (diff > -1e-10 && diff < 1e-10)
            return &c.styles[i];
    }
    return &c.defaultStyle;
}

void UniqueNumberOurs(benchmark::State& state) {
    const NumberCase& c = GetNumberCase(static_cast<int>(state.range(0)));
    const KrTheme3D* theme = c.theme.get();
    benchmark::DoNotOptimize(theme);
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(theme->FindStyle(c.queries[i++ & bench::kRingMask]));
}

void UniqueNumberBase(benchmark::State& state) {
    const NumberCase& c = GetNumberCase(static_cast<int>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(PlainNumberLookup(c, c.queries[i++ & bench::kRingMask]));
}

void UniqueNumberItems(benchmark::State& state) {
    const NumberCase& c = GetNumberCase(static_cast<int>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(PlainNumberItemLookup(c, c.queries[i++ & bench::kRingMask]));
}

void UniqueNumberWalk(benchmark::State& state) {
    const NumberCase& c = GetNumberCase(static_cast<int>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(WalkNumberLookup(c, c.queries[i++ & bench::kRingMask]));
}

} // namespace

BENCHMARK(UniqueTextOurs)->Name("unique FindStyle text/Ours")->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(UniqueTextBase)->Name("unique FindStyle text/Base")->Arg(10)->Arg(1000)->Arg(100000);
#ifdef VY_BENCH_FLAT_TABLE
// Target: ours at most 1.3 times the flat table.
BENCHMARK(UniqueTextOurs)
    ->Name("unique FindStyle text vs flat table/Ours")
    ->Arg(10)
    ->Arg(1000)
    ->Arg(100000);
BENCHMARK(UniqueTextFlat)
    ->Name("unique FindStyle text vs flat table/Base")
    ->Arg(10)
    ->Arg(1000)
    ->Arg(100000);
// The same job as ours: the flat table leads to the item, whose flag is read.
BENCHMARK(UniqueTextOurs)
    ->Name("unique FindStyle text vs flat table of items/Ours")
    ->Arg(10)
    ->Arg(1000)
    ->Arg(100000);
BENCHMARK(UniqueTextFlatItems)
    ->Name("unique FindStyle text vs flat table of items/Base")
    ->Arg(10)
    ->Arg(1000)
    ->Arg(100000);
#endif
BENCHMARK(UniqueNumberOurs)->Name("unique FindStyle double/Ours")->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(UniqueNumberBase)->Name("unique FindStyle double/Base")->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(UniqueNumberOurs)->Name("unique FindStyle double vs search of items/Ours")->Arg(100000);
BENCHMARK(UniqueNumberItems)->Name("unique FindStyle double vs search of items/Base")->Arg(100000);
// Target: ours at most 1/100 of the walk.
BENCHMARK(UniqueNumberOurs)->Name("unique FindStyle double vs walk/Ours")->Arg(100000);
BENCHMARK(UniqueNumberWalk)->Name("unique FindStyle double vs walk/Base")->Arg(100000);

BENCHMARK_MAIN();
