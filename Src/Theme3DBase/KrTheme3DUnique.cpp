#include "KrTheme3DUnique.h"

#include "KrThemeXml.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <new>

using TOVO::TovoMBString;
using TOVO::TovoVariant;

namespace KRS {

namespace {

const char* const kClassName = "KrTheme3DUnique";
const char* const kSource = "Src/Theme3DBase/KrTheme3DUnique";
const int kWriteFailedLine = 520;
// The lines hosts know these records by; they name the lookup, not this file's layout.
const int kTextNoTranslationLine = 227;
const int kNumberNoTranslationLine = 179;

// Two numbers count as equal when the value's number minus the looked-up number lies strictly
// inside the tolerance. Both the plain walk and the index use this very expression, so that
// rounding at the bounds is the same for both.
inline bool IsSameNumber(double dValueNumber, double dNumber) {
    const double dDiff = dValueNumber - dNumber;
    return dDiff > -1e-10 && dDiff < 1e-10;
}

} // namespace

KrTheme3DUnique::KrTheme3DUnique() {
    m_nType = Unique;
}

KrTheme3DUnique::KrTheme3DUnique(const KrTheme3DUnique& other) : KrTheme3DStyle(other) {
    Swap(other);
}

KrTheme3DUnique& KrTheme3DUnique::operator=(const KrTheme3DUnique& other) {
    // Swap empties the target first, which would lose everything on self-assignment.
    if (this != &other)
        Swap(other);
    return *this;
}

KrTheme3DUnique::~KrTheme3DUnique() {
    Release();
}

void KrTheme3DUnique::Swap(const KrTheme3DUnique& other) {
    RemoveAll();
    KrTheme3D::Swap(other);
    m_strExpression = other.m_strExpression;
    m_arrFieldExpressions = other.m_arrFieldExpressions;
    m_DefaultStyle = other.m_DefaultStyle;
    m_arrValues = other.m_arrValues;
    for (const auto& entry : other.m_dictItems) {
        if (entry.second == nullptr)
            continue;
        KrTheme3DItem* pItem = new KrTheme3DItem;
        *pItem = *entry.second;
        m_dictItems.SetAt(entry.first, pItem);
    }
    DropIndexes();
}

void KrTheme3DUnique::Release() {
    for (auto& entry : m_dictItems)
        delete entry.second;
    m_dictItems.RemoveAll();
    DropIndexes();
}

// ---- expression and field name ----

TovoMBString KrTheme3DUnique::GetExpression() const {
    return m_strExpression;
}

void KrTheme3DUnique::SetExpression(const TovoMBString& strExpression) {
    m_strExpression = strExpression;
    m_arrFieldExpressions.RemoveAll();
    static const TovoMBString separator("[#]");
    TovoMBString rest = strExpression;
    int nPos;
    // Split at every separator, one at the front of the rest too: an empty part between two
    // separators is dropped like a blank one, so "a[#][#]b" gives the same parts as "a[#] [#]b".
    while ((nPos = rest.Find(separator)) >= 0) {
        TovoMBString part = rest.Left(nPos);
        rest = rest.Mid(nPos + separator.GetLength());
        if (!part.Trim().IsEmpty())
            m_arrFieldExpressions.Add(part);
    }
    if (!rest.Trim().IsEmpty())
        m_arrFieldExpressions.Add(rest);
}

TovoMBString KrTheme3DUnique::GetFieldName(unsigned char bAlias) const {
    if (!bAlias)
        return TovoMBString("Theme3DUnique") + m_strAliasSuffix;
    if (m_strExpression.IsEmpty())
        return TovoMBString();
    return m_strExpression + " as Theme3DUnique" + m_strAliasSuffix;
}

unsigned char KrTheme3DUnique::CheckFieldType(int nFieldType) {
    switch (nFieldType) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 6:
    case 7:
    case 10:
    case 16:
        return TRUE;
    default:
        return FALSE;
    }
}

unsigned char KrTheme3DUnique::IsValidValueCount(int nCount) {
    return nCount >= 1 ? TRUE : FALSE;
}

// ---- values and items ----

