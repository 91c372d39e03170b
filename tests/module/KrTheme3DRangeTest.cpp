#include "Theme3DBase/KrTheme3DRange.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

using namespace KRS;
using TOVO::TovoMBString;
using TOVO::TovoVariant;

namespace {

// Opens the protected parts that the host cannot reach but the rules are about.
class RangeProbe : public KrTheme3DRange {
public:
    using KrTheme3DRange::m_arrFieldExpressions;
    using KrTheme3DRange::m_arrItems;
    using KrTheme3DRange::m_bDescending;
    using KrTheme3DRange::RemoveTheme3DItems;
};

KrTheme3DItem MakeItem(const char* szCaption, bool bVisible = true) {
    KrTheme3DItem item;
    item.m_strCaption = szCaption;
    item.m_bVisible = bVisible ? TRUE : FALSE;
    return item;
}

std::vector<double> Values(const KrTheme3DRange& theme) {
    std::vector<double> values;
    for (int i = 0; i < theme.GetValueCount(); ++i)
        values.push_back(theme.GetValueAt(i));
    return values;
}

std::vector<std::string> Captions(const KrTheme3DRange& theme) {
    std::vector<std::string> captions;
    for (int i = 0; i < theme.GetCount(); ++i)
        captions.push_back(theme.GetCaptionAt(i).Str());
    return captions;
}

TOVO::TovoArray<double> Array(std::initializer_list<double> values) {
    TOVO::TovoArray<double> arr;
    for (double d : values)
        arr.Add(d);
    return arr;
}

using Doubles = std::vector<double>;
using Strings = std::vector<std::string>;

// Index of the item whose style came back, or -1 for null.
int ItemOf(const KrTheme3DRange& theme, const KrStyle* pStyle) {
    for (int i = 0; i < theme.GetCount(); ++i)
        if (pStyle == &theme.GetAt(i)->m_Style)
            return i;
    return pStyle ? -2 : -1;
}

class RangeTest : public ::testing::Test {
protected:
    void SetUp() override { KrLogFile::GetInstance().ClearRecords(); }
    // Break values b0, b1, ... with the items "r0", "r1", ...
    void Fill(RangeProbe& theme, const Doubles& values, bool bDescending) {
        theme.m_bDescending = bDescending ? TRUE : FALSE;
        theme.Add(values[0], MakeItem("r0"));
        theme.SetCaptionAt(1, "r1");
        for (std::size_t i = 1; i < values.size(); ++i)
            theme.Add(values[i], MakeItem(("r" + std::to_string(i + 1)).c_str()));
    }
    RangeProbe theme;
};

TEST_F(RangeTest, NewThemeIsEmpty) {
    EXPECT_EQ(KrTheme3D::Range, theme.GetType());
    EXPECT_EQ(0, theme.GetCount());
    EXPECT_EQ(0, theme.GetValueCount());
    EXPECT_EQ(KrTheme3D::ClassEqualDistance, theme.GetClassType());
    EXPECT_FALSE(theme.m_bDescending);
    EXPECT_TRUE(theme.GetExpression().IsEmpty());
    EXPECT_EQ(nullptr, theme.FindStyle(1.0));
    EXPECT_EQ(-1, theme.Find(0.0));
}

TEST_F(RangeTest, AddPairsBreakValuesWithItemsAndRefusesNearDuplicates) {
    EXPECT_EQ(2, theme.Add(10, MakeItem("a")));
    EXPECT_EQ((Strings{"a", "a"}), Captions(theme));
    EXPECT_EQ(2, theme.Add(10 + 5e-11, MakeItem("dup")));
    EXPECT_EQ(2, theme.Add(10 - 9e-11, MakeItem("dup")));
    EXPECT_EQ(3, theme.Add(20, MakeItem("b")));
    EXPECT_EQ(4, theme.Add(10 + 2e-10, MakeItem("c"))); // outside the tolerance, and not sorted
    EXPECT_EQ((Doubles{10, 20, 10 + 2e-10}), Values(theme));
    EXPECT_EQ((Strings{"a", "a", "b", "c"}), Captions(theme));
    EXPECT_TRUE(theme.IsValidValueCount(1));
    EXPECT_FALSE(theme.IsValidValueCount(0));
}

TEST_F(RangeTest, AddedItemsAreCopies) {
    KrTheme3DItem item = MakeItem("a");
    theme.Add(1, item);
    item.m_strCaption = "changed";
    EXPECT_EQ("a", theme.GetCaptionAt(0).Str());
    EXPECT_NE(theme.GetAt(0), theme.GetAt(1));
}

struct Lookup {
    double dValue;
    int nItem; // -1: null
};

TEST_F(RangeTest, AscendingRangesIncludeTheirLowerBoundWithoutTolerance) {
    Fill(theme, {10, 20}, false);
    const Lookup table[] = {{9.5, 0},
                            {10 - 1e-12, 0},
                            {10, 1},
                            {19.5, 1},
                            {20, 2},
                            {1e300, 2},
                            {-1e300, 0},
                            {-std::numeric_limits<double>::infinity(), 0},
                            {std::numeric_limits<double>::infinity(), 2}};
    for (const Lookup& row : table)
        EXPECT_EQ(row.nItem, ItemOf(theme, theme.FindStyle(row.dValue))) << row.dValue;
}

TEST_F(RangeTest, DescendingRangesTakeValuesJustBelowABreakValue) {
    Fill(theme, {20, 10}, true);
    const Lookup table[] = {{25, 0},         {20 + 1e-12, 0}, {20, 0},    {20 - 5e-11, 0},
                            {20 - 2e-10, 1}, {15, 1},         {10, 1},    {10 - 5e-11, 1},
                            {9.9, 2},        {5, 2},          {-1e300, 2}};
    for (const Lookup& row : table)
        EXPECT_EQ(row.nItem, ItemOf(theme, theme.FindStyle(row.dValue))) << row.dValue;
}

TEST_F(RangeTest, FindStyleAnswersNullForNaNHiddenItemsAndEmptyThemes) {
    EXPECT_EQ(nullptr, theme.FindStyle(5.0));
    Fill(theme, {10, 20}, false);
    EXPECT_EQ(nullptr, theme.FindStyle(std::numeric_limits<double>::quiet_NaN()));
    theme.SetVisibleAt(1, FALSE);
    EXPECT_EQ(nullptr, theme.FindStyle(15.0));
    EXPECT_EQ(2, ItemOf(theme, theme.FindStyle(20.0)));
    theme.m_bDescending = TRUE;
    EXPECT_EQ(nullptr, theme.FindStyle(std::numeric_limits<double>::quiet_NaN()));
}

TEST_F(RangeTest, FindMatchesWithinTheTolerance) {
    Fill(theme, {10, 20, 30}, false);
    EXPECT_EQ(1, theme.Find(20));
    EXPECT_EQ(1, theme.Find(20 + 5e-11));
    EXPECT_EQ(-1, theme.Find(20 + 2e-10));
    EXPECT_EQ(-1, theme.Find(std::numeric_limits<double>::quiet_NaN()));
}

struct Removal {
    int nIndex;
    int nCount;
    int nRemoved;
    Doubles remaining;
};

TEST_F(RangeTest, RemoveAtCountsBreakValuesAndEmptiesWhenAllGo) {
    const Removal table[] = {{0, 3, 3, {}},
                             {0, 8, 3, {}},
                             {3, 1, 0, {10, 20, 30}},
                             {1, 0, 0, {10, 20, 30}},
                             {-1, 1, 0, {10, 20, 30}},
                             {1, 5, 2, {10}},
                             {2, 1, 1, {10, 20}},
                             {0, 1, 1, {20, 30}}};
    for (const Removal& row : table) {
        RangeProbe filled;
        Fill(filled, {10, 20, 30}, false);
        EXPECT_EQ(row.nRemoved, filled.RemoveAt(row.nIndex, row.nCount)) << row.nIndex;
        EXPECT_EQ(row.remaining, Values(filled)) << row.nIndex;
        EXPECT_EQ(row.remaining.empty() ? 0 : int(row.remaining.size()) + 1, filled.GetCount());
    }
}

TEST_F(RangeTest, RemoveAtDeletesTheItemsAtTheSameIndex) {
    Fill(theme, {10, 20, 30}, false);
    EXPECT_EQ(1, theme.RemoveAt(1, 1));
    EXPECT_EQ((Doubles{10, 30}), Values(theme));
    EXPECT_EQ((Strings{"r0", "r2", "r3"}), Captions(theme));
}

TEST_F(RangeTest, RemoveTheme3DItemsChecksTheSpan) {
    Fill(theme, {10, 20}, false);
    EXPECT_FALSE(theme.RemoveTheme3DItems(0, 0));
    EXPECT_FALSE(theme.RemoveTheme3DItems(4, 1));
    EXPECT_FALSE(theme.RemoveTheme3DItems(2, 2));
    EXPECT_FALSE(theme.RemoveTheme3DItems(-1, 1));
    EXPECT_EQ(3, theme.GetCount());
    EXPECT_TRUE(theme.RemoveTheme3DItems(1, 2));
    EXPECT_EQ((Strings{"r0"}), Captions(theme));
}

TEST_F(RangeTest, RemoveAllKeepsExpressionOrderAndMethod) {
    theme.SetExpression("POP");
    Fill(theme, {20, 10}, true);
    theme.MakeDefault(KrTheme3D::ClassLogarithm, 3, Array({1, 1000}), Array({}), 0);
    theme.RemoveAll();
    EXPECT_EQ(0, theme.GetCount());
    EXPECT_EQ(0, theme.GetValueCount());
    EXPECT_EQ("POP", theme.GetExpression().Str());
    EXPECT_TRUE(theme.m_bDescending);
    EXPECT_EQ(KrTheme3D::ClassLogarithm, theme.GetClassType());
}

TEST_F(RangeTest, InsertAtPlacesTheItemBelowTheNewBreakValue) {
    theme.InsertAt(5, 10, MakeItem("first"));
    EXPECT_EQ((Doubles{10}), Values(theme));
    EXPECT_EQ((Strings{"first", "first"}), Captions(theme));
    theme.Add(30, MakeItem("top"));
    EXPECT_TRUE(theme.InsertAt(1, 20, MakeItem("new")));
    EXPECT_TRUE(theme.InsertAt(0, 30, MakeItem("unchecked")));
    EXPECT_TRUE(theme.InsertAt(99, 40, MakeItem("end")));
    EXPECT_EQ((Doubles{30, 10, 20, 30, 40}), Values(theme));
    EXPECT_EQ((Strings{"unchecked", "first", "new", "first", "top", "end"}), Captions(theme));
}

TEST_F(RangeTest, FieldNamesAndExpressions) {
    theme.SetAliasSuffix("_7");
    EXPECT_EQ("Theme3DRange_7", theme.GetFieldName(FALSE).Str());
    EXPECT_TRUE(theme.GetFieldName(TRUE).IsEmpty());
    theme.SetExpression("A");
    theme.SetExpression("[POP] / [AREA]");
    EXPECT_EQ("[POP] / [AREA] as Theme3DRange_7", theme.GetFieldName(TRUE).Str());
    EXPECT_EQ("[POP] / [AREA]", theme.GetExpression().Str());
    ASSERT_EQ(1, theme.m_arrFieldExpressions.GetSize());
    EXPECT_EQ("[POP] / [AREA]", theme.m_arrFieldExpressions[0].Str());
}

TEST_F(RangeTest, CheckFieldTypeAcceptsTheNumericCodes) {
    for (int nType = -1; nType <= 20; ++nType) {
        const bool bNumeric =
            nType == 2 || nType == 3 || nType == 4 || nType == 6 || nType == 7 || nType == 16;
        EXPECT_EQ(bNumeric, theme.CheckFieldType(nType) != FALSE) << nType;
    }
}

TEST_F(RangeTest, IndexAccessorsSetAndCheckTheArrays) {
    Fill(theme, {10, 20}, false);
    KrTheme3DItem* pItem = theme.GetAt(1);
    theme.SetAt(1, MakeItem("set", false));
    EXPECT_EQ(pItem, theme.GetAt(1));
    EXPECT_EQ("set", theme.GetCaptionAt(1).Str());
    EXPECT_FALSE(theme.IsVisibleAt(1));
    KrStyle style;
    style.SetFillColor(TOVORGB(1, 2, 3));
    theme.SetStyleAt(2, style);
    EXPECT_EQ(style, theme.GetStyleAt(2));
    theme.SetValueAt(0, 30); // no order check
    EXPECT_EQ((Doubles{30, 20}), Values(theme));
    EXPECT_THROW(theme.GetAt(3), std::out_of_range);
    EXPECT_THROW(theme.GetValueAt(2), std::out_of_range);
    EXPECT_THROW(theme.SetCaptionAt(-1, "x"), std::out_of_range);
    EXPECT_EQ((Doubles{30, 20}), Values(theme));
}

TEST_F(RangeTest, NullItemEntriesAreTolerated) {
    Fill(theme, {10, 20}, false);
    delete theme.m_arrItems[1];
    theme.m_arrItems[1] = nullptr;
    EXPECT_TRUE(theme.GetCaptionAt(1).IsEmpty());
    EXPECT_FALSE(theme.IsVisibleAt(1));
    EXPECT_EQ(KrStyle(), theme.GetStyleAt(1));
    EXPECT_EQ(nullptr, theme.FindStyle(15.0));
    theme.SetAt(1, MakeItem("x"));
    theme.SetCaptionAt(1, "x");
    theme.SetVisibleAt(1, TRUE);
    theme.SetStyleAt(1, KrStyle());
    EXPECT_EQ(nullptr, theme.GetAt(1));
    KrTheme3DRange copy(theme); // copies only the items that exist
    EXPECT_EQ((Strings{"r0", "r2"}), Captions(copy));
}

TEST_F(RangeTest, CopiesAreDeepAndIndependent) {
    theme.SetExpression("X");
    theme.SetAliasSuffix("_s");
    Fill(theme, {20, 10}, true);
    theme.MakeDefault(KrTheme3D::ClassQuantile, 2, Array({0, 1}), Array({20, 10}), 0);
    theme.SetCaptionAt(0, "top");

    RangeProbe target;
    Fill(target, {1, 2, 3, 4}, false);
    target = theme;
    EXPECT_EQ((Doubles{20, 10}), Values(target));
    EXPECT_EQ((Strings{"top", "", ""}), Captions(target));
    EXPECT_TRUE(target.m_bDescending);
    EXPECT_EQ(KrTheme3D::ClassQuantile, target.GetClassType());
    EXPECT_EQ("X as Theme3DRange_s", target.GetFieldName(TRUE).Str());
    EXPECT_EQ(1, target.m_arrFieldExpressions.GetSize());

    target.SetCaptionAt(0, "changed");
    EXPECT_EQ("top", theme.GetCaptionAt(0).Str());
    EXPECT_NE(theme.GetAt(0), target.GetAt(0));

    KrTheme3DRange constructed(theme);
    EXPECT_EQ((Strings{"top", "", ""}), Captions(constructed));
    EXPECT_EQ(KrTheme3D::Range, constructed.GetType());

    KrTheme3DRange* pSelf = &theme;
    *pSelf = theme;
    EXPECT_EQ((Doubles{20, 10}), Values(theme));
    EXPECT_EQ((Strings{"top", "", ""}), Captions(theme));
}

TEST_F(RangeTest, FindStyleOfAVariantReadsItsNumber) {
    Fill(theme, {10, 20}, false);
    EXPECT_EQ(1, ItemOf(theme, theme.FindStyle(TovoVariant(15.0))));
    EXPECT_EQ(2, ItemOf(theme, theme.FindStyle(TovoVariant(std::int32_t(20)))));
    EXPECT_EQ(0, ItemOf(theme, theme.FindStyle(TovoVariant(" 5 "))));
    const KrTheme3D& base = theme; // through the host's interface
    EXPECT_EQ(1, ItemOf(theme, base.FindStyle(TovoVariant(10.0f))));
    EXPECT_TRUE(KrLogFile::GetInstance().GetRecords().empty());
}

TEST_F(RangeTest, AValueWithoutNumberLogsTwoRecords) {
    Fill(theme, {10, 20}, false);
    for (const TovoVariant& value : {TovoVariant("abc"), TovoVariant()}) {
        KrLogFile::GetInstance().ClearRecords();
        EXPECT_EQ(nullptr, theme.FindStyle(value));
        const std::vector<KrLogRecord> records = KrLogFile::GetInstance().GetRecords();
        ASSERT_EQ(2u, records.size());
        const char* codes[] = {"EEe007", "EGi055"};
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(400, records[i].nLevel);
            EXPECT_EQ(codes[i], records[i].strCode.Str());
            EXPECT_EQ("Src/Theme3DBase/KrTheme3DRange", records[i].strSource.Str());
            EXPECT_EQ(112 + i, records[i].nLine);
        }
    }
}

