#include "KrTheme3DItem.h"

namespace KRS {

KrTheme3DItem::KrTheme3DItem() : m_bVisible(TRUE) {}

KrTheme3DItem::KrTheme3DItem(const KrTheme3DItem& other) : m_bVisible(TRUE) { *this = other; }

KrTheme3DItem& KrTheme3DItem::operator=(const KrTheme3DItem& other) {
    if (this != &other) {
        m_bVisible = other.m_bVisible;
        m_strCaption = other.m_strCaption;
        m_Style = other.m_Style;
        m_TextStyle = other.m_TextStyle;
    }
    return *this;
}

KrTheme3DItem::~KrTheme3DItem() = default;

} // namespace KRS
