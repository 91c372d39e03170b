#include "EnuFrame.h"

#include <gtest/gtest.h>

using theme3d::EnuFrame;
using theme3d::Vec3;

// The scene's axes are x east, y up, z south. At the equator one degree of longitude is the
// chord a * sin(1 degree) = 111313.84 m east, dropping a * (1 - cos(1 degree)) = 971.4 m below
// the tangent plane; 0.01 degrees of latitude is a (1 - e^2) sin(0.01 degrees) = 1105.74 m north.
TEST(EnuFrame, PointsMapToEastUpSouth) {
    const struct {
        double dLon0, dLat0, dLon, dLat, dHeight;
        Vec3 expected;
    } cases[] = {
        {10.0, 50.0, 10.0, 50.0, 0.0, {0.0, 0.0, 0.0}},
        {10.0, 50.0, 10.0, 50.0, 1000.0, {0.0, 1000.0, 0.0}},
        {0.0, 0.0, 1.0, 0.0, 0.0, {111313.84, -971.4, 0.0}},
        {0.0, 0.0, 0.0, 0.01, 0.0, {0.0, -0.0965, -1105.74}},
    };
    for (const auto& c : cases) {
        const Vec3 v = EnuFrame(c.dLon0, c.dLat0).ToScene(c.dLon, c.dLat, c.dHeight);
        EXPECT_NEAR(v.x, c.expected.x, 0.01) << c.dLon << " " << c.dLat << " " << c.dHeight;
        EXPECT_NEAR(v.y, c.expected.y, 0.05) << c.dLon << " " << c.dLat << " " << c.dHeight;
        EXPECT_NEAR(v.z, c.expected.z, 0.01) << c.dLon << " " << c.dLat << " " << c.dHeight;
    }
}
