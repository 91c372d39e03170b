// The toolkit's number conversions: decimal text written, and no number in no text. How kratof and
// kratoi read the leading number is compared with the C library in TovoMBStringTest.
#include "VyToolkit600/KrConvert.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>

using TOVO::TovoMBString;

TEST(KrConvert, NumberToStringReplacesTheTextWithDecimal) {
    const std::pair<int, const char*> cases[] = {{0, "0"}, {-15, "-15"}, {INT_MIN, "-2147483648"}};
    for (const auto& [n, text] : cases) {
        TovoMBString s("previous");
        KRS::NumberToString(n, s);
        EXPECT_EQ(s, text);
    }
    EXPECT_EQ(KRS::kratof(static_cast<const char*>(nullptr)), 0.0);
    EXPECT_EQ(KRS::kratoi(static_cast<const char*>(nullptr)), 0);
}
