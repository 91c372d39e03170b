// The chart geometry of one feature, checked by the parameters the records keep, and the layer's
// figures. Expected numbers were worked out by hand from the chart formulas.
#include "Theme3DBase/KrTheme3DGraph.h"
#include "VyGeometry600/KrGeoCompound.h"
#include "VyGeometry600/KrGeoCylinder.h"
#include "VyGeometry600/KrGeoPieCylinder.h"
#include "VyGeometry600/KrGeoText3D.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using namespace KRS;
using TOVO::TovoArray;
using TOVO::TovoMBString;
using TOVO::TovoPoint3D;
using TOVO::TovoRect2D;

namespace {

// Spacing of 1000 m bars at the equator: 2 * 1000 / 40075016.68557849 * 360 degrees.
const double kSpacing0 = 0.017966305682390427;
const TovoPoint3D kAnchor(10.0, 0.0, 5.0);

struct Probe : KrTheme3DGraph {
    using KrTheme3DGraph::GetItemString;
};

// Three field items with fill colours 1, 2, 3; bar width 1000; sizes 100 .. 200 for sums 0 .. 10.
class GraphGeometryTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (unsigned i = 1; i <= 3; ++i) {
            const int index = theme.Add(("F" + std::to_string(i)).c_str());
            KrStyle style;
            style.SetFillColor(TOVORGB(i, i, i));
            theme.SetStyleAt(index, style);
        }
        theme.SetBarWidth(1000);
        theme.SetMinSumSize(100);
        theme.SetMaxSumSize(200);
        theme.CalExtremumvValue(0.0, 10.0, TovoRect2D(0, 0, 10, 10), 0, FALSE);
    }

    std::unique_ptr<KrGeoCompound> Chart(int nType, std::vector<double>& values,
                                         TovoPoint3D position = kAnchor) {
        theme.SetGraphType(nType);
        KrGeometry* geometry =
            theme.ConvertToGeometry(values.data(), static_cast<unsigned>(values.size()), position);
        auto* compound = dynamic_cast<KrGeoCompound*>(geometry);
        EXPECT_EQ(compound == nullptr, geometry == nullptr);
        return std::unique_ptr<KrGeoCompound>(compound);
    }

    Probe theme;
};

const KrGeoCylinder& Cylinder(const KrGeoCompound& chart, int i) {
    const auto* part = dynamic_cast<const KrGeoCylinder*>(chart.GetAt(i));
    if (!part)
        throw std::runtime_error("part " + std::to_string(i) + " is no cylinder");
    return *part;
}

const KrGeoPieCylinder& Slice(const KrGeoCompound& chart, int i) {
    const auto* part = dynamic_cast<const KrGeoPieCylinder*>(chart.GetAt(i));
    if (!part)
        throw std::runtime_error("part " + std::to_string(i) + " is no pie slice");
    return *part;
}

const KrGeoText3D& Text(const KrGeoCompound& chart, int i) {
    const auto* part = dynamic_cast<const KrGeoText3D*>(chart.GetAt(i));
    if (!part || part->GetCount() != 1)
        throw std::runtime_error("part " + std::to_string(i) + " is no single text");
    return *part;
}

void ExpectPoint(const TovoPoint3D& p, double x, double y, double z) {
    EXPECT_DOUBLE_EQ(p.x, x);
    EXPECT_DOUBLE_EQ(p.y, y);
    EXPECT_DOUBLE_EQ(p.z, z);
}

TEST_F(GraphGeometryTest, BarSpacingFollowsTheLatitude) {
    std::vector<double> values{1, 1, 1};
    Chart(4, values, TovoPoint3D(0, 0, 0));
    EXPECT_DOUBLE_EQ(theme.GetBarSpacing(), kSpacing0);
    Chart(4, values, TovoPoint3D(0, 60, 0));
    EXPECT_DOUBLE_EQ(theme.GetBarSpacing(), 0.035932611364780848);
    Chart(99, values, TovoPoint3D(0, 0, 0)); // set before the type is looked at
    EXPECT_DOUBLE_EQ(theme.GetBarSpacing(), kSpacing0);
}

