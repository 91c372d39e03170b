#include "Kr3DGraph.h"

#include <algorithm>
#include <utility>

using TOVO::TovoMBString;

namespace KRS {

namespace {

// Moves the whole item, its value list included, even when the source has no values.
void MoveItem(Kr3DGraphItem& to, Kr3DGraphItem& from) {
    to.m_strFieldExpression = std::move(from.m_strFieldExpression);
    to.m_strCaption = std::move(from.m_strCaption);
    to.m_Style = std::move(from.m_Style);
    to.m_nItemType = from.m_nItemType;
    to.m_arrValues = std::move(from.m_arrValues);
}

} // namespace

Kr3DGraph::Kr3DGraph() : m_nGraphType(0), m_nBarWidth(0) {}

Kr3DGraph::Kr3DGraph(const Kr3DGraph& other) : m_nGraphType(0), m_nBarWidth(0) {
    *this = other;
}

Kr3DGraph& Kr3DGraph::operator=(const Kr3DGraph& other) {
    if (this == &other)
        return *this;
    m_nGraphType = other.m_nGraphType;
    m_nBarWidth = other.m_nBarWidth;
    // Element by element, as the host's array copies: new places start as default items and
    // then take the source item by assignment, like the items already there.
    m_arrItems.SetSize(other.m_arrItems.GetSize(), other.m_arrItems.GetGrowBy());
    for (int i = 0; i < other.m_arrItems.GetSize(); ++i)
        m_arrItems[i] = other.m_arrItems[i];
    return *this;
}

Kr3DGraph::~Kr3DGraph() = default;

void Kr3DGraph::SetCount(int nCount) {
    const int count = GetCount();
    if (nCount <= 0 || nCount == count)
        return;
    if (count > nCount || count == 0) {
        m_arrItems.SetSize(nCount);
        return;
    }
    const Kr3DGraphItem last(m_arrItems[count - 1]);
    m_arrItems.InsertAt(count, last, nCount - count);
}

int Kr3DGraph::Add(const TovoMBString& strExpression) {
    Kr3DGraphItem item;
    item.m_strFieldExpression = strExpression;
    item.m_strCaption = strExpression;
    return m_arrItems.Add(item);
}

int Kr3DGraph::RemoveAt(int nIndex, int nCount) {
    const int count = GetCount();
    if (nCount <= 0 || nIndex < 0 || nIndex >= count)
        return 0;
    // The later items move down whole (see InsertItem); the emptied tail is then cut.
    const int removed = std::min(nCount, count - nIndex);
    for (int i = nIndex; i + removed < count; ++i)
        MoveItem(m_arrItems[i], m_arrItems[i + removed]);
    m_arrItems.SetSize(count - removed);
    return removed;
}

void Kr3DGraph::InsertItem(int nIndex, const Kr3DGraphItem& item) {
    Kr3DGraphItem copy(item); // the item may live in this list
    const int count = GetCount();
    const int at = (nIndex < 0 || nIndex > count) ? count : nIndex;
    m_arrItems.Add(Kr3DGraphItem());
    for (int i = count; i > at; --i)
        MoveItem(m_arrItems[i], m_arrItems[i - 1]);
    MoveItem(m_arrItems[at], copy);
}

void Kr3DGraph::RemoveAll() {
    m_arrItems.RemoveAll();
    m_arrItems.FreeExtra();
}

TovoMBString Kr3DGraph::GetExpressionAt(int nIndex) const {
    return m_arrItems[nIndex].m_strFieldExpression;
}

void Kr3DGraph::SetExpressionAt(int nIndex, const TovoMBString& strExpression) {
    m_arrItems[nIndex].m_strFieldExpression = strExpression;
}

TovoMBString Kr3DGraph::GetCaptionAt(int nIndex) const {
    return m_arrItems[nIndex].m_strCaption;
}

void Kr3DGraph::SetCaptionAt(int nIndex, const TovoMBString& strCaption) {
    m_arrItems[nIndex].m_strCaption = strCaption;
}

const KrStyle& Kr3DGraph::GetStyleAt(int nIndex) const {
    return m_arrItems[nIndex].m_Style;
}

void Kr3DGraph::SetStyleAt(int nIndex, const KrStyle& style) {
    m_arrItems[nIndex].m_Style = style;
}

const Kr3DGraphItem& Kr3DGraph::GetItem(int nIndex) const {
    return m_arrItems[nIndex];
}

} // namespace KRS
