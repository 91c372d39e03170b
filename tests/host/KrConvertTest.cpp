#include "VyToolkit600/KrConvert.h"

#include <gtest/gtest.h>

#include <climits>

using TOVO::TovoMBString;

namespace {

struct DoubleCase {
    const char* szText;
    double dExpected;
};

struct IntCase {
    const char* szText;
    int nExpected;
};

} // namespace

TEST(KrConvert, KratofReadsTheLeadingNumber) {
    const DoubleCase cases[] = {
        {"12.5", 12.5},   {"  -0.25xyz", -0.25}, {"+3e2", 300.0}, {"1e-3 m", 0.001}, {".5", 0.5},
        {"7.", 7.0},      {"abc", 0.0},          {"", 0.0},       {"-", 0.0},        {"1,5", 1.0},
        {"\t\n42", 42.0}, {"0x10", 16.0},        {"1e", 1.0},     {"100", 100.0}};
    for (const DoubleCase& c : cases) {
        EXPECT_EQ(KRS::kratof(c.szText), c.dExpected) << c.szText;
        EXPECT_EQ(KRS::kratof(TovoMBString(c.szText)), c.dExpected) << c.szText;
    }
    EXPECT_EQ(KRS::kratof(static_cast<const char*>(nullptr)), 0.0);
}

TEST(KrConvert, KratoiReadsTheLeadingIntegerAndSaturates) {
    const IntCase cases[] = {{"42", 42},
                             {"  -17 apples", -17},
                             {"+8", 8},
                             {"3.9", 3},
                             {"x1", 0},
                             {"", 0},
                             {"2147483647", INT_MAX},
                             {"2147483648", INT_MAX},
                             {"99999999999999999999", INT_MAX},
                             {"-2147483648", INT_MIN},
                             {"-99999999999999999999", INT_MIN},
                             {"007", 7}};
    for (const IntCase& c : cases) {
        EXPECT_EQ(KRS::kratoi(c.szText), c.nExpected) << c.szText;
        EXPECT_EQ(KRS::kratoi(TovoMBString(c.szText)), c.nExpected) << c.szText;
    }
    EXPECT_EQ(KRS::kratoi(static_cast<const char*>(nullptr)), 0);
}

TEST(KrConvert, NumberToStringWritesDecimal) {
    const IntCase cases[] = {
        {"0", 0}, {"7", 7}, {"-15", -15}, {"2147483647", INT_MAX}, {"-2147483648", INT_MIN}};
    for (const IntCase& c : cases) {
        TovoMBString s("previous");
        KRS::NumberToString(c.nExpected, s);
        EXPECT_EQ(s, c.szText);
    }
}
