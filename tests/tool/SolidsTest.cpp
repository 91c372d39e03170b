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

// The smallest and largest x, y and z of the vertices: {min x, max x, min y, ...}.
std::vector<double> Extent(const Primitive& p) {
    std::vector<double> e{1e9, -1e9, 1e9, -1e9, 1e9, -1e9};
    for (const Vec3& v : Vertices(p)) {
        const double c[3] = {v.x, v.y, v.z};
        for (int i = 0; i < 3; ++i) {
            e[2 * i] = std::min(e[2 * i], c[i]);
            e[2 * i + 1] = std::max(e[2 * i + 1], c[i]);
        }
    }
    return e;
}

void ExpectExtent(const Primitive& p, const std::vector<double>& expected) {
    const std::vector<double> e = Extent(p);
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_NEAR(e[i], expected[i], 1e-3) << i;
}

class SolidsTest : public testing::Test {
protected:
    // At the frame's origin the local axes are the scene's, so sizes can be read off directly.
    EnuFrame frame{20.0, 40.0};
    Solids solids{frame};
};

} // namespace

// Radius x runs east, radius y north; the base stands at the point's height.
TEST_F(SolidsTest, CylinderStandsOnItsBaseWithinItsRadii) {
    Primitive p;
    solids.Cylinder({20.0, 40.0, 100.0}, 30.0, 10.0, 500.0, p);
    for (const Vec3& v : Vertices(p))
        EXPECT_LE(v.x * v.x / 900.0 + v.z * v.z / 100.0, 1.0 + 1e-4);
    ExpectExtent(p, {-30, 30, 100, 600, -10, 10});
}

// A quarter from 0 (east) to 90 degrees (north, -z): nothing west or south of the centre.
TEST_F(SolidsTest, PieSliceKeepsToItsAngles) {
    Primitive p;
    solids.PieSlice({20.0, 40.0, 0.0}, 50.0, 50.0, 0.0, 90.0, 25.0, p);
    ExpectExtent(p, {0, 50, 0, 25, -50, 0});
}

TEST_F(SolidsTest, MarkerIsAnOctahedronAboveThePoint) {
    Primitive p;
    solids.Marker({20.0, 40.0, 0.0}, 8.0, p);
    EXPECT_EQ(p.positions.size(), 6u * 3u);
    ExpectExtent(p, {-4, 4, 0, 16, -4, 4}); // the ring is half as wide as the tips are high
}
