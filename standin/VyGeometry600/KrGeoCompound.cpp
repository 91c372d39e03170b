#include "VyGeometry600/KrGeoCompound.h"

namespace KRS {

KrGeoCompound::KrGeoCompound() = default;

KrGeoCompound::~KrGeoCompound() {
    RemoveAll();
}

unsigned char KrGeoCompound::AddCompound(KrGeometry* pPart, unsigned char bOwn) {
    if (!pPart || pPart == this || HoldsDirectly(pPart))
        return FALSE;
    // A compound that already holds this one would close a cycle.
    if (const auto* pCompound = dynamic_cast<const KrGeoCompound*>(pPart))
        if (pCompound->Contains(this))
            return FALSE;
    if (m_parts.empty())
        m_parts.reserve(8);
    m_parts.push_back(Part{pPart, bOwn != FALSE});
    if (m_parts.size() > kScanLimit) {
        if (m_held.empty()) {
            for (const Part& part : m_parts)
                m_held.insert(part.pGeometry);
        } else {
            m_held.insert(pPart);
        }
    }
    return TRUE;
}

KrGeometry* KrGeoCompound::GetAt(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount())
        return nullptr;
    return m_parts[static_cast<std::size_t>(nIndex)].pGeometry;
}

unsigned char KrGeoCompound::IsOwnerAt(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount())
        return FALSE;
    return m_parts[static_cast<std::size_t>(nIndex)].bOwn ? TRUE : FALSE;
}

bool KrGeoCompound::HoldsDirectly(const KrGeometry* pGeometry) const {
    if (m_parts.size() > kScanLimit)
        return m_held.count(pGeometry) != 0;
    for (const Part& part : m_parts)
        if (part.pGeometry == pGeometry)
            return true;
    return false;
}

bool KrGeoCompound::Contains(const KrGeometry* pGeometry) const {
    if (pGeometry == this)
        return true;
    for (const Part& part : m_parts) {
        if (part.pGeometry == pGeometry)
            return true;
        if (const auto* pCompound = dynamic_cast<const KrGeoCompound*>(part.pGeometry))
            if (pCompound->Contains(pGeometry))
                return true;
    }
    return false;
}

void KrGeoCompound::RemoveAll() {
    std::vector<Part> parts;
    parts.swap(m_parts);
    m_held.clear();
    for (const Part& part : parts)
        if (part.bOwn)
            delete part.pGeometry;
}

} // namespace KRS
