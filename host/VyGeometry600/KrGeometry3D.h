// A geometry placed in 3D space. Offset does not move the recorded parameters: it accumulates a
// shift that a host adds to them when it places the record (and, for a record inside compounds,
// the shifts of the compounds that hold it).
#pragma once

#include "VyGeometry600/KrGeometry.h"
#include "VyGeometry600/VyGeometry600_export.h"

namespace KRS {

class VYGEOMETRY600_EXPORT KrGeometry3D : public KrGeometry {
public:
    KrGeometry3D();
    ~KrGeometry3D() override;

    // Adds (dx, dy) to the record's shift; successive calls add up.
    virtual void Offset(double dx, double dy);
    double GetOffsetX() const { return m_dOffsetX; }
    double GetOffsetY() const { return m_dOffsetY; }

private:
    double m_dOffsetX;
    double m_dOffsetY;
};

} // namespace KRS
