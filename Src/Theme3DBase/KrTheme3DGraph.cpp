#include "KrTheme3DGraph.h"

#include "VyToolkit600/KrConvert.h"

#include <algorithm>
#include <utility>
#include <vector>

using TOVO::TovoArray;
using TOVO::TovoMBString;

namespace KRS {

namespace {

// Inserts the count values before nIndex (past the end or negative appends) in one move of the
// later elements. The values may lie inside the array itself.
template <typename T>
void InsertValues(TovoArray<T>& arr, int nIndex, const T* pValues, int nCount) {
    if (!pValues || nCount <= 0)
        return;
    const std::vector<T> values(pValues, pValues + nCount);
    const int size = arr.GetSize();
    const int at = (nIndex < 0 || nIndex > size) ? size : nIndex;
    arr.SetSize(size + nCount);
    T* data = arr.GetData();
    std::move_backward(data + at, data + size, data + size + nCount);
    std::copy(values.begin(), values.end(), data + at);
}

} // namespace

KrTheme3DGraph::KrTheme3DGraph()
    : m_dBarWidth(0.0), m_dMinSum(0.0), m_dMaxSum(0.0), m_dSqrtMinSum(0.0), m_dSqrtMaxSum(0.0),
      m_dLogMinSum(0.0), m_dLogMaxSum(0.0), m_bModified(FALSE), m_dBarSpacing(0.0),
      m_nGraduatedMode(Constant), m_bShowItemText(FALSE), m_nItemTextFormat(Percent),
      m_dStartAngle(0.0) {
    m_nType = Graph;
    m_ItemTextStyle.SetForeColor(TOVORGB(255, 255, 255));
    m_ItemTextStyle.SetAlign(7);
    m_ItemTextStyle.SetFixedSize(TRUE);
    m_ItemTextStyle.SetHeight(8.0);
}

KrTheme3DGraph::KrTheme3DGraph(const KrTheme3DGraph& other)
    : KrTheme3DSymbol(other), m_Graph(other.m_Graph), m_dBarWidth(other.m_dBarWidth),
      m_dMinSum(other.m_dMinSum), m_dMaxSum(other.m_dMaxSum), m_dSqrtMinSum(other.m_dSqrtMinSum),
      m_dSqrtMaxSum(other.m_dSqrtMaxSum), m_dLogMinSum(other.m_dLogMinSum),
      m_dLogMaxSum(other.m_dLogMaxSum), m_szMinSize(other.m_szMinSize),
      m_szMaxSize(other.m_szMaxSize), m_bModified(other.m_bModified),
      m_dBarSpacing(other.m_dBarSpacing), m_nGraduatedMode(other.m_nGraduatedMode),
      m_bShowItemText(other.m_bShowItemText), m_ItemTextStyle(other.m_ItemTextStyle),
      m_nItemTextFormat(other.m_nItemTextFormat), m_arrJoinArrayField(other.m_arrJoinArrayField),
      m_dStartAngle(other.m_dStartAngle) {}

KrTheme3DGraph& KrTheme3DGraph::operator=(const KrTheme3DGraph& other) {
    Swap(other);
    return *this;
}

KrTheme3DGraph::~KrTheme3DGraph() = default;

void KrTheme3DGraph::Swap(const KrTheme3DGraph& other) {
    if (this == &other)
        return;
    RemoveAll();
    KrTheme3D::Swap(other);
    m_Graph = other.m_Graph;
    m_dBarWidth = other.m_dBarWidth;
    m_dMaxSum = other.m_dMaxSum;
    m_dMinSum = other.m_dMinSum;
    m_dSqrtMaxSum = other.m_dSqrtMaxSum;
    m_dSqrtMinSum = other.m_dSqrtMinSum;
    m_dLogMaxSum = other.m_dLogMaxSum;
    m_dLogMinSum = other.m_dLogMinSum;
    m_szMinSize = other.m_szMinSize;
    m_szMaxSize = other.m_szMaxSize;
    m_bModified = other.m_bModified;
    m_dBarSpacing = other.m_dBarSpacing;
    m_nGraduatedMode = other.m_nGraduatedMode;
    m_bShowItemText = other.m_bShowItemText;
    m_ItemTextStyle = other.m_ItemTextStyle;
    m_nItemTextFormat = other.m_nItemTextFormat;
    m_dStartAngle = other.m_dStartAngle;
    m_arrJoinArrayField = other.m_arrJoinArrayField;
}

// Chart items.

void KrTheme3DGraph::SetCount(int nCount) {
    m_Graph.SetCount(nCount);
}

int KrTheme3DGraph::Add(const TovoMBString& strExpression) {
    m_bModified = TRUE;
    return m_Graph.Add(strExpression);
}

void KrTheme3DGraph::Insert(int nIndex, const Kr3DGraphItem& item) {
    m_Graph.InsertItem(nIndex, item);
}

int KrTheme3DGraph::RemoveAt(int nIndex) {
    return m_Graph.RemoveAt(nIndex, 1);
}

void KrTheme3DGraph::RemoveAll() {
    m_Graph.RemoveAll();
    m_bModified = TRUE;
}

const Kr3DGraphItem& KrTheme3DGraph::GetItem(int nIndex) const {
    return m_Graph.GetItem(nIndex);
}

TovoMBString KrTheme3DGraph::GetExpressionAt(int nIndex) const {
    return m_Graph.GetExpressionAt(nIndex);
}

void KrTheme3DGraph::SetExpressionAt(int nIndex, const TovoMBString& strExpression) {
    m_Graph.SetExpressionAt(nIndex, strExpression);
}

void KrTheme3DGraph::SetCaptionAt(int nIndex, const TovoMBString& strCaption) {
    m_Graph.SetCaptionAt(nIndex, strCaption);
}

void KrTheme3DGraph::SetCaptionAt(int nIndex, const TovoMBString& strCaption,
                                  const TovoArray<double>& arrValues) {
    Kr3DGraphItem& item = m_Graph.m_arrItems[nIndex];
    item.m_strCaption = strCaption;
    item.m_nItemType = Kr3DGraphItem::ArrayItem;
    item.m_arrValues = arrValues;
}

const KrStyle& KrTheme3DGraph::GetStyleAt(int nIndex) {
    const KrStyle& style = m_Graph.GetStyleAt(nIndex);
    m_bModified = TRUE;
    return style;
}

void KrTheme3DGraph::SetStyleAt(int nIndex, const KrStyle& style) {
    m_Graph.SetStyleAt(nIndex, style);
    m_bModified = TRUE;
}

int KrTheme3DGraph::IndexOf(const TovoMBString& strExpression) const {
    for (int i = 0; i < GetCount(); ++i)
        if (m_Graph.m_arrItems[i].m_strFieldExpression.CompareNoCase(strExpression) == 0)
            return i;
    return -1;
}

unsigned char KrTheme3DGraph::ExchangeItem(int nIndex1, int nIndex2) {
    const int count = GetCount();
    if (nIndex1 < 0 || nIndex1 >= count || nIndex2 < 0 || nIndex2 >= count)
        return FALSE;
    TovoArray<Kr3DGraphItem>& items = m_Graph.m_arrItems;
    const Kr3DGraphItem first(items[nIndex1]);
    items[nIndex1] = items[nIndex2];
    items[nIndex2] = first;
    return TRUE;
}

// Array items and join keys.

int KrTheme3DGraph::FindCaption(const TovoMBString& strCaption) const {
    for (int i = 0; i < GetCount(); ++i)
        if (m_Graph.m_arrItems[i].m_strCaption == strCaption)
            return i;
    return -1;
}

int KrTheme3DGraph::AddArrayField(TovoMBString strCaption, const TovoArray<double>& arrValues) {
    m_bModified = TRUE;
    Kr3DGraphItem item;
    item.m_strCaption = strCaption;
    item.m_nItemType = Kr3DGraphItem::ArrayItem;
    item.m_arrValues = arrValues;
    return m_Graph.m_arrItems.Add(item);
}

void KrTheme3DGraph::InsertArrayFieldAt(TovoMBString strCaption, int nIndex,
                                        const TovoArray<double>& arrValues) {
    InsertArrayFieldAt(strCaption, nIndex, arrValues.GetData(), arrValues.GetSize());
}

void KrTheme3DGraph::InsertArrayFieldAt(TovoMBString strCaption, int nIndex, const double* pValues,
                                        int nCount) {
    const int found = FindCaption(strCaption);
    if (found >= 0) {
        m_bModified = TRUE;
        InsertValues(m_Graph.m_arrItems[found].m_arrValues, nIndex, pValues, nCount);
        return;
    }
    Kr3DGraphItem item;
    item.m_strCaption = strCaption;
    item.m_nItemType = Kr3DGraphItem::ArrayItem;
    InsertValues(item.m_arrValues, 0, pValues, nCount);
    m_Graph.InsertItem(nIndex, item);
}

unsigned char KrTheme3DGraph::RemoveArrayField(TovoMBString strCaption) {
    const int found = FindCaption(strCaption);
    if (found < 0)
        return FALSE;
    m_bModified = TRUE;
    m_Graph.RemoveAt(found, 1);
    return TRUE;
}

void KrTheme3DGraph::RemoveArrayFieldAt(TovoMBString strCaption, int nIndex, int nCount) {
    const int found = FindCaption(strCaption);
    if (found < 0)
        return;
    m_bModified = TRUE;
    m_Graph.m_arrItems[found].m_arrValues.RemoveAt(nIndex, nCount);
}

void KrTheme3DGraph::SetJoinArrayField(TovoArray<int> arrKeys) {
    m_bModified = TRUE;
    m_arrJoinArrayField = std::move(arrKeys);
}

void KrTheme3DGraph::InsertJoinArrayFieldAt(int nIndex, const TovoArray<int>& arrKeys) {
    InsertJoinArrayFieldAt(nIndex, arrKeys.GetData(), arrKeys.GetSize());
}

void KrTheme3DGraph::InsertJoinArrayFieldAt(int nIndex, const int* pKeys, int nCount) {
    m_bModified = TRUE;
    InsertValues(m_arrJoinArrayField, nIndex, pKeys, nCount);
}

int KrTheme3DGraph::RemoveJoinArrayFieldAt(int nIndex, int nCount) {
    m_bModified = TRUE;
    return m_arrJoinArrayField.RemoveAt(nIndex, nCount);
}

// Chart-wide settings.

void KrTheme3DGraph::SetGraphType(int nType) {
    m_Graph.SetGraphType(nType);
    m_bModified = TRUE;
}

void KrTheme3DGraph::SetMinSumSize(double dSize) {
    m_szMinSize = TOVO::TovoSize2D(dSize * 1.4142135623730951, dSize);
    m_bModified = TRUE;
}

void KrTheme3DGraph::SetMaxSumSize(double dSize) {
    m_szMaxSize = TOVO::TovoSize2D(dSize * 1.4142135623730951, dSize);
    m_bModified = TRUE;
}

// Query definition.

TovoMBString KrTheme3DGraph::GetFieldName(unsigned char) const {
    return TovoMBString("ThemeGraph") + m_strAliasSuffix;
}

unsigned char KrTheme3DGraph::GetFieldName(TovoArray<TovoMBString>& arrNames) const {
    if (GetCount() == 0)
        return FALSE;
    const TovoMBString alias = GetFieldName(static_cast<unsigned char>(FALSE));
    const int before = arrNames.GetSize();
    for (int i = 0; i < GetCount(); ++i) {
        const TovoMBString& expression = m_Graph.m_arrItems[i].m_strFieldExpression;
        if (!expression.IsEmpty())
            arrNames.Add(TovoMBString::Formatted("%s as %s%d", expression, alias, i + 1));
    }
    return arrNames.GetSize() > before ? TRUE : FALSE;
}

unsigned char KrTheme3DGraph::GetThemeQueryDef(TovoArray<TovoMBString>& arrNames,
                                               unsigned char bQueryFields) {
    if (bQueryFields)
        return GetFieldName(arrNames);
    for (int i = 0; i < GetCount(); ++i) {
        TovoMBString number;
        NumberToString(i + 1, number);
        arrNames.Add(GetFieldName(static_cast<unsigned char>(FALSE)) + number);
    }
    return TRUE;
}

void KrTheme3DGraph::CalculateGraphProperty(double) {}

} // namespace KRS
