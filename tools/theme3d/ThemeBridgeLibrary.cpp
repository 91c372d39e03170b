// The companion library behind ThemeBridge.h. It is built against the plug-in's headers but not
// linked to the plug-in: every theme symbol below is bound when the tool loads this library,
// to the plug-in that the tool loaded by file name just before.
#include "ThemeBridge.h"

#include "Theme3DBase/Kr3DGraphItem.h"
#include "Theme3DBase/KrTheme3DGraph.h"
#include "Theme3DBase/KrTheme3DItem.h"
#include "Theme3DBase/KrTheme3DLabel.h"
#include "Theme3DBase/KrTheme3DRange.h"
#include "Theme3DBase/KrTheme3DUnique.h"
#include "VyBase600/TovoArray.h"

using KRS::KrStyle;
using KRS::KrTheme3D;
using TOVO::TovoMBString;

namespace {

KRS::KrTheme3DRange* Range(KrTheme3D* p) {
    return static_cast<KRS::KrTheme3DRange*>(p);
}
KRS::KrTheme3DUnique* Unique(KrTheme3D* p) {
    return static_cast<KRS::KrTheme3DUnique*>(p);
}
KRS::KrTheme3DGraph* Graph(KrTheme3D* p) {
    return static_cast<KRS::KrTheme3DGraph*>(p);
}

TOVO::TovoArray<double> ToArray(const std::vector<double>& values) {
    TOVO::TovoArray<double> arr;
    for (double d : values)
        arr.Add(d);
    return arr;
}

void SetRangeExpression(KrTheme3D* pTheme, const TovoMBString& strExpression) {
    Range(pTheme)->SetExpression(strExpression);
}

unsigned char MakeDefault(KrTheme3D* pTheme, int nMethod, int nCount,
                          const std::vector<double>& values, const std::vector<double>& breaks,
                          double dInterval) {
    return Range(pTheme)->MakeDefault(nMethod, nCount, ToArray(values), ToArray(breaks), dInterval);
}

void GetBreaks(const KrTheme3D* pTheme, std::vector<double>& breaks) {
    const auto* pRange = static_cast<const KRS::KrTheme3DRange*>(pTheme);
    breaks.clear();
    for (int i = 0; i < pRange->GetValueCount(); ++i)
        breaks.push_back(pRange->GetValueAt(i));
}

void SetRangeItem(KrTheme3D* pTheme, int nIndex, const KrStyle& style,
                  const TovoMBString& strCaption, unsigned char bVisible) {
    Range(pTheme)->SetStyleAt(nIndex, style);
    Range(pTheme)->SetCaptionAt(nIndex, strCaption);
    Range(pTheme)->SetVisibleAt(nIndex, bVisible);
}

void SetUniqueExpression(KrTheme3D* pTheme, const TovoMBString& strExpression,
                         const KrStyle& defaultStyle) {
    Unique(pTheme)->SetExpression(strExpression);
    Unique(pTheme)->SetDefaultStyle(defaultStyle);
}

unsigned char AddUniqueValue(KrTheme3D* pTheme, const TovoMBString& strValue, const KrStyle& style,
                             const TovoMBString& strCaption) {
    KRS::KrTheme3DItem item;
    item.m_Style = style;
    item.m_strCaption = strCaption;
    return Unique(pTheme)->Add(strValue, item);
}

void SetLabel(KrTheme3D* pTheme, const TovoMBString& strExpression,
              const TovoMBString& strNumFormat) {
    auto* pLabel = static_cast<KRS::KrTheme3DLabel*>(pTheme);
    pLabel->SetExpression(strExpression);
    pLabel->SetNumFormat(strNumFormat);
}

void SetGraph(KrTheme3D* pTheme, int nGraphType, int nGraduatedMode, int nItemTextFormat,
              unsigned char bShowItemText) {
    Graph(pTheme)->SetGraphType(nGraphType);
    Graph(pTheme)->SetGraduatedMode(nGraduatedMode);
    Graph(pTheme)->SetItemTextFormat(nItemTextFormat);
    Graph(pTheme)->SetShowItemText(bShowItemText);
}

void AddGraphItem(KrTheme3D* pTheme, const TovoMBString& strExpression,
                  const TovoMBString& strCaption, const KrStyle& style) {
    const int nIndex = Graph(pTheme)->Add(strExpression);
    Graph(pTheme)->SetCaptionAt(nIndex, strCaption);
    Graph(pTheme)->SetStyleAt(nIndex, style);
}

void CalExtremumvValue(KrTheme3D* pTheme, double dMinSum, double dMaxSum,
                       const TOVO::TovoRect2D& bounds, int nCount) {
    Graph(pTheme)->CalExtremumvValue(dMinSum, dMaxSum, bounds, nCount, FALSE);
}

void SetChartSizes(KrTheme3D* pTheme, double dMinSize, double dMaxSize) {
    Graph(pTheme)->SetMinSumSize(dMinSize);
    Graph(pTheme)->SetMaxSumSize(dMaxSize);
}

void RangeLegend(const KRS::KrTheme3DRange& range, std::vector<theme3d::LegendRow>& rows) {
    for (int i = 0; i < range.GetCount(); ++i) {
        if (range.GetAt(i) == nullptr)
            continue;
        rows.push_back({range.GetCaptionAt(i), range.GetStyleAt(i), range.IsVisibleAt(i) != 0});
    }
}

void UniqueLegend(KRS::KrTheme3DUnique& unique, std::vector<theme3d::LegendRow>& rows) {
    for (int i = 0; i < unique.GetCount(); ++i)
        rows.push_back({unique.GetCaptionAt(i), unique.GetStyleAt(i), unique.IsVisibleAt(i) != 0});
    rows.push_back({TovoMBString("other values"), unique.GetDefaultStyle(), true});
}

void GraphLegend(const KRS::KrTheme3DGraph& graph, std::vector<theme3d::LegendRow>& rows) {
    for (int i = 0; i < graph.GetCount(); ++i) {
        const KRS::Kr3DGraphItem& item = graph.GetItem(i);
        rows.push_back({item.m_strCaption, item.m_Style, true});
    }
}

void GetLegend(const KrTheme3D* pTheme, std::vector<theme3d::LegendRow>& rows) {
    rows.clear();
    switch (pTheme->GetType()) {
    case KrTheme3D::Range:
        RangeLegend(*static_cast<const KRS::KrTheme3DRange*>(pTheme), rows);
        break;
    case KrTheme3D::Unique:
        // The unique theme's caption and value getters are not const; the copy keeps the
        // caller's theme untouched.
        {
            KRS::KrTheme3DUnique copy(*static_cast<const KRS::KrTheme3DUnique*>(pTheme));
            UniqueLegend(copy, rows);
        }
        break;
    case KrTheme3D::Graph:
        GraphLegend(*static_cast<const KRS::KrTheme3DGraph*>(pTheme), rows);
        break;
    default:
        break;
    }
}

const theme3d::ThemeBridge kBridge = {
    theme3d::kThemeBridgeVersion,
    SetRangeExpression,
    MakeDefault,
    GetBreaks,
    SetRangeItem,
    SetUniqueExpression,
    AddUniqueValue,
    SetLabel,
    SetGraph,
    AddGraphItem,
    CalExtremumvValue,
    SetChartSizes,
    GetLegend,
};

} // namespace

extern "C" __attribute__((visibility("default"))) const theme3d::ThemeBridge* Theme3DToolBridge() {
    return &kBridge;
}
