// Plain geometric value types of the host.
#pragma once

namespace TOVO {

struct TovoPoint2D {
    double x = 0.0;
    double y = 0.0;
    TovoPoint2D() = default;
    TovoPoint2D(double dx, double dy) : x(dx), y(dy) {}
};

// For features, x and y are degrees of longitude and latitude and z the height.
struct TovoPoint3D {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    TovoPoint3D() = default;
    TovoPoint3D(double dx, double dy, double dz) : x(dx), y(dy), z(dz) {}
};

inline bool operator==(const TovoPoint3D& a, const TovoPoint3D& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
inline bool operator!=(const TovoPoint3D& a, const TovoPoint3D& b) { return !(a == b); }

struct TovoSize2D {
    double cx = 0.0;
    double cy = 0.0;
    TovoSize2D() = default;
    TovoSize2D(double dcx, double dcy) : cx(dcx), cy(dcy) {}
};

inline bool operator==(const TovoSize2D& a, const TovoSize2D& b) { return a.cx == b.cx && a.cy == b.cy; }
inline bool operator!=(const TovoSize2D& a, const TovoSize2D& b) { return !(a == b); }

// An axis-aligned rectangle; y grows upwards (north), as for geographic extents.
struct TovoRect2D {
    double xmin = 0.0;
    double ymin = 0.0;
    double xmax = 0.0;
    double ymax = 0.0;
    TovoRect2D() = default;
    TovoRect2D(double dxmin, double dymin, double dxmax, double dymax)
        : xmin(dxmin), ymin(dymin), xmax(dxmax), ymax(dymax) {}
    double Width() const { return xmax - xmin; }
    double Height() const { return ymax - ymin; }
};

} // namespace TOVO
