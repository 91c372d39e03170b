// The toolkit's number conversions: leading numbers read like the C library, decimal text written.
#include "VyToolkit600/KrConvert.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>

using TOVO::TovoMBString;

TEST(KrConvert, KratofAndKratoiReadTheLeadingNumber) {
    const struct {
        const char* szText;
        double dValue;
        int nValue;
    } cases[] = {
        {"  -0.25xyz", -0.25, 0},
        {"+3e2", 300.0, 3},
        {"abc", 0.0, 0},
        {"0x10", 16.0, 0},
        {"2147483648", 2147483648.0, INT_MAX},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KRS::kratof(c.szText), c.dValue) << c.szText;
        EXPECT_EQ(KRS::kratof(TovoMBString(c.szText)), c.dValue) << c.szText;
        EXPECT_EQ(KRS::kratoi(c.szText), c.nValue) << c.szText;
        EXPECT_EQ(KRS::kratoi(TovoMBString(c.szText)), c.nValue) << c.szText;
    }
    EXPECT_EQ(KRS::kratof(static_cast<const char*>(nullptr)), 0.0);
    EXPECT_EQ(KRS::kratoi(static_cast<const char*>(nullptr)), 0);
}

TEST(KrConvert, NumberToStringReplacesTheTextWithDecimal) {
    const std::pair<int, const char*> cases[] = {{0, "0"}, {-15, "-15"}, {INT_MIN, "-2147483648"}};
    for (const auto& [n, text] : cases) {
        TovoMBString s("previous");
        KRS::NumberToString(n, s);
        EXPECT_EQ(s, text);
    }
}
