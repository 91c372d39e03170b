#include "VyGeometry600/KrGeoCylinder.h"

#include <cmath>

namespace KRS {

KrGeoCylinder::KrGeoCylinder() : m_dRadiusX(0.0), m_dRadiusY(0.0), m_dHeight(0.0) {}

KrGeoCylinder::~KrGeoCylinder() = default;

unsigned char KrGeoCylinder::Make(const TOVO::TovoPoint3D& centre, double dRadiusX, double dRadiusY,
                                  double dHeight) {
    m_Centre = centre;
    m_dRadiusX = dRadiusX;
    m_dRadiusY = dRadiusY;
    m_dHeight = dHeight;
    const bool finite = std::isfinite(centre.x) && std::isfinite(centre.y) &&
                        std::isfinite(centre.z) && std::isfinite(dRadiusX) &&
                        std::isfinite(dRadiusY) && std::isfinite(dHeight);
    return finite && dRadiusX >= 0.0 && dRadiusY >= 0.0 && dHeight >= 0.0 ? TRUE : FALSE;
}

TOVO::TovoPoint3D KrGeoCylinder::GetPlacedCentre() const {
    return TOVO::TovoPoint3D(m_Centre.x + GetOffsetX(), m_Centre.y + GetOffsetY(), m_Centre.z);
}

} // namespace KRS
