#include "Theme3DBase/KrTheme3DUnique.h"
#include "ThemeTestSupport.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <tuple>

using namespace KRS;
using TOVO::TovoMBString;
using TOVO::TovoVariant;

using namespace ThemeTest;

namespace {

// "value:caption:visible:red of the style" per position, joined by "|".
std::string Summary(KrTheme3DUnique& theme) {
    std::string text;
    for (int i = 0; i < theme.GetCount(); ++i)
        text += (i ? "|" : "") + theme.GetValueAt(i).Str() + ":" + theme.GetCaptionAt(i).Str() +
                (theme.IsVisibleAt(i) ? ":1:" : ":0:") +
                std::to_string(TOVO::TovoGetRValue(theme.GetStyleAt(i).GetFillColor()));
    return text;
}

// Opens the protected item removal, which leaves values without items behind.
struct UniqueProbe : KrTheme3DUnique {
    using KrTheme3DUnique::RemoveTheme3DItems;
};

class UniqueTest : public ::testing::Test {
protected:
    void SetUp() override {
        theme.Add("a", MakeItem("A", 1));
        theme.Add("b", MakeItem("B", 2));
        theme.Add("c", MakeItem("C", 3));
        theme.SetDefaultStyle(MakeItem("", 99).m_Style);
    }
    const KrStyle* StyleAt(int i) {
        return i < 0 ? &theme.GetDefaultStyle() : &theme.GetStyleAt(i);
    }
    UniqueProbe theme;
};

TEST_F(UniqueTest, KeepsInsertionOrderAndRefusesDuplicates) {
    EXPECT_TRUE(theme.InsertItem(1, "x", MakeItem("X", 4)));
    EXPECT_TRUE(theme.InsertItem(-1, "y", MakeItem("Y", 5)));
    EXPECT_TRUE(theme.InsertItem(99, "z", MakeItem("Z", 6)));
    EXPECT_TRUE(theme.Add("", MakeItem("empty", 7)));
    EXPECT_FALSE(theme.Add("b", MakeItem("other", 8)));
    EXPECT_FALSE(theme.InsertItem(0, "x", MakeItem("other", 8)));
    EXPECT_EQ("a:A:1:1|x:X:1:4|b:B:1:2|c:C:1:3|y:Y:1:5|z:Z:1:6|:empty:1:7", Summary(theme));
    TovoMBString caption = "untouched";
    EXPECT_FALSE(theme.FindCaption("q", caption));
    EXPECT_EQ("untouched", caption.Str());
    EXPECT_TRUE(theme.FindCaption("x", caption));
    EXPECT_EQ("X", caption.Str());
}

TEST_F(UniqueTest, RemoveAtLimitsTheCountAndRemoveAllKeepsTheRest) {
    theme.Add("d", MakeItem("D", 4));
    const std::string all = "a:A:1:1|b:B:1:2|c:C:1:3|d:D:1:4";
    const std::tuple<int, int, int, std::string> cases[] = {{1, 10, 3, "a:A:1:1"},
                                                            {4, 1, 0, all},
                                                            {-1, 2, 0, all},
                                                            {1, -2, 0, all},
                                                            {0, 2, 2, "c:C:1:3|d:D:1:4"}};
    for (const auto& [nIndex, nCount, nRemoved, left] : cases) {
        KrTheme3DUnique copy(theme);
        EXPECT_EQ(nRemoved, copy.RemoveAt(nIndex, nCount)) << nIndex << "," << nCount;
        EXPECT_EQ(left, Summary(copy));
        EXPECT_EQ(left == all, copy.IsExist("b") != FALSE);
    }
    theme.SetExpression("road");
    theme.RemoveAll();
    EXPECT_FALSE(theme.IsExist("a"));
    EXPECT_EQ(TOVORGB(99, 0, 0), theme.GetDefaultStyle().GetFillColor());
}

TEST_F(UniqueTest, AssignmentTakesCaptionsAndFieldExpressions) {
    theme.SetCaptionAt(1, "B2");
    theme.SetExpression("f1 [#] f2");
    KrTheme3DUnique assigned;
    assigned = theme;
    EXPECT_EQ("a:A:1:1|b:B2:1:2|c:C:1:3", Summary(assigned));
    EXPECT_EQ(2, assigned.GetFieldExpressions().GetSize());
}

TEST_F(UniqueTest, ValuesWithoutItemsGiveTheDefaults) {
    theme.Add("2.0", MakeItem("two", 4));
    theme.InsertItem(0, "2", MakeItem("first two", 5));
    EXPECT_FALSE(theme.RemoveTheme3DItems(-1, 1));
    EXPECT_FALSE(theme.RemoveTheme3DItems(6, 0));
    EXPECT_FALSE(theme.RemoveTheme3DItems(3, 3));
    EXPECT_TRUE(theme.RemoveTheme3DItems(5, 0));
    ASSERT_TRUE(theme.RemoveTheme3DItems(0, 2)); // "2" and "a" stay, without items
    theme.SetCaptionAt(1, "ignored");
    theme.SetVisibleAt(1, TRUE);
    theme.SetStyleAt(1, MakeItem("", 9).m_Style);
    EXPECT_EQ("2::0:99|a::0:99|b:B:1:2|c:C:1:3|2.0:two:1:4", Summary(theme));
}

TEST(UniqueExpression, SplitsAtTheSeparatorNamesTheFieldAndChecksTypes) {
    const std::pair<const char*, const char*> cases[] = {
        {"f1 [#] f2", "f1|f2|"}, {"  one  ", "one|"},  {"", ""},       {" \t ", ""},
        {"a[#] [#]b", "a|b|"},   {"a[#][#]b", "a|b|"}, {"[#]a", "a|"}, {"x[#]", "x|"}};
    KrTheme3DUnique theme;
    for (const auto& [szExpression, szParts] : cases) {
        theme.SetExpression(szExpression);
        std::string parts;
        for (const TovoMBString& part : theme.GetFieldExpressions())
            parts += part.Str() + "|";
        EXPECT_EQ(szParts, parts) << szExpression;
        EXPECT_EQ(szExpression, theme.GetExpression().Str());
    }
    theme.SetAliasSuffix("_7");
    EXPECT_EQ("x[#] as Theme3DUnique_7", theme.GetFieldName(TRUE).Str());
    std::string accepted;
    for (int nType = -1; nType <= 17; ++nType)
        accepted += theme.CheckFieldType(nType) ? std::to_string(nType) + " " : "";
    EXPECT_EQ("1 2 3 4 6 7 10 16 ", accepted);
    EXPECT_FALSE(theme.IsValidValueCount(0));
    EXPECT_TRUE(theme.IsValidValueCount(1));
    KrStyle style;
    EXPECT_FALSE(theme.FindStyle(static_cast<KrRecordset*>(nullptr), style));
}

TEST_F(UniqueTest, LookupTranslatesByModeAndLogsValuesWithoutTranslation) {
    theme.Add("2.5", MakeItem("n", 4));
    theme.SetExternalValue("1", "a");
    theme.SetExternalValue("c", "b");
    theme.SetExternalValue("a", "c");
    theme.SetExternalValue("0.5", "2.50");
    KrLogFile::GetInstance().ClearRecords();
    // Mode, value, position of the expected style (-1: the default style).
    const std::tuple<int, TovoVariant, int> cases[] = {
        {0, TovoVariant("b"), 1},  {0, TovoVariant("B"), -1}, {0, TovoVariant("1"), -1},
        {3, TovoVariant("c"), 2},  {1, TovoVariant("1"), 0},  {1, TovoVariant("c"), 1},
        {1, TovoVariant("b"), -1}, {1, TovoVariant(2.5), -1}, {1, TovoVariant(std::int32_t(7)), -1},
        {1, TovoVariant(0.5f), 3}, {1, TovoVariant(""), -1},  {1, TovoVariant(), -1},
        {2, TovoVariant("a"), 2},  {2, TovoVariant("b"), 1},  {2, TovoVariant(0.5f), 3},
        {2, TovoVariant(2.5), 3},  {2, TovoVariant(""), -1}};
    for (const auto& [nMode, value, nIndex] : cases) {
        theme.SetExternalValueMode(nMode);
        EXPECT_EQ(StyleAt(nIndex), theme.FindStyle(value)) << nMode << value.ToString().Str();
        if (value.GetType() == TovoVariant::Text) {
            EXPECT_EQ(StyleAt(nIndex), theme.FindStyle(value.GetText()))
                << nMode << value.ToString().Str();
        }
    }
    // Mode 1 without a translation: "b" by both lookups, 2.5 as a number, 7 by its text.
    const std::string text = "400 EGi067 Src/Theme3DBase/KrTheme3DUnique 227|";
    EXPECT_EQ(text + text + "400 EGi069 Src/Theme3DBase/KrTheme3DUnique 179|" + text, Logs());
    theme.SetExternalValueMode(0);
    theme.SetVisibleAt(1, FALSE);
    EXPECT_EQ(StyleAt(-1), theme.FindStyle(TovoMBString("b")));
}

// The plain walk over the values, as the index must answer it.
const KrStyle* WalkLookup(KrTheme3DUnique& theme, double dNumber) {
    for (int i = 0; i < theme.GetCount(); ++i) {
        const double dDiff = theme.GetValueAt(i).ToDouble() - dNumber;
        if (dDiff > -1e-10 && dDiff < 1e-10)
            return theme.IsVisibleAt(i) ? &theme.GetStyleAt(i) : &theme.GetDefaultStyle();
    }
    return &theme.GetDefaultStyle();
}

TEST(UniqueNumbers, IndexAnswersAsThePlainWalkUnderRandomValuesAndChanges) {
    std::mt19937 random(20090106);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const char* texts[] = {"x", "nan", "inf", "-inf", "-0", " 4", "1e308", "-1e308", "5e-324"};
    // Bucket edges (integers), bucket insides (0.3, 123456.789), and magnitudes past 2^43.
    const double bases[] = {0.0, 1.0, -3.5, 1e-10, 123456.789, 1e12, 0.3, 9e12};
    for (int nRound = 0; nRound < 20; ++nRound) {
        KrTheme3DUnique theme;
        for (int nStep = 0; nStep < 400; ++nStep) {
            const double d = bases[pick(8)] + (pick(21) - 10) * 2.5e-11 * (pick(3) ? 1.0 : 1e4);
            char sz[32];
            std::snprintf(sz, sizeof sz, "%.*g", 6 + pick(12), d);
            const TovoMBString text = pick(8) ? TovoMBString(sz) : TovoMBString(texts[pick(9)]);
            const int nCount = theme.GetCount(), nAction = nCount ? pick(6) : 0;
            if (nAction < 4)
                theme.InsertItem(pick(nCount + 2) - 1, text, MakeItem("", 1, pick(4)));
            else if (nAction == 4)
                theme.SetValueAt(pick(nCount), text);
            else
                theme.RemoveAt(pick(nCount), 1 + pick(2));
            ASSERT_EQ(WalkLookup(theme, d), theme.FindStyle(TovoVariant(d)))
                << "round " << nRound << " step " << nStep << " number " << d;
        }
    }
}

// The text index against a walk over the values: lengths around the 16 bytes the index keeps
// inline and the 8-byte words it compares, near-equal texts from a small alphabet.
TEST(UniqueTexts, IndexAnswersAsTheWalkUnderRandomTextsAndChanges) {
    std::mt19937 random(20031211);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    auto text = [&] {
        const int lengths[] = {1, 7, 8, 9, 15, 16, 17, 31, 32, 33, 40};
        std::string s(static_cast<std::size_t>(lengths[pick(11)]), 'a');
        for (char& c : s)
            c = static_cast<char>('a' + pick(2));
        return TovoMBString(s);
    };
    for (int nRound = 0; nRound < 4; ++nRound) {
        KrTheme3DUnique theme;
        for (int nStep = 0; nStep < 600; ++nStep) {
            const TovoMBString value = text();
            const int nCount = theme.GetCount(), nAction = nCount ? pick(8) : 0;
            if (nAction < 5)
                theme.InsertItem(pick(nCount + 2) - 1, value, MakeItem("", 1));
            else if (nAction == 5)
                theme.SetValueAt(pick(nCount), value);
            else if (nAction == 6)
                theme.SetVisibleAt(pick(nCount), static_cast<unsigned char>(pick(2)));
            else
                theme.RemoveAt(pick(nCount), 1 + pick(2));
            for (const TovoMBString& query : {value, text()}) {
                const KrStyle* pExpected = &theme.GetDefaultStyle();
                for (int i = 0; i < theme.GetCount(); ++i)
                    if (theme.GetValueAt(i) == query && theme.IsVisibleAt(i))
                        pExpected = &theme.GetStyleAt(i);
                ASSERT_EQ(pExpected, theme.FindStyle(query))
                    << "round " << nRound << " step " << nStep << " " << query.Str();
            }
        }
    }
}

} // namespace
