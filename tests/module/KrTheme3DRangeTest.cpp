#include "Theme3DBase/KrTheme3DRange.h"
#include "ThemeTestSupport.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

using namespace KRS;
using TOVO::TovoVariant;

using namespace ThemeTest;

namespace {

class RangeProbe : public KrTheme3DRange {
public:
    using KrTheme3DRange::m_arrFieldExpressions;
    using KrTheme3DRange::m_arrItems;
    using KrTheme3DRange::m_bDescending;
    using KrTheme3DRange::RemoveTheme3DItems;
};

const double kNaN = std::numeric_limits<double>::quiet_NaN();

KrTheme3DItem Item(const char* szCaption) {
    KrTheme3DItem item;
    item.m_strCaption = szCaption;
    return item;
}

// Break values in the given order, items captioned "r0", "r1", ...
void Fill(RangeProbe& theme, const Doubles& values, bool bDescending = false) {
    theme.m_bDescending = bDescending ? TRUE : FALSE;
    for (double d : values)
        theme.Add(d, Item(""));
    for (int i = 0; i < theme.GetCount(); ++i)
        theme.SetCaptionAt(i, ("r" + std::to_string(i)).c_str());
}

// The index of the item whose style came back; -1 for null.
int ItemOf(const KrTheme3DRange& theme, const KrStyle* pStyle) {
    for (int i = 0; i < theme.GetCount(); ++i)
        if (pStyle == &theme.GetAt(i)->m_Style)
            return i;
    return pStyle ? -2 : -1;
}

class RangeTest : public ::testing::Test {
protected:
    void SetUp() override { KrLogFile::GetInstance().ClearRecords(); }
    RangeProbe theme;
};

TEST_F(RangeTest, AddAndInsertPairBreakValuesWithItemCopies) {
    EXPECT_EQ(KrTheme3D::Range, theme.GetType());
    EXPECT_EQ(2, theme.Add(10, Item("a")));
    EXPECT_EQ(2, theme.Add(10 + 5e-11, Item("dup")));
    EXPECT_EQ(2, theme.Add(10 - 9e-11, Item("dup")));
    EXPECT_EQ(3, theme.Add(20, Item("b")));
    EXPECT_EQ(4, theme.Add(10 + 2e-10, Item("c"))); // outside the tolerance; never sorted
    EXPECT_TRUE(theme.InsertAt(1, 15, Item("new")));
    EXPECT_TRUE(theme.InsertAt(0, 20, Item("unchecked")));
    EXPECT_TRUE(theme.InsertAt(99, 40, Item("end")));
    EXPECT_EQ((Doubles{20, 10, 15, 20, 10 + 2e-10, 40}), Values(theme));
    EXPECT_EQ((Strings{"unchecked", "a", "new", "a", "b", "c", "end"}), Captions(theme));
    RangeProbe inserted;
    inserted.InsertAt(5, 7, Item("first")); // on an empty theme: Add
    EXPECT_EQ((Strings{"first", "first"}), Captions(inserted));
}

TEST_F(RangeTest, LookupByBoundaryTablesForBothOrdersAndMisses) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        bool bDescending;
        double dValue;
        int nItem;
    } table[] = {
        {false, 9.5, 0}, {false, 10 - 1e-12, 0}, {false, 10, 1},        {false, 19.5, 1},
        {false, 20, 2},  {false, 1e300, 2},      {false, -inf, 0},      {false, kNaN, 2},
        {true, 25, 0},   {true, 20, 0},          {true, 20 - 5e-11, 0}, {true, 20 - 2e-10, 1},
        {true, 15, 1},   {true, 10, 1},          {true, 10 - 5e-11, 1}, {true, 9.9, 2},
        {true, 5, 2},    {true, kNaN, 2},
    };
    for (const auto& row : table) {
        RangeProbe filled;
        Fill(filled, row.bDescending ? Doubles{20, 10} : Doubles{10, 20}, row.bDescending);
        EXPECT_EQ(row.nItem, ItemOf(filled, filled.FindStyle(row.dValue)))
            << row.bDescending << " " << row.dValue;
    }
    EXPECT_EQ(nullptr, theme.FindStyle(5.0)); // empty
    EXPECT_EQ(-1, theme.Find(5.0));
    Fill(theme, {10, 20, 30});
    theme.SetVisibleAt(1, FALSE); // a hidden item is no style, not its neighbour's
    EXPECT_EQ(nullptr, theme.FindStyle(15.0));
    EXPECT_EQ(1, theme.Find(20 + 5e-11));
    EXPECT_EQ(-1, theme.Find(20 + 2e-10));
    RangeProbe zero; // 1e-10 away on either side is just outside the tolerance
    Fill(zero, {0});
    EXPECT_EQ(-1, zero.Find(1e-10));
    EXPECT_EQ(-1, zero.Find(-1e-10));
    KrStyle style;
    EXPECT_FALSE(theme.FindStyle(static_cast<KrRecordset*>(nullptr), style));
}

