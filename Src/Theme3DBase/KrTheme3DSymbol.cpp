#include "KrTheme3DSymbol.h"

namespace KRS {

KrTheme3DSymbol::KrTheme3DSymbol() = default;
KrTheme3DSymbol::KrTheme3DSymbol(const KrTheme3DSymbol& other) = default;
KrTheme3DSymbol::~KrTheme3DSymbol() = default;

KrTheme3DSymbol& KrTheme3DSymbol::operator=(const KrTheme3DSymbol& other) {
    KrTheme3D::operator=(other);
    return *this;
}

unsigned char KrTheme3DSymbol::GetThemeQueryDef(TOVO::TovoArray<TOVO::TovoMBString>&, unsigned char) {
    return FALSE;
}

KrGeometry* KrTheme3DSymbol::ConvertToGeometry(double*, unsigned int, const TOVO::TovoPoint3D&) {
    return nullptr;
}

void KrTheme3DSymbol::Attach(double*, int) {}

} // namespace KRS
