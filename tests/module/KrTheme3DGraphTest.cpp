// The graph theme's model: items, array items and join keys, settings, the modified flag, the
// query definition and copying; the chart definition it holds; the style theme, its sibling
// over the base.
#include "Theme3DBase/KrTheme3DGraph.h"
#include "Theme3DBase/Kr3DGraph.h"
#include "Theme3DBase/KrTheme3DStyle.h"
#include "VyGeometry600/KrGeometry.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using KRS::Kr3DGraphItem;
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

// The items as "caption[*][=value,value]": * marks an array item. "A B C*=1,2,3".
std::string Items(const KrTheme3DGraph& theme) {
    std::ostringstream out;
    for (int i = 0; i < theme.GetCount(); ++i) {
        const Kr3DGraphItem& item = theme.GetItem(i);
        out << (i ? " " : "") << item.m_strCaption.Str() << (item.m_nItemType == 2 ? "*" : "");
        for (int j = 0; j < item.m_arrValues.GetSize(); ++j)
            out << (j ? "," : "=") << item.m_arrValues[j];
    }
    return out.str();
}

std::vector<int> Keys(KrTheme3DGraph& theme) {
    return std::vector<int>(theme.GetJoinArrayField().begin(), theme.GetJoinArrayField().end());
}

// The field items A, B and the array item C {1, 2, 3}, join keys 10, 20, 30, flag cleared.
KrTheme3DGraph Filled() {
    KrTheme3DGraph theme;
    theme.Add("A");
    theme.Add("B");
    theme.AddArrayField("C", Array<double>({1, 2, 3}));
    theme.SetJoinArrayField(Array<int>({10, 20, 30}));
    theme.SetModifiedFlag(FALSE);
    return theme;
}

// Every operation that sets the flag, and every one that must not.
TEST(GraphThemeTest, ModifiedFlagFollowsTheListExactly) {
    using T = KrTheme3DGraph;
    const std::vector<std::pair<std::function<void(T&)>, bool>> cases = {
        {[](T& t) { t.SetGraphType(4); }, true},
        {[](T& t) { t.SetStyleAt(0, KRS::KrStyle()); }, true},
        {[](T& t) { t.GetStyleAt(0); }, true},
        {[](T& t) { t.Add("D"); }, true},
        {[](T& t) { t.RemoveAll(); }, true},
        {[](T& t) { t.SetMinSumSize(1); }, true},
        {[](T& t) { t.SetMaxSumSize(1); }, true},
        {[](T& t) { t.AddArrayField("E", {}); }, true},
        {[](T& t) { t.RemoveArrayField("C"); }, true},
        {[](T& t) { t.RemoveArrayField("Z"); }, false},
        {[](T& t) { t.RemoveArrayFieldAt("C", 9, 1); }, true},
        {[](T& t) { t.RemoveArrayFieldAt("Z", 0, 1); }, false},
        {[](T& t) { t.InsertArrayFieldAt("C", 0, nullptr, 0); }, true},
        {[](T& t) { t.InsertArrayFieldAt("N", 0, Array<double>({1})); }, false},
        {[](T& t) { t.SetJoinArrayField({}); }, true},
        {[](T& t) { t.InsertJoinArrayFieldAt(0, TovoArray<int>()); }, true},
        {[](T& t) { t.InsertJoinArrayFieldAt(0, nullptr, 3); }, true},
        {[](T& t) { t.RemoveJoinArrayFieldAt(3, 1); }, true},
        {[](T& t) { t.CalExtremumvValue(1, 2, TOVO::TovoRect2D(), 0, FALSE); }, true},
        {[](T& t) { t.SetCount(6); }, false},
        {[](T& t) { t.Insert(0, Kr3DGraphItem()); }, false},
        {[](T& t) { t.RemoveAt(0); }, false},
        {[](T& t) { t.ExchangeItem(0, 1); }, false},
        {[](T& t) { t.SetExpressionAt(0, "x"); }, false},
        {[](T& t) { t.SetCaptionAt(0, "x"); }, false},
        {[](T& t) { t.SetCaptionAt(0, "x", Array<double>({1})); }, false},
        {[](T& t) { t.GetJoinArrayField().Add(5); }, false},
        {[](T& t) { t.SetBarWidth(3); }, false},
        {[](T& t) { t.SetStartAngle(3); }, false},
        {[](T& t) { t.SetGraduatedMode(2); }, false},
        {[](T& t) { t.SetShowItemText(TRUE); }, false},
        {[](T& t) { t.SetItemTextStyle(KRS::KrTextStyle()); }, false},
        {[](T& t) { t.SetItemTextFormat(3); }, false},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        KrTheme3DGraph theme = Filled();
        cases[i].first(theme);
        EXPECT_EQ(theme.IsModified(), cases[i].second ? TRUE : FALSE) << "case " << i;
    }
}