KrTheme3DItem* KrTheme3DUnique::Find(const TovoMBString& strValue) const {
    KrTheme3DItem* const* ppItem = m_dictItems.PLookup(strValue);
    return ppItem ? *ppItem : nullptr;
}

KrTheme3DItem* KrTheme3DUnique::ItemAt(int nIndex) const {
    return Find(m_arrValues.GetAt(nIndex));
}

TovoMBString KrTheme3DUnique::GetValueAt(int nIndex) {
    return m_arrValues.GetAt(nIndex);
}

unsigned char KrTheme3DUnique::IsExist(const TovoMBString& strValue) const {
    return Find(strValue) ? TRUE : FALSE;
}

unsigned char KrTheme3DUnique::FindCaption(const TovoMBString& strValue,
                                           TovoMBString& strCaption) const {
    const KrTheme3DItem* pItem = Find(strValue);
    if (!pItem)
        return FALSE;
    strCaption = pItem->m_strCaption;
    return TRUE;
}

unsigned char KrTheme3DUnique::Add(const TovoMBString& strValue, const KrTheme3DItem& item) {
    return InsertItem(-1, strValue, item);
}

unsigned char KrTheme3DUnique::InsertItem(int nIndex, const TovoMBString& strValue,
                                          const KrTheme3DItem& item) {
    // One descent of the dictionary finds the value or makes its entry (null until filled: the
    // dictionary holds no null items otherwise, so a null entry is a new one).
    KrTheme3DItem*& pEntry = m_dictItems[strValue];
    if (pEntry)
        return FALSE;
    try {
        std::unique_ptr<KrTheme3DItem> pItem(new KrTheme3DItem);
        *pItem = item;
        m_arrValues.InsertAt(nIndex, strValue);
        pEntry = pItem.release();
    } catch (...) {
        m_dictItems.RemoveKey(strValue); // the theme stays as it was
        throw;
    }
    DropIndexes();
    return TRUE;
}

void KrTheme3DUnique::SetValueAt(int nIndex, const TovoMBString& strValue) {
    if (strValue.IsEmpty() || IsExist(strValue))
        return;
    TovoMBString& strOld = m_arrValues.ElementAt(nIndex);
    if (KrTheme3DItem* const* ppItem = m_dictItems.PLookup(strOld)) {
        KrTheme3DItem* pItem = *ppItem;
        m_dictItems.RemoveKey(strOld);
        m_dictItems.SetAt(strValue, pItem);
    }
    strOld = strValue;
    DropIndexes();
}

const KrStyle& KrTheme3DUnique::GetStyleAt(int nIndex) const {
    const KrTheme3DItem* pItem = ItemAt(nIndex);
    return pItem ? pItem->m_Style : m_DefaultStyle;
}

void KrTheme3DUnique::SetStyleAt(int nIndex, KrStyle style) {
    if (KrTheme3DItem* pItem = ItemAt(nIndex))
        pItem->m_Style = style;
}

TovoMBString KrTheme3DUnique::GetCaptionAt(int nIndex) {
    const KrTheme3DItem* pItem = ItemAt(nIndex);
    return pItem ? pItem->m_strCaption : TovoMBString();
}

void KrTheme3DUnique::SetCaptionAt(int nIndex, const TovoMBString& strCaption) {
    if (KrTheme3DItem* pItem = ItemAt(nIndex))
        pItem->m_strCaption = strCaption;
}

unsigned char KrTheme3DUnique::IsVisibleAt(int nIndex) const {
    const KrTheme3DItem* pItem = ItemAt(nIndex);
    return pItem ? pItem->m_bVisible : FALSE;
}

void KrTheme3DUnique::SetVisibleAt(int nIndex, unsigned char bVisible) {
    if (KrTheme3DItem* pItem = ItemAt(nIndex))
        pItem->m_bVisible = bVisible;
}

int KrTheme3DUnique::RemoveAt(int nIndex, int nCount) {
    if (nIndex < 0 || nIndex > GetCount())
        return 0;
    nCount = std::max(0, std::min(nCount, GetCount() - nIndex));
    if (!RemoveTheme3DItems(nIndex, nCount))
        return 0;
    return m_arrValues.RemoveAt(nIndex, nCount);
}

