// The texts that the module and the host stand-ins write, byte for byte as the Linux build writes
// them: numbers through Format (glibc's forms of exponents, %g, infinities and NaNs), numbers read
// back, dates, label and chart item texts, and each theme's XML. The golden files in golden/ are
// written by the Linux build (golden_texts --write DIR); the Windows build runs this same program
// under wine against them, so a C runtime that writes any text differently shows up here.
#include "Theme3DBase/KrTheme3DGraph.h"
#include "Theme3DBase/KrTheme3DItem.h"
#include "Theme3DBase/KrTheme3DLabel.h"
#include "Theme3DBase/KrTheme3DRange.h"
#include "Theme3DBase/KrTheme3DUnique.h"
#include "VyBase600/TovoMBString.h"
#include "VyBase600/TovoTime.h"
#include "VyBase600/TovoVariant.h"
#include "VyToolkit600/KrStyle.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
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

// Doubles where C libraries are known to part: exponent widths, the shortest and longest
// exponents, subnormals, halves that round to even, infinities and both NaNs.
const double kDoubles[] = {0.0,
                           -0.0,
                           1.5,
                           -0.1,
                           0.1,
                           1e-7,
                           123456.789,
                           2.5,
                           0.125,
                           1e300,
                           DBL_MAX,
                           5e-324,
                           2.2250738585072014e-308,
                           1e21,
                           1e-5,
                           9.9999e-5,
                           1.0 / 3,
                           -2.5e-10,
                           100.0,
                           kInf,
                           -kInf,
                           kNaN,
                           -kNaN};

std::string NumberTexts() {
    std::string out;
    for (const char* fmt : {"%f",    "%.0f", "%#.0f", "%.3f",  "%.15f",   "%010.3f",  "%-12.4f|",
                            "%+f",   "% f",  "%e",    "%.3E",  "%+.6e",   "%20.10e",  "%g",
                            "%.10g", "%#g",  "%G",    "%.17g", "% 12.4g", "%-12.4g|", "%#.3g",
                            "%a",    "%.2A", "%F",    "%lf",   "%'.2f"})
        for (double d : kDoubles)
            out += std::string(fmt) + " [" + TovoMBString::Formatted(fmt, d).Str() + "]\n";
    for (const char* fmt : {"%Lf", "%.3Le", "%La", "%Lg"})
        for (double d : {1.5, -0.1, 1e300, 5e-324, -kNaN})
            out += std::string(fmt) + " [" + TovoMBString::Formatted(fmt, d).Str() + "]\n";
    // %ld is left out on purpose: long has 32 bits on Windows, so C gives it other values there.
    for (const char* fmt : {"%d", "%5d", "%-+8.3d|", "%.0d", "%#x", "%#o", "%X", "%lld", "%qd",
                            "%Ld", "%llu", "%hhd", "%hd", "%hu", "%zu", "%jd", "%'d", "%c"})
        for (long long v : {0LL, -1LL, 42LL, 200LL, 70000LL, LLONG_MIN, LLONG_MAX})
            out += std::string(fmt) + " [" + TovoMBString::Formatted(fmt, v).Str() + "]\n";
    const char* const texts[] = {"", "abc", "h\xC3\xA9llo w\xF6rld", nullptr};
    for (const char* fmt : {"%s", "%.2s", "%8.3s", "%-5s|", "%05s"})
        for (const char* s : texts)
            out += std::string(fmt) + " [" + TovoMBString::Formatted(fmt, s).Str() + "]\n";
    return out;
}

// Texts read as numbers, written back exactly (%a) and as text.
std::string ReadNumberTexts() {
    std::string out;
    for (const char* text :
         {"",         "-",        "-F",        "+.",       "0x",
          "1e400",    "-1e400",   "1e-400",    "4.9e-324", "0x1p-3",
          "0X1.8P+1", "inf",      "-Infinity", "nan",      "-nan",
          "nan(12)",  " \t12abc", "1.5e+",     ".5",       "5.",
          "-0",       "00012",    "1,5",       "2e-5x",    "123456789012345678901234567890",
          "0.1e-310"}) {
        const TovoMBString s(text);
        out += std::string("[") + text + "] " +
               TovoMBString::Formatted("%a %.17g %d %u", s.ToDouble(), s.ToDouble(), s.ToInt(0),
                                       s.ToUInt(10))
                   .Str() +
               "\n";
    }
    return out;
}

std::string DateTexts() {
    std::string out;
    for (double day : {0.0, 1.5, -1.25, -0.5, 2.0 / 3, 36526.999999, 45000.75, 45000.999994, 59.0,
                       60.0, 61.0, 2958465.99999, -657434.0}) {
        const TovoTime time(day);
        out += TovoMBString::Formatted("%.6f ", day).Str() +
               time.Format("%Y-%m-%d %H:%M:%S|%y|%j|%a|%A|%b|%B|%p|%I|%w|%%").Str() + " " +
               TovoVariant::FromDayNumber(day).ToString().Str() + "\n";
    }
    return out;
}

