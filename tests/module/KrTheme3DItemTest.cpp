// The theme item and the two intermediate theme classes that every theme derives from.
#include "Theme3DBase/KrTheme3DItem.h"
#include "Theme3DBase/KrTheme3DStyle.h"
#include "Theme3DBase/KrTheme3DSymbol.h"

#include <gtest/gtest.h>

#include <limits>

using KRS::KrStyle;
using KRS::KrTextStyle;
using KRS::KrTheme3DItem;
using KRS::KrTheme3DStyle;
using KRS::KrTheme3DSymbol;
using TOVO::TovoMBString;

namespace {

KrTheme3DItem MakeItem() {
    KrTheme3DItem item;
    item.m_bVisible = FALSE;
    item.m_strCaption = "Motorway";
    item.m_Style.SetFillColor(TOVORGB(10, 20, 30));
    item.m_Style.SetIconName("/icons/a.png");
    item.m_TextStyle.SetFaceName("Serif");
    item.m_TextStyle.SetHeight(14.0);
    return item;
}

void ExpectItemLike(const KrTheme3DItem& expected, const KrTheme3DItem& actual) {
    EXPECT_EQ(expected.m_bVisible, actual.m_bVisible);
    EXPECT_EQ(expected.m_strCaption, actual.m_strCaption);
    EXPECT_TRUE(expected.m_Style == actual.m_Style);
    EXPECT_TRUE(expected.m_TextStyle == actual.m_TextStyle);
}

// Gives a theme a base part away from every default, through the public setters.
template <typename Theme> void FillBase(Theme& theme) {
    theme.SetExternalValueMode(1);
    theme.SetAliasSuffix("_x");
    theme.SetExternalValue("1", "one");
    theme.SetOffset(5, 6);
}

template <typename Theme> void ExpectFilledBase(Theme& theme) {
    EXPECT_EQ(1, theme.GetExternalValueMode());
    EXPECT_EQ("_x", theme.GetAliasSuffix());
    TovoMBString strValue("1");
    EXPECT_EQ(TRUE, theme.GetExternalValue(strValue, strValue));
    EXPECT_EQ("one", strValue);
    int nX = 0, nY = 0;
    theme.GetOffset(nX, nY);
    EXPECT_EQ(5, nX);
    EXPECT_EQ(6, nY);
}

// Copy construction and assignment copy the base part, and the copies stay independent.
template <typename Theme> void ExpectBaseCopied() {
    Theme source;
    FillBase(source);
    Theme copied(source);
    Theme assigned;
    assigned = source;
    source.SetAliasSuffix("later");
    source.RemoveAllExternalValues();
    source.SetExternalValueMode(0);
    ExpectFilledBase(copied);
    ExpectFilledBase(assigned);
    Theme& alias = assigned;
    assigned = alias;
    ExpectFilledBase(assigned);
}

} // namespace

TEST(KrTheme3DItemTest, NewItemIsVisibleWithEmptyCaptionAndDefaultStyles) {
    const KrTheme3DItem item;
    EXPECT_EQ(TRUE, item.m_bVisible);
    EXPECT_TRUE(item.m_strCaption.IsEmpty());
    EXPECT_TRUE(item.m_Style == KrStyle());
    EXPECT_TRUE(item.m_TextStyle == KrTextStyle());
}

TEST(KrTheme3DItemTest, AssignmentCopiesAllFourMembersIndependently) {
    KrTheme3DItem source = MakeItem();
    KrTheme3DItem assigned;
    assigned = source;
    const KrTheme3DItem copied(source);
    source.m_bVisible = TRUE;
    source.m_strCaption = "changed";
    source.m_Style.SetFillColor(TOVORGB(1, 1, 1));
    source.m_TextStyle.SetFaceName("Sans");
    ExpectItemLike(MakeItem(), assigned);
    ExpectItemLike(MakeItem(), copied);
}

TEST(KrTheme3DItemTest, SelfAssignmentLeavesItemUnchanged) {
    KrTheme3DItem item = MakeItem();
    KrTheme3DItem& alias = item;
    item = alias;
    ExpectItemLike(MakeItem(), item);
}

TEST(KrTheme3DItemTest, StyleThemeCopiesBasePartAndKeepsBaseSlots) {
    ExpectBaseCopied<KrTheme3DStyle>();
    KrTheme3DStyle theme;
    EXPECT_EQ(0, theme.GetType());
    EXPECT_EQ(nullptr, theme.FindStyle(TOVO::TovoVariant("a")));
    EXPECT_EQ(TRUE, theme.CheckFieldType(9));
    EXPECT_EQ(nullptr, theme.GetTextStyle());
}

TEST(KrTheme3DItemTest, SymbolThemeCopiesBasePart) {
    ExpectBaseCopied<KrTheme3DSymbol>();
}

TEST(KrTheme3DItemTest, SymbolMakesNoGeometryForAnyInput) {
    KrTheme3DSymbol theme;
    double values[3] = {1.0, -2.0, std::numeric_limits<double>::quiet_NaN()};
    struct Case {
        double* pValues;
        unsigned int nCount;
        TOVO::TovoPoint3D position;
    };
    const Case cases[] = {
        {nullptr, 0, TOVO::TovoPoint3D()},
        {nullptr, 5, TOVO::TovoPoint3D(120.0, 30.0, 0.0)},
        {values, 3, TOVO::TovoPoint3D(-180.0, -90.0, 1e9)},
        {values, std::numeric_limits<unsigned int>::max(), TOVO::TovoPoint3D()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(nullptr, theme.ConvertToGeometry(c.pValues, c.nCount, c.position)) << c.nCount;
    theme.Attach(values, 3);
    EXPECT_EQ(1.0, values[0]);
    EXPECT_EQ(-2.0, values[1]);
}

TEST(KrTheme3DItemTest, SymbolQueryDefIsFalseAndLeavesArray) {
    KrTheme3DSymbol theme;
    for (unsigned char bQueryFields : {FALSE, TRUE}) {
        TOVO::TovoArray<TovoMBString> arrFields;
        arrFields.Add("POP");
        arrFields.Add("AREA");
        EXPECT_EQ(FALSE, theme.GetThemeQueryDef(arrFields, bQueryFields));
        ASSERT_EQ(2, arrFields.GetSize());
        EXPECT_EQ("POP", arrFields[0]);
        EXPECT_EQ("AREA", arrFields[1]);
    }
    TOVO::TovoArray<TovoMBString> arrEmpty;
    EXPECT_EQ(FALSE, theme.GetThemeQueryDef(arrEmpty, TRUE));
    EXPECT_EQ(0, arrEmpty.GetSize());
}