unsigned char KrTheme3DUnique::RemoveTheme3DItems(int nIndex, int nCount) {
    if (nIndex < 0 || nIndex > GetCount() ||
        static_cast<long long>(nIndex) + nCount > static_cast<long long>(GetCount()))
        return FALSE;
    for (int i = nIndex; i < nIndex + nCount; ++i) {
        const TovoMBString& strValue = m_arrValues.GetAt(i);
        delete Find(strValue);
        m_dictItems.RemoveKey(strValue);
    }
    DropIndexes();
    return TRUE;
}

void KrTheme3DUnique::RemoveAll() {
    Release();
    m_arrValues.RemoveAll();
}

// ---- style lookup ----

KrStyle* KrTheme3DUnique::StyleOfItem(const KrTheme3DItem* pItem) const {
    if (!pItem || !pItem->m_bVisible)
        return DefaultStylePtr();
    return const_cast<KrStyle*>(&pItem->m_Style);
}

KrStyle* KrTheme3DUnique::FindStyle(const TovoMBString& strValue) const {
    if (strValue.IsEmpty())
        return DefaultStylePtr();
    if (m_nExternalValueMode != 1 && m_nExternalValueMode != 2)
        return StyleOfItem(FindIndexed(strValue)); // the common case: no copy of the text
    TovoMBString strKey = strValue;
    if (!GetExternalValue(strValue, strKey) && m_nExternalValueMode == 1) {
        ThemeXml::LogCode("EGi067", kSource, kTextNoTranslationLine);
        return DefaultStylePtr();
    }
    return StyleOfItem(FindIndexed(strKey));
}

KrTheme3DItem* KrTheme3DUnique::FindIndexed(const TovoMBString& strValue) const {
    if (!m_bTextIndexValid)
        BuildTextIndex();
    const auto it = m_mapTextIndex.find(strValue.Str());
    return it == m_mapTextIndex.end() ? nullptr : it->second;
}

void KrTheme3DUnique::BuildTextIndex() const {
    m_mapTextIndex.clear();
    m_mapTextIndex.reserve(static_cast<std::size_t>(m_dictItems.GetCount()));
    for (const auto& entry : m_dictItems)
        m_mapTextIndex.emplace(entry.first.Str(), entry.second);
    m_bTextIndexValid = true;
}

KrStyle* KrTheme3DUnique::FindStyle(const TovoVariant& value) const {
    const int nType = value.GetType();
    if (nType != TovoVariant::Float && nType != TovoVariant::Double)
        return FindStyle(Variant2String(value));
    const bool bTranslate = m_nExternalValueMode == 1 || m_nExternalValueMode == 2;
    // The number is the value's text read back. A finite double's text reads back to the double
    // itself, so the common case skips making the text; a float's text does not (0.1f reads back
    // as 0.1), and neither do NaN and the infinities necessarily.
    if (!bTranslate && nType == TovoVariant::Double && std::isfinite(value.GetDouble()))
        return FindStyleOfNumber(value.GetDouble());
    TovoMBString strText = value.ToString();
    if (bTranslate && !GetExternalValue(strText, strText) && m_nExternalValueMode == 1) {
        ThemeXml::LogCode("EGi069", kSource, kNumberNoTranslationLine);
        return DefaultStylePtr();
    }
    return FindStyleOfNumber(strText.ToDouble());
}

unsigned char KrTheme3DUnique::FindStyle(KrRecordset*, KrStyle&) const {
    return FALSE;
}

KrStyle* KrTheme3DUnique::FindStyleOfNumber(double dNumber) const {
    KrTheme3DItem* pItem = FindNumberItem(dNumber);
    return pItem ? StyleOfItem(pItem) : DefaultStylePtr();
}

