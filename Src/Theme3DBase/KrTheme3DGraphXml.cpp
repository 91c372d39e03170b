// KrTheme3DGraph: the theme's XML fragment, the base document with the graph elements appended.
#include "KrTheme3DGraph.h"

#include "KrThemeXml.h"
#include "VyToolkit600/KrConvert.h"
#include "VyToolkit600/KrMarkup.h"

#include <new>

using TOVO::TovoMBString;

namespace KRS {

namespace {

const char* const kClassName = "KrTheme3DGraph";
const char* const kSource = "Src/Theme3DBase/KrTheme3DGraph";
const int kLineNoBase = 392;
const int kLineNoRoot = 413;
const int kLineEmpty = 644;
const int kLineBaseUnread = 655;
const int kLineOverBudget = 700;
const int kLineWriteFailed = 430;

const ThemeXml::CodeName kGraphTypes[] = {{KrTheme3DGraph::Bar, "Bar"},
                                          {KrTheme3DGraph::Pie, "Pie"},
                                          {KrTheme3DGraph::StackedBar, "StackedBar"}};
const ThemeXml::CodeName kTextFormats[] = {{KrTheme3DGraph::Percent, "Percent"},
                                           {KrTheme3DGraph::Value, "Value"},
                                           {KrTheme3DGraph::Caption, "Caption"},
                                           {KrTheme3DGraph::CaptionPercent, "CaptionPercent"},
                                           {KrTheme3DGraph::CaptionValue, "CaptionValue"}};
const ThemeXml::CodeName kGraduatedModes[] = {{KrTheme3DGraph::Constant, "Constant"},
                                              {KrTheme3DGraph::SquareRoot, "SquareRoot"},
                                              {KrTheme3DGraph::Logarithm, "Logarithm"}};

// The name of the code, or the fallback name for a code the table does not know.
template <std::size_t N>
const char* NameOr(const ThemeXml::CodeName (&table)[N], int nCode, const char* szFallback) {
    const char* name = ThemeXml::NameOfCode(table, nCode);
    return name ? name : szFallback;
}

// The code of the name, or the fallback code for a name the table does not know.
template <std::size_t N>
int CodeOr(const ThemeXml::CodeName (&table)[N], const TovoMBString& strName, int nFallback) {
    int code = nFallback;
    return ThemeXml::CodeOfName(table, strName, code) ? code : nFallback;
}

void AddNumber(ThemeXml::MarkupWriter& out, const char* szName, double dValue) {
    out.AddText(szName, ThemeXml::NumberText(dValue));
}

void AddSize(ThemeXml::MarkupWriter& out, const char* szName, const TOVO::TovoSize2D& size) {
    out.AddEmpty(szName);
    out.IntoElem();
    AddNumber(out, "dkm:cx", size.cx);
    AddNumber(out, "dkm:cy", size.cy);
    out.OutOfElem();
}

// TRUE with the number of the child when it is found next.
bool FindNumber(KrMarkup& xml, const char* szName, double& dValue) {
    TovoMBString text;
    if (!ThemeXml::FindChildText(xml, szName, text))
        return false;
    dValue = kratof(text);
    return true;
}

void ReadSize(KrMarkup& xml, const char* szName, TOVO::TovoSize2D& size) {
    if (!xml.FindChildElem(szName))
        return;
    xml.IntoElem();
    FindNumber(xml, "dkm:cx", size.cx);
    FindNumber(xml, "dkm:cy", size.cy);
    xml.OutOfElem();
}

} // namespace

TovoMBString KrTheme3DGraph::ToXML(int nVersion, TovoMBString) const {
    try {
        return WriteXML(ThemeXml::ResolveVersion(nVersion));
    } catch (const std::bad_alloc&) {
        return ThemeXml::WriteFailed(kClassName, kSource, kLineWriteFailed);
    }
}

TovoMBString KrTheme3DGraph::WriteXML(int nVersion) const {
    const TovoMBString base = KrTheme3D::ToXML(nVersion, TovoMBString());
    if (base.IsEmpty()) {
        ThemeXml::LogCodeWithMessage("EGg041", kClassName, kSource, kLineNoBase);
        return base;
    }
    KrMarkup xml;
    xml.SetDoc(base);
    if (nVersion != THEME3D_XML_VERSION)
        return xml.GetDoc();
    if (!xml.FindElem("dkm:Theme3D")) {
        ThemeXml::LogCodeWithMessage("EGg041", kClassName, kSource, kLineNoRoot);
        return TovoMBString();
    }
    ThemeXml::MarkupWriter out(xml);
    out.AddText("dkm:GraphType", NameOr(kGraphTypes, GetGraphType(), "Pie"));
    AddNumber(out, "dkm:BarWidth", m_dBarWidth);
    AddNumber(out, "dkm:StartAngle", m_dStartAngle);
    out.AddText("dkm:ShowItemText", ThemeXml::BoolText(m_bShowItemText != 0));
    out.AddText("dkm:ItemTextFormat", NameOr(kTextFormats, m_nItemTextFormat, "Percent"));
    out.AddText("dkm:GraduatedMode", NameOr(kGraduatedModes, m_nGraduatedMode, "SquareRoot"));
    AddNumber(out, "dkm:MinSum", m_dMinSum);
    AddNumber(out, "dkm:MaxSum", m_dMaxSum);
    AddNumber(out, "dkm:SqrtMinSum", m_dSqrtMinSum);
    AddNumber(out, "dkm:SqrtMaxSum", m_dSqrtMaxSum);
    AddNumber(out, "dkm:LogMinSum", m_dLogMinSum);
    AddNumber(out, "dkm:LogMaxSum", m_dLogMaxSum);

    out.AddEmpty("dkm:GraphItems");
    out.IntoElem();
    for (int i = 0; i < m_Graph.m_arrItems.GetSize() && out.IsComplete(); ++i)
        out.AddSubDoc(m_Graph.m_arrItems[i].ToXML(THEME3D_XML_VERSION));
    out.OutOfElem();

    AddSize(out, "dkm:MinSize", m_szMinSize);
    AddSize(out, "dkm:MaxSize", m_szMaxSize);
    TovoMBString textStyle = m_ItemTextStyle.ToXML(THEME3D_XML_VERSION);
    textStyle.Replace("TextStyle", "ItemTextStyle");
    out.AddSubDoc(textStyle);

    if (!m_arrJoinArrayField.IsEmpty()) {
        out.AddText("dkm:KeyNum", TovoMBString::Formatted("%d", m_arrJoinArrayField.GetSize()));
        for (int i = 0; i < m_arrJoinArrayField.GetSize() && out.IsComplete(); ++i)
            out.AddText(TovoMBString::Formatted("dkm:Key%d", i).c_str(),
                        TovoMBString::Formatted("%d", m_arrJoinArrayField[i]));
    }
    return out.Finish(kClassName, kSource, kLineWriteFailed);
}

unsigned char KrTheme3DGraph::FromXML(const TovoMBString& strXML, int nVersion, TovoMBString) {
    const int version = ThemeXml::ResolveReadVersion(nVersion);
    if (strXML.IsEmpty()) {
        ThemeXml::LogCodeWithMessage("EGg040", kClassName, kSource, kLineEmpty);
        return FALSE;
    }
    if (!KrTheme3D::FromXML(strXML, version, TovoMBString())) {
        ThemeXml::LogCodeWithMessage("EGg040", kClassName, kSource, kLineBaseUnread);
        return FALSE;
    }
    RemoveAll();
    KrMarkup xml(strXML);
    xml.ResetChildPos();
    if (version >= THEME3D_XML_VERSION) {
        ThemeXml::CountBudget budget;
        ReadGraphElements(xml, version, budget);
        if (budget.IsExceeded())
            ThemeXml::LogCodeWithMessage("EGg040", kClassName, kSource, kLineOverBudget);
    }
    SetModifiedFlag(TRUE);
    return TRUE;
}

// Each element is searched after the one found last, so a document must hold them in the
// written order; one that is missing or out of order leaves its member as it was.
void KrTheme3DGraph::ReadGraphElements(KrMarkup& xml, int nVersion, ThemeXml::CountBudget& budget) {
    TovoMBString text;
    if (ThemeXml::FindChildText(xml, "dkm:GraphType", text))
        SetGraphType(CodeOr(kGraphTypes, text, Pie));
    FindNumber(xml, "dkm:BarWidth", m_dBarWidth);
    double angle = 0.0;
    if (FindNumber(xml, "dkm:StartAngle", angle))
        SetStartAngle(angle);
    if (ThemeXml::FindChildText(xml, "dkm:ShowItemText", text))
        SetShowItemText(ThemeXml::IsTrueText(text) ? TRUE : FALSE);
    if (ThemeXml::FindChildText(xml, "dkm:ItemTextFormat", text))
        SetItemTextFormat(CodeOr(kTextFormats, text, Percent));
    if (ThemeXml::FindChildText(xml, "dkm:GraduatedMode", text))
        SetGraduatedMode(CodeOr(kGraduatedModes, text, SquareRoot));
    FindNumber(xml, "dkm:MinSum", m_dMinSum);
    FindNumber(xml, "dkm:MaxSum", m_dMaxSum);
    FindNumber(xml, "dkm:SqrtMinSum", m_dSqrtMinSum);
    FindNumber(xml, "dkm:SqrtMaxSum", m_dSqrtMaxSum);
    FindNumber(xml, "dkm:LogMinSum", m_dLogMinSum);
    FindNumber(xml, "dkm:LogMaxSum", m_dLogMaxSum);
    if (xml.FindChildElem("dkm:GraphItems"))
        ReadGraphItems(xml, nVersion, budget);
    ReadSize(xml, "dkm:MinSize", m_szMinSize);
    ReadSize(xml, "dkm:MaxSize", m_szMaxSize);
    if (xml.FindChildElem("dkm:ItemTextStyle")) {
        m_ItemTextStyle.FromXML(xml.GetChildSubDoc(), nVersion);
        SetItemTextStyle(m_ItemTextStyle);
    }
    if (ThemeXml::FindChildText(xml, "dkm:KeyNum", text)) {
        const int count = budget.Fit(kratoi(text));
        budget.Use(count);
        m_arrJoinArrayField.RemoveAll();
        m_arrJoinArrayField.SetSize(count);
        ThemeXml::ReadNumberedChildren(
            xml, "dkm:Key", count,
            [this](int i, const TovoMBString& key) { m_arrJoinArrayField[i] = kratoi(key); });
    }
}

// One working item reads every "dkm:GraphItem" in turn and is not reset between them: a member
// missing from one item keeps the value it had in the item before.
void KrTheme3DGraph::ReadGraphItems(KrMarkup& xml, int nVersion, ThemeXml::CountBudget& budget) {
    xml.IntoElem();
    Kr3DGraphItem working;
    while (xml.FindChildElem("dkm:GraphItem")) {
        ThemeXml::ReadGraphItem(working, xml.GetChildSubDoc(), nVersion, budget);
        // Copied member by member: the list an item keeps is what fits the budget.
        Kr3DGraphItem item;
        item.m_strFieldExpression = working.m_strFieldExpression;
        item.m_strCaption = working.m_strCaption;
        item.m_Style = working.m_Style;
        item.m_nItemType = working.m_nItemType;
        const int nKeep = budget.Fit(working.m_arrValues.GetSize());
        if (nKeep == working.m_arrValues.GetSize()) {
            item.m_arrValues = working.m_arrValues;
        } else {
            item.m_arrValues.SetSize(nKeep);
            for (int i = 0; i < nKeep; ++i)
                item.m_arrValues[i] = working.m_arrValues[i];
        }
        budget.Use(nKeep);
        m_Graph.m_arrItems.Add(item);
    }
    xml.OutOfElem();
}

} // namespace KRS
