#include "KrTheme3DBaseFactory.h"

#include "KrTheme3DGraph.h"
#include "KrTheme3DLabel.h"
#include "KrTheme3DRange.h"
#include "KrTheme3DUnique.h"

#include <memory>
#include <new>

namespace KRS {

namespace {

template <typename Theme> KrTheme3D* CopyAs(const KrTheme3D& source) {
    auto pCopy = std::make_unique<Theme>();
    if (const Theme* pSame = dynamic_cast<const Theme*>(&source))
        *pCopy = *pSame;
    else
        pCopy->KrTheme3D::operator=(source);
    return pCopy.release();
}

} // namespace

KrTheme3DBaseFactory::KrTheme3DBaseFactory() = default;
KrTheme3DBaseFactory::KrTheme3DBaseFactory(const KrTheme3DBaseFactory&) : KrTheme3DFactory() {}
KrTheme3DBaseFactory& KrTheme3DBaseFactory::operator=(const KrTheme3DBaseFactory&) {
    return *this;
}
KrTheme3DBaseFactory::~KrTheme3DBaseFactory() = default;

unsigned char KrTheme3DBaseFactory::IsSupportTheme3D(int nType) {
    return nType >= KrTheme3D::Unique && nType <= KrTheme3D::Graph ? TRUE : FALSE;
}

int KrTheme3DBaseFactory::GetSupportTheme3DType(TOVO::TovoArray<int>& arrTypes) {
    for (int nType = KrTheme3D::Unique; nType <= KrTheme3D::Graph; ++nType)
        arrTypes.Add(nType);
    return arrTypes.GetSize();
}

TOVO::TovoMBString KrTheme3DBaseFactory::GetName() {
    return "Vantrel BaseTheme3Ds";
}

KrTheme3D* KrTheme3DBaseFactory::NewTheme3D(int nType) {
    try {
        switch (nType) {
        case KrTheme3D::Unique:
            return new KrTheme3DUnique();
        case KrTheme3D::Range:
            return new KrTheme3DRange();
        case KrTheme3D::Label:
            return new KrTheme3DLabel();
        case KrTheme3D::Graph:
            return new KrTheme3DGraph();
        default:
            return nullptr;
        }
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

KrTheme3D* KrTheme3DBaseFactory::CloneTheme3D(KrTheme3D* pSource) {
    if (!pSource)
        return nullptr;
    try {
        switch (pSource->GetType()) {
        case KrTheme3D::Unique:
            return CopyAs<KrTheme3DUnique>(*pSource);
        case KrTheme3D::Range:
            return CopyAs<KrTheme3DRange>(*pSource);
        case KrTheme3D::Label:
            return CopyAs<KrTheme3DLabel>(*pSource);
        case KrTheme3D::Graph:
            return CopyAs<KrTheme3DGraph>(*pSource);
        default:
            return nullptr;
        }
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace KRS

extern "C" KRS::KrTheme3DFactory* CreateTheme3DFactory() {
    return new (std::nothrow) KRS::KrTheme3DBaseFactory();
}
