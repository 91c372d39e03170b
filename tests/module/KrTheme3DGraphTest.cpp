// The graph theme: its model (items, array items and join keys, settings, the modified flag, the
// query definition, copying), the chart geometry of one feature (checked by the parameters the
// records keep; expected numbers worked out by hand from the chart formulas) and the layer's
// figures.
#include "Theme3DBase/KrTheme3DGraph.h"
#include "ThemeTestSupport.h"
#include "VyGeometry600/KrGeoCompound.h"
#include "VyGeometry600/KrGeoCylinder.h"
#include "VyGeometry600/KrGeoPieCylinder.h"
#include "VyGeometry600/KrGeoText3D.h"
#include "VyGeometry600/KrGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace KRS;
using ThemeTest::Array;
using TOVO::TovoArray;
using TOVO::TovoGetRValue;
using TOVO::TovoMBString;
using TOVO::TovoPoint3D;
using TOVO::TovoRect2D;

namespace {

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
        {[](T& t) { t.SetStyleAt(0, KrStyle()); }, true},
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
        {[](T& t) { t.SetItemTextStyle(KrTextStyle()); }, false},
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
    theme.Add("a");
    EXPECT_EQ(theme.IndexOf("a"), 0); // ignoring case, the first
    EXPECT_EQ(theme.IndexOf("AB"), -1);
    Kr3DGraphItem item;
    item.m_strCaption = "I";
    item.m_Style = ThemeTest::MakeItem("", 9).m_Style; // moves with its item
    theme.Insert(1, item);
    theme.Insert(-1, item);
    theme.Insert(99, item);
    theme.RemoveAt(7);
    EXPECT_EQ(theme.RemoveAt(-1), 0);
    theme.RemoveAt(2);
    EXPECT_THROW(theme.GetItem(6), std::out_of_range);
    EXPECT_EQ(TovoGetRValue(theme.GetStyleAt(1).GetFillColor()), 9u);

    theme.SetCaptionAt(0, "X", Array<double>({4, 5}));
    theme.SetCaptionAt(2, "Y", TovoArray<double>());
    EXPECT_EQ(Items(theme), "X*=4,5 I Y* a I I");
}

TEST(GraphThemeTest, ArrayFieldsByCaption) {
    KrTheme3DGraph theme = Filled();
    theme.AddArrayField("C", Array<double>({9}));
    EXPECT_EQ(theme.RemoveArrayField("c"), FALSE); // case-sensitive
    theme.RemoveArrayField("C");                   // the first of two

    // An existing caption takes the values at a value position, a new one is an item position.
    theme.InsertArrayFieldAt("C", 0, Array<double>({7, 8}));
    theme.InsertArrayFieldAt("C", 50, theme.GetItem(2).m_arrValues); // its own values
    const double values[] = {4, 5};
    theme.InsertArrayFieldAt("N", 1, values, 2);
    theme.InsertArrayFieldAt("M", -3, nullptr, 4);

    theme.RemoveArrayFieldAt("C", 1, 4);
    theme.RemoveArrayFieldAt("C", -1, 1);
    EXPECT_EQ(Items(theme), "A N*=4,5 B C*=7,9 M*");
    EXPECT_EQ(Keys(theme), (std::vector<int>{10, 20, 30})); // keys untouched
    EXPECT_EQ(theme.RemoveArrayField("C"), TRUE);
}

