// A chart definition: its items in chart order (item i gives the i-th bar, segment or slice), the
// graph type code and an integer bar width that is only stored. No XML of its own: the graph
// theme writes the type and the items.
#pragma once

#include "Kr3DGraphItem.h"
#include "Theme3DBase/Theme3DBase_export.h"
#include "VyBase600/TovoArray.h"
#include "VyBase600/TovoMBString.h"
#include "VyToolkit600/KrStyle.h"

namespace KRS {

class KrTheme3DGraph;

class THEME3DBASE_EXPORT Kr3DGraph {
public:
    Kr3DGraph();
    Kr3DGraph(const Kr3DGraph& other);
    // Items present on both sides are assigned with Kr3DGraphItem::operator= (so an item of the
    // source without values keeps the target item's values); the others are cut or copied.
    Kr3DGraph& operator=(const Kr3DGraph& other);
    virtual ~Kr3DGraph();

    int GetCount() const { return m_arrItems.GetSize(); }
    // A count of 0 or less changes nothing. Growing an empty list adds default items; growing a
    // list repeats its last item.
    void SetCount(int nCount);
    // Appends a field item whose expression and caption are both the text; its index.
    int Add(const TOVO::TovoMBString& strExpression);
    // Removes at most nCount items from nIndex; how many went (0 for an index outside the items
    // or a count of 0 or less).
    int RemoveAt(int nIndex, int nCount);
    // Removes every item and releases the list's storage.
    void RemoveAll();

    // The index-based accessors need 0 <= nIndex < GetCount(); outside, std::out_of_range.
    TOVO::TovoMBString GetExpressionAt(int nIndex) const;
    void SetExpressionAt(int nIndex, const TOVO::TovoMBString& strExpression);
    TOVO::TovoMBString GetCaptionAt(int nIndex) const;
    void SetCaptionAt(int nIndex, const TOVO::TovoMBString& strCaption);
    const KrStyle& GetStyleAt(int nIndex) const;
    void SetStyleAt(int nIndex, const KrStyle& style);
    const Kr3DGraphItem& GetItem(int nIndex) const;

    void SetGraphType(int nType) { m_nGraphType = nType; }
    int GetGraphType() const { return m_nGraphType; }
    void SetBarWidth(int nWidth) { m_nBarWidth = nWidth; }
    int GetBarWidth() const { return m_nBarWidth; }

protected:
    // The graph theme inserts, reads and replaces whole items directly.
    friend class KrTheme3DGraph;

    TOVO::TovoArray<Kr3DGraphItem> m_arrItems;
    int m_nGraphType;
    int m_nBarWidth;

private:
    // Inserts a copy of the item before nIndex (past the end or negative appends). Items that
    // make room move whole: Kr3DGraphItem::operator= would keep a value list where an item
    // without values moves in, so shifting never goes through it.
    void InsertItem(int nIndex, const Kr3DGraphItem& item);
};

} // namespace KRS
