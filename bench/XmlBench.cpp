// Writing and reading unique and range themes as XML, against pugixml doing the bare job on the
// same document text: a parse (which builds the tree that writing builds and reading walks) and a
// serialisation of it. Both directions share that one baseline, so that the writing and reading
// ratios can be read side by side; how reading compares with a parse alone is in bench/README.md.
#include "BenchInputs.h"

#include "Theme3DBase/KrTheme3DItem.h"
#include "Theme3DBase/KrTheme3DRange.h"
#include "Theme3DBase/KrTheme3DUnique.h"
#include "VyBase600/TovoMBString.h"
#include "VyToolkit600/KrStyle.h"

#include <pugixml.hpp>

#include <map>
#include <memory>

using KRS::KrStyle;
using KRS::KrTheme3D;
using KRS::KrTheme3DItem;
using KRS::KrTheme3DRange;
using KRS::KrTheme3DUnique;
using TOVO::TovoMBString;

namespace {

// The flags a faithful reader needs (every text byte for byte) and a compact writer uses.
constexpr unsigned kParseFlags =
    pugi::parse_cdata | pugi::parse_escapes | pugi::parse_ws_pcdata_single;
constexpr unsigned kWriteFlags = pugi::format_raw | pugi::format_no_declaration;

class StringWriter : public pugi::xml_writer {
public:
    void write(const void* data, std::size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }
    std::string text;
};

KrStyle RandomStyle(bench::Rng& rng) {
    std::uniform_int_distribution<unsigned> channel(0, 255);
    std::uniform_int_distribution<int> width(1, 4);
    KrStyle style;
    style.SetFillColor(TOVORGB(channel(rng), channel(rng), channel(rng)));
    style.SetLineColor(TOVORGB(channel(rng), channel(rng), channel(rng)));
    style.SetLineWidth(width(rng) * 0.5);
    return style;
}

struct XmlCase {
    std::unique_ptr<KrTheme3D> theme; // written by the ToXML workload
    TovoMBString text;                // what it wrote, read by the FromXML workload
};

const XmlCase& GetUniqueCase(int nItems) {
    static std::map<int, std::unique_ptr<XmlCase>> cases;
    auto& slot = cases[nItems];
    if (slot)
        return *slot;
    slot = std::make_unique<XmlCase>();
    bench::Rng rng(8008 + static_cast<unsigned>(nItems));
    std::unordered_set<std::string> used;
    auto theme = std::make_unique<KrTheme3DUnique>();
    theme->SetExpression("LANDUSE");
    for (const std::string& value :
         bench::DistinctTexts(static_cast<std::size_t>(nItems), rng, used)) {
        KrTheme3DItem item;
        item.m_strCaption = TovoMBString("Class " + value);
        item.m_Style = RandomStyle(rng);
        theme->Add(TovoMBString(value), item);
    }
    slot->text = theme->ToXML(0, TovoMBString());
    slot->theme = std::move(theme);
    return *slot;
}

const XmlCase& GetRangeCase(int nItems) {
    static std::map<int, std::unique_ptr<XmlCase>> cases;
    auto& slot = cases[nItems];
    if (slot)
        return *slot;
    slot = std::make_unique<XmlCase>();
    bench::Rng rng(9009 + static_cast<unsigned>(nItems));
    std::uniform_real_distribution<double> gap(0.5, 20.0);
    auto theme = std::make_unique<KrTheme3DRange>();
    theme->SetExpression("HEIGHT");
    // Ascending break values with uneven gaps and every digit in use, as a classification or a
    // hand-made legend gives them; appended without the duplicate scan of Add.
    double value = 0.0;
    for (int i = 0; i + 1 < nItems; ++i) {
        value += gap(rng);
        theme->InsertAt(theme->GetValueCount(), value, KrTheme3DItem());
    }
    for (int i = 0; i < theme->GetCount(); ++i) {
        theme->SetStyleAt(i, RandomStyle(rng));
        theme->SetCaptionAt(i, TovoMBString::Formatted("Class %d", i + 1));
    }
    slot->text = theme->ToXML(0, TovoMBString());
    slot->theme = std::move(theme);
    return *slot;
}

const XmlCase& GetCase(bool bRange, int nItems) {
    return bRange ? GetRangeCase(nItems) : GetUniqueCase(nItems);
}

void ToXmlOurs(benchmark::State& state, bool bRange) {
    const XmlCase& c = GetCase(bRange, static_cast<int>(state.range(0)));
    const KrTheme3D* theme = c.theme.get(); // the host drives every theme through the base
    benchmark::DoNotOptimize(theme);
    for (auto _ : state) {
        TovoMBString text = theme->ToXML(0, TovoMBString());
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * c.text.GetLength());
}

// Parse the document text into a tree, and write the tree out again.
void PugiRoundTrip(benchmark::State& state, bool bRange) {
    const XmlCase& c = GetCase(bRange, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        pugi::xml_document doc;
        doc.load_buffer(c.text.c_str(), c.text.Str().size(), kParseFlags, pugi::encoding_utf8);
        StringWriter writer;
        doc.save(writer, "", kWriteFlags, pugi::encoding_utf8);
        benchmark::DoNotOptimize(writer.text);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * c.text.GetLength());
}

// The parse alone, for reference: not paired in the table.
void PugiParse(benchmark::State& state, bool bRange) {
    const XmlCase& c = GetCase(bRange, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        pugi::xml_document doc;
        benchmark::DoNotOptimize(
            doc.load_buffer(c.text.c_str(), c.text.Str().size(), kParseFlags, pugi::encoding_utf8));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * c.text.GetLength());
}

void FromXmlOurs(benchmark::State& state, bool bRange) {
    const XmlCase& c = GetCase(bRange, static_cast<int>(state.range(0)));
    std::unique_ptr<KrTheme3D> theme;
    if (bRange)
        theme = std::make_unique<KrTheme3DRange>();
    else
        theme = std::make_unique<KrTheme3DUnique>();
    KrTheme3D* reader = theme.get();
    benchmark::DoNotOptimize(reader);
    for (auto _ : state)
        benchmark::DoNotOptimize(reader->FromXML(c.text, 0, TovoMBString()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * c.text.GetLength());
}

void UniqueToXmlOurs(benchmark::State& s) {
    ToXmlOurs(s, false);
}
void UniqueFromXmlOurs(benchmark::State& s) {
    FromXmlOurs(s, false);
}
void UniqueBase(benchmark::State& s) {
    PugiRoundTrip(s, false);
}
void UniqueParse(benchmark::State& s) {
    PugiParse(s, false);
}
void RangeToXmlOurs(benchmark::State& s) {
    ToXmlOurs(s, true);
}
void RangeFromXmlOurs(benchmark::State& s) {
    FromXmlOurs(s, true);
}
void RangeBase(benchmark::State& s) {
    PugiRoundTrip(s, true);
}
void RangeParse(benchmark::State& s) {
    PugiParse(s, true);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(UniqueToXmlOurs)->Name("unique ToXML/Ours")->Apply(Sizes);
BENCHMARK(UniqueBase)->Name("unique ToXML/Base")->Apply(Sizes);
BENCHMARK(UniqueFromXmlOurs)->Name("unique FromXML/Ours")->Apply(Sizes);
BENCHMARK(UniqueBase)->Name("unique FromXML/Base")->Apply(Sizes);
BENCHMARK(UniqueParse)->Name("unique pugixml parse alone")->Apply(Sizes);
BENCHMARK(RangeToXmlOurs)->Name("range ToXML/Ours")->Apply(Sizes);
BENCHMARK(RangeBase)->Name("range ToXML/Base")->Apply(Sizes);
BENCHMARK(RangeFromXmlOurs)->Name("range FromXML/Ours")->Apply(Sizes);
BENCHMARK(RangeBase)->Name("range FromXML/Base")->Apply(Sizes);
BENCHMARK(RangeParse)->Name("range pugixml parse alone")->Apply(Sizes);

BENCHMARK_MAIN();