TEST_F(GraphGeometryTest, BarsStandInARowAndSkipNonPositiveValues) {
    theme.SetShowItemText(TRUE);
    std::vector<double> values{2, 0, 2};
    const auto chart = Chart(4, values);
    ASSERT_TRUE(chart);
    EXPECT_EQ(values[1], 0.001);
    // Sum 4: size 200 - 100 * (10 - 4) / 10 = 140, each bar 140 * 2 / 4 = 70 high.
    ASSERT_EQ(chart->GetCount(), 4); // bar, text, bar, text
    const KrGeoCylinder& first = Cylinder(*chart, 0);
    const KrGeoCylinder& last = Cylinder(*chart, 2);
    ExpectPoint(first.GetCentre(), 10.0, 0.0, 5.0);
    ExpectPoint(last.GetCentre(), 10.03593261136478, 0.0, 5.0);
    for (const KrGeoCylinder* bar : {&first, &last}) {
        EXPECT_DOUBLE_EQ(bar->GetRadiusX(), 500.0);
        EXPECT_DOUBLE_EQ(bar->GetRadiusY(), 500.0);
        EXPECT_DOUBLE_EQ(bar->GetHeight(), 70.0);
        EXPECT_DOUBLE_EQ(bar->GetOffsetX(), -kSpacing0);
        EXPECT_EQ(bar->GetOffsetY(), 0.0);
    }
    ASSERT_NE(first.GetStyle(), nullptr);
    EXPECT_EQ(first.GetStyle()->GetFillColor(), TOVORGB(1, 1, 1));
    EXPECT_EQ(last.GetStyle()->GetFillColor(), TOVORGB(3, 3, 3));
    ExpectPoint(Text(*chart, 1).GetPointAt(0), 9.9820336943176091, 0.0, 75.0);
    ExpectPoint(Text(*chart, 3).GetPointAt(0), 10.017966305682391, 0.0, 75.0);
    EXPECT_EQ(Text(*chart, 1).GetSubTextAt(0).GetText(), "50.0%");
    EXPECT_EQ(Text(*chart, 1).GetTextStyle(), theme.GetItemTextStyle());
}

TEST_F(GraphGeometryTest, StackedSegmentsPileUpAndLaterItemsStandRelativeToGround) {
    theme.SetShowItemText(TRUE);
    std::vector<double> values{1, 3};
    auto chart = Chart(12, values);
    ASSERT_TRUE(chart);
    ASSERT_EQ(chart->GetCount(), 4);
    // Size 140 again: segments 35 and 105 high.
    ExpectPoint(Cylinder(*chart, 0).GetCentre(), 10.0, 0.0, 5.0);
    EXPECT_DOUBLE_EQ(Cylinder(*chart, 0).GetHeight(), 35.0);
    ExpectPoint(Cylinder(*chart, 2).GetCentre(), 10.0, 0.0, 40.0);
    EXPECT_DOUBLE_EQ(Cylinder(*chart, 2).GetHeight(), 105.0);
    EXPECT_DOUBLE_EQ(Cylinder(*chart, 2).GetRadiusY(), 500.0);
    EXPECT_EQ(Cylinder(*chart, 0).GetOffsetX(), 0.0);
    EXPECT_EQ(Cylinder(*chart, 0).GetStyle()->GetAltitudeMode(), AltitudeClampToGround);
    EXPECT_EQ(Cylinder(*chart, 2).GetStyle()->GetAltitudeMode(), AltitudeRelativeToGround);
    EXPECT_EQ(Cylinder(*chart, 2).GetStyle()->GetFillColor(), TOVORGB(2, 2, 2));
    ExpectPoint(Text(*chart, 1).GetPointAt(0), 10.0, 0.0, 22.5);
    ExpectPoint(Text(*chart, 3).GetPointAt(0), 10.0, 0.0, 92.5);
    EXPECT_EQ(Text(*chart, 3).GetSubTextAt(0).GetText(), "75.0%");
    // The item's own style is not changed by the chart.
    EXPECT_EQ(theme.GetItem(1).m_Style.GetAltitudeMode(), AltitudeClampToGround);

    std::vector<double> skipFirst{0, 1, 3};
    chart = Chart(12, skipFirst);
    ASSERT_EQ(chart->GetCount(), 4);
    EXPECT_EQ(Cylinder(*chart, 0).GetStyle()->GetAltitudeMode(), AltitudeRelativeToGround);
    ExpectPoint(Cylinder(*chart, 0).GetCentre(), 10.0, 0.0, 5.0);
}

