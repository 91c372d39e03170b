#include "FeatureTessellator.h"

#include <cmath>
#include <gtest/gtest.h>
#include <ogr_geometry.h>

using namespace theme3d;

namespace {

std::unique_ptr<OGRGeometry> FromWkt(const char* szWkt) {
    OGRGeometry* pGeometry = nullptr;
    OGRGeometryFactory::createFromWkt(szWkt, nullptr, &pGeometry);
    return std::unique_ptr<OGRGeometry>(pGeometry);
}

double Area(const double* t) {
    return std::fabs((t[2] - t[0]) * (t[5] - t[1]) - (t[3] - t[1]) * (t[4] - t[0])) / 2.0;
}

// Every triangle is counter-clockwise seen from above: in the scene (x east, y up, z south) its
// normal's y is positive.
void ExpectFacesUp(const Primitive& primitive) {
    const std::vector<float>& p = primitive.positions;
    const std::vector<std::uint32_t>& t = primitive.indices;
    for (std::size_t i = 0; i + 2 < t.size(); i += 3) {
        const auto at = [&](std::uint32_t v, int c) {
            return double(p[v * 3 + static_cast<std::uint32_t>(c)]);
        };
        const double ux = at(t[i + 1], 0) - at(t[i], 0), uz = at(t[i + 1], 2) - at(t[i], 2);
        const double vx = at(t[i + 2], 0) - at(t[i], 0), vz = at(t[i + 2], 2) - at(t[i], 2);
        EXPECT_GT(uz * vx - ux * vz, 0.0) << "triangle " << i / 3;
    }
}

class FeatureTessellatorTest : public testing::Test {
protected:
    EnuFrame frame{0.5, 0.5};
    FeatureTessellator tessellator{frame};
};

} // namespace

// A square with a square hole, a bow tie whose ring crosses itself (repaired first, its two
// lobes of area 0.25 each kept) and a clockwise triangle: the triangles cover the area, none of
// them the hole, and all look up whichever way the rings wind.
TEST_F(FeatureTessellatorTest, KeepsHolesAndRepairsInvalidRings) {
    const std::pair<const char*, double> cases[] = {
        {"POLYGON ((0 0,1 0,1 1,0 1,0 0),(0.25 0.25,0.25 0.75,0.75 0.75,0.75 0.25,0.25 0.25))",
         0.75},
        {"POLYGON ((0 0,1 1,1 0,0 1,0 0))", 0.5},
        {"POLYGON ((0 0,0 1,1 0,0 0))", 0.5}};
    for (const auto& [szWkt, dArea] : cases) {
        const std::vector<double> triangles = tessellator.Triangulate(*FromWkt(szWkt)->toPolygon());
        double area = 0.0;
        for (std::size_t i = 0; i < triangles.size(); i += 6) {
            area += Area(&triangles[i]);
            const double cx = (triangles[i] + triangles[i + 2] + triangles[i + 4]) / 3.0;
            const double cy = (triangles[i + 1] + triangles[i + 3] + triangles[i + 5]) / 3.0;
            EXPECT_FALSE(dArea == 0.75 && cx > 0.25 && cx < 0.75 && cy > 0.25 && cy < 0.75);
        }
        EXPECT_NEAR(area, dArea, 1e-12) << szWkt;
        MeshData mesh;
        ASSERT_TRUE(tessellator.Add(*FromWkt(szWkt), FeatureLook{}, mesh));
        ExpectFacesUp(mesh.primitives[0]);
    }
}

TEST_F(FeatureTessellatorTest, MakesOnePrimitivePerColour) {
    const auto pLayer = FromWkt("GEOMETRYCOLLECTION (POINT (0.5 0.5),LINESTRING (0 0,1 0,1 1),"
                                "POLYGON ((0 0,1 0,1 1,0 0)))");
    FeatureLook look;
    look.fill = TOVO::TOVORGB(10, 20, 30);
    look.line = TOVO::TOVORGB(1, 2, 3);
    MeshData mesh;
    EXPECT_TRUE(tessellator.Add(*pLayer, look, mesh));
    ASSERT_EQ(mesh.primitives.size(), 2u); // the marker and the polygon share the fill
    EXPECT_EQ(mesh.primitives[0].nMode, Primitive::Triangles);
    EXPECT_EQ(mesh.primitives[0].indices.size(), 8u * 3 + 3); // octahedron, one triangle
    EXPECT_EQ(mesh.primitives[1].nMode, Primitive::Lines);
    EXPECT_EQ(mesh.primitives[1].indices, (std::vector<std::uint32_t>{0, 1, 1, 2}));
}

// A line east, then north (with a repeated point) as a ribbon 4 m wide, 0.5 m up: each point has
// a left and a right vertex, 4 m apart across the line and at the turn along the mitre (4 m
// east and 4 m north apart); two triangles a segment, looking up.
TEST_F(FeatureTessellatorTest, LinesAsRibbonsAreMitredLiftedAndLookUp) {
    FeatureLook look;
    look.dLineWidth = 4.0;
    look.dLineLift = 0.5;
    MeshData mesh;
    tessellator.Add(*FromWkt("LINESTRING (0.5 0.5,0.501 0.5,0.501 0.5,0.501 0.501)"), look, mesh);
    ASSERT_EQ(mesh.primitives.size(), 1u);
    const Primitive& ribbon = mesh.primitives[0];
    EXPECT_EQ(ribbon.nMode, Primitive::Triangles);
    ASSERT_EQ(ribbon.positions.size(), 6u * 3);
    EXPECT_EQ(ribbon.indices.size(), 4u * 3);
    const double across[3][3] = {{0, 0, -4}, {-4, 0, -4}, {-4, 0, 0}}; // left minus right
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t c = 0; c < 3; ++c)
            EXPECT_NEAR(ribbon.positions[6 * i + c] - ribbon.positions[6 * i + 3 + c], across[i][c],
                        1e-3)
                << i << " " << c;
    }
    for (std::size_t v = 0; v < 6; ++v)
        EXPECT_NEAR(ribbon.positions[3 * v + 1], 0.5, 0.01) << v; // y: up
    ExpectFacesUp(ribbon);
}

TEST_F(FeatureTessellatorTest, PointOnSurfaceLiesInsideThePolygon) {
    const auto pPolygon = FromWkt("POLYGON ((0 0,1 0,1 1,0 1,0 0),"
                                  "(0.25 0.25,0.25 0.75,0.75 0.75,0.75 0.25,0.25 0.25))");
    double lon = 0.0, lat = 0.0;
    ASSERT_TRUE(tessellator.PointOnSurface(*pPolygon, lon, lat));
    EXPECT_TRUE(lon > 0.0 && lon < 1.0 && lat > 0.0 && lat < 1.0);
    EXPECT_FALSE(lon > 0.25 && lon < 0.75 && lat > 0.25 && lat < 0.75);
    EXPECT_FALSE(tessellator.PointOnSurface(*FromWkt("POLYGON EMPTY"), lon, lat));
}