TEST_F(RangeTest, ExternalValueModeOneTranslatesAndNeverLogs) {
    Fill(theme, {10, 20}, false);
    theme.SetExternalValueMode(1);
    theme.SetExternalValue("high", "25");
    theme.SetExternalValue("12", "3");
    EXPECT_EQ(2, ItemOf(theme, theme.FindStyle(TovoVariant("high"))));
    EXPECT_EQ(0, ItemOf(theme, theme.FindStyle(TovoVariant(std::int32_t(12)))));
    EXPECT_EQ(1, ItemOf(theme, theme.FindStyle(TovoVariant(15.5))));
    EXPECT_EQ(0, ItemOf(theme, theme.FindStyle(TovoVariant("unknown")))); // reads as 0
    EXPECT_EQ(0, ItemOf(theme, theme.FindStyle(TovoVariant())));
    EXPECT_TRUE(KrLogFile::GetInstance().GetRecords().empty());
}

TEST_F(RangeTest, RecordsetLookupIsAlwaysFalse) {
    Fill(theme, {10}, false);
    KrStyle style;
    style.SetFillColor(TOVORGB(9, 9, 9));
    EXPECT_FALSE(theme.FindStyle(static_cast<KrRecordset*>(nullptr), style));
    EXPECT_EQ(TOVORGB(9, 9, 9), style.GetFillColor());
}

} // namespace
