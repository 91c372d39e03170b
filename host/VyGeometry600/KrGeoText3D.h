// Texts drawn at points in 3D, all in one text style: text i stands at point i.
#pragma once

#include "VyBase600/TovoArray.h"
#include "VyBase600/TovoGeometryTypes.h"
#include "VyGeometry600/KrGeometry3D.h"
#include "VyGeometry600/KrSubText3D.h"
#include "VyGeometry600/VyGeometry600_export.h"
#include "VyToolkit600/KrTextStyle.h"

namespace KRS {

class VYGEOMETRY600_EXPORT KrGeoText3D : public KrGeometry3D {
public:
    KrGeoText3D();
    ~KrGeoText3D() override;

    int GetGeometryType() const override { return GeoText3D; }

    // Copies the style, the count points and the count texts (a new Make replaces them). A count
    // of 0 makes an empty text geometry. FALSE, and nothing changes, for a negative count or a
    // null array with a positive count.
    unsigned char Make(const KrTextStyle& style, const TOVO::TovoPoint3D* pPoints,
                       const KrSubText3D* pTexts, int nCount);

    const KrTextStyle& GetTextStyle() const { return m_TextStyle; }
    int GetCount() const { return m_arrPoints.GetSize(); }
    // Index-checked like TovoArray: std::out_of_range outside 0 .. GetCount() - 1.
    const TOVO::TovoPoint3D& GetPointAt(int nIndex) const { return m_arrPoints.GetAt(nIndex); }
    const KrSubText3D& GetSubTextAt(int nIndex) const { return m_arrTexts.GetAt(nIndex); }

private:
    KrTextStyle m_TextStyle;
    TOVO::TovoArray<TOVO::TovoPoint3D> m_arrPoints;
    TOVO::TovoArray<KrSubText3D> m_arrTexts;
};

} // namespace KRS
