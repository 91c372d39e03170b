#include "VyGeometry600/KrGeometryManager.h"

#include "VyGeometry600/KrGeoCompound.h"
#include "VyGeometry600/KrGeoCylinder.h"
#include "VyGeometry600/KrGeoPieCylinder.h"

#include <new>

namespace KRS {

KrGeometry* KrGeometryManager::CreateGeometry(int nType) {
    switch (nType) {
    case KrGeometry::GeoCompound:
        return new (std::nothrow) KrGeoCompound;
    case KrGeometry::GeoCylinder:
        return new (std::nothrow) KrGeoCylinder;
    case KrGeometry::GeoPieCylinder:
        return new (std::nothrow) KrGeoPieCylinder;
    default:
        return nullptr;
    }
}

} // namespace KRS
