#include "KrTheme3DRange.h"

#include "KrThemeXml.h"
#include "VyToolkit600/KrConvert.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <new>
#include <set>

using TOVO::TovoMBString;
using TOVO::TovoVariant;

namespace KRS {

namespace {

const char* const kClassName = "KrTheme3DRange";
const char* const kSource = "Src/Theme3DBase/KrTheme3DRange";
const int kWriteFailedLine = 360;
// The lines hosts know the two records of an unreadable value by.
const int kNoNumberLine = 112;
const int kNoStyleLine = 113;

// The break value equals the value: the difference lies strictly inside the tolerance.
inline bool IsSameValue(double dBreak, double dValue) {
    const double dDiff = dBreak - dValue;
    return -1e-10 < dDiff && dDiff < 1e-10;
}

// Whether Add would take the value, given the finite break values held so far in a sorted set
// (which it then joins). A document's values may turn at every step, and scanning all earlier ones
// for each would make reading quadratic. The rounding of a difference is monotone, so when any held
// value is within the tolerance of the new one, its nearest neighbour on that side is too. A value
// that is not finite is within the tolerance of nothing.
bool IsNewBreak(std::set<double>& held, double dValue) {
    if (!std::isfinite(dValue))
        return true;
    const auto above = held.lower_bound(dValue);
    if ((above != held.end() && IsSameValue(*above, dValue)) ||
        (above != held.begin() && IsSameValue(*std::prev(above), dValue)))
        return false;
    held.insert(above, dValue);
    return true;
}

} // namespace

KrTheme3DRange::KrTheme3DRange() : m_bDescending(FALSE), m_nClassType(ClassEqualDistance) {
    m_nType = Range;
}

KrTheme3DRange::KrTheme3DRange(const KrTheme3DRange& other)
    : KrTheme3DStyle(other), m_bDescending(FALSE), m_nClassType(ClassEqualDistance) {
    Swap(other);
}

KrTheme3DRange::~KrTheme3DRange() {
    Release();
}

KrTheme3DRange& KrTheme3DRange::operator=(const KrTheme3DRange& other) {
    Swap(other);
    return *this;
}

void KrTheme3DRange::Swap(const KrTheme3DRange& other) {
    if (&other == this)
        return;
    Release();
    m_arrItems.RemoveAll();
    KrTheme3D::Swap(other);
    m_bDescending = other.m_bDescending;
    m_strExpression = other.m_strExpression;
    m_arrFieldExpressions = other.m_arrFieldExpressions;
    m_nClassType = other.m_nClassType;
    m_arrItems.Reserve(other.m_arrItems.GetSize());
    for (const KrTheme3DItem* pItem : other.m_arrItems)
        if (pItem)
            m_arrItems.Add(new KrTheme3DItem(*pItem));
    m_arrValues = other.m_arrValues;
}

void KrTheme3DRange::Release() {
    for (KrTheme3DItem* pItem : m_arrItems)
        delete pItem;
}

// ---- expression and field name ----

void KrTheme3DRange::SetExpression(const TovoMBString& strExpression) {
    m_strExpression = strExpression;
    m_arrFieldExpressions.RemoveAll();
    m_arrFieldExpressions.FreeExtra();
    m_arrFieldExpressions.Add(m_strExpression);
}

TovoMBString KrTheme3DRange::GetExpression() const {
    return m_strExpression;
}

TovoMBString KrTheme3DRange::GetFieldName(unsigned char bAlias) const {
    if (!bAlias)
        return TovoMBString("Theme3DRange") + m_strAliasSuffix;
    if (m_strExpression.IsEmpty())
        return TovoMBString();
    return m_strExpression + " as Theme3DRange" + m_strAliasSuffix;
}

unsigned char KrTheme3DRange::CheckFieldType(int nFieldType) {
    switch (nFieldType) {
    case 2:
    case 3:
    case 4:
    case 6:
    case 7:
    case 16:
        return TRUE;
    default:
        return FALSE;
    }
}

// ---- break values and items ----

int KrTheme3DRange::GetValueCount() const {
    return m_arrValues.GetSize();
}

void KrTheme3DRange::AppendBreak(double dValue, const KrTheme3DItem& item) {
    // The first break value splits the line in two: the range below it and the one from it up.
    if (m_arrItems.IsEmpty())
        m_arrItems.Add(new KrTheme3DItem(item));
    m_arrValues.Add(dValue);
    m_arrItems.Add(new KrTheme3DItem(item));
}

int KrTheme3DRange::Add(double dValue, const KrTheme3DItem& item) {
    if (m_arrItems.IsEmpty() || Find(dValue) == -1)
        AppendBreak(dValue, item);
    return GetCount();
}

unsigned char KrTheme3DRange::InsertAt(int nIndex, double dValue, const KrTheme3DItem& item) {
    if (GetValueCount() == 0) {
        Add(dValue, item);
        return TRUE;
    }
    m_arrValues.InsertAt(nIndex, dValue);
    m_arrItems.InsertAt(nIndex, new KrTheme3DItem(item));
    return TRUE;
}

int KrTheme3DRange::RemoveAt(int nIndex, int nCount) {
    const int n = GetValueCount();
    if (nIndex < 0 || nIndex >= n)
        return 0;
    const int k = std::min(nCount, n - nIndex);
    if (k < 1)
        return 0;
    if (k == n) {
        RemoveAll(); // without break values there are no ranges, so no items either
        return k;
    }
    m_arrValues.RemoveAt(nIndex, k);
    RemoveTheme3DItems(nIndex, k);
    return k;
}

unsigned char KrTheme3DRange::RemoveTheme3DItems(int nIndex, int nCount) {
    const int n = GetCount();
    if (nCount < 1 || nIndex < 0 || nIndex > n || nCount > n - nIndex)
        return FALSE;
    for (int i = nIndex; i < nIndex + nCount; ++i)
        delete m_arrItems[i];
    m_arrItems.RemoveAt(nIndex, nCount);
    return TRUE;
}

void KrTheme3DRange::RemoveAll() {
    Release();
    m_arrItems.RemoveAll();
    m_arrItems.FreeExtra();
    m_arrValues.RemoveAll();
    m_arrValues.FreeExtra();
}

void KrTheme3DRange::SetAt(int nIndex, const KrTheme3DItem& item) {
    if (KrTheme3DItem* pItem = ItemAt(nIndex))
        *pItem = item;
}

const KrStyle& KrTheme3DRange::GetStyleAt(int nIndex) const {
    static const KrStyle s_emptyStyle; // what a null entry answers
    const KrTheme3DItem* pItem = ItemAt(nIndex);
    return pItem ? pItem->m_Style : s_emptyStyle;
}

void KrTheme3DRange::SetStyleAt(int nIndex, const KrStyle& style) {
    if (KrTheme3DItem* pItem = ItemAt(nIndex))
        pItem->m_Style = style;
}

TovoMBString KrTheme3DRange::GetCaptionAt(int nIndex) const {
    const KrTheme3DItem* pItem = ItemAt(nIndex);
    return pItem ? pItem->m_strCaption : TovoMBString();
}

void KrTheme3DRange::SetCaptionAt(int nIndex, TovoMBString strCaption) {
    if (KrTheme3DItem* pItem = ItemAt(nIndex))
        pItem->m_strCaption = strCaption;
}

unsigned char KrTheme3DRange::IsVisibleAt(int nIndex) const {
    const KrTheme3DItem* pItem = ItemAt(nIndex);
    return pItem ? pItem->m_bVisible : FALSE;
}

void KrTheme3DRange::SetVisibleAt(int nIndex, unsigned char bVisible) {
    if (KrTheme3DItem* pItem = ItemAt(nIndex))
        pItem->m_bVisible = bVisible;
}

// ---- lookup ----

int KrTheme3DRange::Find(double dValue) const {
    // A count from an overriding class never reads past the values held.
    const int n = std::min(GetValueCount(), m_arrValues.GetSize());
    const double* pValues = m_arrValues.GetData();
    for (int i = 0; i < n; ++i)
        if (IsSameValue(pValues[i], dValue))
            return i;
    return -1;
}

KrStyle* KrTheme3DRange::FindStyle(double dValue) const {
    // NaN compares false with every break value, so it passes them all and lands in the last range.
    const int n = std::min(GetValueCount(), m_arrValues.GetSize());
    const double* pValues = m_arrValues.GetData();
    int i = 0;
    if (!m_bDescending) {
        while (i < n && !(dValue < pValues[i]))
            ++i;
    } else {
        while (i < n && !(dValue > pValues[i]) && !IsSameValue(pValues[i], dValue))
            ++i;
    }
    if (i >= GetCount())
        return nullptr;
    KrTheme3DItem* pItem = m_arrItems.GetData()[i];
    if (!pItem || !pItem->m_bVisible)
        return nullptr;
    return &pItem->m_Style;
}

KrStyle* KrTheme3DRange::FindStyle(const TovoVariant& value) const {
    // A double field value is its own number, as Variant2Double reads it: the common case of a
    // layer scan skips the conversion call.
    if (m_nExternalValueMode != 1 && value.GetType() == TovoVariant::Double)
        return FindStyle(value.GetDouble());
    double dNumber = 0.0;
    if (m_nExternalValueMode == 1) {
        const TovoMBString strText = Variant2String(value);
        TovoMBString strTranslation;
        dNumber = GetExternalValue(strText, strTranslation) ? strTranslation.ToDouble()
                                                            : strText.ToDouble();
    } else if (!Variant2Double(value, dNumber)) {
        ThemeXml::LogCode("EEe007", kSource, kNoNumberLine);
        ThemeXml::LogCode("EGi055", kSource, kNoStyleLine);
        return nullptr;
    }
    return FindStyle(dNumber);
}

unsigned char KrTheme3DRange::FindStyle(KrRecordset*, KrStyle&) const {
    return FALSE;
}

// ---- adding a run of break values ----

void KrTheme3DRange::AddInRun(double dValue, const KrTheme3DItem& item, BreakRun& run) {
    const int n = m_arrValues.GetSize();
    if (dValue != dValue || GetValueCount() != n) {
        // NaN is within the tolerance of nothing, but as the last value it tells no direction, so
        // the run is scanned in full from here on. A class that counts its break values otherwise
        // gets Add itself, whose Find counts through it.
        run.nDirection = 2;
        Add(dValue, item);
        return;
    }
    if (m_arrItems.IsEmpty()) {
        AppendBreak(dValue, item);
        return;
    }
    const double* pValues = m_arrValues.GetData();
    const int nFirst = std::min(run.nFirst, n);
    for (int i = 0; i < nFirst; ++i)
        if (IsSameValue(pValues[i], dValue))
            return;
    if (n > nFirst) {
        const double dLast = pValues[n - 1];
        if (IsSameValue(dLast, dValue))
            return;
        // Beyond the last value in the run's direction, the value is at least as far from every
        // earlier one of the run (rounding of the difference is monotone), so none is within 1e-10.
        const int nDirection = dValue > dLast ? 1 : -1;
        if (run.nDirection == 0) {
            run.nDirection = nDirection;
        } else if (run.nDirection != nDirection) {
            for (int i = nFirst; i < n - 1; ++i)
                if (IsSameValue(pValues[i], dValue))
                    return;
            run.nDirection = 2;
        }
    }
    AppendBreak(dValue, item);
}

// ---- XML ----

TovoMBString KrTheme3DRange::RangeText(int nItem) const {
    const int n = GetValueCount();
    if (n == 0)
        return TovoMBString();
    const bool bTop = nItem >= n; // the open range after the last break value
    if (nItem == 0)
        return (m_bDescending ? "X>=" : "X<") + ThemeXml::NumberText(m_arrValues[0]);
    if (bTop)
        return (m_bDescending ? "X<" : "X>=") + ThemeXml::NumberText(m_arrValues[n - 1]);
    // The lower bound stands first in both orders.
    const double dLower = m_bDescending ? m_arrValues[nItem] : m_arrValues[nItem - 1];
    const double dUpper = m_bDescending ? m_arrValues[nItem - 1] : m_arrValues[nItem];
    return ThemeXml::NumberText(dLower) + "<=X<" + ThemeXml::NumberText(dUpper);
}

void KrTheme3DRange::WriteItem(ThemeXml::MarkupWriter& out, int nItem,
                               const TovoMBString& strPath) const {
    KrTheme3DItem* pItem = ItemAt(nItem);
    out.AddEmpty("dkm:RangeItem");
    out.IntoElem();
    out.AddText("dkm:RangeValue", RangeText(nItem));
    out.AddText("dkm:Caption", GetCaptionAt(nItem));
    out.AddText("dkm:StyleEnable", ThemeXml::BoolText(IsVisibleAt(nItem)));
    if (pItem) {
        // The item keeps the relative name: after writing, the theme holds its icon names as the
        // document stores them.
        ThemeXml::MakeIconRelative(pItem->m_Style, strPath);
        out.AddSubDoc(pItem->m_Style.ToXML(THEME3D_XML_VERSION, TovoMBString()));
    } else {
        out.AddSubDoc(KrStyle().ToXML(THEME3D_XML_VERSION, TovoMBString()));
    }
    out.OutOfElem();
}

TovoMBString KrTheme3DRange::ToXML(int nVersion, TovoMBString strPath) const {
    if (ThemeXml::ResolveVersion(nVersion) != THEME3D_XML_VERSION)
        return TovoMBString();
    try {
        const TovoMBString strBase = KrTheme3D::ToXML(THEME3D_XML_VERSION, TovoMBString());
        if (strBase.IsEmpty())
            return strBase;
        KrMarkup markup;
        if (!ThemeXml::OpenThemeDoc(markup, strBase))
            return TovoMBString();
        ThemeXml::MarkupWriter out(markup);
        out.AddText("dkm:FieldExpression", m_strExpression);
        out.AddText("dkm:Range3DMethod", TovoMBString::Formatted("%d", m_nClassType));
        out.AddEmpty("dkm:RangeItems");
        out.SetChildAttrib("dkm:Descending", ThemeXml::BoolText(m_bDescending));
        out.IntoElem();
        for (int i = 0; i < GetCount() && out.IsComplete(); ++i)
            WriteItem(out, i, strPath);
        out.OutOfElem();
        return out.Finish(kClassName, kSource, kWriteFailedLine);
    } catch (const std::bad_alloc&) {
        return ThemeXml::WriteFailed(kClassName, kSource, kWriteFailedLine);
    }
}

// First pass: the break values come back from the range texts in the document's order. The
// number before "<=" is a range's lower bound, the one after ">=" the top range's; "X<..." carries
// no break value of its own.
void KrTheme3DRange::ReadBreakValues(KrMarkup& markup) {
    const KrTheme3DItem item;
    std::set<double> held;
    bool bOwnCount = false;
    TovoMBString strText;
    while (markup.FindChildElem("dkm:RangeItem")) {
        markup.IntoElem();
        if (ThemeXml::FindChildText(markup, "dkm:RangeValue", strText) && !strText.IsEmpty()) {
            TovoMBString strNumber;
            const int nLower = strText.Find("<=", 0);
            const int nTop = nLower > 0 ? -1 : strText.Find(">=", 0);
            if (nLower > 0)
                strNumber = strText.Left(nLower);
            else if (nTop > 0)
                strNumber = strText.Right(strText.GetLength() - nTop - 2);
            strNumber.TrimLeft();
            strNumber.TrimRight();
            if (!strNumber.IsEmpty()) {
                // A class that counts its break values otherwise gets Add itself from then on.
                bOwnCount = bOwnCount || GetValueCount() != m_arrValues.GetSize();
                if (bOwnCount)
                    Add(strNumber.ToDouble(), item);
                else if (IsNewBreak(held, strNumber.ToDouble()))
                    AppendBreak(strNumber.ToDouble(), item);
            }
        }
        markup.OutOfElem();
    }
}

// Second pass: the i-th element's caption, visibility and style go to item i. Each element starts
// from a default item, so a missing child gives the default rather than the previous element's.
void KrTheme3DRange::ReadItemContents(KrMarkup& markup, const TovoMBString& strPath) {
    const int m = GetCount();
    TovoMBString strText;
    for (int i = 0; i < m && markup.FindChildElem("dkm:RangeItem"); ++i) {
        markup.IntoElem();
        KrTheme3DItem item;
        ThemeXml::FindChildText(markup, "dkm:Caption", item.m_strCaption);
        if (ThemeXml::FindChildText(markup, "dkm:StyleEnable", strText))
            item.m_bVisible = ThemeXml::IsFalseText(strText) ? FALSE : TRUE;
        if (markup.FindChildElem("dkm:Style")) {
            item.m_Style.FromXML(markup.GetChildSubDoc(), THEME3D_XML_VERSION);
            ThemeXml::MakeIconAbsolute(item.m_Style, strPath);
        }
        SetAt(i, item);
        markup.OutOfElem();
    }
}

unsigned char KrTheme3DRange::FromXML(const TovoMBString& strXML, int nVersion,
                                      TovoMBString strPath) {
    if (ThemeXml::ResolveVersion(nVersion) != THEME3D_XML_VERSION || strXML.IsEmpty())
        return FALSE;
    // A refused document leaves the range members as they were; what the base part has read
    // (its type code included) stays.
    if (!KrTheme3D::FromXML(strXML, THEME3D_XML_VERSION, TovoMBString()) || m_nType != Range)
        return FALSE;
    RemoveAll();
    m_bDescending = FALSE;
    KrMarkup markup(strXML);
    markup.ResetChildPos();
    TovoMBString strText;
    if (ThemeXml::FindChildText(markup, "dkm:FieldExpression", strText))
        SetExpression(strText);
    if (ThemeXml::FindChildText(markup, "dkm:Range3DMethod", strText))
        m_nClassType = kratoi(strText);
    if (!markup.FindChildElem("dkm:RangeItems"))
        return TRUE;
    m_bDescending = ThemeXml::IsTrueText(markup.GetChildAttrib("dkm:Descending")) ? TRUE : FALSE;
    markup.IntoElem();
    ReadBreakValues(markup);
    markup.ResetChildPos();
    ReadItemContents(markup, strPath);
    markup.OutOfElem();
    return TRUE;
}

} // namespace KRS
