#include "KrTheme3DUnique.h"

#include "KrThemeXml.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
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

__extension__ typedef unsigned __int128 Wide;

// Multiplies and folds the halves of the product: the mixing step of the text hash.
inline std::uint64_t Fold(std::uint64_t a, std::uint64_t b) {
    const Wide product = static_cast<Wide>(a) * b;
    return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
}

inline std::uint64_t Load64(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}

inline std::uint64_t Load32(const char* p) {
    std::uint32_t word;
    std::memcpy(&word, p, 4);
    return word;
}

// A fast hash of a byte string: a text of up to 16 bytes is read as two overlapping words, a
// longer one 16 bytes at a time. Not seeded: a document that sets out to make its value texts
// collide can only slow its own lookups down, as it could with any unseeded table.
[[gnu::always_inline]] inline std::uint64_t HashText(const char* p, std::size_t n) {
    constexpr std::uint64_t k0 = 0xA0761D6478BD642Full, k1 = 0xE7037ED1A0B428DBull,
                            k2 = 0x8EBC6AF09C88C6E3ull;
    std::uint64_t a = 0, b = 0, h = k0 ^ n;
    if (n <= 16) {
        if (n >= 8) {
            a = Load64(p);
            b = Load64(p + n - 8);
        } else if (n >= 4) {
            a = Load32(p);
            b = Load32(p + n - 4);
        } else if (n > 0) {
            a = (std::uint64_t(static_cast<unsigned char>(p[0])) << 16) |
                (std::uint64_t(static_cast<unsigned char>(p[n >> 1])) << 8) |
                static_cast<unsigned char>(p[n - 1]);
        }
    } else {
        std::size_t rest = n;
        for (; rest > 16; p += 16, rest -= 16)
            h = Fold(Load64(p) ^ k1, Load64(p + 8) ^ h);
        a = Load64(p + rest - 16);
        b = Load64(p + rest - 8);
    }
    return Fold(Fold(a ^ k1, b ^ h) ^ k2, k1 ^ n);
}

// Whether the n bytes at a and b are the same. Up to 16 bytes (a text stored in its slot) they are
// compared as two overlapping words, which together cover every byte, instead of by a call.
inline bool SameText(const char* a, const char* b, std::size_t n) {
    if (n > 16)
        return std::memcmp(a, b, n) == 0;
    if (n >= 8)
        return Load64(a) == Load64(b) && Load64(a + n - 8) == Load64(b + n - 8);
    if (n >= 4)
        return Load32(a) == Load32(b) && Load32(a + n - 4) == Load32(b + n - 4);
    return std::memcmp(a, b, n) == 0;
}

// The power of two that keeps n entries at most half full (at least 2).
std::size_t TableSize(std::size_t n) {
    std::size_t size = 2;
    while (size < 2 * n)
        size *= 2;
    return size;
}

// The numeric buckets: width 2^-20 and magnitudes below 2^43, so that a bucket's number fits an
// int64 and scaling by the width is exact. kEdge is twice the tolerance in bucket widths: a
// number farther than that from both edges of its bucket has every match in that bucket.
constexpr double kBucketScale = 1048576.0;              // 2^20
constexpr double kBucketLimit = 8796093022208.0;        // 2^43
constexpr double kEdge = 2e-10 * kBucketScale * 1.0001; // a hair over two tolerances

inline std::size_t BucketSlot(std::int64_t nBucket, std::size_t nMask) {
    return static_cast<std::size_t>((static_cast<std::uint64_t>(nBucket) * 0x9E3779B97F4A7C15ull) >>
                                    17) &
           nMask;
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
    const std::string& key = strValue.Str();
    const std::size_t n = key.size();
    const std::uint64_t h = HashText(key.data(), n);
    const std::uint32_t tag = static_cast<std::uint32_t>(h >> 32);
    const std::size_t mask = m_arrTextSlots.size() - 1;
    for (std::size_t i = static_cast<std::size_t>(h) & mask;; i = (i + 1) & mask) {
        const TextSlot& slot = m_arrTextSlots[i];
        if (!slot.pItem)
            return nullptr;
        if (slot.nTag == tag && slot.nLength == n &&
            SameText(n <= sizeof slot.szShort ? slot.szShort : slot.pLong, key.data(), n))
            return slot.pItem;
    }
}

void KrTheme3DUnique::BuildTextIndex() const {
    m_arrTextSlots.assign(TableSize(static_cast<std::size_t>(m_dictItems.GetCount())), TextSlot{});
    const std::size_t mask = m_arrTextSlots.size() - 1;
    for (const auto& entry : m_dictItems) {
        if (!entry.second)
            continue; // no item: the same answer as no entry
        const std::string& key = entry.first.Str();
        const std::uint64_t h = HashText(key.data(), key.size());
        std::size_t i = static_cast<std::size_t>(h) & mask;
        while (m_arrTextSlots[i].pItem)
            i = (i + 1) & mask;
        TextSlot& slot = m_arrTextSlots[i];
        slot.nTag = static_cast<std::uint32_t>(h >> 32);
        slot.nLength = static_cast<std::uint32_t>(key.size());
        slot.pItem = entry.second;
        if (key.size() <= sizeof slot.szShort)
            std::memcpy(slot.szShort, key.data(), key.size());
        else
            slot.pLong = key.data(); // the dictionary's key: the index goes with any change
    }
    m_bTextIndexValid = true;
}

