// Crafted documents against every reader: counts in a document are honoured up to the budget of
// 2^20 entries in one theme and cut by one rule past it, and deep or
// wide documents are read without recursion or repeated searches. The assertions are on the sizes
// read; the large documents would only take long (never fail) if a reader went quadratic, so
// CTest's timeout is their bound.
#include "Theme3DBase/Kr3DGraphItem.h"
#include "Theme3DBase/KrTheme3DGraph.h"
#include "Theme3DBase/KrTheme3DLabel.h"
#include "Theme3DBase/KrTheme3DRange.h"
#include "Theme3DBase/KrTheme3DUnique.h"
#include "ThemeTestSupport.h"
#include "VyBase600/TovoVariant.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cstdlib>

#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace KRS;
using ThemeTest::El;
using TOVO::TovoMBString;

namespace {

std::string Repeat(const std::string& s, int nTimes) {
    std::string out;
    out.reserve(s.size() * static_cast<std::size_t>(nTimes));
    for (int i = 0; i < nTimes; ++i)
        out += s;
    return out;
}

std::string Theme(int nType, const std::string& body) {
    return "<dkm:Theme3D>" + El("dkm:ThemeType", std::to_string(nType)) + body + "</dkm:Theme3D>";
}

// n levels of "<a>" around a text, and the text itself at the bottom.
std::string Nested(int nLevels, const std::string& text) {
    return Repeat("<a>", nLevels) + text + Repeat("</a>", nLevels);
}

const int kDeep = 200000;

int TotalValues(const KrTheme3DGraph& theme) {
    int total = 0;
    for (int i = 0; i < theme.GetCount(); ++i)
        total += theme.GetItem(i).m_arrValues.GetSize();
    return total;
}

// The records of one code, as (source, line).
std::vector<std::pair<std::string, int>> LogOf(const char* szCode) {
    std::vector<std::pair<std::string, int>> out;
    for (const KrLogRecord& record : KrLogFile::GetInstance(false).GetRecords())
        if (record.strCode == szCode)
            out.emplace_back(record.strSource.Str(), record.nLine);
    return out;
}

std::string ArrayItem(int nCount, int nSpelled, const std::string& value) {
    std::string fields;
    for (int i = 0; i < nSpelled; ++i)
        fields += El("dkm:ArrayField" + std::to_string(i), value);
    return El("dkm:GraphItem",
              El("dkm:Type", "2") + El("dkm:ArrayFieldNum", std::to_string(nCount)) + fields);
}

// Every count below the budget is honoured whatever the document's length: a short document
// gets its zeros, and every item that inherits a list keeps the whole list.
TEST(ReaderBoundsTest, GraphCountsBelowTheBudgetAreHonouredExactly) {
    KrLogFile::GetInstance(false).ClearRecords();
    Kr3DGraphItem item;
    const std::string shortItem = ArrayItem(100, 1, "1.5"); // 105 bytes for 100 values
    ASSERT_TRUE(item.FromXML(shortItem, 0));
    ASSERT_EQ(100, item.m_arrValues.GetSize());
    EXPECT_EQ(1.5, item.m_arrValues[0]);
    EXPECT_EQ(0.0, item.m_arrValues[99]);

    KrTheme3DGraph keys;
    ASSERT_TRUE(keys.FromXML(Theme(4, El("dkm:KeyNum", "5000") + El("dkm:Key4999", "8")), 0, ""));
    ASSERT_EQ(5000, keys.GetJoinArrayField().GetSize());
    EXPECT_EQ(0, keys.GetJoinArrayField()[0]);
    EXPECT_EQ(8, keys.GetJoinArrayField()[4999]);

    KrTheme3DGraph inherited;
    ASSERT_TRUE(inherited.FromXML(
        Theme(4,
              El("dkm:GraphItems", ArrayItem(2000, 2000, "1") + Repeat("<dkm:GraphItem/>", 100))),
        0, ""));
    ASSERT_EQ(101, inherited.GetCount());
    for (int i = 0; i < 101; ++i)
        ASSERT_EQ(2000, inherited.GetItem(i).m_arrValues.GetSize()) << i;
    EXPECT_EQ(202000, TotalValues(inherited));
    EXPECT_TRUE(LogOf("EGg040").empty());
}

// Past the budget of 2^20 entries the list that would pass it is cut to what remains, every later
// list (keys included) is empty, and one record says so.
TEST(ReaderBoundsTest, GraphCountsPastTheBudgetAreCutByOneRule) {
    KrLogFile::GetInstance(false).ClearRecords();
    Kr3DGraphItem item;
    ASSERT_TRUE(item.FromXML(ArrayItem(2000000000, 1, "1.5"), 0));
    ASSERT_EQ(1048576, item.m_arrValues.GetSize());
    EXPECT_EQ(1.5, item.m_arrValues[0]);
    Kr3DGraphItem saturated; // a count past int reads as the largest int
    ASSERT_TRUE(
        saturated.FromXML(El("dkm:GraphItem", El("dkm:ArrayFieldNum", "99999999999999999999")), 0));
    EXPECT_EQ(1048576, saturated.m_arrValues.GetSize());
    const std::pair<std::string, int> itemRecord("Src/Theme3DBase/Kr3DGraphItem", 115);
    EXPECT_EQ(decltype(LogOf(""))({itemRecord, itemRecord}), LogOf("EGg040"));

    // 524 items of 2000 values fill 1 048 000 of the budget; the 525th keeps 576 values.
    KrLogFile::GetInstance(false).ClearRecords();
    KrTheme3DGraph theme;
    ASSERT_TRUE(theme.FromXML(Theme(4, El("dkm:GraphItems", ArrayItem(2000, 2000, "1") +
                                                                Repeat("<dkm:GraphItem/>", 599)) +
                                           El("dkm:KeyNum", "3") + El("dkm:Key0", "7")),
                              0, ""));
    ASSERT_EQ(600, theme.GetCount());
    EXPECT_EQ(2000, theme.GetItem(523).m_arrValues.GetSize());
    EXPECT_EQ(576, theme.GetItem(524).m_arrValues.GetSize());
    EXPECT_EQ(1.0, theme.GetItem(524).m_arrValues[575]);
    EXPECT_EQ(0, theme.GetItem(525).m_arrValues.GetSize());
    EXPECT_EQ(0, theme.GetJoinArrayField().GetSize());
    EXPECT_EQ(1048576, TotalValues(theme));
    EXPECT_EQ(decltype(LogOf(""))({{"Src/Theme3DBase/KrTheme3DGraph", 700}}), LogOf("EGg040"));
}

TEST(ReaderBoundsTest, UniqueReaderKeepsOneItemPerValueOfAWideDocument) {
    const std::string item = El("dkm:UniqueItem", El("dkm:Value", "1") + El("dkm:Caption", "c"));
    KrTheme3DUnique repeated;
    ASSERT_TRUE(repeated.FromXML(Theme(1, El("dkm:UniqueItems", Repeat(item, 50000))), 0, ""));
    EXPECT_EQ(1, repeated.GetCount());

    std::string items;
    for (int i = 0; i < 50000; ++i)
        items += El("dkm:UniqueItem", El("dkm:Value", std::to_string(i)));
    KrTheme3DUnique distinct;
    ASSERT_TRUE(distinct.FromXML(Theme(1, El("dkm:UniqueItems", items)), 0, ""));
    EXPECT_EQ(50000, distinct.GetCount());
    EXPECT_EQ("49999", distinct.GetValueAt(49999));
}

// Break values that turn at every step: each one must still be tested against all earlier ones
// for the tolerance, which a reader must not do by scanning them all.
TEST(ReaderBoundsTest, RangeReaderTakesAZigzagOfBreakValues) {
    std::string items = El("dkm:RangeItem", El("dkm:RangeValue", "X&lt;0"));
    for (int i = 1; i <= 40000; ++i) {
        const int value = i % 2 ? i : -i;
        items += El("dkm:RangeItem", El("dkm:RangeValue", std::to_string(value) + "&lt;=X&lt;0"));
    }
    items += Repeat(El("dkm:RangeItem", El("dkm:RangeValue", "3&lt;=X&lt;0")), 1000);
    KrTheme3DRange theme;
    ASSERT_TRUE(theme.FromXML(Theme(2, El("dkm:RangeItems", items)), 0, ""));
    ASSERT_EQ(40000, theme.GetValueCount());
    EXPECT_EQ(1.0, theme.GetValueAt(0));
    EXPECT_EQ(-40000.0, theme.GetValueAt(39999));

    // Within 1e-10 of a value on either side is the same value, whatever came in between.
    std::string near;
    for (const char* value : {"1", "5", "1.00000000006", "0.99999999994", "1.00000000012", "-5",
                              "1.0000000002", "0.99999999985", "1.00000000025"})
        near += El("dkm:RangeItem", El("dkm:RangeValue", std::string(value) + "&lt;=X"));
    KrTheme3DRange tolerant;
    ASSERT_TRUE(tolerant.FromXML(Theme(2, El("dkm:RangeItems", near)), 0, ""));
    ASSERT_EQ(6, tolerant.GetValueCount());
    EXPECT_EQ(1.00000000012, tolerant.GetValueAt(2));
    EXPECT_EQ(0.99999999985, tolerant.GetValueAt(4));
    EXPECT_EQ(1.00000000025, tolerant.GetValueAt(5));
}

// The number format comes from the document unchecked; what it can make of one value is bounded
// by the formatter's limits on width and precision, not by the numbers the document spells.
TEST(ReaderBoundsTest, LabelNumberFormatCannotInflateALabel) {
    for (const char* format :
         {"%.999999999f", "%999999999f", "%4096.4096f", "%*.*f", "%.2147483647e"}) {
        SCOPED_TRACE(format);
        KrTheme3DLabel theme;
        ASSERT_TRUE(theme.FromXML(Theme(3, El("dkm:NumFormat", format)), 0, ""));
        EXPECT_EQ(format, theme.GetNumFormat());
        EXPECT_LE(theme.GetStringFromVariant(TOVO::TovoVariant(1e308)).GetLength(), 8192);
    }
}

// Items that hide deep documents leave the rest of the document read as usual.
TEST(ReaderBoundsTest, DeepItemsReadWithoutRecursion) {
    KrTheme3DUnique unique;
    ASSERT_TRUE(unique.FromXML(
        Theme(1, El("dkm:UniqueItems",
                    El("dkm:UniqueItem",
                       El("dkm:Value", "1") + El("dkm:Caption", Nested(kDeep, "c"))))),
        0, ""));
    ASSERT_EQ(1, unique.GetCount());
    EXPECT_EQ("", unique.GetCaptionAt(0));
    KrTheme3DGraph graph;
    ASSERT_TRUE(graph.FromXML(
        Theme(4, El("dkm:GraphItems", El("dkm:GraphItem", Nested(kDeep, "g")))), 0, ""));
    EXPECT_EQ(1, graph.GetCount());
}

} // namespace

