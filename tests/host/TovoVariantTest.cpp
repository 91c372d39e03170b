// Field values: equality. The text form and the numeric reading per type are tested through
// KrTheme3D::Variant2String and Variant2Double.
#include "VyBase600/TovoVariant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using TOVO::TovoVariant;

TEST(TovoVariantTest, EqualWhenTypeAndValueAgree) {
    EXPECT_EQ(TovoVariant(std::int32_t{1}), TovoVariant(std::int32_t{1}));
    EXPECT_NE(TovoVariant::FromDayNumber(5.0), TovoVariant::FromDayNumber(5.0, TovoVariant::Time));
    EXPECT_NE(TovoVariant("x"), TovoVariant("X"));
    EXPECT_NE(TovoVariant::FromBinary("a\0b", 3), TovoVariant::FromBinary("a\0c", 3));
    const TovoVariant nan(std::nan(""));
    EXPECT_EQ(TovoVariant(nan), nan); // a copy equals its source
}
