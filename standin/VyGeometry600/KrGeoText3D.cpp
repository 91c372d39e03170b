#include "VyGeometry600/KrGeoText3D.h"

namespace KRS {

KrGeoText3D::KrGeoText3D() = default;

KrGeoText3D::~KrGeoText3D() = default;

unsigned char KrGeoText3D::Make(const KrTextStyle& style, const TOVO::TovoPoint3D* pPoints,
                                const KrSubText3D* pTexts, int nCount) {
    if (nCount < 0 || (nCount > 0 && (!pPoints || !pTexts)))
        return FALSE;
    TOVO::TovoArray<TOVO::TovoPoint3D> points;
    TOVO::TovoArray<KrSubText3D> texts;
    points.Reserve(nCount);
    texts.Reserve(nCount);
    for (int i = 0; i < nCount; ++i) {
        points.Add(pPoints[i]);
        texts.Add(pTexts[i]);
    }
    m_TextStyle = style;
    m_arrPoints = std::move(points);
    m_arrTexts = std::move(texts);
    return TRUE;
}

} // namespace KRS
