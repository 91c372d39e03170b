// The root of the host's geometry records. A record keeps the parameters it was made with, so a
// host can tessellate or draw it later, and the style it is drawn in.
#pragma once

#include "VyGeometry600/VyGeometry600_export.h"
#include "VyToolkit600/KrStyle.h"

namespace KRS {

class VYGEOMETRY600_EXPORT KrGeometry {
public:
    // Codes of KrGeometryManager::CreateGeometry, and of GetGeometryType.
    enum KrGeometryType {
        GeoCompound = 1000,
        GeoCylinder = 1206,
        GeoPieCylinder = 1211,
        // Texts are made with new, not by the manager; the code only tells them apart.
        GeoText3D = 1301
    };

    KrGeometry();
    virtual ~KrGeometry();
    // A record may be owned by a compound through a raw pointer: copying would duplicate
    // ownership, so records are not copied.
    KrGeometry(const KrGeometry&) = delete;
    KrGeometry& operator=(const KrGeometry&) = delete;

    virtual int GetGeometryType() const = 0;

    // Keeps a copy of the style; null removes it (the record then has no style of its own).
    virtual void SetStyle(const KrStyle* pStyle);
    // The record's copy of its style, or null when it has none.
    const KrStyle* GetStyle() const;
    unsigned char HasStyle() const { return m_bHasStyle; }

private:
    KrStyle m_Style;
    unsigned char m_bHasStyle;
};

} // namespace KRS
