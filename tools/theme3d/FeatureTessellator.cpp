#include "FeatureTessellator.h"

#include <algorithm>
#include <cmath>
#include <geos_c.h>
#include <map>
#include <ogr_geometry.h>

namespace theme3d {

namespace {

GEOSContextHandle_t Ctx(void* h) {
    return static_cast<GEOSContextHandle_t>(h);
}

// The triangles of a GEOS collection of triangle polygons, as flat longitude/latitude triples.
void CollectTriangles(GEOSContextHandle_t ctx, const GEOSGeometry* pTriangles,
                      std::vector<double>& out) {
    const int n = GEOSGetNumGeometries_r(ctx, pTriangles);
    for (int i = 0; i < n; ++i) {
        const GEOSGeometry* pTri = GEOSGetGeometryN_r(ctx, pTriangles, i);
        const GEOSGeometry* pRing = GEOSGetExteriorRing_r(ctx, pTri);
        const GEOSCoordSequence* pSeq = pRing ? GEOSGeom_getCoordSeq_r(ctx, pRing) : nullptr;
        unsigned int nSize = 0;
        if (pSeq == nullptr || !GEOSCoordSeq_getSize_r(ctx, pSeq, &nSize) || nSize < 3)
            continue;
        for (unsigned int k = 0; k < 3; ++k) {
            double x = 0.0, y = 0.0;
            GEOSCoordSeq_getXY_r(ctx, pSeq, k, &x, &y);
            out.push_back(x);
            out.push_back(y);
        }
    }
}

double Distance(const double* a, const double* b) {
    return std::hypot(a[0] - b[0], a[1] - b[1]);
}

// Twice the signed area of a triangle in longitude/latitude: positive when counter-clockwise,
// which the east-north-up frame turns into a face looking up.
double Orientation(const double* a, const double* b, const double* c) {
    return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
}

// Whether the ring runs clockwise in longitude/latitude (shoelace sum).
bool IsClockwise(const OGRLinearRing& ring) {
    double sum = 0.0;
    for (int i = 0; i + 1 < ring.getNumPoints(); ++i)
        sum += (ring.getX(i + 1) - ring.getX(i)) * (ring.getY(i + 1) + ring.getY(i));
    return sum > 0.0;
}

} // namespace

FeatureTessellator::FeatureTessellator(const EnuFrame& frame)
    : m_frame(frame), m_solids(frame), m_hGeos(OGRGeometry::createGEOSContext()) {}

FeatureTessellator::~FeatureTessellator() {
    OGRGeometry::freeGEOSContext(Ctx(m_hGeos));
}

bool FeatureTessellator::Add(const OGRGeometry& geometry, const FeatureLook& look, MeshData& out) {
    switch (wkbFlatten(geometry.getGeometryType())) {
    case wkbPoint: {
        const auto& point = *geometry.toPoint();
        m_solids.Marker({point.getX(), point.getY(), 0.0}, look.dMarker,
                        out.For(look.fill, Primitive::Triangles));
        return true;
    }
    case wkbLineString:
        AddLine(*geometry.toLineString(), look, out);
        return true;
    case wkbPolygon:
        return AddPolygon(*geometry.toPolygon(), look, out);
    case wkbMultiPoint:
    case wkbMultiLineString:
    case wkbMultiPolygon:
    case wkbGeometryCollection: {
        bool bAll = true;
        for (const OGRGeometry* pPart : *geometry.toGeometryCollection())
            bAll = Add(*pPart, look, out) && bAll;
        return bAll;
    }
    default: {
        // Curves and other kinds: drawn as their linear approximation.
        std::unique_ptr<OGRGeometry> pLinear(geometry.getLinearGeometry());
        return pLinear && wkbFlatten(pLinear->getGeometryType()) !=
                              wkbFlatten(geometry.getGeometryType())
                   ? Add(*pLinear, look, out)
                   : false;
    }
    }
}

std::vector<double> FeatureTessellator::Triangulate(const OGRPolygon& polygon) {
    std::vector<double> triangles;
    GEOSContextHandle_t ctx = Ctx(m_hGeos);
    GEOSGeometry* pGeos = polygon.exportToGEOS(ctx);
    if (pGeos == nullptr)
        return triangles;
    GEOSGeometry* pTriangles = GEOSConstrainedDelaunayTriangulation_r(ctx, pGeos);
    if (pTriangles == nullptr) {
        // Self-touching or otherwise invalid rings: triangulate the repaired shape instead.
        GEOSGeometry* pValid = GEOSMakeValid_r(ctx, pGeos);
        if (pValid != nullptr) {
            pTriangles = GEOSConstrainedDelaunayTriangulation_r(ctx, pValid);
            GEOSGeom_destroy_r(ctx, pValid);
        }
    }
    GEOSGeom_destroy_r(ctx, pGeos);
    if (pTriangles != nullptr) {
        CollectTriangles(ctx, pTriangles, triangles);
        GEOSGeom_destroy_r(ctx, pTriangles);
    }
    return triangles;
}

bool FeatureTessellator::AddPolygon(const OGRPolygon& polygon, const FeatureLook& look,
                                    MeshData& out) {
    if (polygon.IsEmpty())
        return true;
    std::vector<double> triangles = Triangulate(polygon);
    if (triangles.empty())
        return false;
    Primitive& fill = out.For(look.fill, Primitive::Triangles);
    VertexCache cache;
    for (std::size_t i = 0; i + 6 <= triangles.size(); i += 6) {
        double* tri = &triangles[i];
        // Every face looks up (the materials are one-sided, so the far side of a large layer
        // does not show through).
        if (Orientation(tri, tri + 2, tri + 4) < 0.0) {
            std::swap(tri[2], tri[4]);
            std::swap(tri[3], tri[5]);
        }
        Emit(tri, look.dExtrude, 0, fill, cache);
    }
    if (look.dExtrude > 0.0)
        AddWalls(polygon, look, fill);
    return true;
}

void FeatureTessellator::Ground(double xmin, double ymin, double xmax, double ymax, double dHeight,
                                Primitive& out) {
    const int nx = std::max(8, static_cast<int>(std::ceil((xmax - xmin) / kMaxEdgeDegrees)));
    const int ny = std::max(8, static_cast<int>(std::ceil((ymax - ymin) / kMaxEdgeDegrees)));
    VertexCache cache;
    for (int i = 0; i < nx; ++i) {
        const double x0 = xmin + (xmax - xmin) * i / nx, x1 = xmin + (xmax - xmin) * (i + 1) / nx;
        for (int j = 0; j < ny; ++j) {
            const double y0 = ymin + (ymax - ymin) * j / ny;
            const double y1 = ymin + (ymax - ymin) * (j + 1) / ny;
            const double lower[6] = {x0, y0, x1, y0, x1, y1};
            const double upper[6] = {x0, y0, x1, y1, x0, y1};
            Emit(lower, dHeight, 0, out, cache);
            Emit(upper, dHeight, 0, out, cache);
        }
    }
}

std::uint32_t FeatureTessellator::Vertex(const double* p, double dHeight, Primitive& out,
                                         VertexCache& cache) {
    const auto key = std::make_pair(p[0], p[1]);
    const auto it = cache.find(key);
    if (it != cache.end())
        return it->second;
    const std::uint32_t n = out.AddVertex(m_frame.ToScene(p[0], p[1], dHeight));
    cache.emplace(key, n);
    return n;
}

void FeatureTessellator::Emit(const double* tri, double dHeight, int nDepth, Primitive& out,
                              VertexCache& cache) {
    const double* a = tri;
    const double* b = tri + 2;
    const double* c = tri + 4;
    const double longest = std::max({Distance(a, b), Distance(b, c), Distance(c, a)});
    if (longest > kMaxEdgeDegrees && nDepth < 8) {
        const double ab[2] = {(a[0] + b[0]) / 2, (a[1] + b[1]) / 2};
        const double bc[2] = {(b[0] + c[0]) / 2, (b[1] + c[1]) / 2};
        const double ca[2] = {(c[0] + a[0]) / 2, (c[1] + a[1]) / 2};
        const double parts[4][6] = {{a[0], a[1], ab[0], ab[1], ca[0], ca[1]},
                                    {ab[0], ab[1], b[0], b[1], bc[0], bc[1]},
                                    {ca[0], ca[1], bc[0], bc[1], c[0], c[1]},
                                    {ab[0], ab[1], bc[0], bc[1], ca[0], ca[1]}};
        for (const auto& part : parts)
            Emit(part, dHeight, nDepth + 1, out, cache);
        return;
    }
    out.AddTriangle(Vertex(a, dHeight, out, cache), Vertex(b, dHeight, out, cache),
                    Vertex(c, dHeight, out, cache));
}

void FeatureTessellator::AddWalls(const OGRPolygon& polygon, const FeatureLook& look,
                                  Primitive& out) {
    bool bExterior = true;
    for (const OGRLinearRing* pRing : polygon) {
        // Walls face outwards when the outer ring runs counter-clockwise and holes clockwise.
        const bool bReverse = IsClockwise(*pRing) == bExterior;
        bExterior = false;
        const int n = pRing->getNumPoints();
        for (int k = 0; k + 1 < n; ++k) {
            const int i = bReverse ? n - 1 - k : k;
            const int j = bReverse ? i - 1 : i + 1;
            const Vec3 a = m_frame.ToScene(pRing->getX(i), pRing->getY(i), 0.0);
            const Vec3 b = m_frame.ToScene(pRing->getX(j), pRing->getY(j), 0.0);
            const Vec3 at = m_frame.ToScene(pRing->getX(i), pRing->getY(i), look.dExtrude);
            const Vec3 bt = m_frame.ToScene(pRing->getX(j), pRing->getY(j), look.dExtrude);
            const std::uint32_t i0 = out.AddVertex(a), i1 = out.AddVertex(b);
            const std::uint32_t i2 = out.AddVertex(bt), i3 = out.AddVertex(at);
            out.AddTriangle(i0, i1, i2);
            out.AddTriangle(i0, i2, i3);
        }
    }
}

bool FeatureTessellator::PointOnSurface(const OGRGeometry& geometry, double& dLon, double& dLat) {
    if (geometry.IsEmpty())
        return false;
    if (wkbFlatten(geometry.getGeometryType()) == wkbPoint) {
        dLon = geometry.toPoint()->getX();
        dLat = geometry.toPoint()->getY();
        return true;
    }
    GEOSContextHandle_t ctx = Ctx(m_hGeos);
    GEOSGeometry* pGeos = geometry.exportToGEOS(ctx);
    if (pGeos == nullptr)
        return false;
    GEOSGeometry* pPoint = GEOSPointOnSurface_r(ctx, pGeos);
    bool bFound = false;
    if (pPoint != nullptr && !GEOSisEmpty_r(ctx, pPoint)) {
        bFound = GEOSGeomGetX_r(ctx, pPoint, &dLon) == 1 && GEOSGeomGetY_r(ctx, pPoint, &dLat) == 1;
    }
    if (pPoint != nullptr)
        GEOSGeom_destroy_r(ctx, pPoint);
    GEOSGeom_destroy_r(ctx, pGeos);
    return bFound;
}

void FeatureTessellator::AddLine(const OGRLineString& line, const FeatureLook& look,
                                 MeshData& out) {
    std::vector<Vec3> points, ups;
    for (int i = 0; i < line.getNumPoints(); ++i) {
        const Vec3 p = m_frame.ToScene(line.getX(i), line.getY(i), look.dLineLift);
        // A repeated point has no direction to draw a ribbon along.
        if (!points.empty() && p.x == points.back().x && p.y == points.back().y &&
            p.z == points.back().z)
            continue;
        points.push_back(p);
        ups.push_back(m_frame.AxesAt(line.getX(i), line.getY(i)).up);
    }
    if (points.size() < 2)
        return;
    if (look.dLineWidth > 0.0) {
        AddRibbon(points, ups, look, out);
        return;
    }
    Primitive& lines = out.For(look.line, Primitive::Lines);
    std::uint32_t prev = lines.AddVertex(points[0]);
    for (std::size_t i = 1; i < points.size(); ++i) {
        const std::uint32_t cur = lines.AddVertex(points[i]);
        lines.indices.insert(lines.indices.end(), {prev, cur});
        prev = cur;
    }
}

// A flat strip along the line, facing up: at each inner point the two sides meet at a mitre,
// which is cut back to twice the half width at sharp turns so that a spike never shoots out.
void FeatureTessellator::AddRibbon(const std::vector<Vec3>& points, const std::vector<Vec3>& ups,
                                   const FeatureLook& look, MeshData& out) {
    const auto cross = [](const Vec3& a, const Vec3& b) {
        return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    };
    const auto unit = [](const Vec3& v) {
        const double n = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        return n > 0.0 ? v * (1.0 / n) : v;
    };
    const double dHalf = look.dLineWidth / 2;
    // The left-hand side of each segment, seen from above.
    std::vector<Vec3> sides;
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        sides.push_back(unit(cross(ups[i], points[i + 1] - points[i])));
    Primitive& strip = out.For(look.line, Primitive::Triangles);
    std::uint32_t nLeft = 0, nRight = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Vec3& before = sides[i == 0 ? 0 : i - 1];
        const Vec3& after = sides[i + 1 < points.size() ? i : i - 1];
        Vec3 mitre = unit(before + after);
        const double dCos = mitre.x * after.x + mitre.y * after.y + mitre.z * after.z;
        mitre = mitre * (dHalf / std::max(dCos, 0.5));
        const std::uint32_t nL = strip.AddVertex(points[i] + mitre);
        const std::uint32_t nR = strip.AddVertex(points[i] - mitre);
        if (i > 0) {
            strip.AddTriangle(nRight, nR, nL);
            strip.AddTriangle(nRight, nL, nLeft);
        }
        nLeft = nL;
        nRight = nR;
    }
}

} // namespace theme3d
