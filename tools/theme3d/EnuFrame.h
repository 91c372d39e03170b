// The scene's local east-north-up frame in metres around the layer's centre (WGS 84 ellipsoid),
// and its mapping into glTF's axes (x east, y up, z south).
#pragma once

#include <array>

namespace theme3d {

struct Vec3 {
    double x = 0.0, y = 0.0, z = 0.0;
    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(double s) const { return {x * s, y * s, z * s}; }
};

// East, north and up at a point, as directions in the scene frame.
struct LocalAxes {
    Vec3 east, north, up;
};

class EnuFrame {
public:
    // The frame's origin: longitude and latitude in degrees, on the ellipsoid.
    EnuFrame(double dLon0, double dLat0);

    double GetLon0() const { return m_dLon0; }
    double GetLat0() const { return m_dLat0; }

    // A point (degrees, metres above the ellipsoid) in the scene's glTF coordinates.
    Vec3 ToScene(double dLon, double dLat, double dHeight) const;
    // The local axes at a point, in the scene's glTF coordinates.
    LocalAxes AxesAt(double dLon, double dLat) const;
    // A point in Earth-centred, Earth-fixed metres.
    Vec3 ToEcef(double dLon, double dLat, double dHeight) const {
        return Ecef(dLon, dLat, dHeight);
    }
    // East, north and up at the origin, as Earth-centred, Earth-fixed directions.
    LocalAxes EcefAxes() const { return {m_rows[0], m_rows[1], m_rows[2]}; }

private:
    Vec3 Ecef(double dLon, double dLat, double dHeight) const;
    // ENU coordinates (of an ECEF direction) to glTF axes.
    Vec3 Rotate(const Vec3& ecef) const;

    double m_dLon0, m_dLat0;
    Vec3 m_origin;
    std::array<Vec3, 3> m_rows; // east, north, up at the origin, in ECEF
};

} // namespace theme3d
