// Base of the themes that produce a symbol per feature (labels, charts). By default a symbol theme
// asks for no extra fields and makes no geometry.
#pragma once

#include "Theme3DBase/Theme3DBase_export.h"
#include "VyScene600/KrTheme3D.h"

namespace KRS {

class THEME3DBASE_EXPORT KrTheme3DSymbol : public KrTheme3D {
public:
    KrTheme3DSymbol();
    KrTheme3DSymbol(const KrTheme3DSymbol& other);
    ~KrTheme3DSymbol() override;
    KrTheme3DSymbol& operator=(const KrTheme3DSymbol& other);

    // FALSE, the array untouched.
    unsigned char GetThemeQueryDef(TOVO::TovoArray<TOVO::TovoMBString>& arrFields,
                                   unsigned char bQueryFields) override;
    // Null: no geometry.
    KrGeometry* ConvertToGeometry(double* pValues, unsigned int nCount, const TOVO::TovoPoint3D& position) override;
    // Does nothing.
    void Attach(double* pValues, int nCount) override;
};

} // namespace KRS
