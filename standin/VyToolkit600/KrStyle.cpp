#include "VyToolkit600/KrStyle.h"

#include "KrStyleXml.h"
#include "VyToolkit600/KrMarkup.h"

using TOVO::TovoMBString;

namespace KRS {

namespace {

const char* const kRootName = "dkm:Style";
const char* const kFillColor = "dkm:FillColor";
const char* const kLineColor = "dkm:LineColor";
const char* const kLineWidth = "dkm:LineWidth";
const char* const kIconName = "dkm:IconName";
const char* const kIconScale = "dkm:IconScale";
const char* const kAltitudeMode = "dkm:AltitudeMode";
const char* const kFill = "dkm:Fill";
const char* const kExtrude = "dkm:Extrude";

const char* AltitudeModeName(AltitudeMode mode) {
    switch (mode) {
    case AltitudeRelativeToGround:
        return "RelativeToGround";
    case AltitudeAbsolute:
        return "Absolute";
    default:
        return "ClampToGround";
    }
}

// By name, or by its code; anything else leaves the mode as it was.
void ReadAltitudeMode(const TovoMBString& strText, AltitudeMode& mode) {
    if (strText.CompareNoCase("ClampToGround") == 0 || strText == "0")
        mode = AltitudeClampToGround;
    else if (strText.CompareNoCase("RelativeToGround") == 0 || strText == "1")
        mode = AltitudeRelativeToGround;
    else if (strText.CompareNoCase("Absolute") == 0 || strText == "2")
        mode = AltitudeAbsolute;
}

} // namespace

KrStyle::KrStyle()
    : m_nFillColor(TOVORGB(128, 128, 128)), m_nLineColor(TOVORGB(0, 0, 0)), m_dLineWidth(1.0),
      m_dIconScale(1.0), m_nAltitudeMode(AltitudeClampToGround), m_bFill(TRUE), m_dExtrude(0.0) {}

KrStyle::~KrStyle() = default;

TovoMBString KrStyle::ToXML(int nVersion, const TovoMBString& strName) const {
    if (!stylexml::IsKnownVersion(nVersion))
        return TovoMBString();
    KrMarkup xml;
    if (!xml.AddElem(strName.IsEmpty() ? kRootName : strName.c_str()))
        return TovoMBString();
    xml.AddElem(kFillColor, stylexml::ColorText(m_nFillColor), FALSE, TRUE);
    xml.AddElem(kLineColor, stylexml::ColorText(m_nLineColor), FALSE, TRUE);
    xml.AddElem(kLineWidth, stylexml::DoubleText(m_dLineWidth), FALSE, TRUE);
    xml.AddElem(kIconName, m_strIconName, FALSE, TRUE);
    xml.AddElem(kIconScale, stylexml::DoubleText(m_dIconScale), FALSE, TRUE);
    xml.AddElem(kAltitudeMode, AltitudeModeName(m_nAltitudeMode), FALSE, TRUE);
    xml.AddElem(kFill, stylexml::BoolText(m_bFill), FALSE, TRUE);
    xml.AddElem(kExtrude, stylexml::DoubleText(m_dExtrude), FALSE, TRUE);
    return xml.GetDoc();
}

unsigned char KrStyle::FromXML(const TovoMBString& strXML, int nVersion) {
    if (!stylexml::IsKnownVersion(nVersion))
        return FALSE;
    KrMarkup xml(strXML);
    if (!xml.FindElem())
        return FALSE;
    TovoMBString strText;
    if (stylexml::FindChild(xml, kFillColor, strText))
        stylexml::ReadColor(strText, m_nFillColor);
    if (stylexml::FindChild(xml, kLineColor, strText))
        stylexml::ReadColor(strText, m_nLineColor);
    if (stylexml::FindChild(xml, kLineWidth, strText))
        stylexml::ReadDouble(strText, m_dLineWidth);
    if (stylexml::FindChild(xml, kIconName, strText))
        m_strIconName = strText;
    if (stylexml::FindChild(xml, kIconScale, strText))
        stylexml::ReadDouble(strText, m_dIconScale);
    if (stylexml::FindChild(xml, kAltitudeMode, strText))
        ReadAltitudeMode(strText, m_nAltitudeMode);
    if (stylexml::FindChild(xml, kFill, strText))
        m_bFill = stylexml::ReadBool(strText);
    if (stylexml::FindChild(xml, kExtrude, strText))
        stylexml::ReadDouble(strText, m_dExtrude);
    return TRUE;
}

bool operator==(const KrStyle& a, const KrStyle& b) {
    return a.m_nFillColor == b.m_nFillColor && a.m_nLineColor == b.m_nLineColor &&
           a.m_dLineWidth == b.m_dLineWidth && a.m_strIconName == b.m_strIconName &&
           a.m_dIconScale == b.m_dIconScale && a.m_nAltitudeMode == b.m_nAltitudeMode &&
           a.m_bFill == b.m_bFill && a.m_dExtrude == b.m_dExtrude;
}

} // namespace KRS