TEST(GraphThemeTest, QueryDefinitionNamesFieldsAndAliases) {
    KrTheme3DGraph theme;
    theme.SetAliasSuffix("X");
    theme.Add("A");
    theme.AddArrayField("arr", {});
    theme.Add("C");
    TovoArray<TovoMBString> names = Array<TovoMBString>({"keep"});
    theme.GetThemeQueryDef(names, TRUE);
    theme.GetThemeQueryDef(names, FALSE);
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
    EXPECT_EQ(two.ExchangeItem(-1, 0), FALSE);
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
    KrTextStyle textStyle;
    textStyle.SetHeight(11);
    source.SetItemTextStyle(textStyle);
    std::unique_ptr<KrGeometry>(source.ConvertToGeometry(nullptr, 0, TOVO::TovoPoint3D()));
    source.SetModifiedFlag(FALSE);

    KrTheme3DGraph target;
    target.AddArrayField("old", Array<double>({5}));
    target = source;
    // Every member the document holds, the alias suffix of the base part included.
    EXPECT_EQ(target.ToXML(0, ""), source.ToXML(0, ""));

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

// ---- chart geometry and the layer's figures

const TovoPoint3D kAnchor(10.0, 0.0, 5.0);
const TovoRect2D kTenByTen(0, 0, 10, 10);

struct Probe : KrTheme3DGraph {
    using KrTheme3DGraph::GetItemString;
};

// The numbers with twelve significant digits, space-separated.
std::string Numbers(std::initializer_list<double> values) {
    std::string out;
    for (double v : values) {
        char text[32];
        std::snprintf(text, sizeof text, "%.12g", v);
        out += (out.empty() ? "" : " ") + std::string(text);
    }
    return out;
}

// Each part as its recorded parameters, "; "-separated:
//   bar x y z radiusX radiusY height offsetX red/altitude
//   pie x y z radiusX radiusY sweep start end height red
//   text x y z "text"
std::string Parts(const KrGeometry* pChart) {
    const auto* chart = dynamic_cast<const KrGeoCompound*>(pChart);
    if (!chart)
        return "null";
    std::string out;
    for (int i = 0; i < chart->GetCount(); ++i) {
        out += i ? "; " : "";
        const KrGeometry* part = chart->GetAt(i);
        if (const auto* bar = dynamic_cast<const KrGeoCylinder*>(part)) {
            const TovoPoint3D& c = bar->GetCentre();
            out += "bar " +
                   Numbers({c.x, c.y, c.z, bar->GetRadiusX(), bar->GetRadiusY(), bar->GetHeight(),
                            bar->GetOffsetX()}) +
                   " " + std::to_string(TovoGetRValue(bar->GetStyle()->GetFillColor())) + "/" +
                   std::to_string(bar->GetStyle()->GetAltitudeMode());
        } else if (const auto* pie = dynamic_cast<const KrGeoPieCylinder*>(part)) {
            const TovoPoint3D& c = pie->GetCentre();
            out += "pie " +
                   Numbers({c.x, c.y, c.z, pie->GetRadiusX(), pie->GetRadiusY(), pie->GetSweep(),
                            pie->GetStartAngle(), pie->GetEndAngle(), pie->GetHeight()}) +
                   " " + std::to_string(TovoGetRValue(pie->GetStyle()->GetFillColor()));
        } else if (const auto* text = dynamic_cast<const KrGeoText3D*>(part)) {
            const TovoPoint3D& p = text->GetPointAt(0);
            out += "text " + Numbers({p.x, p.y, p.z}) + " \"" +
                   text->GetSubTextAt(0).GetText().Str() + "\"";
        }
    }
    return out;
}

// Three field items with fill colours red 1, 2, 3; bar width 1000; sizes 100 .. 200 for sums
// 0 .. 10. Bars 1000 m apart at the equator: a spacing of 2 * 1000 / 40075016.68557849 * 360
// = 0.0179663056824 degrees.
class GraphGeometryTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (unsigned i = 1; i <= 3; ++i) {
            KrStyle style;
            style.SetFillColor(TOVORGB(i, 0, 0));
            theme.SetStyleAt(theme.Add(("F" + std::to_string(i)).c_str()), style);
        }
        theme.SetBarWidth(1000);
        theme.SetMinSumSize(100);
        theme.SetMaxSumSize(200);
        theme.CalExtremumvValue(0.0, 10.0, kTenByTen, 0, FALSE);
    }

    std::string Chart(int nType, std::vector<double>& values, TovoPoint3D position = kAnchor) {
        theme.SetGraphType(nType);
        std::unique_ptr<KrGeometry> chart(
            theme.ConvertToGeometry(values.data(), static_cast<unsigned>(values.size()), position));
        return Parts(chart.get());
    }

    Probe theme;
};

