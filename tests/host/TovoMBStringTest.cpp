// The byte string: trimming, searching, replacing, comparing and reading numbers.
#include "VyBase600/TovoMBString.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

using TOVO::TovoMBString;

TEST(TovoMBStringTest, TrimsAtEachEnd) {
    struct Case {
        const char* in;
        TovoMBString (*op)(TovoMBString);
        const char* out;
    } cases[] = {
        {" \t\n\v\f\r a b \r\n", [](TovoMBString s) { return s.TrimLeft(); }, "a b \r\n"},
        {" \t a b \v\f ", [](TovoMBString s) { return s.TrimRight(); }, " \t a b"},
        {"  a  ", [](TovoMBString s) { return s.Trim(); }, "a"},
        {"%%%.2f%", [](TovoMBString s) { return s.TrimLeft('%'); }, ".2f%"},
        {"%.2f%%", [](TovoMBString s) { return s.TrimLeft("%"); }, ".2f%%"},
        {"1.500", [](TovoMBString s) { return s.TrimRight('0'); }, "1.5"},
        {"2.000", [](TovoMBString s) { return s.TrimRight("0").TrimRight("."); }, "2"},
        {"xyzaxy", [](TovoMBString s) { return s.TrimLeft("zyx"); }, "axy"},
        {"xyzaxy", [](TovoMBString s) { return s.TrimRight("zyx"); }, "xyza"},
        {"aaa", [](TovoMBString s) { return s.TrimRight('a'); }, ""},
        {"", [](TovoMBString s) { return s.TrimLeft(); }, ""},
        {"ab", [](TovoMBString s) { return s.TrimLeft(static_cast<const char*>(nullptr)); }, "ab"},
        {"\xA0x\xA0", [](TovoMBString s) { return s.Trim(); }, "\xA0x\xA0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.op(c.in), c.out) << '"' << c.in << '"';
    TovoMBString withNul(std::string("ab\0", 3)); // a NUL byte is in no set given as C text
    EXPECT_EQ(withNul.TrimRight("x").GetLength(), 3);
    EXPECT_EQ(withNul.TrimRight('\0'), "ab");
}

TEST(TovoMBStringTest, FindsFromAStartAndOutOfRange) {
    const TovoMBString s("abcabc");
    EXPECT_EQ(s.Find("bc"), 1);
    EXPECT_EQ(s.Find("bc", 2), 4);
    EXPECT_EQ(s.Find("bc", 5), -1);
    EXPECT_EQ(s.Find("x"), -1);
    EXPECT_EQ(s.Find("bc", -1), -1);
    EXPECT_EQ(s.Find("bc", 7), -1);
    EXPECT_EQ(s.Find('c', 3), 5);
    EXPECT_EQ(s.Find('a', 6), -1);
    EXPECT_EQ(s.Find('a', -2), -1);
    EXPECT_EQ(s.ReverseFind('a'), 3);
    EXPECT_EQ(s.ReverseFind('z'), -1);
}

TEST(TovoMBStringTest, ReplacesEveryOccurrence) {
    TovoMBString s("a.b.c");
    EXPECT_EQ(s.Replace(".", "::"), 2);
    EXPECT_EQ(s, "a::b::c");
    EXPECT_EQ(s.Replace("", "x"), 0);
    EXPECT_EQ(s.Replace("q", "x"), 0);
    EXPECT_EQ(s, "a::b::c");
    TovoMBString t("aaa");
    EXPECT_EQ(t.Replace("aa", "b"), 1);
    EXPECT_EQ(t, "ba");
    TovoMBString u("ab");
    EXPECT_EQ(u.Replace("a", "aa"), 1);
    EXPECT_EQ(u, "aab");
    EXPECT_EQ(u.Replace('a', 'x'), 2);
    EXPECT_EQ(u, "xxb");
    EXPECT_EQ(u.Replace('b', 'b'), 0);
}

TEST(TovoMBStringTest, ComparesBytesAndAsciiCase) {
    EXPECT_EQ(TovoMBString("ABC").CompareNoCase("abc"), 0);
    EXPECT_LT(TovoMBString("abc").CompareNoCase("ABD"), 0);
    EXPECT_LT(TovoMBString("ab").CompareNoCase("abc"), 0);
    EXPECT_GT(TovoMBString("b").CompareNoCase("A"), 0);
    EXPECT_NE(TovoMBString("\xC9").CompareNoCase("\xE9"), 0); // no folding beyond ASCII
    EXPECT_GT(TovoMBString("\x80").Compare("a"), 0);          // bytes are unsigned
    EXPECT_LT(TovoMBString("B"), TovoMBString("a"));
    EXPECT_EQ(TovoMBString("a\xE9Z").MakeUpper(), "A\xE9Z");
    EXPECT_EQ(TovoMBString("A\xC9z").MakeLower(), "a\xC9z");
}

TEST(TovoMBStringTest, LeftRightMidClamp) {
    const TovoMBString s("hello");
    EXPECT_EQ(s.Left(2), "he");
    EXPECT_EQ(s.Left(-1), "");
    EXPECT_EQ(s.Left(9), "hello");
    EXPECT_EQ(s.Right(3), "llo");
    EXPECT_EQ(s.Right(9), "hello");
    EXPECT_EQ(s.Mid(1, 3), "ell");
    EXPECT_EQ(s.Mid(3), "lo");
    EXPECT_EQ(s.Mid(-2, 2), "he");
    EXPECT_EQ(s.Mid(4, 9), "o");
    EXPECT_EQ(s.Mid(7), "");
}

TEST(TovoMBStringTest, ToDoubleReadsTheLeadingNumber) {
    const struct {
        const char* in;
        double out;
    } cases[] = {
        {"  12abc", 12.0},
        {"abc", 0.0},
        {"1e3", 1000.0},
        {"+1.5", 1.5},
        {".5", 0.5},
        {"5.", 5.0},
        {"1e", 1.0},
        {"1e+", 1.0},
        {"1e-2x", 0.01},
        {" \t\n-2.5e1", -25.0},
        {"0x1A", 26.0},
        {"0x", 0.0},
        {"0x.8", 0.5},
        {"0x1p4", 16.0},
        {"1,5", 1.0},
        {"- 1", 0.0},
        {"00012", 12.0},
        {"0.1", 0.1},
        {"", 0.0},
        {"1e-400", 0.0},
        {"3.14159265358979323846264338327950288", 3.141592653589793},
        {"123456789012345678901234567890", 1.2345678901234568e29},
        {"inf", HUGE_VAL},
        {"-Infinity", -HUGE_VAL},
        {"1e400", HUGE_VAL},
        {"-1e99999999999", -HUGE_VAL},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TovoMBString(c.in).ToDouble(), c.out) << '"' << c.in << '"';
    EXPECT_TRUE(std::signbit(TovoMBString("-0").ToDouble()));
    EXPECT_TRUE(std::isnan(TovoMBString("nan").ToDouble()));
    EXPECT_TRUE(std::isnan(TovoMBString("-NaN(12)x").ToDouble()));
    EXPECT_EQ(TovoMBString(std::string("12\0"
                                       "5",
                                       4))
                  .ToDouble(),
              12.0);
}

TEST(TovoMBStringTest, ParseDoubleWantsTheWholeText) {
    double d = -7.0;
    EXPECT_TRUE(TovoMBString("  12.5 \t").ParseDouble(d));
    EXPECT_EQ(d, 12.5);
    for (const char* bad : {"", "  ", "12abc", "abc", "1 2", "."}) {
        d = -7.0;
        EXPECT_FALSE(TovoMBString(bad).ParseDouble(d)) << bad;
        EXPECT_EQ(d, -7.0);
    }
}

TEST(TovoMBStringTest, ToUIntAndToIntReadLikeStrtoulOnA32BitLong) {
    const struct {
        const char* in;
        int base;
        unsigned out;
    } cases[] = {
        {"42", 10, 42u},
        {"  +7x", 10, 7u},
        {"-1", 10, 4294967295u},
        {"4294967295", 10, UINT_MAX},
        {"4294967296", 10, UINT_MAX},
        {"-4294967296", 10, UINT_MAX},
        {"-4294967295", 10, 1u},
        {"ff", 16, 255u},
        {"0xff", 16, 255u},
        {"0xFF", 0, 255u},
        {"0x", 16, 0u},
        {"0xg", 0, 0u},
        {"017", 0, 15u},
        {"017", 10, 17u},
        {"z", 36, 35u},
        {"101", 2, 5u},
        {"12", 1, 0u},
        {"12", 37, 0u},
        {"", 10, 0u},
        {"-", 10, 0u},
        {"99999999999999999999", 10, UINT_MAX},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TovoMBString(c.in).ToUInt(c.base), c.out) << '"' << c.in << "\" base " << c.base;
    EXPECT_EQ(TovoMBString("-2147483648").ToInt(), INT_MIN);
    EXPECT_EQ(TovoMBString("-2147483649").ToInt(), INT_MIN);
    EXPECT_EQ(TovoMBString("2147483648").ToInt(), INT_MAX);
    EXPECT_EQ(TovoMBString(" -12abc").ToInt(), -12);
    EXPECT_EQ(TovoMBString("-0x10").ToInt(16), -16);
}

// Many short texts over the characters that numbers are made of, read by both readers.
TEST(TovoMBStringTest, ReadsNumbersAsTheCLibraryDoes) {
    const char alphabet[] = "0123456789.eE+-xXpPaAfFinNty() 9";
    unsigned seed = 12345;
    for (int n = 0; n < 200000; ++n) {
        std::string text;
        for (int len = n % 13; len > 0; --len) {
            seed = seed * 1103515245u + 12345u;
            text += alphabet[(seed >> 16) % (sizeof alphabet - 1)];
        }
        const double expected = std::strtod(text.c_str(), nullptr);
        const double got = TovoMBString(text).ToDouble();
        if (std::isnan(expected))
            EXPECT_TRUE(std::isnan(got) && std::signbit(got) == std::signbit(expected)) << text;
        else
            EXPECT_TRUE(got == expected && std::signbit(got) == std::signbit(expected)) << text;
        const long l = std::strtol(text.c_str(), nullptr, 0);
        EXPECT_EQ(TovoMBString(text).ToInt(0), l > INT_MAX   ? INT_MAX
                                               : l < INT_MIN ? INT_MIN
                                                             : l)
            << text;
    }
}
