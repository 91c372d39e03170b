// The byte string: trimming, searching, replacing, comparing and reading numbers.
#include "VyBase600/TovoMBString.h"
#include "VyToolkit600/KrConvert.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

using TOVO::TovoMBString;

TEST(TovoMBStringTest, TrimsEveryCopyAtOneEnd) {
    TovoMBString s(" \t\n\v\f\r zyxx%%a b%%xyz \r\n\v");
    EXPECT_EQ(
        s.TrimRight().TrimLeft().TrimLeft("xyz").TrimRight("xyz").TrimLeft('%').TrimRight('%'),
        "a b");
    EXPECT_EQ(s.TrimLeft(static_cast<const char*>(nullptr)), "a b");
    EXPECT_EQ(TovoMBString("\xA0x\xA0").Trim(), "\xA0x\xA0"); // no white space
}

TEST(TovoMBStringTest, FindsReplacesCutsAndComparesBytes) {
    const TovoMBString s("abcabc");
    const int found[] = {s.Find("bc"),       s.Find("bc", 2),   s.Find("bc", 5), s.Find("x"),
                         s.Find("bc", -1),   s.Find("bc", 7),   s.Find('c', 3),  s.Find('a', 6),
                         s.ReverseFind('a'), s.ReverseFind('z')};
    const int expected[] = {1, 4, -1, -1, -1, -1, 5, -1, 3, -1};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(found[i], expected[i]) << i;

    EXPECT_EQ(TovoMBString("a.b.c").Replace("", "x"), 0);
    TovoMBString u("aaa"); // left to right, without overlaps
    EXPECT_EQ(u.Replace("aa", "ab"), 1);
    EXPECT_EQ(u.Replace('a', 'x'), 2);
    EXPECT_EQ(u, "xbx");

    const TovoMBString h("hello");
    EXPECT_EQ(h.Left(2) + "|" + h.Left(-1) + "|" + h.Left(9), "he||hello");
    EXPECT_EQ(h.Right(3) + "|" + h.Right(9), "llo|hello");
    EXPECT_EQ(h.Mid(1, 3) + "|" + h.Mid(-2, 2) + "|" + h.Mid(4, 9) + "|" + h.Mid(7), "ell|he|o|");

    EXPECT_EQ(TovoMBString("ABC").CompareNoCase("abc"), 0);
    EXPECT_LT(TovoMBString("ab").CompareNoCase("abc"), 0);
    EXPECT_NE(TovoMBString("\xC9").CompareNoCase("\xE9"), 0); // no folding beyond ASCII
    EXPECT_GT(TovoMBString("\x80").Compare("a"), 0);          // bytes are unsigned
    EXPECT_LT(TovoMBString("B"), TovoMBString("a"));
    EXPECT_EQ(TovoMBString("a\xE9Z").MakeUpper(), "A\xE9Z");
}

// ToDouble reads the leading number (see the comparison with strtod below); ParseDouble wants
// the whole text.
TEST(TovoMBStringTest, ParseDoubleReadsTheWholeTextOrNothing) {
    double d = -7.0;
    EXPECT_TRUE(TovoMBString("  12.5 \t").ParseDouble(d));
    for (const char* bad : {"", "  ", "12abc", "1 2", "."}) {
        TovoMBString(bad).ParseDouble(d);
        EXPECT_EQ(d, 12.5) << bad; // read, and left alone by what is no number
    }
}

// Many short texts made of the pieces numbers are made of (the special words and the hexadecimal
// prefix whole, as single characters would seldom spell them), read by the byte string's readers
// and the toolkit's kratof and kratoi, which read the leading number the same way.
TEST(TovoMBStringTest, ReadsNumbersAsTheCLibraryDoes) {
    const char* const pieces[] = {"0",  "1",   "7",     "9",   "00",   ".",  "e", "E",
                                  "+",  "-",   "x",     "0x",  "0X",   "p",  "P", "a",
                                  "F",  "inf", "INITY", "nan", "(",    ")",  "_", " ",
                                  "\t", "1e",  "e-",    "p+",  "9999", ".0", "n", "y"};
    unsigned seed = 12345;
    for (int n = 0; n < 100000; ++n) {
        std::string text;
        for (int len = n % 7; len > 0; --len) {
            seed = seed * 1103515245u + 12345u;
            text += pieces[(seed >> 16) % (sizeof pieces / sizeof *pieces)];
        }
        char* end = nullptr;
        double expected = std::strtod(text.c_str(), &end);
        if (end == text.c_str())
            expected = 0.0; // no number: +0 (the Windows runtime keeps the sign of "-x" as -0)
        const auto same = [&](double d) {
            return (d == expected || (std::isnan(d) && std::isnan(expected))) &&
                   std::signbit(d) == std::signbit(expected);
        };
        EXPECT_TRUE(same(TovoMBString(text).ToDouble()) && same(KRS::kratof(text.c_str())) &&
                    same(KRS::kratof(TovoMBString(text))))
            << text;
        for (int base : {0, 10, 16}) {
            const long l = std::strtol(text.c_str(), nullptr, base);
            const int clamped = l > INT_MAX ? INT_MAX : l < INT_MIN ? INT_MIN : static_cast<int>(l);
            EXPECT_EQ(TovoMBString(text).ToInt(base), clamped) << text << " base " << base;
            EXPECT_TRUE(base != 10 || (KRS::kratoi(text.c_str()) == clamped &&
                                       KRS::kratoi(TovoMBString(text)) == clamped))
                << text;
        }
    }
}
