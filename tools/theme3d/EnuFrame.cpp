#include "EnuFrame.h"

#include <cmath>

namespace theme3d {

namespace {

constexpr double kA = 6378137.0;              // WGS 84 semi-major axis
constexpr double kE2 = 6.69437999014e-3;      // first eccentricity squared
constexpr double kDeg = 0.017453292519943295; // degrees to radians

double Dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

std::array<Vec3, 3> AxesEcef(double dLon, double dLat) {
    const double lon = dLon * kDeg, lat = dLat * kDeg;
    const double sl = std::sin(lon), cl = std::cos(lon), sp = std::sin(lat), cp = std::cos(lat);
    return {Vec3{-sl, cl, 0.0}, Vec3{-sp * cl, -sp * sl, cp}, Vec3{cp * cl, cp * sl, sp}};
}

} // namespace

EnuFrame::EnuFrame(double dLon0, double dLat0)
    : m_dLon0(dLon0), m_dLat0(dLat0), m_origin(Ecef(dLon0, dLat0, 0.0)),
      m_rows(AxesEcef(dLon0, dLat0)) {}

Vec3 EnuFrame::Ecef(double dLon, double dLat, double dHeight) const {
    const double lon = dLon * kDeg, lat = dLat * kDeg;
    const double sp = std::sin(lat), cp = std::cos(lat);
    const double n = kA / std::sqrt(1.0 - kE2 * sp * sp);
    return {(n + dHeight) * cp * std::cos(lon), (n + dHeight) * cp * std::sin(lon),
            (n * (1.0 - kE2) + dHeight) * sp};
}

Vec3 EnuFrame::Rotate(const Vec3& ecef) const {
    const double e = Dot(m_rows[0], ecef), n = Dot(m_rows[1], ecef), u = Dot(m_rows[2], ecef);
    return {e, u, -n};
}

Vec3 EnuFrame::ToScene(double dLon, double dLat, double dHeight) const {
    return Rotate(Ecef(dLon, dLat, dHeight) - m_origin);
}

LocalAxes EnuFrame::AxesAt(double dLon, double dLat) const {
    const std::array<Vec3, 3> axes = AxesEcef(dLon, dLat);
    return {Rotate(axes[0]), Rotate(axes[1]), Rotate(axes[2])};
}

} // namespace theme3d
