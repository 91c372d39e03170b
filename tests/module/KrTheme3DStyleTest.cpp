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