namespace {

// The markup's allocations (its XML engine's) fail from the n-th on: a writer under memory
// pressure.
long g_nAllocationsLeft = -1;
void* FailingAllocate(std::size_t nSize) {
    if (g_nAllocationsLeft == 0)
        return nullptr;
    if (g_nAllocationsLeft > 0)
        --g_nAllocationsLeft;
    return std::malloc(nSize);
}

// Every writer either writes its whole document or answers an empty text, with a log record
// "EGg041" when its own markup failed: never a well-formed but truncated document.
TEST(ReaderBoundsTest, WritersUnderMemoryPressureWriteAllOrNothing) {
#ifdef _WIN32
    // Each DLL there links its own static copy of the XML library, so the allocator set here is
    // not the one the stand-in's markup uses.
    GTEST_SKIP() << "the markup's allocator cannot be replaced from the test on Windows";
#endif
    KrTheme3DUnique unique;
    KrTheme3DItem item;
    item.m_Style.SetIconName("/icons/a.png");
    for (int i = 0; i < 40; ++i)
        unique.Add(std::to_string(i).c_str(), item);
    KrTheme3DRange range;
    range.SetExpression("POP");
    for (int i = 0; i < 40; ++i)
        range.Add(i, item);
    KrTheme3DGraph graph;
    TOVO::TovoArray<double> values;
    for (int i = 0; i < 3000; ++i)
        values.Add(i);
    graph.AddArrayField("a", values);
    graph.AddArrayField("b", values);
    TOVO::TovoArray<int> keys;
    keys.SetSize(3000);
    graph.SetJoinArrayField(keys);
    KrTheme3DLabel label;
    const struct {
        const char* szClass;
        const KrTheme3D* pTheme;
        std::set<int> lines; // the graph logs its base part and its root on lines of their own
    } themes[] = {{"KrTheme3DUnique", &unique, {520}},
                  {"KrTheme3DRange", &range, {360}},
                  {"KrTheme3DGraph", &graph, {392, 413, 430}},
                  {"KrTheme3DLabel", &label, {280}}};
    for (const auto& [szClass, pTheme, lines] : themes) {
        const TovoMBString whole = pTheme->ToXML(0, "/doc/");
        ASSERT_FALSE(whole.IsEmpty()) << szClass;
        int nLogged = 0;
        for (long n = 0;; ++n) {
            KrLogFile::GetInstance(false).ClearRecords();
            g_nAllocationsLeft = n;
            pugi::set_memory_management_functions(FailingAllocate, std::free);
            const TovoMBString written = pTheme->ToXML(0, "/doc/");
            pugi::set_memory_management_functions(std::malloc, std::free);
            const bool bCompleted = g_nAllocationsLeft > 0;
            g_nAllocationsLeft = -1;
            if (written.IsEmpty()) {
                // The theme's own record comes last (a chart item that failed logs first); a
                // base part that could not be written is the base's failure, empty as specified.
                const auto records = LogOf("EGg041");
                if (!records.empty()) {
                    ++nLogged;
                    EXPECT_EQ("Src/Theme3DBase/" + std::string(szClass), records.back().first);
                    EXPECT_EQ(1u, lines.count(records.back().second)) << records.back().second;
                }
            } else {
                ASSERT_EQ(whole, written) << szClass << " " << n;
            }
            if (bCompleted)
                break;
        }
        EXPECT_GT(nLogged, 0) << szClass;
    }
    KrLogFile::GetInstance(false).ClearRecords();
}

} // namespace
