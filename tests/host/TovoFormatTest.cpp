// Format against the C library's own snprintf, conversion by conversion, and its refusals.
#include "VyBase600/TovoMBString.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

using TOVO::TovoFormatError;
using TOVO::TovoMBString;

namespace {

// What snprintf writes for one format and one argument of the type the format names.
template <typename T> std::string Snprintf(const char* fmt, T value) {
    std::vector<char> buf(16384);
    const int n = std::snprintf(buf.data(), buf.size(), fmt, value);
    return n < 0 ? std::string("<error>") : std::string(buf.data(), static_cast<std::size_t>(n));
}

// Each format of the list with each value, Format given Arg and snprintf given the C type.
template <typename Arg, typename CType>
void ExpectParity(const std::vector<const char*>& formats, const std::vector<Arg>& values) {
    for (const char* fmt : formats)
        for (const Arg& v : values)
            EXPECT_EQ(TovoMBString::Formatted(fmt, v).Str(), Snprintf(fmt, static_cast<CType>(v)))
                << "format " << fmt;
}

} // namespace

TEST(TovoFormatTest, IntConversionsMatchSnprintf) {
    ExpectParity<int, int>({"%d",   "%i",    "%5d",      "%-5d|", "%05d", "%+d", "% d",  "%.0d",
                            "%.3d", "%8.3d", "%-+8.3d|", "%x",    "%X",   "%#x", "%#o",  "%o",
                            "%u",   "%hd",   "%hhd",     "%hu",   "%hhx", "%'d", "[%3i]"},
                           {0, 1, -1, 42, -42, 255, 65535, 70000, INT_MAX, INT_MIN});
}

TEST(TovoFormatTest, WideIntConversionsMatchSnprintf) {
    ExpectParity<long long, long long>(
        {"%lld", "%lli", "%llx", "%#llX", "%llo", "%llu", "%25lld",  "%-+25lld|", "%qd", "%Ld",
         "%ld",  "%lx",  "%jd",  "%zd",   "%zu",  "%td",  "%.20lld", "%d",        "%hd", "%u"},
        {0LL, -1LL, LLONG_MIN, LLONG_MAX, 1LL << 40, -(1LL << 33) - 7});
    ExpectParity<unsigned, unsigned>({"%u", "%x", "%#X", "%o", "%#o", "%10u", "%-10x|", "%d"},
                                     {0u, 1u, UINT_MAX, 0x80000000u});
    ExpectParity<unsigned long long, unsigned long long>({"%llu", "%llx", "%lld"},
                                                         {0ULL, ULLONG_MAX, 1ULL << 63});
}

TEST(TovoFormatTest, FloatingConversionsMatchSnprintf) {
    const double nan = std::nan("");
    ExpectParity<double, double>(
        {"%f",   "%.2f", "%.0f", "%#.0f", "%10.3f",  "%-10.3f|", "%+f",   "% f",    "%010.2f",
         "%e",   "%.3e", "%E",   "%g",    "%.10g",   "%#g",      "%G",    "%a",     "%A",
         "%.2a", "%F",   "%lf",  "%.15f", "%20.10e", "%.100f",   "%'.2f", "%-12g|", "%+.1e"},
        {0.0, -0.0, 1.0, -1.5, 0.1, 1e-7, 123456.789, 2.5, 0.125, 1e300, -1e-300, DBL_MAX, DBL_MIN,
         5e-324, HUGE_VAL, -HUGE_VAL, nan, -nan});
    ExpectParity<double, long double>({"%Lf", "%.3Le", "%Lg", "%La"}, {1.5, -0.1, 1e300});
}

TEST(TovoFormatTest, TextAndCharConversionsMatchSnprintf) {
    ExpectParity<const char*, const char*>(
        {"%s", "%.2s", "%5s", "%-5s|", "%05s", "%.0s", "%8.3s", "%#s", "[%s]"},
        {"", "abc", "h\xC3\xA9llo w\xF6rld", "\xCE\xA2\xC8\xED"});
    ExpectParity<int, int>({"%c", "%3c", "%-3c|"}, {'a', 'Z', 200, ' '});
}

TEST(TovoFormatTest, LongOutputsAndLabelFormats) {
    EXPECT_EQ(TovoMBString::Formatted("%600d", 7).Str(), std::string(599, ' ') + "7");
    EXPECT_EQ(TovoMBString::Formatted("%.300f", 1e300).Str(), Snprintf("%.300f", 1e300));
    EXPECT_EQ(TovoMBString::Formatted("%.2f", 1.0), "1.00");
    EXPECT_EQ(TovoMBString::Formatted("%.10f", static_cast<double>(1.5f)), "1.5000000000");
    EXPECT_EQ(TovoMBString::Formatted("%d", std::uint8_t{200}), "200");
    EXPECT_EQ(TovoMBString::Formatted("%hd", std::int16_t{-5}), "-5");
    EXPECT_EQ(TovoMBString::Formatted("%d-%d-%d", 2012, 1, 5), "2012-1-5");
    EXPECT_EQ(TovoMBString::Formatted("%s=%d (%.1f%%)", "x", 3, 50.0), "x=3 (50.0%)");
    EXPECT_EQ(TovoMBString::Formatted("100%%"), "100%");
    EXPECT_EQ(TovoMBString::Formatted("%.15f", 0.1), "0.100000000000000");
}

