#include "VyToolkit600/KrStyle.h"

#include "KrMarkupDoc.h"
#include "KrStyleXml.h"
#include "VyToolkit600/KrMarkup.h"

#include <cstring>
#include <string>

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

// A name that the markup accepts and that needs no care: letters, digits, ':', '_', '-' and '.',
// not starting with a digit, '-' or '.'.
bool IsPlainName(const char* szName) {
    const unsigned char first = static_cast<unsigned char>(*szName);
    if (first == '\0' || (first >= '0' && first <= '9') || first == '-' || first == '.')
        return false;
    for (const char* p = szName; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        const bool bAlnum =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!bAlnum && c != ':' && c != '_' && c != '-' && c != '.')
            return false;
    }
    return true;
}

// A text that the markup writes as it stands: no control byte (line ends and tabs included) and
// nothing that is escaped.
bool IsPlainText(const TovoMBString& strText) {
    for (const char ch : strText.Str()) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || c == '&' || c == '<' || c == '>')
            return false;
    }
    return true;
}

// One element with its text, as the markup prints it (an element without text is "<name/>").
void AppendElem(std::string& out, const char* szName, const std::string& strText) {
    out += '<';
    out += szName;
    if (strText.empty()) {
        out += "/>";
        return;
    }
    out += '>';
    out += strText;
    out += "</";
    out += szName;
    out += '>';
}

} // namespace

KrStyle::KrStyle()
    : m_nFillColor(TOVORGB(128, 128, 128)), m_nLineColor(TOVORGB(0, 0, 0)), m_dLineWidth(1.0),
      m_dIconScale(1.0), m_nAltitudeMode(AltitudeClampToGround), m_bFill(TRUE), m_dExtrude(0.0) {}

KrStyle::~KrStyle() = default;

TovoMBString KrStyle::ToXML(int nVersion, const TovoMBString& strName) const {
    if (!stylexml::IsKnownVersion(nVersion))
        return TovoMBString();
    const char* szRoot = strName.IsEmpty() ? kRootName : strName.c_str();
    // Every style of a theme document passes here: when no byte needs escaping (nearly always),
    // the text is put together directly, byte for byte what building and printing the tree below
    // gives, at a fraction of the cost.
    if (IsPlainName(szRoot) && IsPlainText(m_strIconName)) {
        std::string out;
        out.reserve(400);
        out += '<';
        out += szRoot;
        out += '>';
        AppendElem(out, kFillColor, stylexml::ColorText(m_nFillColor).Str());
        AppendElem(out, kLineColor, stylexml::ColorText(m_nLineColor).Str());
        AppendElem(out, kLineWidth, stylexml::DoubleText(m_dLineWidth).Str());
        AppendElem(out, kIconName, m_strIconName.Str());
        AppendElem(out, kIconScale, stylexml::DoubleText(m_dIconScale).Str());
        AppendElem(out, kAltitudeMode, AltitudeModeName(m_nAltitudeMode));
        AppendElem(out, kFill, stylexml::BoolText(m_bFill).Str());
        AppendElem(out, kExtrude, stylexml::DoubleText(m_dExtrude).Str());
        out += "</";
        out += szRoot;
        out += '>';
        return TovoMBString(std::move(out));
    }
    KrMarkup xml;
    if (!xml.AddElem(szRoot))
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
    // One walk over the children instead of one search from the first child per field: each
    // field takes the first element of its name, as that search would find it.
    enum { FillColor, LineColor, LineWidth, IconName, IconScale, Altitude, Fill, Extrude, Fields };
    static const char* const kNames[Fields] = {kFillColor, kLineColor,    kLineWidth, kIconName,
                                               kIconScale, kAltitudeMode, kFill,      kExtrude};
    TovoMBString texts[Fields];
    bool found[Fields] = {};
    int nLeft = Fields;
    const auto take = [&](const char* szName, const auto& data) {
        for (int i = 0; i < Fields; ++i) {
            if (!found[i] && std::strcmp(szName, kNames[i]) == 0) {
                found[i] = true;
                texts[i] = data();
                --nLeft;
                return;
            }
        }
    };
    if (strXML.Str().size() < markupdoc::kMinKeptText) {
        // A style's own text, read as a markup of it would read it, without the markup's cursors
        // (a style is read for every item of a theme document).
        pugi::xml_document doc;
        if (!markupdoc::Load(doc, strXML))
            return FALSE;
        const pugi::xml_node root = markupdoc::FirstElement(doc);
        for (pugi::xml_node n = root.first_child(); n && nLeft > 0; n = n.next_sibling())
            if (n.type() == pugi::node_element)
                take(n.name(), [&n] { return markupdoc::DataOf(n); });
    } else {
        KrMarkup xml(strXML);
        if (!xml.FindElem())
            return FALSE;
        while (nLeft > 0 && xml.FindChildElem(nullptr))
            take(xml.GetChildTagName().c_str(), [&xml] { return xml.GetChildData(); });
    }
    if (found[FillColor])
        stylexml::ReadColor(texts[FillColor], m_nFillColor);
    if (found[LineColor])
        stylexml::ReadColor(texts[LineColor], m_nLineColor);
    if (found[LineWidth])
        stylexml::ReadDouble(texts[LineWidth], m_dLineWidth);
    if (found[IconName])
        m_strIconName = texts[IconName];
    if (found[IconScale])
        stylexml::ReadDouble(texts[IconScale], m_dIconScale);
    if (found[Altitude])
        ReadAltitudeMode(texts[Altitude], m_nAltitudeMode);
    if (found[Fill])
        m_bFill = stylexml::ReadBool(texts[Fill]);
    if (found[Extrude])
        stylexml::ReadDouble(texts[Extrude], m_dExtrude);
    return TRUE;
}

bool operator==(const KrStyle& a, const KrStyle& b) {
    return a.m_nFillColor == b.m_nFillColor && a.m_nLineColor == b.m_nLineColor &&
           a.m_dLineWidth == b.m_dLineWidth && a.m_strIconName == b.m_strIconName &&
           a.m_dIconScale == b.m_dIconScale && a.m_nAltitudeMode == b.m_nAltitudeMode &&
           a.m_bFill == b.m_bFill && a.m_dExtrude == b.m_dExtrude;
}

} // namespace KRS