KrStyle* KrTheme3DUnique::FindStyle(const TovoVariant& value) const {
    const int nType = value.GetType();
    // A text value is its own text form (what Variant2String gives for it), without a copy.
    if (nType == TovoVariant::Text)
        return FindStyle(value.GetText());
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
    if (std::fabs(dNumber) < kBucketLimit && !m_arrNumberSlots.empty()) {
        const double dScaled = dNumber * kBucketScale; // exact: a power of two
        const double dFloor = std::floor(dScaled);
        const double dInside = dScaled - dFloor; // exact as well
        if (dInside > kEdge && dInside < 1.0 - kEdge) {
            const std::int64_t nBucket = static_cast<std::int64_t>(dFloor);
            const std::size_t mask = m_arrNumberSlots.size() - 1;
            for (std::size_t i = BucketSlot(nBucket, mask);; i = (i + 1) & mask) {
                const NumberSlot& slot = m_arrNumberSlots[i];
                if (slot.nCount == 0)
                    return nullptr; // no number in the bucket, so none within the tolerance
                if (slot.nBucket != nBucket)
                    continue;
                if (slot.nCount == 1)
                    return IsSameNumber(slot.dNumber, dNumber) ? slot.pItem : nullptr;
                break; // several numbers: the first position among them comes from the search
            }
        }
    }
    return SearchNumberItem(dNumber);
}

KrTheme3DItem* KrTheme3DUnique::SearchNumberItem(double dNumber) const {
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
    BuildNumberBuckets();
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
        std::vector<ReadEntry> read;
        while (markup.FindChildElem("dkm:UniqueItem")) {
            auto pItem = std::make_unique<KrTheme3DItem>();
            TovoMBString strValue;
            if (ReadItem(markup, strPath, strValue, *pItem))
                read.emplace_back(std::move(strValue), std::move(pItem));
        }
        AddRead(read);
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
// missing caption, flag or style gives the default one; FALSE for an item without a value, which
// is dropped.
bool KrTheme3DUnique::ReadItem(KrMarkup& markup, const TovoMBString& strPath,
                               TovoMBString& strValue, KrTheme3DItem& item) {
    markup.IntoElem();
    const bool bValue = ThemeXml::FindChildText(markup, "dkm:Value", strValue);
    if (bValue) {
        ThemeXml::FindChildText(markup, "dkm:Caption", item.m_strCaption);
        TovoMBString strEnable;
        if (ThemeXml::FindChildText(markup, "dkm:StyleEnable", strEnable))
            item.m_bVisible = ThemeXml::IsFalseText(strEnable) ? FALSE : TRUE;
        if (markup.FindChildElem("dkm:Style")) {
            item.m_Style.FromXML(markup.GetChildSubDoc(), THEME3D_XML_VERSION);
            ThemeXml::MakeIconAbsolute(item.m_Style, strPath);
        }
    }
    markup.OutOfElem();
    return bValue;
}

// The items read, entered as Add would enter them one after the other (the first of equal values
// stays, the values keep the document's order), but into the dictionary in the order of the
// values: each descent of the dictionary's tree then finds its path in the cache, where the
// document's order misses at every level of a large tree.
void KrTheme3DUnique::AddRead(std::vector<ReadEntry>& read) {
    if (GetCount() != 0 || m_dictItems.GetCount() != 0) {
        for (ReadEntry& entry : read)
            Add(entry.first, *entry.second);
        return;
    }
    std::vector<std::size_t> order(read.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&read](std::size_t a, std::size_t b) {
        const int c = read[a].first.View().compare(read[b].first.View());
        return c != 0 ? c < 0 : a < b;
    });
    std::vector<bool> kept(read.size(), false);
    for (std::size_t k = 0; k < order.size(); ++k)
        kept[order[k]] = k == 0 || read[order[k]].first != read[order[k - 1]].first;
    for (std::size_t i = 0; i < read.size(); ++i)
        if (kept[i])
            m_arrValues.Add(read[i].first);
    for (std::size_t i : order)
        if (kept[i])
            m_dictItems[read[i].first] = read[i].second.release();
    DropIndexes();
}

// The sorted numbers fall into buckets in order, so each bucket is one run of them.
void KrTheme3DUnique::BuildNumberBuckets() const {
    std::vector<NumberSlot> buckets;
    for (const NumberEntry& entry : m_arrIndexEntries) {
        if (!(std::fabs(entry.dNumber) < kBucketLimit))
            continue;
        const auto nBucket = static_cast<std::int64_t>(std::floor(entry.dNumber * kBucketScale));
        if (!buckets.empty() && buckets.back().nBucket == nBucket)
            ++buckets.back().nCount;
        else
            buckets.push_back(NumberSlot{nBucket, entry.dNumber, entry.pItem, 1});
    }
    m_arrNumberSlots.assign(TableSize(buckets.size()), NumberSlot{0, 0.0, nullptr, 0});
    const std::size_t mask = m_arrNumberSlots.size() - 1;
    for (const NumberSlot& bucket : buckets) {
        std::size_t i = BucketSlot(bucket.nBucket, mask);
        while (m_arrNumberSlots[i].nCount != 0)
            i = (i + 1) & mask;
        m_arrNumberSlots[i] = bucket;
    }
}

} // namespace KRS
