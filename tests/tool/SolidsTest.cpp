#include "Solids.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace theme3d;

namespace {

// Vertices of a primitive in the scene (x east, y up, z south).
std::vector<Vec3> Vertices(const Primitive& p) {
    std::vector<Vec3> v;
    for (std::size_t i = 0; i + 2 < p.positions.size(); i += 3)
        v.push_back({p.positions[i], p.positions[i + 1], p.positions[i + 2]});
    return v;
}

class SolidsTest : public testing::Test {
protected:
    // At the frame's origin the local axes are the scene's, so sizes can be read off directly.
    EnuFrame frame{20.0, 40.0};
    Solids solids{frame};
};

} // namespace

TEST_F(SolidsTest, CylinderStandsOnItsBaseWithinItsRadii) {
    Primitive p;
    solids.Cylinder({20.0, 40.0, 100.0}, 30.0, 10.0, 500.0, p);
    double maxX = 0.0, maxZ = 0.0, minY = 1e9, maxY = -1e9;
    for (const Vec3& v : Vertices(p)) {
        EXPECT_LE(v.x * v.x / 900.0 + v.z * v.z / 100.0, 1.0 + 1e-4);
        maxX = std::max(maxX, std::fabs(v.x));
        maxZ = std::max(maxZ, std::fabs(v.z));
        minY = std::min(minY, v.y);
        maxY = std::max(maxY, v.y);
    }
    EXPECT_NEAR(maxX, 30.0, 1e-3); // radius x runs east
    EXPECT_NEAR(maxZ, 10.0, 1e-3); // radius y runs north
    EXPECT_NEAR(minY, 100.0, 1e-3);
    EXPECT_NEAR(maxY, 600.0, 1e-3);
    EXPECT_EQ(p.indices.size() % 3, 0u);
}

TEST_F(SolidsTest, PieSliceKeepsToItsAngles) {
    // A quarter from 0 (east) to 90 degrees (north): no vertex lies west or south of the centre.
    Primitive p;
    solids.PieSlice({20.0, 40.0, 0.0}, 50.0, 50.0, 0.0, 90.0, 25.0, p);
    bool bReachesEast = false, bReachesNorth = false;
    for (const Vec3& v : Vertices(p)) {
        EXPECT_GE(v.x, -1e-3);
        EXPECT_LE(v.z, 1e-3); // north is -z
        bReachesEast = bReachesEast || std::fabs(v.x - 50.0) < 1e-3;
        bReachesNorth = bReachesNorth || std::fabs(v.z + 50.0) < 1e-3;
    }
    EXPECT_TRUE(bReachesEast);
    EXPECT_TRUE(bReachesNorth);
}

TEST_F(SolidsTest, MarkerIsAnOctahedronAboveThePoint) {
    Primitive p;
    solids.Marker({20.0, 40.0, 0.0}, 8.0, p);
    EXPECT_EQ(p.indices.size(), 24u);
    EXPECT_EQ(p.positions.size(), 6u * 3u);
    double minY = 1e9, maxY = -1e9;
    for (const Vec3& v : Vertices(p)) {
        minY = std::min(minY, v.y);
        maxY = std::max(maxY, v.y);
    }
    EXPECT_NEAR(minY, 0.0, 1e-3);
    EXPECT_NEAR(maxY, 16.0, 1e-3);
}
