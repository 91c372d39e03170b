#include "Kr3DGraphItem.h"

#include "KrThemeXml.h"
#include "VyToolkit600/KrConvert.h"
#include "VyToolkit600/KrMarkup.h"

using TOVO::TovoMBString;

namespace KRS {

namespace {

const char* const kClassName = "KrGraphItem";
const char* const kSource = "Src/Theme3DBase/Kr3DGraphItem";
const int kLineEmpty = 67;
const int kLineNoRoot = 81;

void ReadStyle(KrMarkup& xml, const char* szName, KrStyle& style, int nVersion) {
    if (xml.FindChildElem(szName))
        style.FromXML(xml.GetChildSubDoc(), nVersion);
}

} // namespace

Kr3DGraphItem::Kr3DGraphItem() : m_nItemType(FieldItem) {}

Kr3DGraphItem::Kr3DGraphItem(const Kr3DGraphItem& other) : m_nItemType(FieldItem) {
    *this = other;
}

Kr3DGraphItem& Kr3DGraphItem::operator=(const Kr3DGraphItem& other) {
    if (this != &other) {
        m_strFieldExpression = other.m_strFieldExpression;
        m_strCaption = other.m_strCaption;
        m_Style = other.m_Style;
        m_nItemType = other.m_nItemType;
        if (!other.m_arrValues.IsEmpty())
            m_arrValues = other.m_arrValues;
    }
    return *this;
}

Kr3DGraphItem::~Kr3DGraphItem() = default;

TovoMBString Kr3DGraphItem::ToXML(int nVersion) const {
    KrMarkup xml;
    xml.AddElem("dkm:GraphItem", nullptr, FALSE, FALSE);
    ThemeXml::AddChildText(xml, "dkm:FieldExpression", m_strFieldExpression);
    ThemeXml::AddChildText(xml, "dkm:Caption", m_strCaption);
    xml.AddSubDoc(m_Style.ToXML(nVersion, TovoMBString()), FALSE, TRUE);
    ThemeXml::AddChildText(xml, "dkm:Type", TovoMBString::Formatted("%d", m_nItemType));
    if (m_nItemType == ArrayItem && !m_arrValues.IsEmpty()) {
        ThemeXml::AddChildText(xml, "dkm:ArrayFieldNum",
                               TovoMBString::Formatted("%d", m_arrValues.GetSize()));
        for (int i = 0; i < m_arrValues.GetSize(); ++i)
            ThemeXml::AddChildText(xml, TovoMBString::Formatted("dkm:ArrayField%d", i).c_str(),
                                   TovoMBString::Formatted("%f", m_arrValues[i]));
    }
    return xml.GetDoc();
}

unsigned char Kr3DGraphItem::FromXML(const TovoMBString& strXML, int nVersion) {
    const int version = ThemeXml::ResolveReadVersion(nVersion);
    if (strXML.IsEmpty()) {
        ThemeXml::LogCodeWithMessage("EGg040", kClassName, kSource, kLineEmpty);
        return FALSE;
    }
    KrMarkup xml(strXML);
    xml.ResetChildPos();
    if (!xml.FindElem("dkm:GraphItem")) {
        ThemeXml::LogCodeWithMessage("EGg040", kClassName, kSource, kLineNoRoot);
        return FALSE;
    }
    TovoMBString text;
    if (ThemeXml::FindChildText(xml, "dkm:FieldExpression", text))
        m_strFieldExpression = text;
    if (ThemeXml::FindChildText(xml, "dkm:Caption", text))
        m_strCaption = text;
    ReadStyle(xml, "dkm:GeoStyle", m_Style, version);
    ReadStyle(xml, "dkm:Style", m_Style, version);
    if (ThemeXml::FindChildText(xml, "dkm:Type", text))
        m_nItemType = static_cast<int>(text.ToUInt(10));
    if (ThemeXml::FindChildText(xml, "dkm:ArrayFieldNum", text)) {
        const int count = ThemeXml::ClampCount(kratoi(text), strXML.GetLength());
        m_arrValues.RemoveAll();
        m_arrValues.SetSize(count);
        ThemeXml::ReadNumberedChildren(
            xml, "dkm:ArrayField", count,
            [this](int i, const TovoMBString& value) { m_arrValues[i] = kratof(value); });
    }
    return TRUE;
}

} // namespace KRS
