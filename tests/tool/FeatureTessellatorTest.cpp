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

class FeatureTessellatorTest : public testing::Test {
protected:
    EnuFrame frame{0.5, 0.5};
    FeatureTessellator tessellator{frame};
};

} // namespace

TEST_F(FeatureTessellatorTest, KeepsTheHoleOfAPolygon) {
    const auto pPolygon = FromWkt("POLYGON ((0 0,1 0,1 1,0 1,0 0),"
                                  "(0.25 0.25,0.25 0.75,0.75 0.75,0.75 0.25,0.25 0.25))");
    const std::vector<double> triangles = tessellator.Triangulate(*pPolygon->toPolygon());
    ASSERT_FALSE(triangles.empty());
    double area = 0.0;
    for (std::size_t i = 0; i < triangles.size(); i += 6) {
        area += Area(&triangles[i]);
        const double cx = (triangles[i] + triangles[i + 2] + triangles[i + 4]) / 3.0;
        const double cy = (triangles[i + 1] + triangles[i + 3] + triangles[i + 5]) / 3.0;
        EXPECT_FALSE(cx > 0.25 && cx < 0.75 && cy > 0.25 && cy < 0.75) << "triangle in the hole";
    }
    EXPECT_NEAR(area, 1.0 - 0.25, 1e-12);
}

TEST_F(FeatureTessellatorTest, RepairsAnInvalidRingBeforeTriangulating) {
    // A bow tie: the ring crosses itself; its two lobes of area 0.25 each are kept.
    const auto pPolygon = FromWkt("POLYGON ((0 0,1 1,1 0,0 1,0 0))");
    const std::vector<double> triangles = tessellator.Triangulate(*pPolygon->toPolygon());
    double area = 0.0;
    for (std::size_t i = 0; i < triangles.size(); i += 6)
        area += Area(&triangles[i]);
    EXPECT_NEAR(area, 0.5, 1e-12);
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

TEST_F(FeatureTessellatorTest, FacesLookUp) {
    // Both windings of the same triangle come out counter-clockwise seen from above: in the
    // scene (x east, y up, z south) the normal's y is positive.
    for (const char* szWkt : {"POLYGON ((0 0,1 0,0 1,0 0))", "POLYGON ((0 0,0 1,1 0,0 0))"}) {
        MeshData mesh;
        ASSERT_TRUE(tessellator.Add(*FromWkt(szWkt), FeatureLook{}, mesh));
        const std::vector<float>& p = mesh.primitives[0].positions;
        const std::vector<std::uint32_t>& t = mesh.primitives[0].indices;
        const auto at = [&](std::uint32_t v, int c) {
            return double(p[v * 3 + static_cast<std::uint32_t>(c)]);
        };
        const double ux = at(t[1], 0) - at(t[0], 0), uz = at(t[1], 2) - at(t[0], 2);
        const double vx = at(t[2], 0) - at(t[0], 0), vz = at(t[2], 2) - at(t[0], 2);
        EXPECT_GT(uz * vx - ux * vz, 0.0) << szWkt; // y of (u x v)
    }
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
