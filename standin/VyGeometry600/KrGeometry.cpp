#include "VyGeometry600/KrGeometry.h"

namespace KRS {

KrGeometry::KrGeometry() : m_bHasStyle(FALSE) {}

KrGeometry::~KrGeometry() = default;

void KrGeometry::SetStyle(const KrStyle* pStyle) {
    m_Style = pStyle ? *pStyle : KrStyle();
    m_bHasStyle = pStyle ? TRUE : FALSE;
}

const KrStyle* KrGeometry::GetStyle() const {
    return m_bHasStyle ? &m_Style : nullptr;
}

} // namespace KRS
