// A vertical elliptic cylinder standing on the centre of its base.
#pragma once

#include "VyBase600/TovoGeometryTypes.h"
#include "VyGeometry600/KrGeometry3D.h"
#include "VyGeometry600/VyGeometry600_export.h"

namespace KRS {

class VYGEOMETRY600_EXPORT KrGeoCylinder : public KrGeometry3D {
public:
    KrGeoCylinder();
    ~KrGeoCylinder() override;

    int GetGeometryType() const override { return GeoCylinder; }

    // Records the parameters as given (a new Make replaces them). TRUE when the cylinder can be
    // drawn: every parameter finite, radii and height not negative.
    unsigned char Make(const TOVO::TovoPoint3D& centre, double dRadiusX, double dRadiusY,
                       double dHeight);

    const TOVO::TovoPoint3D& GetCentre() const { return m_Centre; }
    double GetRadiusX() const { return m_dRadiusX; }
    double GetRadiusY() const { return m_dRadiusY; }
    double GetHeight() const { return m_dHeight; }
    // The centre moved by the record's own shift.
    TOVO::TovoPoint3D GetPlacedCentre() const;

private:
    TOVO::TovoPoint3D m_Centre;
    double m_dRadiusX;
    double m_dRadiusY;
    double m_dHeight;
};

} // namespace KRS
