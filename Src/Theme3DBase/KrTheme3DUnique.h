// The unique-values theme: one item (caption, style, visibility) per distinct value of a field
// expression, kept in the theme's own order, and a default style for every other value.
#pragma once

#include "Theme3DBase/KrTheme3DItem.h"
#include "Theme3DBase/KrTheme3DStyle.h"
#include "Theme3DBase/Theme3DBase_export.h"
#include "VyBase600/TovoArray.h"
#include "VyBase600/TovoDict.h"
#include "VyBase600/TovoMBString.h"
#include "VyBase600/TovoVariant.h"
#include "VyToolkit600/KrStyle.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace KRS {

class KrMarkup;

class THEME3DBASE_EXPORT KrTheme3DUnique : public KrTheme3DStyle {
public:
    KrTheme3DUnique();
    KrTheme3DUnique(const KrTheme3DUnique& other);
    KrTheme3DUnique& operator=(const KrTheme3DUnique& other);
    ~KrTheme3DUnique() override;

    // The style for a field value: never null, the default style when no visible item matches.
    // Floating-point values match value texts numerically, everything else by exact text.
    KrStyle* FindStyle(const TOVO::TovoVariant& value) const override;
    // "Theme3DUnique" + alias suffix; with bAlias, the expression aliased to that name.
    TOVO::TovoMBString GetFieldName(unsigned char bAlias) const override;
    TOVO::TovoMBString GetExpression() const override;
    unsigned char CheckFieldType(int nFieldType) override;
    TOVO::TovoMBString ToXML(int nVersion, TOVO::TovoMBString strPath) const override;
    unsigned char FromXML(const TOVO::TovoMBString& strXML, int nVersion,
                          TOVO::TovoMBString strPath) override;
    // Kept for the host's interface: always FALSE, changes nothing.
    virtual unsigned char FindStyle(KrRecordset* pRecordset, KrStyle& style) const;

    // The style for a value text: never null.
    KrStyle* FindStyle(const TOVO::TovoMBString& strValue) const;

    // Also splits the expression into its field expressions at "[#]".
    void SetExpression(const TOVO::TovoMBString& strExpression);
    const TOVO::TovoArray<TOVO::TovoMBString>& GetFieldExpressions() const {
        return m_arrFieldExpressions;
    }
    unsigned char IsValidValueCount(int nCount);

    const KrStyle& GetDefaultStyle() const { return m_DefaultStyle; }
    void SetDefaultStyle(const KrStyle& style) { m_DefaultStyle = style; }

    // Values and their items; an index is a position in the theme's order. The index-based
    // accessors leave range checking to the array, which throws std::out_of_range.
    int GetCount() const { return m_arrValues.GetSize(); }
    TOVO::TovoMBString GetValueAt(int nIndex);
    KrTheme3DItem* Find(const TOVO::TovoMBString& strValue) const;
    unsigned char IsExist(const TOVO::TovoMBString& strValue) const;
    unsigned char FindCaption(const TOVO::TovoMBString& strValue,
                              TOVO::TovoMBString& strCaption) const;
    unsigned char Add(const TOVO::TovoMBString& strValue, const KrTheme3DItem& item);
    unsigned char InsertItem(int nIndex, const TOVO::TovoMBString& strValue,
                             const KrTheme3DItem& item);
    void SetValueAt(int nIndex, const TOVO::TovoMBString& strValue);
    const KrStyle& GetStyleAt(int nIndex) const;
    void SetStyleAt(int nIndex, KrStyle style);
    TOVO::TovoMBString GetCaptionAt(int nIndex);
    void SetCaptionAt(int nIndex, const TOVO::TovoMBString& strCaption);
    unsigned char IsVisibleAt(int nIndex) const;
    void SetVisibleAt(int nIndex, unsigned char bVisible);
    int RemoveAt(int nIndex, int nCount);
    void RemoveAll();

protected:
    // Copies the source into this theme (base part first); the source stays unchanged.
    void Swap(const KrTheme3DUnique& other);
    // Destroys every item and empties the dictionary; the values stay.
    void Release();
    // Destroys the items of the values at nIndex .. nIndex + nCount - 1 and drops them from the
    // dictionary; the values are left to the caller.
    unsigned char RemoveTheme3DItems(int nIndex, int nCount);

