#include "Theme3DBase/KrTheme3DUnique.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace KRS;
using TOVO::TovoMBString;
using TOVO::TovoVariant;

namespace {

KrTheme3DItem MakeItem(const char* szCaption, unsigned nRed, bool bVisible = true) {
    KrTheme3DItem item;
    item.m_strCaption = szCaption;
    item.m_Style.SetFillColor(TOVORGB(nRed, 0, 0));
    item.m_bVisible = bVisible ? TRUE : FALSE;
    return item;
}

std::vector<std::string> Values(KrTheme3DUnique& theme) {
    std::vector<std::string> values;
    for (int i = 0; i < theme.GetCount(); ++i)
        values.push_back(theme.GetValueAt(i).Str());
    return values;
}

using Strings = std::vector<std::string>;

class UniqueTest : public ::testing::Test {
protected:
    void SetUp() override {
        KrLogFile::GetInstance().ClearRecords();
        theme.Add("a", MakeItem("A", 1));
        theme.Add("b", MakeItem("B", 2));
        theme.Add("c", MakeItem("C", 3));
        KrStyle def;
        def.SetFillColor(TOVORGB(0, 0, 99));
        theme.SetDefaultStyle(def);
    }
    const KrStyle* Default() const { return &theme.GetDefaultStyle(); }
    KrTheme3DUnique theme;
};

TEST_F(UniqueTest, KeepsInsertionOrderAndRefusesDuplicates) {
    EXPECT_EQ(1, theme.GetType());
    EXPECT_TRUE(theme.InsertItem(1, "x", MakeItem("X", 4)));
    EXPECT_TRUE(theme.InsertItem(-1, "y", MakeItem("Y", 5)));
    EXPECT_TRUE(theme.InsertItem(99, "z", MakeItem("Z", 6)));
    EXPECT_TRUE(theme.Add("", MakeItem("empty", 7)));
    EXPECT_FALSE(theme.Add("b", MakeItem("other", 8)));
    EXPECT_FALSE(theme.InsertItem(0, "x", MakeItem("other", 8)));
    EXPECT_EQ((Strings{"a", "x", "b", "c", "y", "z", ""}), Values(theme));
    EXPECT_EQ("B", theme.GetCaptionAt(2).Str());
    TovoMBString caption = "untouched";
    EXPECT_FALSE(theme.FindCaption("q", caption));
    EXPECT_EQ("untouched", caption.Str());
    EXPECT_TRUE(theme.FindCaption("x", caption));
    EXPECT_EQ("X", caption.Str());
}

TEST_F(UniqueTest, SetValueAtMovesTheItemAndIgnoresEmptyOrPresentValues) {
    theme.SetValueAt(0, "b");
    theme.SetValueAt(0, "a");
    theme.SetValueAt(0, "");
    EXPECT_EQ((Strings{"a", "b", "c"}), Values(theme));
    theme.SetVisibleAt(1, FALSE);
    theme.SetValueAt(1, "B2");
    EXPECT_EQ((Strings{"a", "B2", "c"}), Values(theme));
    EXPECT_FALSE(theme.IsExist("b"));
    EXPECT_EQ("B", theme.GetCaptionAt(1).Str());
    EXPECT_FALSE(theme.IsVisibleAt(1));
    EXPECT_EQ(TOVORGB(2, 0, 0), theme.GetStyleAt(1).GetFillColor());
}

TEST_F(UniqueTest, IndexAccessOutsideTheValuesThrowsBeforeChanging) {
    EXPECT_THROW(theme.GetValueAt(3), std::out_of_range);
    EXPECT_THROW(theme.GetStyleAt(-1), std::out_of_range);
    EXPECT_THROW(theme.SetCaptionAt(3, "q"), std::out_of_range);
    EXPECT_THROW(theme.SetValueAt(3, "new"), std::out_of_range);
    EXPECT_NO_THROW(theme.SetValueAt(3, "a")); // a present value returns before the access
    EXPECT_FALSE(theme.IsExist("new"));
    EXPECT_EQ((Strings{"a", "b", "c"}), Values(theme));
}

TEST_F(UniqueTest, RemoveAtLimitsTheCount) {
    theme.Add("d", MakeItem("D", 4));
    struct Case {
        int nIndex, nCount, nRemoved;
        Strings left;
    };
    const Case cases[] = {{1, 10, 3, {"a"}},
                          {4, 1, 0, {"a", "b", "c", "d"}},
                          {-1, 2, 0, {"a", "b", "c", "d"}},
                          {1, -2, 0, {"a", "b", "c", "d"}},
                          {0, 2, 2, {"c", "d"}}};
    for (const Case& c : cases) {
        KrTheme3DUnique copy(theme);
        EXPECT_EQ(c.nRemoved, copy.RemoveAt(c.nIndex, c.nCount)) << c.nIndex << "," << c.nCount;
        EXPECT_EQ(c.left, Values(copy));
        EXPECT_EQ(c.left.size() == 4, copy.IsExist("b") != FALSE);
    }
}

TEST_F(UniqueTest, RemoveAllKeepsExpressionAndDefaultStyle) {
    theme.SetExpression("road");
    theme.RemoveAll();
    EXPECT_EQ(0, theme.GetCount());
    EXPECT_FALSE(theme.IsExist("a"));
    EXPECT_EQ("road", theme.GetExpression().Str());
    EXPECT_EQ(TOVORGB(0, 0, 99), theme.GetDefaultStyle().GetFillColor());
}

TEST(UniqueExpression, SplitsAtTheSeparator) {
    const std::pair<const char*, Strings> cases[] = {
        {"f1 [#] f2", {"f1", "f2"}}, {"  one  ", {"one"}},     {"", {}},        {" \t ", {}},
        {"a[#] [#]b", {"a", "b"}},   {"a[#][#]b", {"a", "b"}}, {"[#]a", {"a"}}, {"x[#]", {"x"}}};
    for (const auto& c : cases) {
        KrTheme3DUnique theme;
        theme.SetExpression(c.first);
        Strings parts;
        for (const TovoMBString& part : theme.GetFieldExpressions())
            parts.push_back(part.Str());
        EXPECT_EQ(c.second, parts) << c.first;
        EXPECT_EQ(c.first, theme.GetExpression().Str());
    }
}

TEST(UniqueExpression, FieldNameAndFieldTypes) {
    KrTheme3DUnique theme;
    theme.SetAliasSuffix("_7");
    EXPECT_EQ("", theme.GetFieldName(TRUE).Str());
    EXPECT_EQ("Theme3DUnique_7", theme.GetFieldName(FALSE).Str());
    theme.SetExpression("f1 [#] f2");
    EXPECT_EQ("f1 [#] f2 as Theme3DUnique_7", theme.GetFieldName(TRUE).Str());
    const std::vector<int> accepted = {1, 2, 3, 4, 6, 7, 10, 16};
    for (int nType = -1; nType <= 17; ++nType) {
        const bool bAccepted = std::count(accepted.begin(), accepted.end(), nType) > 0;
        EXPECT_EQ(bAccepted, theme.CheckFieldType(nType) != FALSE) << nType;
    }
    EXPECT_FALSE(theme.IsValidValueCount(0));
    EXPECT_TRUE(theme.IsValidValueCount(1));
    KrStyle style;
    EXPECT_FALSE(theme.FindStyle(static_cast<KrRecordset*>(nullptr), style));
}

TEST_F(UniqueTest, CopiesAreDeepAndSelfAssignmentKeepsTheTheme) {
    theme.SetAliasSuffix("_s");
    theme.SetExpression("f");
    auto source = std::make_unique<KrTheme3DUnique>(theme);
    KrTheme3DUnique assigned;
    assigned.Add("old", MakeItem("O", 9));
    assigned = *source;
    source->SetCaptionAt(0, "changed");
    source.reset();
    for (KrTheme3DUnique* copy : {&theme, &assigned}) {
        *copy = *copy;
        EXPECT_EQ((Strings{"a", "b", "c"}), Values(*copy));
        EXPECT_EQ("A", copy->GetCaptionAt(0).Str());
        EXPECT_EQ(TOVORGB(3, 0, 0), copy->FindStyle(TovoMBString("c"))->GetFillColor());
        EXPECT_EQ("f as Theme3DUnique_s", copy->GetFieldName(TRUE).Str());
        EXPECT_EQ(TOVORGB(0, 0, 99), copy->GetDefaultStyle().GetFillColor());
    }
    EXPECT_FALSE(assigned.IsExist("old"));
}

TEST_F(UniqueTest, TextLookupGivesTheVisibleItemsStyle) {
    EXPECT_EQ(TOVORGB(2, 0, 0), theme.FindStyle(TovoMBString("b"))->GetFillColor());
    theme.SetVisibleAt(1, FALSE);
    EXPECT_EQ(Default(), theme.FindStyle(TovoMBString("b")));
    EXPECT_EQ(Default(), theme.FindStyle(TovoMBString("B")));
    EXPECT_EQ(Default(), theme.FindStyle(TovoVariant()));
    EXPECT_EQ(&theme.GetStyleAt(0), theme.FindStyle(TovoVariant("a")));
}

TEST_F(UniqueTest, ExternalValuesTranslateTheLookedUpValue) {
    theme.SetExternalValue("1", "a");
    theme.SetExternalValue("c", "b");
    struct Case {
        int nMode;
        const char* szValue;
        int nIndex; // -1: the default style
    };
    const Case cases[] = {{1, "1", 0}, {1, "c", 1}, {2, "1", 0},  {2, "c", 1},
                          {2, "a", 0}, {3, "c", 2}, {0, "1", -1}, {1, "", -1}};
    for (const Case& c : cases) {
        theme.SetExternalValueMode(c.nMode);
        const KrStyle* pExpected = c.nIndex < 0 ? Default() : &theme.GetStyleAt(c.nIndex);
        EXPECT_EQ(pExpected, theme.FindStyle(TovoMBString(c.szValue))) << c.nMode << c.szValue;
        EXPECT_EQ(pExpected, theme.FindStyle(TovoVariant(c.szValue))) << c.nMode << c.szValue;
    }
    theme.SetExternalValueMode(2);
    EXPECT_EQ(Default(), theme.FindStyle(TovoVariant()));
    EXPECT_TRUE(KrLogFile::GetInstance().GetRecords().empty()); // an empty value is never logged
}

void ExpectOneLog(const char* szCode, int nLine) {
    const auto records = KrLogFile::GetInstance().GetRecords();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(400, records[0].nLevel);
    EXPECT_EQ(szCode, records[0].strCode.Str());
    EXPECT_EQ("Src/Theme3DBase/KrTheme3DUnique", records[0].strSource.Str());
    EXPECT_EQ(nLine, records[0].nLine);
    KrLogFile::GetInstance().ClearRecords();
}

TEST_F(UniqueTest, UntranslatedValuesInModeOneAreLogged) {
    theme.Add("2.5", MakeItem("n", 10));
    theme.SetExternalValue("a", "c");
    theme.SetExternalValueMode(1);
    EXPECT_EQ(Default(), theme.FindStyle(TovoMBString("b")));
    ExpectOneLog("EGi067", 227);
    EXPECT_EQ(Default(), theme.FindStyle(TovoVariant(std::int32_t(7))));
    ExpectOneLog("EGi067", 227);
    EXPECT_EQ(Default(), theme.FindStyle(TovoVariant(2.5)));
    ExpectOneLog("EGi069", 179);
    theme.SetExternalValue("0.5", "2.50");
    EXPECT_EQ(&theme.GetStyleAt(3), theme.FindStyle(TovoVariant(0.5f)));
    EXPECT_EQ(&theme.GetStyleAt(2), theme.FindStyle(TovoMBString("a")));
    EXPECT_TRUE(KrLogFile::GetInstance().GetRecords().empty());
}

TEST(UniqueNumbers, FloatingPointValuesMatchWithinTheTolerance) {
    KrTheme3DUnique theme;
    const char* values[] = {"abc", "2.00000000001", "2", "2.0", "3", "1e-10", "0.1", "nan", "-7"};
    for (int i = 0; i < 9; ++i)
        theme.Add(values[i], MakeItem(values[i], static_cast<unsigned>(i)));
    theme.SetVisibleAt(8, FALSE);
    const KrStyle* pDefault = &theme.GetDefaultStyle();
    const std::pair<TovoVariant, int> cases[] = {
        {TovoVariant(2.0), 1},
        {TovoVariant(1.99999999995), 1},
        {TovoVariant(3.0), 4},
        {TovoVariant(0.0), 0},
        {TovoVariant(5e-11), 0},
        {TovoVariant(1e-10), 5}, // 1e-10 is not within 1e-10 of 0
        {TovoVariant(-1e-10), -1},
        {TovoVariant(0.1f), 6}, // the float's text is "0.1"
        {TovoVariant(-7.0), -1},
        {TovoVariant(std::nan("")), -1},
        {TovoVariant(std::numeric_limits<double>::infinity()), -1},
        {TovoVariant(std::int32_t(2)), 2},
        {TovoVariant(std::int16_t(3)), 4}};
    for (const auto& c : cases) {
        const KrStyle* pExpected = c.second < 0 ? pDefault : &theme.GetStyleAt(c.second);
        EXPECT_EQ(pExpected, theme.FindStyle(c.first)) << c.first.ToString().Str();
    }
    theme.RemoveAt(0, 1); // 0 and 1e-10 lie exactly the tolerance apart: no match
    EXPECT_EQ(pDefault, theme.FindStyle(TovoVariant(0.0)));
    theme.SetValueAt(0, "3.00000000009"); // now the first 3 in theme order
    EXPECT_EQ(&theme.GetStyleAt(0), theme.FindStyle(TovoVariant(3.0)));
    EXPECT_EQ(&theme.GetStyleAt(1), theme.FindStyle(TovoVariant(2.0)));
}

std::string Digits(double d, int nPrecision) {
    char sz[64];
    std::snprintf(sz, sizeof sz, "%.*g", nPrecision, d);
    return sz;
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
    auto randomNumber = [&]() {
        const double bases[] = {0.0, 1.0, 4.0, -3.5, 1e-10, 123456.789, 1e12};
        return bases[pick(7)] + (pick(21) - 10) * 2.5e-11 * (pick(3) == 0 ? 1e4 : 1.0);
    };
    for (int nRound = 0; nRound < 20; ++nRound) {
        KrTheme3DUnique theme;
        std::vector<double> queries = {std::nan(""), std::numeric_limits<double>::infinity()};
        for (int nStep = 0; nStep < 400; ++nStep) {
            const double d = randomNumber();
            TovoMBString text =
                pick(8) == 0 ? TovoMBString(texts[pick(9)]) : TovoMBString(Digits(d, 6 + pick(12)));
            queries.push_back(d);
            const int nAction = pick(10);
            if (nAction < 6)
                theme.InsertItem(pick(theme.GetCount() + 2) - 1, text,
                                 MakeItem("", 1, pick(4) > 0));
            else if (nAction < 8 && theme.GetCount() > 0)
                theme.SetValueAt(pick(theme.GetCount()), text);
            else if (nAction == 8)
                theme.RemoveAt(pick(theme.GetCount() + 1), pick(3));
            else if (theme.GetCount() > 0)
                theme.SetVisibleAt(pick(theme.GetCount()), static_cast<unsigned char>(pick(2)));
            const double dQuery =
                queries[static_cast<std::size_t>(pick(static_cast<int>(queries.size())))];
            ASSERT_EQ(WalkLookup(theme, dQuery), theme.FindStyle(TovoVariant(dQuery)))
                << "round " << nRound << " step " << nStep << " query " << dQuery;
        }
    }
}

} // namespace
