// The graph theme's model: items, array items and join keys, settings, the modified flag, the
// query definition and copying.
#include "Theme3DBase/KrTheme3DGraph.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using KRS::Kr3DGraphItem;
using KRS::KrStyle;
using KRS::KrTheme3DGraph;
using TOVO::TovoArray;
using TOVO::TovoMBString;

namespace {

template <typename T> TovoArray<T> Array(std::vector<T> values) {
    TovoArray<T> arr;
    for (const T& v : values)
        arr.Add(v);
    return arr;
}

template <typename T> std::vector<T> Vec(const TovoArray<T>& arr) {
    return std::vector<T>(arr.begin(), arr.end());
}

std::vector<std::string> Captions(const KrTheme3DGraph& theme) {
    std::vector<std::string> out;
    for (int i = 0; i < theme.GetCount(); ++i)
        out.push_back(theme.GetItem(i).m_strCaption.Str());
    return out;
}

std::vector<std::string> Strings(const TovoArray<TovoMBString>& arr) {
    std::vector<std::string> out;
    for (const TovoMBString& s : arr)
        out.push_back(s.Str());
    return out;
}

// A theme with the field items A, B and the array item C {1, 2, 3}, flag cleared.
KrTheme3DGraph Filled() {
    KrTheme3DGraph theme;
    theme.Add("A");
    theme.Add("B");
    theme.AddArrayField("C", Array<double>({1, 2, 3}));
    theme.SetJoinArrayField(Array<int>({10, 20, 30}));
    theme.SetModifiedFlag(FALSE);
    return theme;
}

TEST(GraphThemeTest, NewThemeHasTheDefaults) {
    const KrTheme3DGraph theme;
    EXPECT_EQ(theme.GetType(), 4);
    EXPECT_EQ(theme.GetCount(), 0);
    EXPECT_EQ(theme.GetGraphType(), 0);
    EXPECT_EQ(theme.GetBarWidth(), 0.0);
    EXPECT_EQ(theme.GetStartAngle(), 0.0);
    EXPECT_EQ(theme.GetItemTextFormat(), 1);
    EXPECT_EQ(theme.GetGraduatedMode(), 0);
    EXPECT_EQ(theme.IsShowItemText(), FALSE);
    EXPECT_EQ(theme.IsModified(), FALSE);
    EXPECT_EQ(theme.GetMinSumSize(), 0.0);
    EXPECT_EQ(theme.GetMaxSumSize(), 0.0);
    EXPECT_EQ(theme.GetItemTextStyle().GetForeColor(), TOVORGB(255, 255, 255));
    EXPECT_EQ(theme.GetItemTextStyle().GetAlign(), 7);
    EXPECT_EQ(theme.GetItemTextStyle().IsFixedSize(), TRUE);
    EXPECT_EQ(theme.GetItemTextStyle().GetHeight(), 8.0);
}

// Every operation that sets the flag, and a selection of those that must not.
TEST(GraphThemeTest, ModifiedFlagFollowsTheListExactly) {
    struct Case {
        const char* szName;
        std::function<void(KrTheme3DGraph&)> op;
        bool bSets;
    };
    const KrStyle style;
    const std::vector<Case> cases = {
        {"SetGraphType", [](KrTheme3DGraph& t) { t.SetGraphType(4); }, true},
        {"SetStyleAt", [&](KrTheme3DGraph& t) { t.SetStyleAt(0, style); }, true},
        {"GetStyleAt", [](KrTheme3DGraph& t) { t.GetStyleAt(0); }, true},
        {"Add", [](KrTheme3DGraph& t) { t.Add("D"); }, true},
        {"RemoveAll", [](KrTheme3DGraph& t) { t.RemoveAll(); }, true},
        {"SetMinSumSize", [](KrTheme3DGraph& t) { t.SetMinSumSize(1); }, true},
        {"SetMaxSumSize", [](KrTheme3DGraph& t) { t.SetMaxSumSize(1); }, true},
        {"AddArrayField", [](KrTheme3DGraph& t) { t.AddArrayField("E", {}); }, true},
        {"RemoveArrayField found", [](KrTheme3DGraph& t) { t.RemoveArrayField("C"); }, true},
        {"RemoveArrayField missing", [](KrTheme3DGraph& t) { t.RemoveArrayField("Z"); }, false},
        {"RemoveArrayFieldAt found", [](KrTheme3DGraph& t) { t.RemoveArrayFieldAt("C", 9, 1); },
         true},
        {"RemoveArrayFieldAt missing", [](KrTheme3DGraph& t) { t.RemoveArrayFieldAt("Z", 0, 1); },
         false},
        {"InsertArrayFieldAt existing",
         [](KrTheme3DGraph& t) { t.InsertArrayFieldAt("C", 0, nullptr, 0); }, true},
        {"InsertArrayFieldAt new",
         [](KrTheme3DGraph& t) { t.InsertArrayFieldAt("N", 0, Array<double>({1})); }, false},
        {"SetJoinArrayField", [](KrTheme3DGraph& t) { t.SetJoinArrayField({}); }, true},
        {"InsertJoinArrayFieldAt array",
         [](KrTheme3DGraph& t) { t.InsertJoinArrayFieldAt(0, TovoArray<int>()); }, true},
        {"InsertJoinArrayFieldAt pointer",
         [](KrTheme3DGraph& t) { t.InsertJoinArrayFieldAt(0, nullptr, 3); }, true},
        {"RemoveJoinArrayFieldAt nothing",
         [](KrTheme3DGraph& t) { t.RemoveJoinArrayFieldAt(3, 1); }, true},
        {"SetCount", [](KrTheme3DGraph& t) { t.SetCount(6); }, false},
        {"Insert", [](KrTheme3DGraph& t) { t.Insert(0, Kr3DGraphItem()); }, false},
        {"RemoveAt", [](KrTheme3DGraph& t) { t.RemoveAt(0); }, false},
        {"ExchangeItem", [](KrTheme3DGraph& t) { t.ExchangeItem(0, 1); }, false},
        {"SetExpressionAt", [](KrTheme3DGraph& t) { t.SetExpressionAt(0, "x"); }, false},
        {"SetCaptionAt", [](KrTheme3DGraph& t) { t.SetCaptionAt(0, "x"); }, false},
        {"SetCaptionAt values",
         [](KrTheme3DGraph& t) { t.SetCaptionAt(0, "x", Array<double>({1})); }, false},
        {"GetJoinArrayField", [](KrTheme3DGraph& t) { t.GetJoinArrayField().Add(5); }, false},
        {"SetBarWidth", [](KrTheme3DGraph& t) { t.SetBarWidth(3); }, false},
        {"SetStartAngle", [](KrTheme3DGraph& t) { t.SetStartAngle(3); }, false},
        {"SetGraduatedMode", [](KrTheme3DGraph& t) { t.SetGraduatedMode(2); }, false},
        {"SetShowItemText", [](KrTheme3DGraph& t) { t.SetShowItemText(TRUE); }, false},
        {"SetItemTextStyle", [](KrTheme3DGraph& t) { t.SetItemTextStyle(KRS::KrTextStyle()); },
         false},
        {"SetItemTextFormat", [](KrTheme3DGraph& t) { t.SetItemTextFormat(3); }, false},
    };
    for (const Case& c : cases) {
        KrTheme3DGraph theme = Filled();
        c.op(theme);
        EXPECT_EQ(theme.IsModified(), c.bSets ? TRUE : FALSE) << c.szName;
    }
}

TEST(GraphThemeTest, SizesKeepCxAsCyTimesRootTwo) {
    KrTheme3DGraph theme;
    theme.SetMinSumSize(10);
    theme.SetMaxSumSize(3);
    EXPECT_EQ(theme.GetMinSumSize(), 10.0);
    EXPECT_DOUBLE_EQ(theme.GetMinSize().cx, 14.142135623730951);
    EXPECT_DOUBLE_EQ(theme.GetMaxSize().cx, 4.2426406871192857);
}

TEST(GraphThemeTest, GraduatedModeKeepsTheLowByte) {
    KrTheme3DGraph theme;
    theme.SetGraduatedMode(258);
    EXPECT_EQ(theme.GetGraduatedMode(), 2);
    theme.SetGraduatedMode(-1);
    EXPECT_EQ(theme.GetGraduatedMode(), 255);
}

TEST(GraphThemeTest, IndexOfIgnoresCase) {
    KrTheme3DGraph theme;
    EXPECT_EQ(theme.IndexOf("pop"), -1);
    theme.Add("AREA");
    theme.Add("POP");
    theme.Add("pop");
    EXPECT_EQ(theme.IndexOf("pop"), 1);
    EXPECT_EQ(theme.IndexOf("po"), -1);
}

TEST(GraphThemeTest, InsertAndRemoveItems) {
    KrTheme3DGraph theme = Filled();
    Kr3DGraphItem item;
    item.m_strCaption = "I";
    theme.Insert(1, item);
    theme.Insert(-1, item);
    theme.Insert(99, item);
    EXPECT_EQ(Captions(theme), (std::vector<std::string>{"A", "I", "B", "C", "I", "I"}));
    EXPECT_EQ(theme.RemoveAt(6), 0);
    EXPECT_EQ(theme.RemoveAt(-1), 0);
    EXPECT_EQ(theme.RemoveAt(1), 1);
    EXPECT_EQ(Captions(theme), (std::vector<std::string>{"A", "B", "C", "I", "I"}));
}

TEST(GraphThemeTest, SetCaptionWithValuesMakesAnArrayItem) {
    KrTheme3DGraph theme = Filled();
    theme.SetCaptionAt(0, "Arr", Array<double>({4, 5}));
    const Kr3DGraphItem& item = theme.GetItem(0);
    EXPECT_EQ(item.m_strCaption, "Arr");
    EXPECT_EQ(item.m_strFieldExpression, "A");
    EXPECT_EQ(item.m_nItemType, 2);
    EXPECT_EQ(Vec(item.m_arrValues), (std::vector<double>{4, 5}));
    theme.SetCaptionAt(0, "Arr", TovoArray<double>());
    EXPECT_TRUE(theme.GetItem(0).m_arrValues.IsEmpty());
}

TEST(GraphThemeTest, ArrayFieldsShareCaptionsAndRemoveTheFirst) {
    KrTheme3DGraph theme;
    EXPECT_EQ(theme.AddArrayField("C", Array<double>({1})), 0);
    EXPECT_EQ(theme.AddArrayField("C", Array<double>({2})), 1);
    EXPECT_EQ(theme.GetItem(1).m_nItemType, 2);
    EXPECT_TRUE(theme.GetItem(1).m_strFieldExpression.IsEmpty());
    EXPECT_EQ(theme.RemoveArrayField("c"), FALSE); // case-sensitive
    EXPECT_EQ(theme.RemoveArrayField("C"), TRUE);
    EXPECT_EQ(Vec(theme.GetItem(0).m_arrValues), (std::vector<double>{2}));
    EXPECT_EQ(theme.RemoveArrayField("C"), TRUE);
    EXPECT_EQ(theme.RemoveArrayField("C"), FALSE);
}

TEST(GraphThemeTest, InsertArrayFieldAtMeansAValueOrAnItemPosition) {
    KrTheme3DGraph theme = Filled();
    theme.InsertArrayFieldAt("C", 1, Array<double>({8, 9}));
    EXPECT_EQ(Vec(theme.GetItem(2).m_arrValues), (std::vector<double>{1, 8, 9, 2, 3}));
    theme.InsertArrayFieldAt("C", 50, Array<double>({7}));
    EXPECT_EQ(Vec(theme.GetItem(2).m_arrValues), (std::vector<double>{1, 8, 9, 2, 3, 7}));
    EXPECT_EQ(theme.GetCount(), 3);

    theme.SetModifiedFlag(FALSE);
    const double values[] = {4, 5};
    theme.InsertArrayFieldAt("N", 1, values, 2);
    EXPECT_EQ(Captions(theme), (std::vector<std::string>{"A", "N", "B", "C"}));
    EXPECT_EQ(theme.GetItem(1).m_nItemType, 2);
    EXPECT_EQ(Vec(theme.GetItem(1).m_arrValues), (std::vector<double>{4, 5}));
    EXPECT_EQ(theme.IsModified(), FALSE);
    theme.InsertArrayFieldAt("M", -3, nullptr, 4);
    EXPECT_EQ(theme.GetItem(4).m_strCaption, "M");
    EXPECT_TRUE(theme.GetItem(4).m_arrValues.IsEmpty());
}

TEST(GraphThemeTest, InsertingAnItemsOwnValuesIntoItself) {
    KrTheme3DGraph theme = Filled();
    theme.InsertArrayFieldAt("C", 0, theme.GetItem(2).m_arrValues);
    EXPECT_EQ(Vec(theme.GetItem(2).m_arrValues), (std::vector<double>{1, 2, 3, 1, 2, 3}));
}

TEST(GraphThemeTest, RemoveArrayFieldAtTreatsValuesLikeTheArray) {
    KrTheme3DGraph theme = Filled();
    theme.RemoveArrayFieldAt("C", 1, 10);
    EXPECT_EQ(Vec(theme.GetItem(2).m_arrValues), (std::vector<double>{1}));
    theme.RemoveArrayFieldAt("C", -1, 1);
    EXPECT_EQ(Vec(theme.GetItem(2).m_arrValues), (std::vector<double>{1}));
    EXPECT_EQ(Vec(theme.GetJoinArrayField()), (std::vector<int>{10, 20, 30})); // keys untouched
}

TEST(GraphThemeTest, JoinKeysAreInsertedAndRemovedOnTheirOwn) {
    KrTheme3DGraph theme = Filled();
    theme.InsertJoinArrayFieldAt(5, Array<int>({40, 50}));
    EXPECT_EQ(Vec(theme.GetJoinArrayField()), (std::vector<int>{10, 20, 30, 40, 50}));
    const int keys[] = {1, 2};
    theme.InsertJoinArrayFieldAt(1, keys, 2);
    EXPECT_EQ(Vec(theme.GetJoinArrayField()), (std::vector<int>{10, 1, 2, 20, 30, 40, 50}));
    theme.InsertJoinArrayFieldAt(0, keys, 0);
    EXPECT_EQ(theme.GetJoinArrayField().GetSize(), 7);
    EXPECT_EQ(Vec(theme.GetItem(2).m_arrValues),
              (std::vector<double>{1, 2, 3})); // values untouched

    theme.SetJoinArrayField(Array<int>({1, 2, 3}));
    EXPECT_EQ(theme.RemoveJoinArrayFieldAt(1, 10), 2);
    EXPECT_EQ(Vec(theme.GetJoinArrayField()), (std::vector<int>{1}));
    theme.SetModifiedFlag(FALSE);
    EXPECT_EQ(theme.RemoveJoinArrayFieldAt(1, 1), 0);
    EXPECT_EQ(theme.RemoveJoinArrayFieldAt(0, 0), 0);
    EXPECT_EQ(theme.IsModified(), TRUE);
}

TEST(GraphThemeTest, QueryDefinitionNamesFieldsAndAliases) {
    KrTheme3DGraph theme;
    theme.SetAliasSuffix("X");
    theme.Add("A");
    theme.AddArrayField("arr", {});
    theme.Add("C");
    EXPECT_EQ(theme.GetFieldName(TRUE), "ThemeGraphX");

    TovoArray<TovoMBString> names = Array<TovoMBString>({"keep"});
    EXPECT_EQ(theme.GetThemeQueryDef(names, TRUE), TRUE);
    EXPECT_EQ(Strings(names),
              (std::vector<std::string>{"keep", "A as ThemeGraphX1", "C as ThemeGraphX3"}));

    TovoArray<TovoMBString> aliases;
    EXPECT_EQ(theme.GetThemeQueryDef(aliases, FALSE), TRUE);
    EXPECT_EQ(Strings(aliases),
              (std::vector<std::string>{"ThemeGraphX1", "ThemeGraphX2", "ThemeGraphX3"}));

    KrTheme3DGraph arraysOnly;
    arraysOnly.AddArrayField("a", {});
    TovoArray<TovoMBString> none;
    EXPECT_EQ(arraysOnly.GetThemeQueryDef(none, TRUE), FALSE);
    EXPECT_EQ(none.GetSize(), 0);
    KrTheme3DGraph empty;
    EXPECT_EQ(empty.GetThemeQueryDef(none, FALSE), TRUE);
    EXPECT_EQ(empty.GetThemeQueryDef(none, TRUE), FALSE);
    EXPECT_EQ(none.GetSize(), 0);
}

TEST(GraphThemeTest, ExchangeItemSwapsThroughItemAssignment) {
    KrTheme3DGraph two;
    two.Add("F");
    two.AddArrayField("V", Array<double>({6, 7}));
    EXPECT_EQ(two.ExchangeItem(0, 2), FALSE);
    EXPECT_EQ(two.ExchangeItem(-1, 0), FALSE);
    EXPECT_EQ(Captions(two), (std::vector<std::string>{"F", "V"}));

    EXPECT_EQ(two.ExchangeItem(0, 1), TRUE);
    EXPECT_EQ(Captions(two), (std::vector<std::string>{"V", "F"}));
    EXPECT_EQ(two.GetItem(0).m_nItemType, 2);
    EXPECT_EQ(two.GetItem(1).m_nItemType, 1);
    // The field item had no values, so both end up with the array item's.
    EXPECT_EQ(Vec(two.GetItem(0).m_arrValues), (std::vector<double>{6, 7}));
    EXPECT_EQ(Vec(two.GetItem(1).m_arrValues), (std::vector<double>{6, 7}));
    EXPECT_EQ(two.ExchangeItem(1, 1), TRUE);
    EXPECT_EQ(Captions(two), (std::vector<std::string>{"V", "F"}));
}

TEST(GraphThemeTest, AssignmentCopiesEveryMemberAndSelfAssignmentNothing) {
    KrTheme3DGraph source = Filled();
    source.SetGraphType(12);
    source.SetBarWidth(2.5);
    source.SetStartAngle(45);
    source.SetGraduatedMode(2);
    source.SetShowItemText(TRUE);
    source.SetItemTextFormat(5);
    source.SetMinSumSize(3);
    source.SetMaxSumSize(9);
    source.SetAliasSuffix("S");
    KRS::KrTextStyle textStyle;
    textStyle.SetHeight(11);
    source.SetItemTextStyle(textStyle);
    source.SetModifiedFlag(FALSE);

    KrTheme3DGraph target;
    target.Add("old");
    target.SetModifiedFlag(TRUE);
    target = source;
    EXPECT_EQ(Captions(target), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(Vec(target.GetItem(2).m_arrValues), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(target.GetGraphType(), 12);
    EXPECT_EQ(target.GetBarWidth(), 2.5);
    EXPECT_EQ(target.GetStartAngle(), 45.0);
    EXPECT_EQ(target.GetGraduatedMode(), 2);
    EXPECT_EQ(target.IsShowItemText(), TRUE);
    EXPECT_EQ(target.GetItemTextFormat(), 5);
    EXPECT_EQ(target.GetMinSize(), source.GetMinSize());
    EXPECT_EQ(target.GetMaxSumSize(), 9.0);
    EXPECT_EQ(target.GetItemTextStyle().GetHeight(), 11.0);
    EXPECT_EQ(target.GetAliasSuffix(), "S");
    EXPECT_EQ(Vec(target.GetJoinArrayField()), (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(target.IsModified(), FALSE); // the source's flag

    const KrTheme3DGraph copy(target);
    target.SetExpressionAt(0, "changed");
    EXPECT_EQ(copy.GetExpressionAt(0), "A");

    KrTheme3DGraph& self = target;
    target = self;
    EXPECT_EQ(target.GetCount(), 3);
    EXPECT_EQ(target.IsModified(), FALSE);
}

TEST(GraphThemeTest, GetStyleAtSetsTheFlagAndIndexAccessIsChecked) {
    KrTheme3DGraph theme = Filled();
    KrStyle style;
    style.SetLineWidth(6);
    theme.SetStyleAt(1, style);
    theme.SetModifiedFlag(FALSE);
    EXPECT_EQ(theme.GetStyleAt(1).GetLineWidth(), 6.0);
    EXPECT_EQ(theme.IsModified(), TRUE);
    EXPECT_THROW(theme.GetItem(3), std::out_of_range);
    EXPECT_THROW(theme.SetCaptionAt(3, "x", TovoArray<double>()), std::out_of_range);
}

} // namespace

namespace {

// Items moving inside the list go whole: an item without values never picks up the value list
// of the item whose place it takes (the items' own assignment would keep it).
TEST(GraphThemeTest, ItemsMoveWithTheirOwnValueLists) {
    const std::vector<std::pair<const char*, std::function<void(KrTheme3DGraph&)>>> ops = {
        {"RemoveAt", [](KrTheme3DGraph& t) { t.RemoveAt(0); }},
        {"RemoveArrayField", [](KrTheme3DGraph& t) { t.RemoveArrayField("V"); }},
        {"Insert", [](KrTheme3DGraph& t) { t.RemoveAt(1), t.Insert(0, Kr3DGraphItem()); }},
        {"InsertArrayFieldAt",
         [](KrTheme3DGraph& t) { t.RemoveAt(1), t.InsertArrayFieldAt("N", 0, nullptr, 0); }},
    };
    for (const auto& op : ops) {
        KrTheme3DGraph theme;
        theme.AddArrayField("V", Array<double>({6, 7}));
        theme.Add("F");
        op.second(theme);
        EXPECT_TRUE(theme.GetItem(0).m_arrValues.IsEmpty()) << op.first;
    }
}

} // namespace
