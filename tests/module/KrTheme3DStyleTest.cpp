// The two intermediate theme classes that every theme derives from.
#include "Theme3DBase/KrTheme3DStyle.h"
#include "Theme3DBase/KrTheme3DSymbol.h"

#include <gtest/gtest.h>

#include <limits>

using KRS::KrTheme3DStyle;
using KRS::KrTheme3DSymbol;
using TOVO::TovoMBString;

namespace {

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

TEST(ThemeBaseClassesTest, StyleThemeCopiesItsBasePartAndKeepsTheBaseSlots) {
    ExpectBaseCopied<KrTheme3DStyle>();
    KrTheme3DStyle theme;
    EXPECT_EQ(nullptr, theme.FindStyle(TOVO::TovoVariant("a")));
    EXPECT_EQ(nullptr, theme.GetTextStyle());
}

TEST(ThemeBaseClassesTest, SymbolThemeMakesNoGeometryAndAsksForNoFields) {
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
