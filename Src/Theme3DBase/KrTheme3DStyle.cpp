#include "KrTheme3DStyle.h"

namespace KRS {

KrTheme3DStyle::KrTheme3DStyle() = default;
KrTheme3DStyle::KrTheme3DStyle(const KrTheme3DStyle& other) = default;
KrTheme3DStyle::~KrTheme3DStyle() = default;

KrTheme3DStyle& KrTheme3DStyle::operator=(const KrTheme3DStyle& other) {
    KrTheme3D::operator=(other);
    return *this;
}

} // namespace KRS