TEST_F(GraphGeometryTest, BarsStandInARowAndSkipNonPositiveValues) {
    theme.SetShowItemText(TRUE);
    std::vector<double> values{2, 0, 2};
    // Sum 4: size 200 - 100 * (10 - 4) / 10 = 140, each bar 140 * 2 / 4 = 70 high; the row is
    // shifted back by one spacing.
    EXPECT_EQ(Chart(4, values), "bar 10 0 5 500 500 70 -0.0179663056824 1/0; "
                                "text 9.98203369432 0 75 \"50.0%\"; "
                                "bar 10.0359326114 0 5 500 500 70 -0.0179663056824 3/0; "
                                "text 10.0179663057 0 75 \"50.0%\"");
}

TEST_F(GraphGeometryTest, PieSweepRules) {
    theme.SetStartAngle(30);
    std::vector<double> one{5}; // size 150 for sum 5; no gap for a single value
    EXPECT_EQ(Chart(6, one), "pie 10 0 5 37.5 37.5 360 30 390 18.75 1");
    // Sum 200, size 2100. 1 of 200 is 1.8 degrees, under 1 after the gap: no slice, and the
    // next keeps its start.
    std::vector<double> small{1, 99, 100};
    EXPECT_EQ(Chart(6, small), "pie 10 0 5 525 525 176.2 31.8 208 262.5 2; "
                               "pie 10 0 5 525 525 178 210 388 262.5 3");
    // A replaced value counts as 0.001 in later starts; the sum (1, size 110) is not recomputed.
    std::vector<double> replaced{-1, 2};
    EXPECT_EQ(Chart(6, replaced), "pie 10 0 5 27.5 27.5 718 30.36 748.36 13.75 2");
}

TEST_F(GraphGeometryTest, EmptyFailedAndClippedCharts) {
    for (int type : {4, 6, 12}) {
        std::vector<double> none, nonPositive{0, -3, 0};
        EXPECT_EQ(Chart(type, none), "") << type;
        EXPECT_EQ(Chart(type, nonPositive), "") << type;
        EXPECT_EQ(nonPositive, (std::vector<double>{0.001, 0.001, 0.001}));
    }
    std::vector<double> values{1, 2};
    EXPECT_EQ(Chart(5, values), "null");
    theme.SetGraphType(4);
    EXPECT_EQ(
        Parts(std::unique_ptr<KrGeometry>(theme.ConvertToGeometry(nullptr, 3, kAnchor)).get()), "");
    // Values beyond the items count nowhere: sum 4, size 140.
    std::vector<double> extra{1, 1, 2, -5, 100};
    EXPECT_EQ(Chart(12, extra), "bar 10 0 5 500 500 35 0 1/0; bar 10 0 40 500 500 35 0 2/1; "
                                "bar 10 0 75 500 500 70 0 3/1");

    // Sizes 0: bars of zero height give the chart up, a pie has radius 0 (default grey style).
    KrTheme3DGraph bare;
    bare.Add("A");
    std::vector<double> four{4};
    for (int type : {4, 12, 6}) {
        bare.SetGraphType(type);
        std::unique_ptr<KrGeometry> chart(bare.ConvertToGeometry(four.data(), 1, kAnchor));
        EXPECT_EQ(Parts(chart.get()), type == 6 ? "pie 10 0 5 0 0 360 0 360 0 128" : "null");
    }
}

