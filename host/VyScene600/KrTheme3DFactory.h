// The host's abstract theme factory: a plug-in's one point of contact for creating themes.
#pragma once

#include "VyBase600/TovoArray.h"
#include "VyBase600/TovoMBString.h"
#include "VyScene600/VyScene600_export.h"

namespace KRS {

class KrTheme3D;

class VYSCENE600_EXPORT KrTheme3DFactory {
public:
    KrTheme3DFactory();
    virtual ~KrTheme3DFactory();                                           // 0
    virtual unsigned char IsSupportTheme3D(int nType) = 0;                 // 1
    virtual int GetSupportTheme3DType(TOVO::TovoArray<int>& arrTypes) = 0; // 2
    virtual TOVO::TovoMBString GetName() = 0;                              // 3
    virtual KrTheme3D* NewTheme3D(int nType) = 0;                          // 4
    virtual KrTheme3D* CloneTheme3D(KrTheme3D* pSource) = 0;               // 5

protected:
    KrTheme3DFactory(const KrTheme3DFactory&) = default;
    KrTheme3DFactory& operator=(const KrTheme3DFactory&) = default;
};

// The signature of a plug-in's entry point "CreateTheme3DFactory".
extern "C" typedef KrTheme3DFactory* (*PFN_CreateTheme3DFactory)();

} // namespace KRS
