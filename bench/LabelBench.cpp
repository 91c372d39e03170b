// The label text of a double field value in the default number format, against the bare
// conversion: snprintf with "%.10f", then the trailing zeros and point trimmed into a string.
#include "BenchInputs.h"

#include "Theme3DBase/KrTheme3DLabel.h"
#include "VyBase600/TovoVariant.h"

#include <cstdio>
#include <memory>

using KRS::KrTheme3D;
using KRS::KrTheme3DLabel;
using TOVO::TovoVariant;

namespace {

struct LabelCase {
    std::unique_ptr<KrTheme3DLabel> theme;
    std::vector<TovoVariant> queries;
};

// Values as labelled fields hold them: whole counts, amounts with two decimals, and measured or
// computed quantities that use every digit; about one in ten is negative.
const LabelCase& GetLabelCase() {
    static std::unique_ptr<LabelCase> slot;
    if (slot)
        return *slot;
    slot = std::make_unique<LabelCase>();
    LabelCase& c = *slot;
    c.theme = std::make_unique<KrTheme3DLabel>();
    c.theme->SetExpression("NAME");
    bench::Rng rng(6006);
    std::uniform_int_distribution<int> kind(0, 2);
    std::uniform_int_distribution<long long> whole(0, 2000000);
    std::uniform_real_distribution<double> measured(0.0, 100000.0);
    std::bernoulli_distribution negative(0.1);
    c.queries.reserve(bench::kRingSize);
    for (std::size_t i = 0; i < bench::kRingSize; ++i) {
        double d = 0.0;
        switch (kind(rng)) {
        case 0:
            d = static_cast<double>(whole(rng));
            break;
        case 1:
            d = static_cast<double>(whole(rng)) / 100.0;
            break;
        default:
            d = measured(rng);
            break;
        }
        c.queries.emplace_back(negative(rng) ? -d : d);
    }
    return c;
}

std::string PlainLabel(const TovoVariant& value) {
    char buf[512];
    const int n = std::snprintf(buf, sizeof buf, "%.10f", value.GetDouble());
    std::string text(buf, n > 0 ? static_cast<std::size_t>(n) : 0u);
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    while (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

void LabelOurs(benchmark::State& state) {
    const LabelCase& c = GetLabelCase();
    KrTheme3D* theme = c.theme.get(); // the host drives every theme through the base
    benchmark::DoNotOptimize(theme);
    std::size_t i = 0;
    for (auto _ : state) {
        auto text = theme->GetStringFromVariant(c.queries[i++ & bench::kRingMask]);
        benchmark::DoNotOptimize(text);
    }
}

void LabelBase(benchmark::State& state) {
    const LabelCase& c = GetLabelCase();
    std::size_t i = 0;
    for (auto _ : state) {
        auto text = PlainLabel(c.queries[i++ & bench::kRingMask]);
        benchmark::DoNotOptimize(text);
    }
}

} // namespace

BENCHMARK(LabelOurs)->Name("label GetStringFromVariant double/Ours");
BENCHMARK(LabelBase)->Name("label GetStringFromVariant double/Base");

BENCHMARK_MAIN();
