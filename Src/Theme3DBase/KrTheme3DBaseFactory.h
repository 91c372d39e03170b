// The module's theme factory: tells the host which theme types the module supplies, creates empty
// themes and copies existing ones. The host receives it from the entry point CreateTheme3DFactory.
#pragma once

#include "Theme3DBase/Theme3DBase_export.h"
#include "VyScene600/KrTheme3DFactory.h"

namespace KRS {

class THEME3DBASE_EXPORT KrTheme3DBaseFactory : public KrTheme3DFactory {
public:
    KrTheme3DBaseFactory();
    // A factory has no state: copying copies nothing.
    KrTheme3DBaseFactory(const KrTheme3DBaseFactory& other);
    KrTheme3DBaseFactory& operator=(const KrTheme3DBaseFactory& other);
    ~KrTheme3DBaseFactory() override;

    // TRUE exactly for the type codes 1 (unique) to 4 (graph).
    unsigned char IsSupportTheme3D(int nType) override;
    // Appends 1, 2, 3, 4 without clearing the array; returns its size afterwards.
    int GetSupportTheme3DType(TOVO::TovoArray<int>& arrTypes) override;
    TOVO::TovoMBString GetName() override;
    // A new empty theme of the type, or null for an unsupported code or a failed allocation.
    KrTheme3D* NewTheme3D(int nType) override;
    // A deep copy made by the class that the source's type code names, or null for a null source,
    // an unsupported code or a failed allocation. The dispatch rests on the type code: a source
    // whose dynamic class is not the one its code names (a graph theme that read another theme's
    // document keeps that document's code) gets a new theme of the named class holding only the
    // source's base part, instead of a copy through the wrong class.
    KrTheme3D* CloneTheme3D(KrTheme3D* pSource) override;
};

} // namespace KRS

// The plug-in's entry point: a new factory owned by the caller, or null when it cannot be made.
extern "C" THEME3DBASE_EXPORT KRS::KrTheme3DFactory* CreateTheme3DFactory();