// The lookups and Add's duplicate check take the count through the virtual GetValueCount.
class FirstBreakOnly : public RangeProbe {
public:
    int GetValueCount() const override { return 1; }
};

TEST_F(RangeTest, RemovalCountsBreakValuesAndEmptiesWhenAllGo) {
    const struct {
        int nIndex, nCount, nRemoved;
        Strings captions;
    } table[] = {{0, 3, 3, {}},
                 {0, 8, 3, {}},
                 {3, 1, 0, {"r0", "r1", "r2", "r3"}},
                 {1, 0, 0, {"r0", "r1", "r2", "r3"}},
                 {-1, 1, 0, {"r0", "r1", "r2", "r3"}},
                 {1, 1, 1, {"r0", "r2", "r3"}},
                 {1, 5, 2, {"r0", "r3"}}};
    for (const auto& row : table) {
        RangeProbe filled;
        Fill(filled, {10, 20, 30});
        EXPECT_EQ(row.nRemoved, filled.RemoveAt(row.nIndex, row.nCount)) << row.nIndex;
        EXPECT_EQ(row.captions, Captions(filled)) << row.nIndex;
        EXPECT_EQ(row.captions.empty() ? 0 : int(row.captions.size()) - 1, filled.GetValueCount());
    }
    Fill(theme, {10, 20});
    EXPECT_FALSE(theme.RemoveTheme3DItems(0, 0));
    EXPECT_FALSE(theme.RemoveTheme3DItems(4, 1));
    EXPECT_FALSE(theme.RemoveTheme3DItems(2, 2));
    EXPECT_TRUE(theme.RemoveTheme3DItems(1, 2));
    EXPECT_EQ((Strings{"r0"}), Captions(theme));
}

TEST_F(RangeTest, FieldNamesExpressionsAndTypes) {
    theme.SetAliasSuffix("_7");
    EXPECT_EQ("Theme3DRange_7", theme.GetFieldName(FALSE).Str());
    theme.SetExpression("A");
    theme.SetExpression("[POP] / [AREA]");
    EXPECT_EQ("[POP] / [AREA] as Theme3DRange_7", theme.GetFieldName(TRUE).Str());
    ASSERT_EQ(1, theme.m_arrFieldExpressions.GetSize());
    for (int nType = -1; nType <= 20; ++nType) {
        const bool bNumeric =
            nType == 2 || nType == 3 || nType == 4 || nType == 6 || nType == 7 || nType == 16;
        EXPECT_EQ(bNumeric, theme.CheckFieldType(nType) != FALSE) << nType;
    }
}