// Equivalent to walking the values in theme order and stopping at the first one whose text, read
// as a double, is the same number and which has an item. Matching is monotone in the value's
// number (the difference is rounded monotonically), so the matches form one run of the sorted
// numbers: its start comes from a binary search, and its end from a search that gallops from the
// start, since the run is nearly always a single number. Both use the walk's very comparison.
KrTheme3DItem* KrTheme3DUnique::FindNumberItem(double dNumber) const {
    if (!std::isfinite(dNumber))
        return nullptr; // NaN matches nothing; an infinity's difference is never inside the
                        // tolerance
    if (!m_bNumberIndexValid)
        BuildNumberIndex();
    const auto& entries = m_arrIndexEntries;
    const auto matches = [dNumber](const NumberEntry& e) {
        return IsSameNumber(e.dNumber, dNumber);
    };
    const auto first =
        std::partition_point(entries.begin(), entries.end(), [dNumber](const NumberEntry& e) {
            return !(e.dNumber - dNumber > -1e-10);
        });
    if (first == entries.end() || !matches(*first))
        return nullptr;
    auto lastMatch = first;
    std::size_t step = 1;
    while (static_cast<std::size_t>(entries.end() - lastMatch) > step && matches(lastMatch[step])) {
        lastMatch += static_cast<std::ptrdiff_t>(step);
        step *= 2;
    }
    const auto stepEnd = static_cast<std::size_t>(entries.end() - lastMatch) > step
                             ? lastMatch + static_cast<std::ptrdiff_t>(step)
                             : entries.end();
    const auto last = std::partition_point(lastMatch + 1, stepEnd, matches);
    if (last - first == 1)
        return first->pItem;
    // Minimum of the leaves [lo, hi) of the bottom-up tree.
    const std::size_t n = entries.size();
    std::size_t lo = static_cast<std::size_t>(first - entries.begin()) + n;
    std::size_t hi = static_cast<std::size_t>(last - entries.begin()) + n;
    int nBest = INT_MAX;
    for (; lo < hi; lo >>= 1, hi >>= 1) {
        if (lo & 1)
            nBest = std::min(nBest, m_arrIndexMinTree[lo++]);
        if (hi & 1)
            nBest = std::min(nBest, m_arrIndexMinTree[--hi]);
    }
    return m_arrIndexItems[static_cast<std::size_t>(nBest)];
}

void KrTheme3DUnique::BuildNumberIndex() const {
    std::vector<std::pair<double, int>> numbers;
    numbers.reserve(static_cast<std::size_t>(GetCount()));
    m_arrIndexItems.assign(static_cast<std::size_t>(GetCount()), nullptr);
    for (int i = 0; i < GetCount(); ++i) {
        const TovoMBString& strValue = m_arrValues.GetAt(i);
        const double d = strValue.ToDouble();
        KrTheme3DItem* pItem = FindIndexed(strValue);
        m_arrIndexItems[static_cast<std::size_t>(i)] = pItem;
        // Values without an item are passed over by the walk; non-finite ones never match.
        if (pItem && std::isfinite(d))
            numbers.emplace_back(d, i);
    }
    // By number, then position: the first of equal numbers is the one the walk would reach first.
    std::sort(numbers.begin(), numbers.end());
    m_arrIndexEntries.clear();
    std::vector<int> firstPositions;
    for (const auto& number : numbers) {
        if (m_arrIndexEntries.empty() || m_arrIndexEntries.back().dNumber != number.first) {
            m_arrIndexEntries.push_back(NumberEntry{
                number.first, m_arrIndexItems[static_cast<std::size_t>(number.second)]});
            firstPositions.push_back(number.second);
        }
    }
    const std::size_t n = firstPositions.size();
    m_arrIndexMinTree.assign(2 * n, INT_MAX);
    std::copy(firstPositions.begin(), firstPositions.end(), m_arrIndexMinTree.begin() + n);
    for (std::size_t i = n; i-- > 1;)
        m_arrIndexMinTree[i] = std::min(m_arrIndexMinTree[2 * i], m_arrIndexMinTree[2 * i + 1]);
    m_bNumberIndexValid = true;
}

// ---- XML ----

