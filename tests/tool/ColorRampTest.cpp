// Palettes tell unordered values apart: twenty colours before one repeats, none like another
// nor like the ground the scene stands on.
#include "ColorRamp.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>

using theme3d::ColorRamp;

namespace {

// CIE L*a*b* of an sRGB colour (D65), for the CIE76 colour difference.
std::array<double, 3> Lab(TOVO::TovoColor color) {
    const auto linear = [](unsigned c) {
        const double u = c / 255.0;
        return u <= 0.04045 ? u / 12.92 : std::pow((u + 0.055) / 1.055, 2.4);
    };
    const double r = linear(TOVO::TovoGetRValue(color)), g = linear(TOVO::TovoGetGValue(color)),
                 b = linear(TOVO::TovoGetBValue(color));
    const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
    const auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116.0; };
    return {116.0 * f(y) - 16.0, 500.0 * (f(x) - f(y)), 200.0 * (f(y) - f(z))};
}

double DeltaE(TOVO::TovoColor a, TOVO::TovoColor b) {
    const std::array<double, 3> p = Lab(a), q = Lab(b);
    return std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]);
}

} // namespace

TEST(ColorRamp, PalettesHaveTwentyDistinctColoursAwayFromTheGround) {
    const TOVO::TovoColor ground = TOVO::TOVORGB(0x3E, 0x5C, 0x7A);
    // A difference of 15 is plain side by side; 25 stands out against the ground.
    constexpr double kApart = 15.0, kFromGround = 25.0;
    for (const char* szPalette : {"bold", "pastel", "dark"}) {
        for (int i = 0; i < 20; ++i) {
            const TOVO::TovoColor color = ColorRamp::PaletteColor(szPalette, i);
            EXPECT_GE(DeltaE(color, ground), kFromGround) << szPalette << ' ' << i;
            for (int j = 0; j < i; ++j)
                EXPECT_GE(DeltaE(color, ColorRamp::PaletteColor(szPalette, j)), kApart)
                    << szPalette << ' ' << j << ' ' << i;
        }
        EXPECT_EQ(ColorRamp::PaletteColor(szPalette, 20), ColorRamp::PaletteColor(szPalette, 0))
            << szPalette;
    }
    EXPECT_EQ(ColorRamp::kGround, ground);
}
