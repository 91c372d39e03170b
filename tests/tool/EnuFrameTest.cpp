#include "EnuFrame.h"

#include <gtest/gtest.h>

using theme3d::EnuFrame;
using theme3d::Vec3;

TEST(EnuFrame, OriginAndHeightsMapToTheSceneAxes) {
    const EnuFrame frame(10.0, 50.0);
    const Vec3 origin = frame.ToScene(10.0, 50.0, 0.0);
    EXPECT_NEAR(origin.x, 0.0, 1e-6);
    EXPECT_NEAR(origin.y, 0.0, 1e-6);
    EXPECT_NEAR(origin.z, 0.0, 1e-6);
    const Vec3 up = frame.ToScene(10.0, 50.0, 1000.0); // glTF y is up
    EXPECT_NEAR(up.x, 0.0, 1e-6);
    EXPECT_NEAR(up.y, 1000.0, 1e-6);
    EXPECT_NEAR(up.z, 0.0, 1e-6);
}

TEST(EnuFrame, EastIsXAndNorthIsMinusZ) {
    // At the equator one degree of longitude is a * pi / 180 = 111319.49 m along the circle;
    // the frame measures the chord's east part, a * sin(1 degree) = 111313.84 m, and the chord
    // drops a * (1 - cos(1 degree)) = 971.4 m below the tangent plane.
    const EnuFrame frame(0.0, 0.0);
    const Vec3 east = frame.ToScene(1.0, 0.0, 0.0);
    EXPECT_NEAR(east.x, 111313.84, 0.01);
    EXPECT_NEAR(east.y, -971.4, 0.1);
    EXPECT_NEAR(east.z, 0.0, 1e-6);
    const Vec3 north = frame.ToScene(0.0, 0.01, 0.0);
    EXPECT_NEAR(north.x, 0.0, 1e-6);
    EXPECT_LT(north.z, -1100.0); // about 1105.7 m north
    EXPECT_GT(north.z, -1112.0);
}
