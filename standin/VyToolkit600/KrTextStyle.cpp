#include "VyToolkit600/KrTextStyle.h"

#include "KrStyleXml.h"
#include "VyToolkit600/KrMarkup.h"

#include <charconv>

using TOVO::TovoMBString;

namespace KRS {

namespace {

// None of the member names contains "TextStyle": a caller may rename every "TextStyle" in the
// document (see FromXML), and that must reach the root only.
const char* const kRootName = "dkm:TextStyle";
const char* const kRenamedRoot = "dkm:ItemTextStyle";
const char* const kFaceName = "dkm:FaceName";
const char* const kSize = "dkm:Size";
const char* const kHeight = "dkm:Height";
const char* const kForeColor = "dkm:ForeColor";
const char* const kHalo = "dkm:Halo";
const char* const kHaloColor = "dkm:HaloColor";
const char* const kAlign = "dkm:Align";
const char* const kFixedSize = "dkm:FixedSize";
const char* const kBold = "dkm:Bold";
const char* const kItalic = "dkm:Italic";

// An alignment outside 0..255 is no alignment code at all and leaves the value as it was.
void ReadAlign(const TovoMBString& strText, unsigned char& nAlign) {
    const char* end = strText.c_str() + strText.Str().size();
    unsigned value = 0;
    const std::from_chars_result r = std::from_chars(strText.c_str(), end, value);
    if (r.ec == std::errc() && value <= 255u)
        nAlign = static_cast<unsigned char>(value);
}

} // namespace

KrTextStyle::KrTextStyle()
    : m_strFaceName("Arial"), m_dSize(12.0), m_dHeight(0.0), m_nForeColor(TOVORGB(255, 255, 255)),
      m_bHalo(FALSE), m_nHaloColor(TOVORGB(0, 0, 0)), m_nAlign(0), m_bFixedSize(FALSE),
      m_bBold(FALSE), m_bItalic(FALSE) {}

KrTextStyle::~KrTextStyle() = default;

TovoMBString KrTextStyle::ToXML(int nVersion) const {
    if (!stylexml::IsKnownVersion(nVersion))
        return TovoMBString();
    KrMarkup xml;
    xml.AddElem(kRootName);
    xml.AddElem(kFaceName, m_strFaceName, FALSE, TRUE);
    xml.AddElem(kSize, stylexml::DoubleText(m_dSize), FALSE, TRUE);
    xml.AddElem(kHeight, stylexml::DoubleText(m_dHeight), FALSE, TRUE);
    xml.AddElem(kForeColor, stylexml::ColorText(m_nForeColor), FALSE, TRUE);
    xml.AddElem(kHalo, stylexml::BoolText(m_bHalo), FALSE, TRUE);
    xml.AddElem(kHaloColor, stylexml::ColorText(m_nHaloColor), FALSE, TRUE);
    xml.AddElem(kAlign, TovoMBString::Formatted("%u", static_cast<unsigned>(m_nAlign)), FALSE,
                TRUE);
    xml.AddElem(kFixedSize, stylexml::BoolText(m_bFixedSize), FALSE, TRUE);
    xml.AddElem(kBold, stylexml::BoolText(m_bBold), FALSE, TRUE);
    xml.AddElem(kItalic, stylexml::BoolText(m_bItalic), FALSE, TRUE);
    return xml.GetDoc();
}

unsigned char KrTextStyle::FromXML(const TovoMBString& strXML, int nVersion) {
    if (!stylexml::IsKnownVersion(nVersion))
        return FALSE;
    KrMarkup xml(strXML);
    if (!xml.FindElem())
        return FALSE;
    // The renaming put "Item" before every "TextStyle", values included; taking it away again
    // restores every value exactly, since no other "ItemTextStyle" can be in such a text.
    if (xml.GetTagName() == kRenamedRoot) {
        TovoMBString strOriginal(strXML);
        strOriginal.Replace("ItemTextStyle", "TextStyle");
        xml.SetDoc(strOriginal);
        if (!xml.FindElem())
            return FALSE;
    }
    TovoMBString strText;
    if (stylexml::FindChild(xml, kFaceName, strText))
        m_strFaceName = strText;
    if (stylexml::FindChild(xml, kSize, strText))
        stylexml::ReadDouble(strText, m_dSize);
    if (stylexml::FindChild(xml, kHeight, strText))
        stylexml::ReadDouble(strText, m_dHeight);
    if (stylexml::FindChild(xml, kForeColor, strText))
        stylexml::ReadColor(strText, m_nForeColor);
    if (stylexml::FindChild(xml, kHalo, strText))
        m_bHalo = stylexml::ReadBool(strText);
    if (stylexml::FindChild(xml, kHaloColor, strText))
        stylexml::ReadColor(strText, m_nHaloColor);
    if (stylexml::FindChild(xml, kAlign, strText))
        ReadAlign(strText, m_nAlign);
    if (stylexml::FindChild(xml, kFixedSize, strText))
        m_bFixedSize = stylexml::ReadBool(strText);
    if (stylexml::FindChild(xml, kBold, strText))
        m_bBold = stylexml::ReadBool(strText);
    if (stylexml::FindChild(xml, kItalic, strText))
        m_bItalic = stylexml::ReadBool(strText);
    return TRUE;
}

bool operator==(const KrTextStyle& a, const KrTextStyle& b) {
    return a.m_strFaceName == b.m_strFaceName && a.m_dSize == b.m_dSize &&
           a.m_dHeight == b.m_dHeight && a.m_nForeColor == b.m_nForeColor &&
           a.m_bHalo == b.m_bHalo && a.m_nHaloColor == b.m_nHaloColor && a.m_nAlign == b.m_nAlign &&
           a.m_bFixedSize == b.m_bFixedSize && a.m_bBold == b.m_bBold && a.m_bItalic == b.m_bItalic;
}

} // namespace KRS