TEST(GraphThemeTest, ItemsByIndexAndByExpression) {
    KrTheme3DGraph theme = Filled();
    EXPECT_EQ(KrTheme3DGraph().IndexOf("a"), -1);
    theme.Add("a");
    EXPECT_EQ(theme.IndexOf("a"), 0); // ignoring case, the first
    EXPECT_EQ(theme.IndexOf("AB"), -1);
    Kr3DGraphItem item;
    item.m_strCaption = "I";
    theme.Insert(1, item);
    theme.Insert(-1, item);
    theme.Insert(99, item);
    EXPECT_EQ(theme.RemoveAt(7), 0);
    EXPECT_EQ(theme.RemoveAt(-1), 0);
    EXPECT_EQ(theme.RemoveAt(2), 1);
    EXPECT_EQ(Items(theme), "A I C*=1,2,3 a I I");
    EXPECT_THROW(theme.GetItem(6), std::out_of_range);

    theme.SetCaptionAt(0, "X", Array<double>({4, 5}));
    EXPECT_EQ(theme.GetExpressionAt(0), "A");
    theme.SetCaptionAt(2, "Y", TovoArray<double>());
    EXPECT_EQ(Items(theme), "X*=4,5 I Y* a I I");
}

TEST(GraphThemeTest, ArrayFieldsByCaption) {
    KrTheme3DGraph theme = Filled();
    EXPECT_EQ(theme.AddArrayField("C", Array<double>({9})), 3);
    EXPECT_EQ(theme.RemoveArrayField("c"), FALSE); // case-sensitive
    EXPECT_EQ(theme.RemoveArrayField("C"), TRUE);  // the first of two
    EXPECT_EQ(Items(theme), "A B C*=9");

    // An existing caption takes the values at a value position, a new one is an item position.
    theme.InsertArrayFieldAt("C", 0, Array<double>({7, 8}));
    theme.InsertArrayFieldAt("C", 50, theme.GetItem(2).m_arrValues); // its own values
    const double values[] = {4, 5};
    theme.InsertArrayFieldAt("N", 1, values, 2);
    theme.InsertArrayFieldAt("M", -3, nullptr, 4);
    EXPECT_EQ(Items(theme), "A N*=4,5 B C*=7,8,9,7,8,9 M*");

    theme.RemoveArrayFieldAt("C", 1, 4);
    theme.RemoveArrayFieldAt("C", -1, 1);
    EXPECT_EQ(Items(theme), "A N*=4,5 B C*=7,9 M*");
    EXPECT_EQ(Keys(theme), (std::vector<int>{10, 20, 30})); // keys untouched
    EXPECT_EQ(theme.RemoveArrayField("C"), TRUE);
}

TEST(GraphThemeTest, JoinKeysChangeOnTheirOwn) {
    KrTheme3DGraph theme = Filled();
    theme.InsertJoinArrayFieldAt(5, Array<int>({40, 50}));
    const int keys[] = {1, 2};
    theme.InsertJoinArrayFieldAt(1, keys, 2);
    theme.InsertJoinArrayFieldAt(0, keys, 0);
    EXPECT_EQ(Keys(theme), (std::vector<int>{10, 1, 2, 20, 30, 40, 50}));
    EXPECT_EQ(Items(theme), "A B C*=1,2,3"); // values untouched
    EXPECT_EQ(theme.RemoveJoinArrayFieldAt(5, 10), 2);
    EXPECT_EQ(theme.RemoveJoinArrayFieldAt(5, 1), 0);
    EXPECT_EQ(theme.RemoveJoinArrayFieldAt(0, 0), 0);
    EXPECT_EQ(Keys(theme), (std::vector<int>{10, 1, 2, 20, 30}));
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
    EXPECT_EQ(theme.GetThemeQueryDef(names, FALSE), TRUE);
    EXPECT_EQ(std::vector<TovoMBString>(names.begin(), names.end()),
              (std::vector<TovoMBString>{"keep", "A as ThemeGraphX1", "C as ThemeGraphX3",
                                         "ThemeGraphX1", "ThemeGraphX2", "ThemeGraphX3"}));
    KrTheme3DGraph arraysOnly;
    arraysOnly.AddArrayField("a", {});
    TovoArray<TovoMBString> none;
    EXPECT_EQ(arraysOnly.GetThemeQueryDef(none, TRUE), FALSE);
    EXPECT_EQ(KrTheme3DGraph().GetThemeQueryDef(none, FALSE), TRUE);
    KrTheme3DGraph one;
    one.Add("Z");
    EXPECT_EQ(one.GetThemeQueryDef(none, TRUE), TRUE);
    EXPECT_EQ(none.GetSize(), 1);
}

