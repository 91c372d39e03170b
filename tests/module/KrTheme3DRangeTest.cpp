// The ranges theme's model: break values and items, lookups, copies, and classification. Expected
// break values were worked out from the formulas in double precision outside this code (same
// order of operations), so they are compared exactly.
#include "Theme3DBase/KrTheme3DRange.h"
#include "ThemeTestSupport.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

using namespace KRS;
using TOVO::TovoArray;
using TOVO::TovoVariant;

using namespace ThemeTest;

namespace {

class RangeProbe : public KrTheme3DRange {
public:
    using KrTheme3DRange::ClassifyWithCustomInterval;
    using KrTheme3DRange::ClassifyWithEqualDistance;
    using KrTheme3DRange::ClassifyWithExtraction;
    using KrTheme3DRange::ClassifyWithExtractionNew;
    using KrTheme3DRange::ClassifyWithLogarithm;
    using KrTheme3DRange::ClassifyWithStdev;
    using KrTheme3DRange::m_arrFieldExpressions;
    using KrTheme3DRange::m_bDescending;
    using KrTheme3DRange::RemoveTheme3DItems;
    using KrTheme3DRange::Stdev;
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
    theme.Add(10, Item("a"));
    EXPECT_EQ(2, theme.Add(10 + 5e-11, Item("dup")));
    EXPECT_EQ(2, theme.Add(10 - 9e-11, Item("dup")));
    theme.Add(20, Item("b"));
    EXPECT_EQ(4, theme.Add(10 + 2e-10, Item("c"))); // outside the tolerance; never sorted
    theme.InsertAt(1, 15, Item("new"));
    theme.InsertAt(0, 20, Item("unchecked"));
    EXPECT_TRUE(theme.InsertAt(99, 40, Item("end")));
    EXPECT_EQ((Doubles{20, 10, 15, 20, 10 + 2e-10, 40}), Values(theme));
    EXPECT_EQ((Strings{"unchecked", "a", "new", "a", "b", "c", "end"}), Captions(theme));
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
    EXPECT_TRUE(theme.RemoveTheme3DItems(1, 2));
}

TEST_F(RangeTest, FieldNamesExpressionsAndTypes) {
    theme.SetAliasSuffix("_7");
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

TEST_F(RangeTest, CopiesAreDeepAndEmptyingKeepsTheSettings) {
    theme.SetExpression("X");
    theme.SetAliasSuffix("_s");
    theme.MakeDefault(KrTheme3D::ClassQuantile, 2, Array({0, 1}), Array({0, 1}), 0);
    Fill(theme, {-1}, true);
    theme.SetCaptionAt(0, "top");

    RangeProbe target;
    Fill(target, {1, 2, 3, 4});
    target = theme;
    EXPECT_EQ((Strings{"top", "r1", "r2", "r3"}), Captions(target));
    EXPECT_EQ("X as Theme3DRange_s", target.GetFieldName(TRUE).Str());
    ASSERT_EQ(1, target.m_arrFieldExpressions.GetSize());
    target.SetCaptionAt(0, "changed");
    KrTheme3DRange* pSelf = &theme;
    *pSelf = theme;
    EXPECT_EQ((Strings{"top", "r1", "r2", "r3"}), Captions(theme));
    theme.RemoveAll();
    EXPECT_EQ(KrTheme3D::ClassQuantile, theme.GetClassType());
}

TEST_F(RangeTest, VariantsBecomeNumbersOrLogTwoRecords) {
    Fill(theme, {10, 20});
    const KrTheme3D& base = theme; // through the host's interface
    EXPECT_EQ(2, ItemOf(theme, base.FindStyle(TovoVariant(std::int32_t(20)))));
    EXPECT_EQ(0, ItemOf(theme, base.FindStyle(TovoVariant(" 5 "))));
    EXPECT_EQ(nullptr, base.FindStyle(TovoVariant("abc")));
    EXPECT_EQ("400 EEe007 Src/Theme3DBase/KrTheme3DRange 112|"
              "400 EGi055 Src/Theme3DBase/KrTheme3DRange 113|",
              Logs());
}

// ---- classification

// Break values (NaN matching NaN), and n + 1 visible uncaptioned default items for n of them.
void ExpectBreaks(const KrTheme3DRange& theme, const Doubles& expected) {
    ASSERT_EQ(expected.size(), std::size_t(theme.GetValueCount()));
    for (int i = 0; i < theme.GetValueCount(); ++i) {
        const double d = theme.GetValueAt(i);
        EXPECT_TRUE(d == expected[i] || (std::isnan(d) && std::isnan(expected[i])))
            << i << " " << d;
    }
    EXPECT_EQ(expected.empty() ? 0 : int(expected.size()) + 1, theme.GetCount());
    for (int i = 0; i < theme.GetCount(); ++i) {
        EXPECT_TRUE(theme.IsVisibleAt(i));
        EXPECT_TRUE(theme.GetCaptionAt(i).IsEmpty());
        EXPECT_EQ(KrStyle(), theme.GetStyleAt(i));
    }
}

// The numbers of a text; strtod reads "nan" and "inf" too.
Doubles Numbers(std::istream& in) {
    Doubles numbers;
    for (std::string word; in >> word && word != "|";)
        numbers.push_back(std::strtod(word.c_str(), nullptr));
    return numbers;
}

TEST(RangeClassify, MethodsOnTheirData) {
    std::istringstream table(ModuleFile("classify.txt"));
    int nRows = 0;
    for (std::string line; std::getline(table, line);) {
        std::istringstream row(line + " |");
        int nMethod = 0, nCount = 0;
        double dInterval = 0;
        std::string bar;
        if (line.empty() || line[0] == '#' || !(row >> nMethod >> nCount >> dInterval >> bar))
            continue;
        SCOPED_TRACE(line);
        const TovoArray<double> values = Array(Numbers(row));
        KrTheme3DRange theme;
        EXPECT_TRUE(theme.MakeDefault(nMethod, nCount, values, values, dInterval));
        ExpectBreaks(theme, Numbers(row));
        EXPECT_EQ(nMethod > 5 ? 0 : nMethod, theme.GetClassType());
        ++nRows;
    }
    EXPECT_EQ(nRows, 31);
}

TEST(RangeClassify, RejectsTooFewClassesOrValuesAndKeepsExpressionAndOrder) {
    RangeProbe theme;
    theme.SetExpression("POP");
    theme.m_bDescending = TRUE;
    theme.MakeDefault(KrTheme3D::ClassLogarithm, 3, Array({1, 1000}), Array({}), 0);
    EXPECT_FALSE(theme.MakeDefault(0, 1, Array({0, 100}), Array({}), 0));
    EXPECT_FALSE(theme.MakeDefault(0, 4, Array({5}), Array({}), 0));
    ExpectBreaks(theme, {10, 100});
    EXPECT_EQ(KrTheme3D::ClassLogarithm, theme.GetClassType());
    EXPECT_TRUE(theme.MakeDefault(KrTheme3D::ClassCustomInterval, 2, Array({0, 9}), Array({}), 9));
    ExpectBreaks(theme, {});
    EXPECT_EQ("POP", theme.GetExpression().Str());
    EXPECT_TRUE(theme.m_bDescending);
}

TEST(RangeClassify, OnlyAbsurdClassCountsAreCut) {
    KrTheme3DRange theme;
    theme.MakeDefault(0, 40000, Array({0, 1}), Array({}), 0);
    ASSERT_EQ(39999, theme.GetValueCount());
    EXPECT_EQ(0.9999750000000001, theme.GetValueAt(39998));
    theme.MakeDefault(3, INT_MAX, Array({2, 5}), Array({}), 0);
    ExpectBreaks(theme, {2});
    RangeProbe older;
    older.ClassifyWithEqualDistance(INT_MAX, 5, 2);
    ExpectBreaks(older, {2});
    theme.MakeDefault(5, 2, Array({0, 32767}), Array({}), 1); // the ratio at the limit: kept
    ASSERT_EQ(32766, theme.GetValueCount());
    EXPECT_EQ(32766, theme.GetValueAt(32765));
    theme.MakeDefault(5, 2, Array({0, 100}), Array({}), 0.0031); // ratio just below 32767
    ASSERT_EQ(32258, theme.GetValueCount());
    EXPECT_EQ(99.9998, theme.GetValueAt(32257));
}

TEST(RangeClassify, OlderFormsMakeMinAndMaxBreakValues) {
    using Probe = RangeProbe;
    const struct {
        std::function<void(Probe&)> classify;
        Doubles expected;
    } table[] = {
        {[](Probe& t) { t.ClassifyWithEqualDistance(5, 1, 0); },
         {0, 0.3333333333333333, 0.6666666666666666, 1}},
        {[](Probe& t) { t.ClassifyWithExtraction(5, 50, 3); },
         {2.9999999999999996, 12.332199428407062, 27.998866095073737, 50.00000000000001}},
        {[](Probe& t) { t.ClassifyWithLogarithm(5, 2000, 2); },
         {2, 20.000000000000004, 200.00000000000003, 2000.0000000000002}},
        {[](Probe& t) { t.ClassifyWithLogarithm(4, 1000, 0); }, {1, 31.622776601683793, 1000}},
        {[](Probe& t) { t.ClassifyWithCustomInterval(0.25, 1, 0.1); }, {0.1, 0.35, 0.6, 0.85, 1.1}},
        {[](Probe& t) { t.ClassifyWithCustomInterval(30, 0, 100); }, {}}, // max not above min
        {[](Probe& t) { t.ClassifyWithCustomInterval(-30, 100, 0); }, {}},
        // two classes: min as the formula makes it; one class: nothing
        {[](Probe& t) { t.ClassifyWithExtraction(2, 50, 3); }, {2.9999999999999996}},
        {[](Probe& t) { t.ClassifyWithLogarithm(2, 50, 0); }, {1}},
        {[](Probe& t) { t.ClassifyWithEqualDistance(1, 50, 3); }, {}},
    };
    for (const auto& row : table) {
        Probe theme;
        row.classify(theme);
        ExpectBreaks(theme, row.expected);
    }
}

// The root scale divided once: two classes of the newer form break at (sqrt 2 + 5 sqrt 2) / 2 =
// 3 sqrt 2, squared 18; three of the older form at min and max.
TEST(RangeClassify, OneDivisionOfTheRootScale) {
    RangeProbe newer, older;
    newer.ClassifyWithExtractionNew(2, 50, 2);
    older.ClassifyWithExtraction(3, 50, 3);
    ASSERT_EQ(1, newer.GetValueCount());
    EXPECT_NEAR(18.0, newer.GetValueAt(0), 1e-12);
    ASSERT_EQ(2, older.GetValueCount());
    EXPECT_NEAR(3.0, older.GetValueAt(0), 1e-12);
    EXPECT_NEAR(50.0, older.GetValueAt(1), 1e-12);
}

TEST(RangeClassify, ProtectedMethodsAddToWhatIsThere) {
    RangeProbe theme;
    theme.Add(50, KrTheme3DItem());
    theme.ClassifyWithEqualDistance(4, 100, 0); // 0, a repeated 50, 100
    ExpectBreaks(theme, {50, 0, 100});
    // Inserts 0 and 2.5 in front and drops the 0, appends 7.5 and 10 and drops the 10.
    theme.ClassifyWithStdev(Array({0, 10}));
    ExpectBreaks(theme, {2.5, 50, 0, 100, 7.5});
    theme.ClassifyWithStdev(Array({kNaN, 1})); // no part runs, but the first and last still go
    ExpectBreaks(theme, {50, 0, 100});
    theme.ClassifyWithStdev(Array({}));
    ExpectBreaks(theme, {0});
}

} // namespace
