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
    item.m_TextStyle.SetHeight(14.0);
    return item;
}

bool SameItem(const KrTheme3DItem& a, const KrTheme3DItem& b) {
    return a.m_bVisible == b.m_bVisible && a.m_strCaption == b.m_strCaption &&
           a.m_Style == b.m_Style && a.m_TextStyle == b.m_TextStyle;
}

// Copy construction and assignment are the base's: they copy the base part, independently.
template <typename Theme> void ExpectBaseCopied() {
    Theme source;
    source.SetAliasSuffix("_x");
    source.SetExternalValue("1", "one");
    const Theme copied(source);
    Theme assigned;
    EXPECT_EQ(&(assigned = source), &assigned);
    source.SetAliasSuffix("later");
    source.RemoveAllExternalValues();
    for (const Theme* pTheme : {&copied, static_cast<const Theme*>(&assigned)}) {
        EXPECT_EQ("_x", pTheme->GetAliasSuffix());
        EXPECT_EQ(1, pTheme->GetExternalValues().GetCount());
    }
}

} // namespace

TEST(KrTheme3DItemTest, NewItemIsVisibleWithEmptyCaptionAndDefaultStyles) {
    const KrTheme3DItem item;
    EXPECT_EQ(TRUE, item.m_bVisible);
    EXPECT_TRUE(item.m_strCaption.IsEmpty());
    EXPECT_TRUE(item.m_Style == KrStyle());
    EXPECT_TRUE(item.m_TextStyle == KrTextStyle());
}

TEST(KrTheme3DItemTest, CopiesTakeAllFourMembersAndSelfAssignmentChangesNothing) {
    KrTheme3DItem source = MakeItem();
    KrTheme3DItem assigned;
    assigned = source;
    const KrTheme3DItem copied(source);
    source.m_bVisible = TRUE;
    source.m_strCaption = "changed";
    source.m_Style.SetFillColor(TOVORGB(1, 1, 1));
    source.m_TextStyle.SetFaceName("Sans");
    EXPECT_TRUE(SameItem(assigned, MakeItem()));
    EXPECT_TRUE(SameItem(copied, MakeItem()));
    KrTheme3DItem& alias = assigned;
    assigned = alias;
    EXPECT_TRUE(SameItem(assigned, MakeItem()));
}

TEST(KrTheme3DItemTest, StyleThemeCopiesItsBasePartAndKeepsTheBaseSlots) {
    ExpectBaseCopied<KrTheme3DStyle>();
    KrTheme3DStyle theme;
    EXPECT_EQ(nullptr, theme.FindStyle(TOVO::TovoVariant("a")));
    EXPECT_EQ(nullptr, theme.GetTextStyle());
}

TEST(KrTheme3DItemTest, SymbolThemeMakesNoGeometryAndAsksForNoFields) {
    ExpectBaseCopied<KrTheme3DSymbol>();
    KrTheme3DSymbol theme;
    double values[3] = {1.0, -2.0, std::numeric_limits<double>::quiet_NaN()};
    EXPECT_EQ(nullptr, theme.ConvertToGeometry(nullptr, 5, TOVO::TovoPoint3D(120.0, 30.0, 0.0)));
    EXPECT_EQ(nullptr, theme.ConvertToGeometry(values, 3, TOVO::TovoPoint3D(-180.0, -90.0, 1e9)));
    theme.Attach(values, 3);
    EXPECT_TRUE(values[0] == 1.0 && values[1] == -2.0);
    for (unsigned char bQueryFields : {FALSE, TRUE}) {
        TOVO::TovoArray<TovoMBString> arrFields;
        arrFields.Add("POP");
        EXPECT_EQ(FALSE, theme.GetThemeQueryDef(arrFields, bQueryFields));
        EXPECT_TRUE(arrFields.GetSize() == 1 && arrFields[0] == "POP");
    }
}
