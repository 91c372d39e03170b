// Format against the C library's own snprintf, conversion by conversion, and its refusals.
#include "VyBase600/TovoMBString.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>
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

// Format writes glibc's text everywhere. Where the Windows runtime's snprintf writes another
// (it drops the sign of a NaN, knows no %q and no %L on integers, and cuts a null %s's
// "(null)"), it is no oracle; the golden texts of tests/windows check those cases against the
// texts of the Linux build instead.
template <typename Arg> bool RuntimeIsNotGlibc(const char* fmt, const Arg& v) {
#ifdef _WIN32
    if constexpr (std::is_floating_point_v<Arg>)
        return std::isnan(v) && std::signbit(v);
    else if constexpr (std::is_integral_v<Arg>)
        return std::strchr(fmt, 'q') || std::strchr(fmt, 'L');
    else
        return v == nullptr;
#else
    (void)fmt;
    (void)v;
    return false;
#endif
}

// Each format of the list with each value, Format given Arg and snprintf given the C type.
template <typename Arg, typename CType>
void ExpectParity(const std::vector<const char*>& formats, const std::vector<Arg>& values) {
    for (const char* fmt : formats)
        for (const Arg& v : values) {
            if (RuntimeIsNotGlibc(fmt, v))
                continue;
            EXPECT_EQ(TovoMBString::Formatted(fmt, v).Str(), Snprintf(fmt, static_cast<CType>(v)))
                << "format " << fmt;
        }
}

} // namespace

TEST(TovoFormatTest, ConversionsMatchSnprintfAndTextGoesByItsLength) {
    ExpectParity<int, int>({"%d", "%i", "%-5d|", "%05d", "%+d", "% d", "%.0d", "%-+8.3d|", "%X",
                            "%#x", "%#o", "%u", "%hd", "%hhd", "%hu", "%'d", "%c", "%-3c|"},
                           {0, -1, 42, 200, 70000, INT_MAX, INT_MIN});
    ExpectParity<long long, long long>({"%lld", "%#llX", "%llo", "%llu", "%-+25lld|", "%qd", "%Ld",
                                        "%ld", "%jd", "%zu", "%td", "%.20lld", "%d", "%hd"},
                                       {0LL, -1LL, LLONG_MIN, LLONG_MAX, -(1LL << 33) - 7});
    ExpectParity<unsigned long long, unsigned long long>({"%llu", "%llx", "%lld", "%u"},
                                                         {0ULL, ULLONG_MAX, 1ULL << 63});
    ExpectParity<double, double>(
        {"%f",   "%.0f",  "%#.0f",   "%-10.3f|", "%+f",    "% f",  "%010.2f", "%e",
         "%.3E", "%g",    "%.10g",   "%#g",      "%G",     "%a",   "%.2A",    "%F",
         "%lf",  "%.15f", "%20.10e", "%.100f",   "%.300f", "%'.2f"},
        {0.0, -0.0, -1.5, 0.1, 1e-7, 123456.789, 2.5, 0.125, 1e300, DBL_MAX, 5e-324, HUGE_VAL,
         -HUGE_VAL, std::nan(""), -std::nan("")});
    ExpectParity<double, long double>({"%Lf", "%.3Le", "%La"}, {1.5, -0.1, 1e300});
    ExpectParity<const char*, const char*>(
        {"%s", "%.2s", "%5s", "%-5s|", "%05s", "%.0s", "%8.3s", "%#s"},
        {"", "abc", "h\xC3\xA9llo w\xF6rld", "\xCE\xA2\xC8\xED", nullptr});
    const TovoMBString withNul(std::string("a\0b", 3));
    EXPECT_EQ(TovoMBString::Formatted("[%5s][%.2s]", withNul, withNul).Str(),
              std::string("[  a\0b][a\0]", 11));
    TovoMBString self("ab"); // an argument may be the target itself
    self.Format("%s-%s", self, self);
    EXPECT_EQ(self, "ab-ab");
}

TEST(TovoFormatTest, StarWidthsAndMixedFormats) {
    EXPECT_EQ(TovoMBString::Formatted("%*d|", -5, 42), "42   |");
    EXPECT_EQ(TovoMBString::Formatted("%.*f", -1, 1.5), "1.500000");
    EXPECT_EQ(TovoMBString::Formatted("%*.*s|", 4, 1, "xyz"), "   x|");
    EXPECT_EQ(TovoMBString::Formatted("%s=%d (%.1f%%)", "x", 3, 50.0), "x=3 (50.0%)");
    EXPECT_EQ(TovoMBString::Formatted("%4096d", 1).GetLength(), 4096);
}

TEST(TovoFormatTest, RefusesFormatsThatDoNotFitTheirArguments) {
    EXPECT_THROW(TovoMBString::Formatted("%d", 1.0), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted("%f", 1), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted("%s", 1), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted("%d"), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted("abc", 1.0), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted("%*d", 4097, 1), TovoFormatError);
    EXPECT_THROW(TovoMBString::Formatted(nullptr), TovoFormatError);
    for (const char* fmt : {"%", "abc%", "%.2", "%l", "%k", "%n", "%p", "%lc", "%ls", "%hs", "%hf",
                            "%llf", "%1$d", "%5%", "%4097d", "%.4097f", "%99999999999999999999d"}) {
        EXPECT_THROW(TovoMBString::Formatted(fmt, 1), TovoFormatError) << fmt;
        EXPECT_THROW(TovoMBString::Formatted(fmt, 1.0), std::invalid_argument) << fmt;
    }
    TovoMBString s("keep"); // a refusal changes nothing
    EXPECT_THROW(s.Format("%d and %d", 1, 2.0), TovoFormatError);
    EXPECT_EQ(s, "keep");
}

// Needs a comma locale installed (for example made with localedef and LOCPATH); Windows has its
// own names for it.
TEST(TovoFormatTest, IgnoresTheProcessLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "German_Germany.1252"))
        GTEST_SKIP() << "no German locale";
    const std::string commaF = Snprintf("%.2f", 1.5);
    const std::string formatted = TovoMBString::Formatted("%.2f %'d", 1.5, 1234567).Str();
    const double read = TovoMBString("2.5").ToDouble();
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(commaF, "1,50"); // the locale really is in force
    EXPECT_EQ(formatted, "1.50 1234567");
    EXPECT_EQ(read, 2.5);
}
