// Closed solids tessellated in the local frame of a point: point markers, the cylinders of bar
// charts and the slices of pie charts. Sizes are metres; angles are degrees counter-clockwise
// from east.
#pragma once

#include "EnuFrame.h"
#include "MeshData.h"

namespace theme3d {

// A point on the ground: degrees of longitude and latitude, metres of height.
struct GeoPoint {
    double lon = 0.0, lat = 0.0, z = 0.0;
};

class Solids {
public:
    explicit Solids(const EnuFrame& frame) : m_frame(frame) {}

    // An octahedron of size dSize standing on the point.
    void Marker(const GeoPoint& at, double dSize, Primitive& out) const;
    // A vertical elliptic cylinder standing on the centre of its base.
    void Cylinder(const GeoPoint& base, double dRadiusX, double dRadiusY, double dHeight,
                  Primitive& out) const;
    // The part of a vertical elliptic cylinder between two angles; a sweep of 360 degrees or more
    // is the whole cylinder.
    void PieSlice(const GeoPoint& base, double dRadiusX, double dRadiusY, double dStartAngle,
                  double dEndAngle, double dHeight, Primitive& out) const;

private:
    // A vertical wall or cap outline: the points of an arc on the ellipse, at the base.
    void Arc(const GeoPoint& base, double rx, double ry, double a0, double a1, int n,
             std::vector<Vec3>& points) const;

    const EnuFrame& m_frame;
};

} // namespace theme3d
