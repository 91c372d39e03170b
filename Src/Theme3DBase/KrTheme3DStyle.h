// Base of the themes that answer a style per feature (unique values, ranges).
#pragma once

#include "Theme3DBase/Theme3DBase_export.h"
#include "VyScene600/KrTheme3D.h"

namespace KRS {

class THEME3DBASE_EXPORT KrTheme3DStyle : public KrTheme3D {
public:
    KrTheme3DStyle();
    KrTheme3DStyle(const KrTheme3DStyle& other);
    ~KrTheme3DStyle() override;
    KrTheme3DStyle& operator=(const KrTheme3DStyle& other);
};

} // namespace KRS
