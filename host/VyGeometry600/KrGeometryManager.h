// Makes geometry records by type code.
#pragma once

#include "VyGeometry600/KrGeometry.h"
#include "VyGeometry600/VyGeometry600_export.h"

namespace KRS {

class VYGEOMETRY600_EXPORT KrGeometryManager {
public:
    // A new, empty record that the caller owns: a KrGeoCompound for 1000, a KrGeoCylinder for
    // 1206, a KrGeoPieCylinder for 1211; null for any other code.
    static KrGeometry* CreateGeometry(int nType);
};

} // namespace KRS