    TOVO::TovoMBString m_strExpression;
    TOVO::TovoArray<TOVO::TovoMBString> m_arrFieldExpressions;
    TOVO::TovoDict<TOVO::TovoMBString, KrTheme3DItem*> m_dictItems;
    TOVO::TovoArray<TOVO::TovoMBString> m_arrValues;
    KrStyle m_DefaultStyle;

private:
    KrTheme3DItem* ItemAt(int nIndex) const;
    KrStyle* DefaultStylePtr() const { return const_cast<KrStyle*>(&m_DefaultStyle); }
    KrStyle* StyleOfItem(const KrTheme3DItem* pItem) const;
    KrStyle* FindStyleOfNumber(double dNumber) const;
    // The item of a value text, as Find gives it, through the hash index.
    KrTheme3DItem* FindIndexed(const TOVO::TovoMBString& strValue) const;
    // The item of the first position in theme order whose value matches the number and has an
    // item; null when there is none.
    KrTheme3DItem* FindNumberItem(double dNumber) const;
    KrTheme3DItem* SearchNumberItem(double dNumber) const;
    void BuildTextIndex() const;
    void BuildNumberIndex() const;
    void BuildNumberBuckets() const;
    // Called by every operation that changes the values or the dictionary.
    void DropIndexes() {
        m_bTextIndexValid = false;
        m_bNumberIndexValid = false;
    }
    // FromXML parts: the expression and default style at the root, and one "dkm:UniqueItem".
    void ReadHead(KrMarkup& markup);
    bool ReadItem(KrMarkup& markup, const TOVO::TovoMBString& strPath, TOVO::TovoMBString& strValue,
                  KrTheme3DItem& item);
    using ReadEntry = std::pair<TOVO::TovoMBString, std::unique_ptr<KrTheme3DItem>>;
    void AddRead(std::vector<ReadEntry>& read);

    // Lookup indexes for FindStyle, built on first use and dropped whenever the values change, so
    // that a lookup in a large theme costs about one probe of a flat table rather than a walk down
    // the dictionary's tree (a cache miss per level).
    // Text index: open addressing with linear probing over a power-of-two table at most half
    // full. A slot holds the upper half of the text's hash, the text's length, its item (null: an
    // empty slot) and the text itself when it has at most 16 bytes; a longer text is compared
    // where the dictionary keeps it. A lookup of a short text thus reads one slot and the item.
    struct TextSlot {
        std::uint32_t nTag;
        std::uint32_t nLength;
        KrTheme3DItem* pItem;
        union {
            char szShort[16];
            const char* pLong;
        };
    };
    mutable std::vector<TextSlot> m_arrTextSlots;
    mutable bool m_bTextIndexValid = false;
    // Numeric index over the value texts read as doubles: the distinct finite numbers in
    // ascending order, each with the item of its first position; a minimum tree whose leaves hold
    // the first position of each number, so that the first position among several numbers within
    // the tolerance comes out in logarithmic time; and the item of every position.
    struct NumberEntry {
        double dNumber;
        KrTheme3DItem* pItem;
    };
    // Above them, buckets of width 2^-20 (far wider than the tolerance, and a power of two, so
    // that a number's bucket is computed exactly) in a flat table: a number that lies inside its
    // bucket by more than twice the tolerance can only match numbers of its own bucket, and a
    // bucket that holds one number answers with one comparison. Edges, shared buckets and
    // magnitudes of 2^43 and more (where doubles are too far apart for the tolerance to matter)
    // go to the search over the sorted numbers.
    struct NumberSlot {
        std::int64_t nBucket;
        double dNumber;
        KrTheme3DItem* pItem;
        int nCount; // numbers in the bucket; 0: an empty slot
    };
    mutable std::vector<NumberSlot> m_arrNumberSlots;
    mutable std::vector<NumberEntry> m_arrIndexEntries;
    mutable std::vector<int> m_arrIndexMinTree;
    mutable std::vector<KrTheme3DItem*> m_arrIndexItems;
    mutable bool m_bNumberIndexValid = false;
};

} // namespace KRS