TEST(TovoFormatTest, StarTakesWidthAndPrecisionFromIntegers) {
    EXPECT_EQ(TovoMBString::Formatted("%*d|", 5, 42), "   42|");
    EXPECT_EQ(TovoMBString::Formatted("%*d|", -5, 42), "42   |");
    EXPECT_EQ(TovoMBString::Formatted("%.*f", 2, 3.14159), "3.14");
    EXPECT_EQ(TovoMBString::Formatted("%.*f", -1, 1.5), "1.500000");
    EXPECT_EQ(TovoMBString::Formatted("%*.*s|", 4, 1, "xyz"), "   x|");
}

TEST(TovoFormatTest, TextGoesByItsLengthWithNulBytes) {
    const TovoMBString withNul(std::string("a\0b", 3));
    EXPECT_EQ(TovoMBString::Formatted("[%s]", withNul).Str(), std::string("[a\0b]", 5));
    EXPECT_EQ(TovoMBString::Formatted("[%5s]", withNul).Str(), std::string("[  a\0b]", 7));
    EXPECT_EQ(TovoMBString::Formatted("[%.2s]", withNul).Str(), std::string("[a\0]", 4));
    EXPECT_EQ(TovoMBString::Formatted("%c|", 0).Str(), std::string("\0|", 2));
    EXPECT_EQ(TovoMBString::Formatted("%s", std::string("str")), "str");
    EXPECT_EQ(TovoMBString::Formatted("%s", std::string_view("view", 2)), "vi");
    struct Derived : TovoMBString {
        using TovoMBString::TovoMBString;
    };
    EXPECT_EQ(TovoMBString::Formatted("<%s>", Derived("d")), "<d>");
}

TEST(TovoFormatTest, ArgumentMayBeTheTargetItself) {
    TovoMBString s("ab");
    s.Format("%s-%s", s, s);
    EXPECT_EQ(s, "ab-ab");
}

TEST(TovoFormatTest, RefusesFormatsThatDoNotFit) {
    EXPECT_THROW(TovoMBString::Formatted("%d", 1.0), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted("%x", "a"), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted("%c", 1.0), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted("%f", 1), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted("%e", "x"), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted("%s", 1), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted("%s", 1.0), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted("%*d", 1.0, 2), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted("%d"), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted("%d %d", 1), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted("abc", 1.0), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted("%%.2f", 1.0), TovoFormatError);
}

TEST(TovoFormatTest, RefusesMalformedConversions) {
    for (const char* fmt : {"%",    "abc%", "%5",     "%.2",     "%l",
                            "%k",   "%y",   "%n",     "%p",      "%lc",
                            "%ls",  "%hs",  "%hf",    "%llf",    "%zf",
                            "%1$d", "%5%",  "%4097d", "%.4097f", "%99999999999999999999d",
                            "%C",   "%S",   "%m"}) {
        EXPECT_THROW(TovoMBString::Formatted(fmt, 1), TovoFormatError) << fmt;
        EXPECT_THROW(TovoMBString::Formatted(fmt, 1.0), std::invalid_argument) << fmt;
    }
    EXPECT_THROW(TovoMBString::Formatted("%*d", 4097, 1), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted("%.*f", -4097, 1.0), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted(nullptr), TovoFormatError);
    EXPECT_EQ(TovoMBString::Formatted("%4096d", 1).GetLength(), 4096);
}

TEST(TovoFormatTest, RefusalLeavesTheTextUnchanged) {
    TovoMBString s("keep");
    EXPECT_THROW(s.Format("%d and %d", 1, 2.0), TovoFormatError);
    EXPECT_EQ(s, "keep");
}

// Needs a comma locale installed (for example made with localedef and LOCPATH).
TEST(TovoFormatTest, IgnoresTheProcessLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "no de_DE.UTF-8 locale";
    const std::string commaF = Snprintf("%.2f", 1.5);
    const std::string formatted = TovoMBString::Formatted("%.2f %'d", 1.5, 1234567).Str();
    const double read = TovoMBString("2.5").ToDouble();
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(commaF, "1,50"); // the locale really is in force
    EXPECT_EQ(formatted, "1.50 1234567");
    EXPECT_EQ(read, 2.5);
}
