// A slice of a flat elliptic cylinder: the part of the cylinder between two angles (degrees,
// counter-clockwise from the x axis), standing on the centre of its base.
#pragma once

#include "VyBase600/TovoGeometryTypes.h"
#include "VyGeometry600/KrGeometry3D.h"
#include "VyGeometry600/VyGeometry600_export.h"

namespace KRS {

class VYGEOMETRY600_EXPORT KrGeoPieCylinder : public KrGeometry3D {
public:
    KrGeoPieCylinder();
    ~KrGeoPieCylinder() override;

    int GetGeometryType() const override { return GeoPieCylinder; }

    // Records the parameters as given (a new Make replaces them); the sweep is kept as passed,
    // not recomputed from the angles. TRUE when the slice can be drawn: every parameter finite,
    // radii, sweep and height not negative.
    unsigned char Make(const TOVO::TovoPoint3D& centre, double dRadiusX, double dRadiusY,
                       double dSweep, double dStartAngle, double dEndAngle, double dHeight);

    const TOVO::TovoPoint3D& GetCentre() const { return m_Centre; }
    double GetRadiusX() const { return m_dRadiusX; }
    double GetRadiusY() const { return m_dRadiusY; }
    double GetSweep() const { return m_dSweep; }
    double GetStartAngle() const { return m_dStartAngle; }
    double GetEndAngle() const { return m_dEndAngle; }
    double GetHeight() const { return m_dHeight; }
    TOVO::TovoPoint3D GetPlacedCentre() const;

private:
    TOVO::TovoPoint3D m_Centre;
    double m_dRadiusX;
    double m_dRadiusY;
    double m_dSweep;
    double m_dStartAngle;
    double m_dEndAngle;
    double m_dHeight;
};

} // namespace KRS
