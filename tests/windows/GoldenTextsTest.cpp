// The texts that the module and the host stand-ins write, byte for byte as the Linux build writes
// them: numbers through Format (glibc's forms of exponents, %g, infinities and NaNs), numbers read
// back, dates, label and chart item texts, and a range theme's XML (the other themes' XML, read
// and written, is checked on both builds by the plug-in host test). The golden files in golden/ are
// written by the Linux build (golden_texts --write DIR); the Windows build runs this same program
// under wine against them, so a C runtime that writes any text differently shows up here. What they
// are made from is listed in inputs.txt.
#include "Theme3DBase/KrTheme3DGraph.h"
#include "Theme3DBase/KrTheme3DItem.h"
#include "Theme3DBase/KrTheme3DLabel.h"
#include "Theme3DBase/KrTheme3DRange.h"
#include "VyBase600/TovoMBString.h"
#include "VyBase600/TovoTime.h"
#include "VyBase600/TovoVariant.h"
#include "VyToolkit600/KrStyle.h"

#include <gtest/gtest.h>

#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace KRS;
using TOVO::TovoArray;
using TOVO::TovoMBString;
using TOVO::TovoTime;
using TOVO::TovoVariant;

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The lists of inputs.txt by name (the file says how it is written).
std::map<std::string, std::vector<std::string>> ReadInputs() {
    std::map<std::string, std::vector<std::string>> lists;
    std::vector<std::string>* list = nullptr;
    std::istringstream in(ReadFile(VY_GOLDEN_INPUTS));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && (line[0] == '#' || line[0] == '[')) {
            if (line[0] == '[')
                list = &lists[line.substr(1, line.size() - 2)];
            continue;
        }
        std::string item;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line.compare(i, 2, "\\x") == 0)
                item += static_cast<char>(std::stoi(line.substr(i + 2, 2), nullptr, 16)), i += 3;
            else
                item += line[i];
        }
        if (list)
            list->push_back(item);
    }
    return lists;
}

// A list of inputs.txt (std::out_of_range names none that is missing).
const std::vector<std::string>& Inputs(const std::string& name) {
    static const auto lists = ReadInputs();
    return lists.at(name);
}

// A list's items as numbers, read the same way on every platform (not by the C library).
template <typename T> std::vector<T> Numbers(const std::string& name) {
    std::vector<T> values;
    for (const std::string& text : Inputs(name)) {
        T value{};
        const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
        EXPECT_TRUE(result.ec == std::errc() && result.ptr == text.data() + text.size()) << text;
        values.push_back(value);
    }
    return values;
}

std::string NumberTexts() {
    std::string out;
    const auto add = [&](const std::string& formats, const auto& values) {
        for (const std::string& fmt : Inputs(formats))
            for (const auto value : values)
                out += fmt + " [" + TovoMBString::Formatted(fmt.c_str(), value).Str() + "]\n";
    };
    add("double formats", Numbers<double>("doubles"));
    add("long double formats", Numbers<double>("long doubles"));
    add("integer formats", Numbers<long long>("integers"));
    std::vector<const char*> texts;
    for (const std::string& text : Inputs("texts"))
        texts.push_back(text.c_str());
    texts.push_back(nullptr);
    add("text formats", texts);
    return out;
}

// Texts read as numbers, written back exactly (%a) and as text.
std::string ReadNumberTexts() {
    std::string out;
    for (const std::string& text : Inputs("number texts")) {
        const TovoMBString s(text.c_str());
        out += "[" + text + "] " +
               TovoMBString::Formatted("%a %.17g %d %u", s.ToDouble(), s.ToDouble(), s.ToInt(0),
                                       s.ToUInt(10))
                   .Str() +
               "\n";
    }
    return out;
}

std::string DateTexts() {
    std::string out;
    for (double day : Numbers<double>("days")) {
        const TovoTime time(day);
        out += TovoMBString::Formatted("%.6f ", day).Str() +
               time.Format("%Y-%m-%d %H:%M:%S|%y|%j|%a|%A|%b|%B|%p|%I|%w|%%").Str() + " " +
               TovoVariant::FromDayNumber(day).ToString().Str() + "\n";
    }
    return out;
}