TEST_F(RangeTest, IndexAccessorsAndNullEntries) {
    Fill(theme, {10, 20});
    KrTheme3DItem* pItem = theme.GetAt(1);
    KrTheme3DItem hidden = Item("set");
    hidden.m_bVisible = FALSE;
    theme.SetAt(1, hidden);
    EXPECT_EQ(pItem, theme.GetAt(1));
    EXPECT_EQ("set", theme.GetCaptionAt(1).Str());
    EXPECT_FALSE(theme.IsVisibleAt(1));
    KrStyle style;
    style.SetFillColor(TOVORGB(1, 2, 3));
    theme.SetStyleAt(2, style);
    EXPECT_EQ(style, theme.GetStyleAt(2));
    theme.SetValueAt(0, 30); // no order check
    EXPECT_EQ((Doubles{30, 20}), Values(theme));
    EXPECT_THROW(theme.GetValueAt(2), std::out_of_range);

    delete theme.m_arrItems[2];
    theme.m_arrItems[2] = nullptr;
    theme.SetAt(2, Item("x"));
    theme.SetCaptionAt(2, "x");
    theme.SetVisibleAt(2, TRUE);
    theme.SetStyleAt(2, style);
    EXPECT_EQ(nullptr, theme.GetAt(2));
    EXPECT_TRUE(theme.GetCaptionAt(2).IsEmpty());
    EXPECT_FALSE(theme.IsVisibleAt(2));
    EXPECT_EQ(nullptr, theme.FindStyle(35.0));
    EXPECT_EQ((Strings{"r0", "set"}), Captions(KrTheme3DRange(theme))); // copies skip it
}

TEST_F(RangeTest, CopiesAreDeepAndEmptyingKeepsTheSettings) {
    theme.SetExpression("X");
    theme.SetAliasSuffix("_s");
    theme.MakeDefault(KrTheme3D::ClassQuantile, 2, Array({0, 1}), Array({0, 1}), 0);
    Fill(theme, {-1}, true);
    theme.SetCaptionAt(0, "top");

    RangeProbe target;
    Fill(target, {1, 2, 3, 4});
    target = theme;
    EXPECT_EQ((Doubles{0, 1, -1}), Values(target));
    EXPECT_EQ((Strings{"top", "r1", "r2", "r3"}), Captions(target));
    EXPECT_TRUE(target.m_bDescending);
    EXPECT_EQ(KrTheme3D::ClassQuantile, target.GetClassType());
    EXPECT_EQ("X as Theme3DRange_s", target.GetFieldName(TRUE).Str());
    ASSERT_EQ(1, target.m_arrFieldExpressions.GetSize());
    target.SetCaptionAt(0, "changed");
    EXPECT_EQ("top", theme.GetCaptionAt(0).Str());
    EXPECT_EQ((Strings{"top", "r1", "r2", "r3"}), Captions(KrTheme3DRange(theme)));
    KrTheme3DRange* pSelf = &theme;
    *pSelf = theme;
    EXPECT_EQ((Strings{"top", "r1", "r2", "r3"}), Captions(theme));

    theme.RemoveAll();
    EXPECT_EQ(0, theme.GetCount() + theme.GetValueCount());
    EXPECT_EQ(KrTheme3D::ClassQuantile, theme.GetClassType());
}

TEST_F(RangeTest, VariantsBecomeNumbersOrLogTwoRecords) {
    Fill(theme, {10, 20});
    const KrTheme3D& base = theme; // through the host's interface
    EXPECT_EQ(1, ItemOf(theme, base.FindStyle(TovoVariant(15.0))));
    EXPECT_EQ(2, ItemOf(theme, base.FindStyle(TovoVariant(std::int32_t(20)))));
    EXPECT_EQ(0, ItemOf(theme, base.FindStyle(TovoVariant(" 5 "))));
    EXPECT_TRUE(KrLogFile::GetInstance().GetRecords().empty());
    EXPECT_EQ(nullptr, base.FindStyle(TovoVariant("abc")));
    EXPECT_EQ("400 EEe007 Src/Theme3DBase/KrTheme3DRange 112|"
              "400 EGi055 Src/Theme3DBase/KrTheme3DRange 113|",
              Logs());
}

} // namespace
