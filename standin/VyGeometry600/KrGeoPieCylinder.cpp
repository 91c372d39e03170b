#include "VyGeometry600/KrGeoPieCylinder.h"

#include <cmath>

namespace KRS {

KrGeoPieCylinder::KrGeoPieCylinder()
    : m_dRadiusX(0.0), m_dRadiusY(0.0), m_dSweep(0.0), m_dStartAngle(0.0), m_dEndAngle(0.0),
      m_dHeight(0.0) {}

KrGeoPieCylinder::~KrGeoPieCylinder() = default;

unsigned char KrGeoPieCylinder::Make(const TOVO::TovoPoint3D& centre, double dRadiusX,
                                     double dRadiusY, double dSweep, double dStartAngle,
                                     double dEndAngle, double dHeight) {
    m_Centre = centre;
    m_dRadiusX = dRadiusX;
    m_dRadiusY = dRadiusY;
    m_dSweep = dSweep;
    m_dStartAngle = dStartAngle;
    m_dEndAngle = dEndAngle;
    m_dHeight = dHeight;
    const double all[] = {centre.x, centre.y,    centre.z,  dRadiusX, dRadiusY,
                          dSweep,   dStartAngle, dEndAngle, dHeight};
    for (double d : all)
        if (!std::isfinite(d))
            return FALSE;
    return dRadiusX >= 0.0 && dRadiusY >= 0.0 && dSweep >= 0.0 && dHeight >= 0.0 ? TRUE : FALSE;
}

TOVO::TovoPoint3D KrGeoPieCylinder::GetPlacedCentre() const {
    return TOVO::TovoPoint3D(m_Centre.x + GetOffsetX(), m_Centre.y + GetOffsetY(), m_Centre.z);
}

} // namespace KRS