// A label theme's texts for values of every kind, with no number format and with several.
std::string LabelTexts() {
    using V = TovoVariant;
    // clang-format off
    const V values[] = {V(), V(std::uint8_t{200}), V(std::int16_t{-32768}), V(std::int32_t{INT_MIN}),
                        V(std::int64_t{LLONG_MAX}), V(0.1f), V(1e300), V(-2.5e-10), V(1234567.891),
                        V(kInf), V(-kNaN), V("text \xE9"), V::FromDayNumber(45000.75, V::Date),
                        V::FromDayNumber(45000.75, V::Time), V::FromDayNumber(45000.75, V::DateTime),
                        V::FromBinary("\x01\xFF", 2)};
    // clang-format on
    std::string out;
    for (const std::string& fmt : Inputs("label formats")) {
        KrTheme3DLabel theme;
        theme.SetNumFormat(fmt.c_str());
        for (const TovoVariant& v : values)
            out += fmt + " [" + theme.GetStringFromVariant(v).Str() + "]\n";
    }
    return out;
}

struct ChartTheme : KrTheme3DGraph {
    using KrTheme3DGraph::GetItemString;
};

// A chart's item texts in each text format.
std::string ChartTexts() {
    ChartTheme theme;
    theme.Add("A");
    theme.SetCaptionAt(0, "Caption");
    std::string out;
    for (int format = 1; format <= 5; ++format) {
        theme.SetItemTextFormat(format);
        for (double value : Numbers<double>("chart values"))
            for (double sum : Numbers<double>("chart sums"))
                out += TovoMBString::Formatted("%d %.17g %.17g [", format, value, sum).Str() +
                       theme.GetItemString(value, 0, sum).Str() + "]\n";
    }
    return out;
}

KrStyle Style(unsigned i) {
    KrStyle style;
    style.SetFillColor(TOVORGBA(i * 40, 255 - i * 30, i * 7, 200));
    style.SetLineWidth(0.1 * i + 1.0 / 3);
    style.SetIconScale(1e-7 * i);
    style.SetExtrude(123456.789 * i);
    return style;
}

// A range theme classified by each method over awkward values, with styles of awkward numbers.
std::string RangeXml() {
    TovoArray<double> values;
    for (double v : {-1234.5678, -1e-9, 0.1, 1.0 / 3, 2.5, 7.0, 1e15 / 7})
        values.Add(v);
    std::string out;
    for (int method = KrTheme3D::ClassEqualDistance; method <= KrTheme3D::ClassCustomInterval;
         ++method) {
        TovoArray<double> breaks;
        breaks.Add(0.1 / 3);
        breaks.Add(1.0 / 7);
        KrTheme3DRange theme;
        theme.SetExpression("VALUE");
        if (!theme.MakeDefault(method, 4, values, breaks, 1e14 / 3))
            out += "method " + std::to_string(method) + " refused\n";
        for (int i = 0; i < theme.GetCount(); ++i) {
            theme.SetStyleAt(i, Style(static_cast<unsigned>(i)));
            theme.SetCaptionAt(i, TovoMBString::Formatted("< %g \xE9", i / 3.0 + 1e-5));
        }
        out += theme.ToXML(0, "").Str() + "\n";
    }
    return out;
}

struct Golden {
    const char* szFile;
    std::string (*pMake)();
};
const Golden kGolden[] = {
    {"numbers.txt", NumberTexts}, {"read-numbers.txt", ReadNumberTexts},
    {"dates.txt", DateTexts},     {"labels.txt", LabelTexts},
    {"charts.txt", ChartTexts},   {"range.xml", RangeXml},
};

// One case for all: under wine the program runs as a whole, not case by case.
TEST(GoldenTexts, AreTheLinuxBuildsBytes) {
    for (const Golden& golden : kGolden) {
        const std::string expected = ReadFile(std::string(VY_GOLDEN_DIR) + "/" + golden.szFile);
        ASSERT_FALSE(expected.empty()) << "no golden file " << golden.szFile;
        EXPECT_EQ(golden.pMake(), expected) << golden.szFile; // gtest shows the lines that differ
    }
}

} // namespace

// "--write DIR" writes the golden files (done by the Linux build); otherwise the tests run.
int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write") == 0) {
        for (const Golden& g : kGolden) {
            std::ofstream out(std::string(argv[2]) + "/" + g.szFile, std::ios::binary);
            out << g.pMake();
            if (!out)
                return 1;
        }
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
