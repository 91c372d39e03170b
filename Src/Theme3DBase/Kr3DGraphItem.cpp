#include "Kr3DGraphItem.h"

#include "KrThemeXml.h"
#include "VyToolkit600/KrConvert.h"
#include "VyToolkit600/KrMarkup.h"

#include <new>

using TOVO::TovoMBString;

namespace KRS {

namespace {

const char* const kClassName = "KrGraphItem";
const char* const kSource = "Src/Theme3DBase/Kr3DGraphItem";
const int kLineEmpty = 67;
const int kLineNoRoot = 81;
const int kLineOverBudget = 115;
const int kLineWriteFailed = 60;

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
    try {
        KrMarkup xml;
        if (!xml.AddElem("dkm:GraphItem", nullptr, FALSE, FALSE))
            return ThemeXml::WriteFailed(kClassName, kSource, kLineWriteFailed);
        ThemeXml::MarkupWriter out(xml);
        out.AddText("dkm:FieldExpression", m_strFieldExpression);
        out.AddText("dkm:Caption", m_strCaption);
        out.AddSubDoc(m_Style.ToXML(nVersion, TovoMBString()));
        out.AddText("dkm:Type", TovoMBString::Formatted("%d", m_nItemType));
        if (m_nItemType == ArrayItem && !m_arrValues.IsEmpty()) {
            out.AddText("dkm:ArrayFieldNum", TovoMBString::Formatted("%d", m_arrValues.GetSize()));
            for (int i = 0; i < m_arrValues.GetSize() && out.IsComplete(); ++i)
                out.AddText(TovoMBString::Formatted("dkm:ArrayField%d", i).c_str(),
                            TovoMBString::Formatted("%f", m_arrValues[i]));
        }
        return out.Finish(kClassName, kSource, kLineWriteFailed);
    } catch (const std::bad_alloc&) {
        return ThemeXml::WriteFailed(kClassName, kSource, kLineWriteFailed);
    }
}

unsigned char Kr3DGraphItem::FromXML(const TovoMBString& strXML, int nVersion) {
    if (strXML.IsEmpty()) {
        ThemeXml::LogCodeWithMessage("EGg040", kClassName, kSource, kLineEmpty);
        return FALSE;
    }
    ThemeXml::CountBudget budget;
    if (!ThemeXml::ReadGraphItem(*this, strXML, nVersion, budget)) {
        ThemeXml::LogCodeWithMessage("EGg040", kClassName, kSource, kLineNoRoot);
        return FALSE;
    }
    if (budget.IsExceeded())
        ThemeXml::LogCodeWithMessage("EGg040", kClassName, kSource, kLineOverBudget);
    return TRUE;
}

bool ThemeXml::ReadGraphItem(Kr3DGraphItem& item, const TovoMBString& strXML, int nVersion,
                             CountBudget& budget) {
    const int version = ThemeXml::ResolveReadVersion(nVersion);
    if (strXML.IsEmpty())
        return false;
    KrMarkup xml(strXML);
    xml.ResetChildPos();
    if (!xml.FindElem("dkm:GraphItem"))
        return false;
    TovoMBString text;
    if (ThemeXml::FindChildText(xml, "dkm:FieldExpression", text))
        item.m_strFieldExpression = text;
    if (ThemeXml::FindChildText(xml, "dkm:Caption", text))
        item.m_strCaption = text;
    ReadStyle(xml, "dkm:GeoStyle", item.m_Style, version);
    ReadStyle(xml, "dkm:Style", item.m_Style, version);
    if (ThemeXml::FindChildText(xml, "dkm:Type", text))
        item.m_nItemType = static_cast<int>(text.ToUInt(10));
    if (ThemeXml::FindChildText(xml, "dkm:ArrayFieldNum", text)) {
        const int count = budget.Fit(kratoi(text));
        TOVO::TovoArray<double>& values = item.m_arrValues;
        values.RemoveAll();
        values.SetSize(count);
        ThemeXml::ReadNumberedChildren(
            xml, "dkm:ArrayField", count,
            [&values](int i, const TovoMBString& value) { values[i] = kratof(value); });
    }
    return true;
}

} // namespace KRS