TEST_F(GraphGeometryTest, PieSlicesLeaveGapsAndCarryTheirTexts) {
    theme.SetShowItemText(TRUE);
    theme.SetStartAngle(30);
    std::vector<double> values{1, 3};
    const auto chart = Chart(6, values);
    ASSERT_TRUE(chart);
    ASSERT_EQ(chart->GetCount(), 4);
    // Size 140: radius 35, height 17.5; sweeps 90 - 2 and 270 - 2.
    const KrGeoPieCylinder& first = Slice(*chart, 0);
    const KrGeoPieCylinder& second = Slice(*chart, 2);
    ExpectPoint(first.GetCentre(), 10.0, 0.0, 5.0);
    EXPECT_DOUBLE_EQ(first.GetRadiusX(), 35.0);
    EXPECT_DOUBLE_EQ(first.GetRadiusY(), 35.0);
    EXPECT_DOUBLE_EQ(first.GetHeight(), 17.5);
    EXPECT_DOUBLE_EQ(first.GetSweep(), 88.0);
    EXPECT_DOUBLE_EQ(first.GetStartAngle(), 30.0);
    EXPECT_DOUBLE_EQ(first.GetEndAngle(), 118.0);
    EXPECT_DOUBLE_EQ(second.GetSweep(), 268.0);
    EXPECT_DOUBLE_EQ(second.GetStartAngle(), 120.0);
    EXPECT_DOUBLE_EQ(second.GetEndAngle(), 388.0);
    EXPECT_EQ(second.GetStyle()->GetFillColor(), TOVORGB(2, 2, 2));
    // Texts at 35 m (0.00031441034944183251 degrees) out along the middle of each slice.
    ExpectPoint(Text(*chart, 1).GetPointAt(0), 10.000086663237362, 0.00030223062572501538,
                5.0001572051747205);
    ExpectPoint(Text(*chart, 3).GetPointAt(0), 9.9999133367626385, -0.00030223062572501543,
                5.0001572051747205);
    EXPECT_EQ(Text(*chart, 1).GetSubTextAt(0).GetText(), "25.0%");
}

TEST_F(GraphGeometryTest, PieSweepRules) {
    theme.SetStartAngle(30);
    std::vector<double> one{5};
    auto chart = Chart(6, one);
    ASSERT_EQ(chart->GetCount(), 1);
    EXPECT_DOUBLE_EQ(Slice(*chart, 0).GetSweep(), 360.0); // no gap for a single value
    EXPECT_DOUBLE_EQ(Slice(*chart, 0).GetEndAngle(), 390.0);
    EXPECT_DOUBLE_EQ(Slice(*chart, 0).GetRadiusX(), 37.5); // size 150 for sum 5

    std::vector<double> equal{2, 2};
    chart = Chart(6, equal);
    ASSERT_EQ(chart->GetCount(), 2);
    EXPECT_DOUBLE_EQ(Slice(*chart, 0).GetSweep(), 178.0);
    EXPECT_DOUBLE_EQ(Slice(*chart, 1).GetSweep(), 178.0);
    EXPECT_DOUBLE_EQ(Slice(*chart, 1).GetStartAngle(), 210.0);

    // 1 of 200 is 1.8 degrees, under 1 after the gap: no slice, and the next keeps its start.
    std::vector<double> small{1, 99, 100};
    chart = Chart(6, small);
    ASSERT_EQ(chart->GetCount(), 2);
    EXPECT_DOUBLE_EQ(Slice(*chart, 0).GetSweep(), 176.2);
    EXPECT_DOUBLE_EQ(Slice(*chart, 0).GetStartAngle(), 31.8);
    EXPECT_EQ(Slice(*chart, 0).GetStyle()->GetFillColor(), TOVORGB(2, 2, 2));
    EXPECT_DOUBLE_EQ(Slice(*chart, 1).GetStartAngle(), 210.0);
}