TEST(GraphThemeTest, ExchangeItemSwapsThroughItemAssignment) {
    KrTheme3DGraph two;
    two.Add("F");
    two.AddArrayField("V", Array<double>({6, 7}));
    EXPECT_EQ(two.ExchangeItem(0, 2), FALSE);
    EXPECT_EQ(two.ExchangeItem(-1, 0), FALSE);
    EXPECT_EQ(two.ExchangeItem(1, 1), TRUE);
    EXPECT_EQ(Items(two), "F V*=6,7");
    EXPECT_EQ(two.ExchangeItem(0, 1), TRUE);
    EXPECT_EQ(Items(two), "V*=6,7 F=6,7"); // F had no values: both end up with V's
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
    source.CalExtremumvValue(4, 16, TOVO::TovoRect2D(), 0, FALSE);
    source.SetAliasSuffix("S");
    KRS::KrTextStyle textStyle;
    textStyle.SetHeight(11);
    source.SetItemTextStyle(textStyle);
    std::unique_ptr<KRS::KrGeometry>(source.ConvertToGeometry(nullptr, 0, TOVO::TovoPoint3D()));
    source.SetModifiedFlag(FALSE);

    KrTheme3DGraph target;
    target.AddArrayField("old", Array<double>({5}));
    target = source;
    EXPECT_EQ(Items(target), "A B C*=1,2,3");
    // Every member the document holds, the alias suffix of the base part included.
    EXPECT_EQ(target.ToXML(0, ""), source.ToXML(0, ""));
    EXPECT_EQ(target.GetBarSpacing(), source.GetBarSpacing());
    EXPECT_EQ(target.IsModified(), FALSE); // the source's flag

    const KrTheme3DGraph copy(target);
    target.SetExpressionAt(0, "changed");
    EXPECT_EQ(copy.GetExpressionAt(0), "A");
    EXPECT_EQ(copy.ToXML(0, ""), source.ToXML(0, ""));
    EXPECT_EQ(copy.GetBarSpacing(), source.GetBarSpacing());
    KrTheme3DGraph& self = target;
    target = self;
    EXPECT_EQ(Items(target), "A B C*=1,2,3");
    EXPECT_EQ(target.IsModified(), FALSE);
}

// ---- the chart definition the theme holds, and the style theme

// Reaches the items to give them values, which only the graph theme does otherwise.
struct Graph : KRS::Kr3DGraph {
    // One item per letter, caption "C<letter>"; item i of withValues gets the value i + 1.
    explicit Graph(const std::string& letters, std::vector<int> withValues = {}) {
        for (char e : letters)
            SetCaptionAt(Add(std::string(1, e).c_str()), ("C" + std::string(1, e)).c_str());
        for (int i : withValues)
            m_arrItems[i].m_arrValues.Add(i + 1.0);
    }
    // The expressions, each followed by its values: "A B2 C".
    std::string Items() const {
        std::string out;
        for (int i = 0; i < GetCount(); ++i) {
            out += (i ? " " : "") + GetExpressionAt(i).Str();
            for (double v : GetItem(i).m_arrValues)
                out += std::to_string(int(v));
        }
        return out;
    }
};

TEST(GraphTest, SetCountCutsGrowsWithDefaultsOrRepeatsTheLastItem) {
    KRS::Kr3DGraph empty;
    empty.SetCount(3);
    ASSERT_EQ(empty.GetCount(), 3);
    EXPECT_TRUE(empty.GetExpressionAt(2).IsEmpty());

    Graph two("AB", {1});
    KRS::KrStyle style;
    style.SetFillColor(TOVORGB(9, 9, 9));
    two.SetStyleAt(1, style);
    two.SetCount(5);
    EXPECT_EQ(two.Items(), "A B2 B2 B2 B2");
    EXPECT_EQ(two.GetCaptionAt(4), "CB");
    EXPECT_EQ(two.GetStyleAt(4), style);
    two.SetCount(1);
    two.SetCount(0);
    two.SetCount(-2);
    EXPECT_EQ(two.Items(), "A");
}

// The style theme's copies are the base's: they copy the base part, independently.
TEST(ThemeBaseClassesTest, StyleThemeCopiesItsBasePartAndKeepsTheBaseSlots) {
    KRS::KrTheme3DStyle source;
    source.SetAliasSuffix("_x");
    source.SetExternalValue("1", "one");
    const KRS::KrTheme3DStyle copied(source);
    KRS::KrTheme3DStyle assigned;
    EXPECT_EQ(&(assigned = source), &assigned);
    source.SetAliasSuffix("later");
    source.RemoveAllExternalValues();
    for (const KRS::KrTheme3DStyle* pTheme :
         {&copied, static_cast<const KRS::KrTheme3DStyle*>(&assigned)}) {
        EXPECT_EQ("_x", pTheme->GetAliasSuffix());
        EXPECT_EQ(1, pTheme->GetExternalValues().GetCount());
    }
    EXPECT_EQ(nullptr, source.FindStyle(TOVO::TovoVariant("a")));
    EXPECT_EQ(nullptr, source.GetTextStyle());
}

} // namespace