TovoMBString KrTheme3DUnique::ToXML(int nVersion, TovoMBString strPath) const {
    if (ThemeXml::ResolveVersion(nVersion) != THEME3D_XML_VERSION)
        return TovoMBString();
    try {
        const TovoMBString strBase = KrTheme3D::ToXML(THEME3D_XML_VERSION, TovoMBString());
        if (strBase.IsEmpty())
            return TovoMBString();
        KrMarkup markup;
        if (!ThemeXml::OpenThemeDoc(markup, strBase))
            return TovoMBString();
        ThemeXml::MarkupWriter out(markup);
        out.AddText("dkm:FieldExpression", m_strExpression);
        out.AddSubDoc(m_DefaultStyle.ToXML(THEME3D_XML_VERSION, "dkm:DefaultStyle"));
        out.AddEmpty("dkm:UniqueItems");
        out.IntoElem();
        for (int i = 0; i < GetCount() && out.IsComplete(); ++i) {
            const TovoMBString& strValue = m_arrValues.GetAt(i);
            KrTheme3DItem* pItem = FindIndexed(strValue);
            if (!pItem)
                continue;
            out.AddEmpty("dkm:UniqueItem");
            out.IntoElem();
            out.AddText("dkm:Value", strValue);
            out.AddText("dkm:Caption", pItem->m_strCaption);
            out.AddText("dkm:StyleEnable", ThemeXml::BoolText(pItem->m_bVisible));
            // The item keeps the relative name: after writing, the theme holds its icon names as
            // the document stores them.
            ThemeXml::MakeIconRelative(pItem->m_Style, strPath);
            out.AddSubDoc(pItem->m_Style.ToXML(THEME3D_XML_VERSION, TovoMBString()));
            out.OutOfElem();
        }
        out.OutOfElem();
        return out.Finish(kClassName, kSource, kWriteFailedLine);
    } catch (const std::bad_alloc&) {
        return ThemeXml::WriteFailed(kClassName, kSource, kWriteFailedLine);
    }
}

unsigned char KrTheme3DUnique::FromXML(const TovoMBString& strXML, int nVersion,
                                       TovoMBString strPath) {
    if (ThemeXml::ResolveVersion(nVersion) != THEME3D_XML_VERSION)
        return TRUE;
    if (strXML.IsEmpty())
        return FALSE;
    // A document that is refused leaves the whole theme as it was, its base part included.
    const KrTheme3D savedBase(*this);
    if (!KrTheme3D::FromXML(strXML, THEME3D_XML_VERSION, TovoMBString()) || m_nType != Unique) {
        KrTheme3D::Swap(savedBase);
        return FALSE;
    }
    // Parsed only after the base part has read (and let go of) its own parse of the text, so
    // that no more than one parsed copy of the document is held at a time.
    KrMarkup markup(strXML);
    if (!markup.FindElem("dkm:Theme3D")) {
        KrTheme3D::Swap(savedBase);
        return FALSE;
    }
    RemoveAll();
    ReadHead(markup);
    markup.ResetChildPos();
    if (markup.FindChildElem("dkm:UniqueItems")) {
        markup.IntoElem();
        while (markup.FindChildElem("dkm:UniqueItem"))
            ReadItem(markup, strPath);
    }
    return TRUE;
}

void KrTheme3DUnique::ReadHead(KrMarkup& markup) {
    TovoMBString strExpression;
    if (ThemeXml::FindChildText(markup, "dkm:FieldExpression", strExpression))
        SetExpression(strExpression);
    // Searched after the expression: a default style standing before it is not seen.
    if (markup.FindChildElem("dkm:DefaultStyle"))
        m_DefaultStyle.FromXML(markup.GetChildSubDoc(), THEME3D_XML_VERSION);
}

// Each child is searched after the one found before it. An item starts from the defaults, so a
// missing caption, flag or style gives the default one; an item without a value is dropped.
void KrTheme3DUnique::ReadItem(KrMarkup& markup, const TovoMBString& strPath) {
    markup.IntoElem();
    TovoMBString strValue;
    if (ThemeXml::FindChildText(markup, "dkm:Value", strValue)) {
        KrTheme3DItem item;
        ThemeXml::FindChildText(markup, "dkm:Caption", item.m_strCaption);
        TovoMBString strEnable;
        if (ThemeXml::FindChildText(markup, "dkm:StyleEnable", strEnable))
            item.m_bVisible = ThemeXml::IsFalseText(strEnable) ? FALSE : TRUE;
        if (markup.FindChildElem("dkm:Style")) {
            item.m_Style.FromXML(markup.GetChildSubDoc(), THEME3D_XML_VERSION);
            ThemeXml::MakeIconAbsolute(item.m_Style, strPath);
        }
        Add(strValue, item); // a value met before keeps its first item
    }
    markup.OutOfElem();
}

} // namespace KRS