TEST_F(GraphGeometryTest, ReplacedValuesCountInLaterPieStarts) {
    std::vector<double> values{-1, 2};
    const auto chart = Chart(6, values);
    ASSERT_EQ(chart->GetCount(), 1);
    EXPECT_EQ(values[0], 0.001);
    // The sum stays 1; the start uses the value as it stands now: 360 * 0.001 / 1.
    EXPECT_DOUBLE_EQ(Slice(*chart, 0).GetStartAngle(), 0.36);
    EXPECT_DOUBLE_EQ(Slice(*chart, 0).GetSweep(), 718.0);
}

TEST_F(GraphGeometryTest, GraduatedModesSizeTheChart) {
    std::vector<double> values{2, 2};
    theme.SetGraduatedMode(1); // extremes 0 and sqrt 10, sum 4 gives 2
    auto chart = Chart(4, values);
    EXPECT_DOUBLE_EQ(Cylinder(*chart, 0).GetHeight(), 81.622776601683796);
    theme.SetGraduatedMode(7); // any other code works as SquareRoot
    chart = Chart(4, values);
    EXPECT_DOUBLE_EQ(Cylinder(*chart, 0).GetHeight(), 81.622776601683796);
    theme.SetGraduatedMode(2); // ln 0 is minus infinity: every chart gets the maximum size
    chart = Chart(4, values);
    EXPECT_DOUBLE_EQ(Cylinder(*chart, 0).GetHeight(), 100.0);
}

TEST_F(GraphGeometryTest, EqualExtremesDivideByTheMaximumOrOne) {
    std::vector<double> values{2, 2};
    theme.CalExtremumvValue(5.0, 5.0, TovoRect2D(0, 0, 10, 10), 0, FALSE);
    auto chart = Chart(4, values); // 200 - 100 * (5 - 4) / 5 = 180
    EXPECT_DOUBLE_EQ(Cylinder(*chart, 0).GetHeight(), 90.0);
    theme.CalExtremumvValue(0.0, 0.0, TovoRect2D(0, 0, 10, 10), 0, FALSE);
    chart = Chart(4, values); // 200 - 100 * (0 - 4) / 1 = 600
    EXPECT_DOUBLE_EQ(Cylinder(*chart, 0).GetHeight(), 300.0);
}

TEST_F(GraphGeometryTest, EmptyAndFailedCharts) {
    std::vector<double> none;
    for (int type : {4, 6, 12}) {
        auto chart = Chart(type, none);
        ASSERT_TRUE(chart) << type;
        EXPECT_EQ(chart->GetCount(), 0);
        std::vector<double> nonPositive{0, -3, 0};
        chart = Chart(type, nonPositive);
        ASSERT_TRUE(chart) << type;
        EXPECT_EQ(chart->GetCount(), 0);
        EXPECT_EQ(nonPositive, (std::vector<double>{0.001, 0.001, 0.001}));
    }
    std::vector<double> values{1, 2};
    EXPECT_FALSE(Chart(0, values));
    EXPECT_FALSE(Chart(5, values));
    EXPECT_EQ(theme.ConvertToGeometry(nullptr, 3, kAnchor), nullptr); // type 5 still
    theme.SetGraphType(4);
    std::unique_ptr<KrGeometry> empty(theme.ConvertToGeometry(nullptr, 3, kAnchor));
    ASSERT_TRUE(empty);
    EXPECT_EQ(static_cast<KrGeoCompound*>(empty.get())->GetCount(), 0);
}

