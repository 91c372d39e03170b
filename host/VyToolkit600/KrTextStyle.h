// A text style for labels and chart texts, with its own XML (root "dkm:TextStyle").
#pragma once

#include "VyBase600/TovoDefs.h"
#include "VyBase600/TovoMBString.h"
#include "VyToolkit600/VyToolkit600_export.h"

namespace KRS {

class VYTOOLKIT600_EXPORT KrTextStyle {
public:
    KrTextStyle();
    KrTextStyle(const KrTextStyle&) = default;
    KrTextStyle& operator=(const KrTextStyle&) = default;
    virtual ~KrTextStyle();

    // Bytes as given: a face name need not be UTF-8.
    const TOVO::TovoMBString& GetFaceName() const { return m_strFaceName; }
    void SetFaceName(const TOVO::TovoMBString& s) { m_strFaceName = s; }
    double GetSize() const { return m_dSize; }
    void SetSize(double d) { m_dSize = d; }
    double GetHeight() const { return m_dHeight; }
    void SetHeight(double d) { m_dHeight = d; }
    TOVO::TovoColor GetForeColor() const { return m_nForeColor; }
    void SetForeColor(TOVO::TovoColor c) { m_nForeColor = c; }
    unsigned char GetHalo() const { return m_bHalo; }
    unsigned char IsHalo() const { return m_bHalo; }
    void SetHalo(unsigned char b) { m_bHalo = b ? TRUE : FALSE; }
    TOVO::TovoColor GetHaloColor() const { return m_nHaloColor; }
    void SetHaloColor(TOVO::TovoColor c) { m_nHaloColor = c; }
    // Alignment code: 0..8, rows top/middle/bottom times columns left/centre/right.
    unsigned char GetAlign() const { return m_nAlign; }
    void SetAlign(unsigned char n) { m_nAlign = n; }
    unsigned char GetFixedSize() const { return m_bFixedSize; }
    unsigned char IsFixedSize() const { return m_bFixedSize; }
    void SetFixedSize(unsigned char b) { m_bFixedSize = b ? TRUE : FALSE; }
    unsigned char GetBold() const { return m_bBold; }
    void SetBold(unsigned char b) { m_bBold = b ? TRUE : FALSE; }
    unsigned char GetItalic() const { return m_bItalic; }
    void SetItalic(unsigned char b) { m_bItalic = b ? TRUE : FALSE; }

    // The text style as a document with root "dkm:TextStyle"; an unknown version gives an empty
    // text.
    TOVO::TovoMBString ToXML(int nVersion) const;
    // Reads from a document with any root name. When the root is "dkm:ItemTextStyle", every
    // "ItemTextStyle" in the text is first turned back into "TextStyle".
    unsigned char FromXML(const TOVO::TovoMBString& strXML, int nVersion);

    friend VYTOOLKIT600_EXPORT bool operator==(const KrTextStyle& a, const KrTextStyle& b);

private:
    TOVO::TovoMBString m_strFaceName;
    double m_dSize;
    double m_dHeight;
    TOVO::TovoColor m_nForeColor;
    unsigned char m_bHalo;
    TOVO::TovoColor m_nHaloColor;
    unsigned char m_nAlign;
    unsigned char m_bFixedSize;
    unsigned char m_bBold;
    unsigned char m_bItalic;
};

inline bool operator!=(const KrTextStyle& a, const KrTextStyle& b) {
    return !(a == b);
}

} // namespace KRS