// A label theme's texts for values of every kind, with no number format and with several.
std::string LabelTexts() {
    std::vector<TovoVariant> values = {
        TovoVariant(),
        TovoVariant(std::uint8_t{200}),
        TovoVariant(std::int16_t{-32768}),
        TovoVariant(std::int32_t{INT_MIN}),
        TovoVariant(std::int64_t{LLONG_MAX}),
        TovoVariant(0.1f),
        TovoVariant(1e300),
        TovoVariant(-2.5e-10),
        TovoVariant(1234567.891),
        TovoVariant(kInf),
        TovoVariant(-kNaN),
        TovoVariant("text \xE9"),
        TovoVariant::FromDayNumber(45000.75, TovoVariant::Date),
        TovoVariant::FromDayNumber(45000.75, TovoVariant::Time),
        TovoVariant::FromDayNumber(45000.75, TovoVariant::DateTime),
        TovoVariant::FromBinary("\x01\xFF", 2),
    };
    std::string out;
    for (const char* fmt :
         {"", "%.2f", ".3f", "%e", "%.3E", "%g", "%#.4g", "%+.1f", "%10.2e", "%a"}) {
        KrTheme3DLabel theme;
        theme.SetNumFormat(fmt);
        for (const TovoVariant& v : values)
            out += std::string(fmt) + " [" + theme.GetStringFromVariant(v).Str() + "]\n";
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
        for (double value : {12.5, 1.0 / 3, 1e-6, 1e15, -7.25, 2.0 / 3 * 100})
            for (double sum : {50.0, 3.0, 1e-11})
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

std::string UniqueXml() {
    KrTheme3DUnique theme;
    theme.SetExpression("CLASS");
    theme.SetDefaultStyle(Style(9));
    unsigned i = 0;
    for (const char* value : {"1.5", "-0", "1e300", "text & <markup>", "\xFF\xFE", " spaced "}) {
        KrTheme3DItem item;
        item.m_strCaption = TovoMBString::Formatted("%.3e", 1.0 / (i + 3));
        item.m_Style = Style(++i);
        theme.Add(value, item);
    }
    return theme.ToXML(0, "").Str() + "\n";
}

// The sample documents a host keeps, read and written again.
std::string SampleXml() {
    std::string out;
    const char* const names[] = {"unique.xml", "range.xml", "label.xml", "graph.xml"};
    const int types[] = {KrTheme3D::Unique, KrTheme3D::Range, KrTheme3D::Label, KrTheme3D::Graph};
    for (int i = 0; i < 4; ++i) {
        std::ifstream in(std::string(VY_TEST_DATA_DIR) + "/plugin/" + names[i], std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        std::unique_ptr<KrTheme3D> theme;
        switch (types[i]) {
        case KrTheme3D::Unique:
            theme.reset(new KrTheme3DUnique);
            break;
        case KrTheme3D::Range:
            theme.reset(new KrTheme3DRange);
            break;
        case KrTheme3D::Label:
            theme.reset(new KrTheme3DLabel);
            break;
        default:
            theme.reset(new KrTheme3DGraph);
        }
        out += std::string(names[i]) + (theme->FromXML(text.str(), 0, "") ? "\n" : " unread\n") +
               theme->ToXML(0, "").Str() + "\n";
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
    {"unique.xml", UniqueXml},    {"samples.xml", SampleXml},
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The first line where two texts differ, for the failure message.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    std::istringstream e(expected), a(actual);
    std::string le, la;
    for (int line = 1;; ++line) {
        const bool moreE = static_cast<bool>(std::getline(e, le));
        const bool moreA = static_cast<bool>(std::getline(a, la));
        if (!moreE && !moreA)
            return "same lines, other bytes";
        if (le != la || moreE != moreA)
            return "line " + std::to_string(line) + "\n  golden: " + (moreE ? le : "<end>") +
                   "\n  here:   " + (moreA ? la : "<end>");
    }
}

class GoldenTexts : public ::testing::TestWithParam<Golden> {};

TEST_P(GoldenTexts, AreTheLinuxBuildsBytes) {
    const std::string expected = ReadFile(std::string(VY_GOLDEN_DIR) + "/" + GetParam().szFile);
    ASSERT_FALSE(expected.empty()) << "no golden file " << GetParam().szFile;
    const std::string actual = GetParam().pMake();
    EXPECT_TRUE(actual == expected) << FirstDifference(expected, actual);
}

INSTANTIATE_TEST_SUITE_P(Texts, GoldenTexts, ::testing::ValuesIn(kGolden),
                         [](const ::testing::TestParamInfo<Golden>& info) {
                             std::string name = info.param.szFile;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

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