TEST_F(GraphGeometryTest, ZeroSizeGivesUpBarsButNotPies) {
    KrTheme3DGraph bare; // sizes 0, no sums computed
    bare.Add("A");
    std::vector<double> values{4};
    for (int type : {4, 12}) {
        bare.SetGraphType(type);
        EXPECT_EQ(bare.ConvertToGeometry(values.data(), 1, kAnchor), nullptr) << type;
    }
    bare.SetGraphType(6);
    std::unique_ptr<KrGeometry> pie(bare.ConvertToGeometry(values.data(), 1, kAnchor));
    const auto* chart = dynamic_cast<KrGeoCompound*>(pie.get());
    ASSERT_TRUE(chart);
    ASSERT_EQ(chart->GetCount(), 1);
    EXPECT_EQ(Slice(*chart, 0).GetRadiusX(), 0.0);
}

TEST_F(GraphGeometryTest, ValuesBeyondTheItemsAreIgnored) {
    std::vector<double> values{1, 1, 2, -5, 100};
    const auto chart = Chart(12, values);
    ASSERT_EQ(chart->GetCount(), 3);
    // Sum of the three items' values is 4: size 140, the last segment 70 high.
    EXPECT_DOUBLE_EQ(Cylinder(*chart, 2).GetHeight(), 70.0);
    EXPECT_EQ(values[3], -5.0);
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
    EXPECT_EQ(theme.GetItemString(1.0, 7, 2.0), "");
}

TEST_F(GraphGeometryTest, TrailingDotsOfATextAreCut) {
    theme.SetCaptionAt(0, "Total...");
    theme.SetItemTextFormat(3);
    theme.SetShowItemText(TRUE);
    std::vector<double> values{1};
    const auto chart = Chart(4, values);
    ASSERT_EQ(chart->GetCount(), 2);
    EXPECT_EQ(Text(*chart, 1).GetSubTextAt(0).GetText(), "Total");
}

TEST(GraphExtremesTest, DefaultsComeFromTheLayersExtent) {
    KrTheme3DGraph theme;
    EXPECT_EQ(theme.CalExtremumvValue(25.0, 100.0, TovoRect2D(0, 0, 10, 10), 0, FALSE), TRUE);
    EXPECT_EQ(theme.IsModified(), TRUE);
    // t = sqrt(100 / 64800)
    EXPECT_DOUBLE_EQ(theme.GetBarWidth(), 5011.1376933742467);
    EXPECT_DOUBLE_EQ(theme.GetMaxSumSize(), 25055.688466871237);
    EXPECT_DOUBLE_EQ(theme.GetMinSumSize(), 12527.844233435619);
    EXPECT_DOUBLE_EQ(theme.GetMaxSize().cx, 35434.094444444447);
    EXPECT_DOUBLE_EQ(theme.GetMinSize().cx, 17717.047222222223);
    EXPECT_DOUBLE_EQ(theme.GetSqrtMinSum(), 5.0);
    EXPECT_DOUBLE_EQ(theme.GetSqrtMaxSum(), 10.0);
    EXPECT_DOUBLE_EQ(theme.GetLogMaxSum(), 4.6051701859880918);

    // Set once: a second call keeps the width and the sizes but recomputes the sums.
    theme.CalExtremumvValue(1.0, 4.0, TovoRect2D(0, 0, 90, 90), 0, FALSE);
    EXPECT_DOUBLE_EQ(theme.GetBarWidth(), 5011.1376933742467);
    EXPECT_DOUBLE_EQ(theme.GetMinSumSize(), 12527.844233435619);
    EXPECT_DOUBLE_EQ(theme.GetLogMaxSum(), 1.3862943611198906);
}

