// Field values: text form per type code, equality, and replacing a value. The numeric reading
// is tested through KrTheme3D::Variant2Double.
#include "VyBase600/TovoVariant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

using TOVO::TovoMBString;
using TOVO::TovoVariant;

TEST(TovoVariantTest, ToStringPerType) {
    const struct {
        TovoVariant v;
        const char* text;
    } cases[] = {
        {TovoVariant(std::uint8_t{200}), "200"},
        {TovoVariant(std::int16_t{-5}), "-5"},
        {TovoVariant(std::int32_t{std::numeric_limits<std::int32_t>::min()}), "-2147483648"},
        {TovoVariant(std::int64_t{std::numeric_limits<std::int64_t>::max()}),
         "9223372036854775807"},
        {TovoVariant(0.1f), "0.1"},
        {TovoVariant(0.1), "0.1"},
        {TovoVariant(2.0), "2"},
        {TovoVariant(1.0 / 3.0), "0.3333333333333333"},
        {TovoVariant(1e21), "1e+21"},
        {TovoVariant::FromDayNumber(41222.0 + 29103.0 / 86400.0), "2012-11-09 08:05:03"},
        {TovoVariant::FromDayNumber(40913.0, TovoVariant::DateTime), "2012-01-05"},
        {TovoVariant::FromDayNumber(40913.0 + 1.0 / 86400.0, TovoVariant::Time),
         "2012-01-05 00:00:01"},
        {TovoVariant::FromDayNumber(1e9), ""},
        {TovoVariant(" a\xE9 "), " a\xE9 "},
        {TovoVariant(), ""},
        {TovoVariant::FromBinary("ab", 2), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.v.ToString(), c.text) << "type " << c.v.GetType();
}

TEST(TovoVariantTest, EqualWhenTypeAndValueAgree) {
    EXPECT_EQ(TovoVariant(std::int32_t{1}), TovoVariant(std::int32_t{1}));
    EXPECT_NE(TovoVariant(std::int32_t{1}), TovoVariant(std::int64_t{1}));
    EXPECT_NE(TovoVariant::FromDayNumber(5.0), TovoVariant(5.0));
    EXPECT_NE(TovoVariant::FromDayNumber(5.0), TovoVariant::FromDayNumber(5.0, TovoVariant::Time));
    EXPECT_NE(TovoVariant("x"), TovoVariant("X"));
    EXPECT_NE(TovoVariant::FromBinary("a\0b", 3), TovoVariant::FromBinary("a\0c", 3));
    const TovoVariant nan(std::nan(""));
    EXPECT_EQ(TovoVariant(nan), nan); // a copy equals its source
}
