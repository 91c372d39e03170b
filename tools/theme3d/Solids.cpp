#include "Solids.h"

#include <algorithm>
#include <cmath>

namespace theme3d {

namespace {

constexpr double kDeg = 0.017453292519943295;

// Segments for an arc of that many degrees: one every 7.5 degrees, at least two.
int Segments(double dSweep) {
    return std::max(2, static_cast<int>(std::ceil(std::fabs(dSweep) / 7.5)));
}

// A quad a, b, b + up, a + up as two triangles.
void Wall(Primitive& out, const Vec3& a, const Vec3& b, const Vec3& up) {
    const std::uint32_t i0 = out.AddVertex(a), i1 = out.AddVertex(b);
    const std::uint32_t i2 = out.AddVertex(b + up), i3 = out.AddVertex(a + up);
    out.AddTriangle(i0, i1, i2);
    out.AddTriangle(i0, i2, i3);
}

// A fan from the centre over consecutive rim points.
void Fan(Primitive& out, const Vec3& centre, const std::vector<Vec3>& rim, bool bFlip) {
    const std::uint32_t c = out.AddVertex(centre);
    std::uint32_t prev = out.AddVertex(rim[0]);
    for (std::size_t i = 1; i < rim.size(); ++i) {
        const std::uint32_t cur = out.AddVertex(rim[i]);
        if (bFlip)
            out.AddTriangle(c, cur, prev);
        else
            out.AddTriangle(c, prev, cur);
        prev = cur;
    }
}

} // namespace

void Solids::Arc(const GeoPoint& base, double rx, double ry, double a0, double a1, int n,
                 std::vector<Vec3>& points) const {
    const LocalAxes axes = m_frame.AxesAt(base.lon, base.lat);
    const Vec3 centre = m_frame.ToScene(base.lon, base.lat, base.z);
    points.clear();
    for (int i = 0; i <= n; ++i) {
        const double a = (a0 + (a1 - a0) * i / n) * kDeg;
        points.push_back(centre + axes.east * (rx * std::cos(a)) + axes.north * (ry * std::sin(a)));
    }
}

void Solids::Marker(const GeoPoint& at, double dSize, Primitive& out) const {
    const LocalAxes axes = m_frame.AxesAt(at.lon, at.lat);
    const Vec3 centre = m_frame.ToScene(at.lon, at.lat, at.z) + axes.up * dSize;
    const double h = dSize * 0.5;
    const Vec3 top = centre + axes.up * dSize, bottom = centre - axes.up * dSize;
    const Vec3 ring[4] = {centre + axes.east * h, centre + axes.north * h, centre - axes.east * h,
                          centre - axes.north * h};
    // Six shared vertices: the scene has no normals, so viewers shade every face flat anyway,
    // and a layer of millions of points pays a quarter of the bytes.
    const std::uint32_t t = out.AddVertex(top), b = out.AddVertex(bottom);
    std::uint32_t r[4];
    for (int i = 0; i < 4; ++i)
        r[i] = out.AddVertex(ring[i]);
    for (int i = 0; i < 4; ++i) {
        out.AddTriangle(r[i], r[(i + 1) % 4], t);
        out.AddTriangle(r[(i + 1) % 4], r[i], b);
    }
}

void Solids::Cylinder(const GeoPoint& base, double dRadiusX, double dRadiusY, double dHeight,
                      Primitive& out) const {
    PieSlice(base, dRadiusX, dRadiusY, 0.0, 360.0, dHeight, out);
}

void Solids::PieSlice(const GeoPoint& base, double dRadiusX, double dRadiusY, double dStartAngle,
                      double dEndAngle, double dHeight, Primitive& out) const {
    const bool bFull = dEndAngle - dStartAngle >= 360.0;
    const double a1 = bFull ? dStartAngle + 360.0 : dEndAngle;
    std::vector<Vec3> rim;
    Arc(base, dRadiusX, dRadiusY, dStartAngle, a1, Segments(a1 - dStartAngle), rim);
    const LocalAxes axes = m_frame.AxesAt(base.lon, base.lat);
    const Vec3 up = axes.up * dHeight;
    const Vec3 centre = m_frame.ToScene(base.lon, base.lat, base.z);
    for (std::size_t i = 0; i + 1 < rim.size(); ++i)
        Wall(out, rim[i], rim[i + 1], up);
    if (!bFull) {
        Wall(out, centre, rim.front(), up);
        Wall(out, rim.back(), centre, up);
    }
    Fan(out, centre, rim, true);
    std::vector<Vec3> topRim;
    for (const Vec3& v : rim)
        topRim.push_back(v + up);
    Fan(out, centre + up, topRim, false);
}

} // namespace theme3d