TEST(GraphExtremesTest, MaximumSumZeroGivesEqualSizes) {
    KrTheme3DGraph theme;
    theme.CalExtremumvValue(-3.0, -1.0, TovoRect2D(0, 0, 10, 10), 0, FALSE);
    EXPECT_EQ(theme.GetMinSum(), 0.0);
    EXPECT_EQ(theme.GetMaxSum(), 0.0);
    EXPECT_EQ(theme.GetLogMinSum(), -std::numeric_limits<double>::infinity());
    EXPECT_DOUBLE_EQ(theme.GetMinSumSize(), 25055.688466871237);
    EXPECT_DOUBLE_EQ(theme.GetMaxSumSize(), 25055.688466871237);
}

TEST(GraphExtremesTest, ArrayItemsAddTheirExtremes) {
    KrTheme3DGraph theme;
    TovoArray<double> first, second;
    for (double v : {-5.0, 2.0, 3.0})
        first.Add(v);
    for (double v : {4.0, 1.0})
        second.Add(v);
    theme.Add("FIELD");
    theme.AddArrayField("a", first);
    theme.AddArrayField("b", second);
    theme.AddArrayField("empty", TovoArray<double>());
    theme.SetBarWidth(1);
    theme.SetMaxSumSize(1);

    theme.CalExtremumvValue(1.0, 10.0, TovoRect2D(), 1, FALSE); // min 1 - 5 + 1, max 10 + 3 + 4
    EXPECT_EQ(theme.GetMinSum(), 0.0);
    EXPECT_EQ(theme.GetMaxSum(), 17.0);
    EXPECT_DOUBLE_EQ(theme.GetSqrtMaxSum(), 4.1231056256176606);
    EXPECT_DOUBLE_EQ(theme.GetLogMaxSum(), 2.8332133440562162);
    theme.CalExtremumvValue(1.0, 10.0, TovoRect2D(), 1, TRUE); // min 1 + 2 + 1, max 10 + 5 + 4
    EXPECT_EQ(theme.GetMinSum(), 4.0);
    EXPECT_EQ(theme.GetMaxSum(), 19.0);
    theme.CalExtremumvValue(1.0, 10.0, TovoRect2D(), 0, TRUE); // count 0: nothing added
    EXPECT_EQ(theme.GetMinSum(), 1.0);
    EXPECT_EQ(theme.GetMaxSum(), 10.0);
    EXPECT_EQ(theme.GetBarWidth(), 1.0);
}

TEST(GraphValuesTest, ArrayValuesByJoinKeyAndItemTypes) {
    KrTheme3DGraph theme;
    TovoArray<double> values;
    values.Add(1.5);
    values.Add(2.5);
    TovoArray<int> keys;
    for (int k : {10, 20, 30, 20})
        keys.Add(k);
    theme.Add("F");
    theme.AddArrayField("a", values);
    theme.SetJoinArrayField(keys);
    struct Case {
        int nIndex, nKey;
        double dValue;
    };
    for (const Case& c : {Case{1, 10, 1.5}, Case{1, 20, 2.5}, Case{1, 30, 0.0}, Case{1, 99, 0.0},
                          Case{0, 10, 0.0}, Case{2, 10, 0.0}, Case{-1, 10, 0.0}}) {
        double d = -7.0;
        theme.GetThemeGraphValues(d, c.nIndex, c.nKey);
        EXPECT_EQ(d, c.dValue) << c.nIndex << " " << c.nKey;
    }
    EXPECT_EQ(theme.GetThemeGraphItemType(0), 1);
    EXPECT_EQ(theme.GetThemeGraphItemType(1), 2);
    EXPECT_EQ(theme.GetThemeGraphItemType(2), 0);
    EXPECT_EQ(theme.GetThemeGraphItemType(-1), 0);
}

} // namespace