TEST_F(GraphGeometryTest, ItemTextsInEveryFormat) {
    theme.SetCaptionAt(0, "A");
    struct Case {
        int nFormat;
        double dValue, dSum;
        const char* szText;
    };
    const Case cases[] = {
        {1, 12.5, 50, "25.0%"},     {0, 12.5, 50, "25.0%"}, {9, 12.5, 50, "25.0%"},
        {2, 12.5, 50, "12.5"},      {2, 3, 50, "3"},        {2, 100, 50, "100"},
        {2, 0.000001, 50, "0"},     {3, 12.5, 50, "A"},     {4, 12.5, 50, "A 25.0%"},
        {5, 12.5, 50, "A 12.5"},    {5, 20, 50, "A 20"},    {1, 1, 0.00000000001, ""},
        {4, 1, -0.00000000001, ""}, {2, 1, 0, "1"},         {1, 1, 3, "33.3%"},
    };
    for (const Case& c : cases) {
        theme.SetItemTextFormat(c.nFormat);
        EXPECT_EQ(theme.GetItemString(c.dValue, 0, c.dSum), c.szText)
            << c.nFormat << " " << c.dValue;
    }
    theme.SetItemTextFormat(3);
    EXPECT_EQ(theme.GetItemString(1, 3, 2), ""); // no item 3: no caption
    // Trailing dots are cut from a chart's texts; an empty text stays empty. Sum 2: size 120.
    theme.SetCaptionAt(0, "Total...");
    theme.SetCaptionAt(1, "");
    theme.SetShowItemText(TRUE);
    std::vector<double> values{1, 1};
    EXPECT_EQ(Chart(12, values), "bar 10 0 5 500 500 60 0 1/0; text 10 0 35 \"Total\"; "
                                 "bar 10 0 65 500 500 60 0 2/1; text 10 0 95 \"\"");
}

TEST(GraphExtremesTest, ArrayItemsAddTheirExtremes) {
    KrTheme3DGraph theme;
    theme.Add("FIELD");
    theme.AddArrayField("a", Array({-5, 2, 3}));
    theme.AddArrayField("b", Array({4, 1}));
    theme.AddArrayField("empty", TovoArray<double>());
    // min 1 - 5 + 1 clamped to 0, max 10 + 3 + 4; absolute: 1 + 2 + 1 and 10 + 5 + 4; a count
    // of 0 adds nothing.
    const std::pair<std::pair<int, unsigned char>, const char*> cases[] = {
        {{1, FALSE}, "0 17 0 4.12310562562 2.83321334406"},
        {{1, TRUE}, "4 19 2 4.35889894354 2.94443897917"},
        {{0, TRUE}, "1 10 1 3.16227766017 2.30258509299"}};
    for (const auto& c : cases) {
        theme.CalExtremumvValue(1.0, 10.0, TovoRect2D(), c.first.first, c.first.second);
        EXPECT_EQ(Numbers({theme.GetMinSum(), theme.GetMaxSum(), theme.GetSqrtMinSum(),
                           theme.GetSqrtMaxSum(), theme.GetLogMaxSum()}),
                  c.second);
    }
}

TEST(GraphValuesTest, ArrayValuesByJoinKeyAndItemTypes) {
    KrTheme3DGraph theme;
    theme.AddArrayField("a", Array({1.5, 2.5}));
    theme.Add("F");
    for (int k : {10, 20, 30, 20})
        theme.GetJoinArrayField().Add(k);
    struct Case {
        int nIndex, nKey;
        double dValue;
    };
    for (const Case& c : {Case{0, 10, 1.5}, Case{0, 20, 2.5}, Case{0, 30, 0.0}, Case{0, 99, 0.0},
                          Case{1, 10, 0.0}, Case{2, 10, 0.0}, Case{-1, 10, 0.0}}) {
        double d = -7.0;
        theme.GetThemeGraphValues(d, c.nIndex, c.nKey);
        EXPECT_EQ(d, c.dValue) << c.nIndex << " " << c.nKey;
    }
    for (int i : {0, 1, 2}) // array, field, none
        EXPECT_EQ(theme.GetThemeGraphItemType(i), 2 - i);
}

} // namespace
