// One class of features of a unique, range or label theme: whether a matching feature is drawn by
// the item, its caption (legend text), its style and a text style carried with it.
#pragma once

#include "Theme3DBase/Theme3DBase_export.h"
#include "VyBase600/TovoDefs.h"
#include "VyBase600/TovoMBString.h"
#include "VyToolkit600/KrStyle.h"
#include "VyToolkit600/KrTextStyle.h"

namespace KRS {

class THEME3DBASE_EXPORT KrTheme3DItem {
public:
    KrTheme3DItem();
    KrTheme3DItem(const KrTheme3DItem& other);
    KrTheme3DItem& operator=(const KrTheme3DItem& other);
    virtual ~KrTheme3DItem();

    // FALSE: the theme answers as if no item matched.
    unsigned char m_bVisible;
    TOVO::TovoMBString m_strCaption;
    KrStyle m_Style;
    KrTextStyle m_TextStyle;
};

} // namespace KRS
