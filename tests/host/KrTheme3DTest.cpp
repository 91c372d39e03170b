// The theme base class: value conversions, the external-value table, its XML part and copying.
#include "VyScene600/KrTheme3D.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using KRS::KrTheme3D;
using TOVO::TovoMBString;
using TOVO::TovoVariant;

namespace {

// Opens the protected base part to the tests.
class TestTheme : public KrTheme3D {
public:
    using KrTheme3D::Swap;
    void SetType(int nType) { m_nType = nType; }
};

// A theme with every base member away from its default.
TestTheme MakeFilledTheme() {
    TestTheme theme;
    theme.SetType(4);
    theme.SetExternalValueMode(2);
    theme.SetAliasSuffix("_s1");
    theme.SetExternalValue("a<b&c", "\"x\" > ' \r\n'");
    theme.SetExternalValue("1", "one");
    theme.SetOffset(3, -4);
    return theme;
}

// Type, mode, suffix, offsets and table as one text: one comparison covers the base part.
std::string BaseText(KrTheme3D& theme) {
    int nX = 0, nY = 0;
    theme.GetOffset(nX, nY);
    std::string s =
        std::to_string(theme.GetType()) + "|" + std::to_string(theme.GetExternalValueMode()) + "|" +
        theme.GetAliasSuffix().Str() + "|" + std::to_string(nX) + "," + std::to_string(nY);
    for (const auto& e : theme.GetExternalValues())
        s += "|" + e.first.Str() + "=" + e.second.Str();
    return s;
}
const char* const kFilledBase = "4|2|_s1|3,-4|1=one|a<b&c=\"x\" > ' \r\n'";

} // namespace

TEST(KrTheme3DTest, ExternalValueTableTranslatesOrLeavesTheArgument) {
    KrTheme3D theme;
    theme.SetExternalValue("7", "seven");
    theme.SetExternalValue("7", "SEVEN");
    TovoMBString strSame("7"), strOut("untouched");
    EXPECT_EQ(TRUE, theme.GetExternalValue(strSame, strSame));
    EXPECT_EQ(FALSE, theme.GetExternalValue("8", strOut));
    EXPECT_EQ(strSame + "|" + strOut, "SEVEN|untouched");
    EXPECT_EQ(TRUE, theme.RemoveExternalValue("7"));
    EXPECT_EQ(FALSE, theme.RemoveExternalValue("7"));
}

// Both forward to the field value, whose text and numeric reading are checked here per type.
TEST(KrTheme3DTest, Variant2DoubleAndVariant2StringPerType) {
    using V = TovoVariant;
    const struct {
        V value;
        const char* szText;
        double dExpected; // -999 for no numeric reading
    } cases[] = {
        // clang-format off
        {V(uint8_t(200)), "200", 200.0}, {V(int16_t(-7)), "-7", -7.0},
        {V(int32_t(INT32_MIN)), "-2147483648", -2147483648.0},
        {V(int64_t(INT64_MAX)), "9223372036854775807", 9223372036854775808.0},
        {V(int64_t(1) << 53), "9007199254740992", 9007199254740992.0},
        {V(0.1f), "0.1", 0.100000001490116119384765625}, {V(0.1), "0.1", 0.1},
        {V(-2.25), "-2.25", -2.25}, {V(2.0), "2", 2.0}, {V(1e21), "1e+21", 1e21},
        {V(1.0 / 3.0), "0.3333333333333333", 1.0 / 3.0},
        // A date's text has its time only when it is not midnight; beyond year 9999 it has none.
        {V::FromDayNumber(41222.0 + 29103.0 / 86400.0), "2012-11-09 08:05:03",
         41222.0 + 29103.0 / 86400.0},
        {V::FromDayNumber(40913.0, V::DateTime), "2012-01-05", 40913.0},
        {V::FromDayNumber(40913.0 + 1.0 / 86400.0, V::Time), "2012-01-05 00:00:01",
         40913.0 + 1.0 / 86400.0},
        {V::FromDayNumber(36526.5, V::Date), "2000-01-01 12:00:00", 36526.5},
        {V::FromDayNumber(0.25, V::Time), "1899-12-30 06:00:00", 0.25},
        {V::FromDayNumber(-1.25, V::DateTime), "1899-12-29 06:00:00", -1.25},
        {V::FromDayNumber(1e9), "", 1e9},
        {V(" 12.5 "), " 12.5 ", 12.5}, {V("1e3"), "1e3", 1000.0}, {V("12abc"), "12abc", -999.0},
        {V(" a\xE9 "), " a\xE9 ", -999.0}, {V(""), "", -999.0}, {V(), "", -999.0},
        {V::FromBinary("1", 1), "", -999.0}
        // clang-format on
    };
    for (const auto& c : cases) {
        double dValue = -999.0;
        EXPECT_EQ(c.dExpected != -999.0, KrTheme3D::Variant2Double(c.value, dValue) == TRUE)
            << c.szText;
        EXPECT_EQ(c.dExpected, dValue) << c.szText;
        EXPECT_EQ(KrTheme3D::Variant2String(c.value), c.szText) << c.value.GetType();
    }
}

TEST(KrTheme3DTest, WritesItsElementsAndReadsThemBackInBothVersions) {
    TestTheme source = MakeFilledTheme();
    const TovoMBString strXML = source.ToXML(0, "");
    EXPECT_EQ(strXML,
              "<dkm:Theme3D><dkm:ThemeType>4</dkm:ThemeType><dkm:ExternalValueMode>2"
              "</dkm:ExternalValueMode><dkm:AliasSuffix>_s1</dkm:AliasSuffix><dkm:ExternalValues>"
              "<dkm:ExternalValue><dkm:OriginalValue>1</dkm:OriginalValue><dkm:Translation>one"
              "</dkm:Translation></dkm:ExternalValue><dkm:ExternalValue>"
              "<dkm:OriginalValue>a&lt;b&amp;c</dkm:OriginalValue>"
              "<dkm:Translation>\"x\" &gt; ' &#13;\n'</dkm:Translation></dkm:ExternalValue>"
              "</dkm:ExternalValues></dkm:Theme3D>");
    TestTheme target;
    target.SetExternalValue("stale", "gone");
    target.SetOffset(3, -4); // offsets are no part of the document
    ASSERT_EQ(TRUE, target.FromXML(strXML, 0, ""));
    // A type that is no integer refuses the document and changes nothing.
    EXPECT_EQ(FALSE, target.FromXML("<dkm:Theme3D><dkm:ThemeType>1.5</dkm:ThemeType></dkm:Theme3D>",
                                    0, ""));
    EXPECT_EQ(BaseText(target), kFilledBase);

    // The older version reads only the type and the mode.
    TestTheme old;
    old.SetAliasSuffix("mine");
    ASSERT_EQ(TRUE, old.FromXML(strXML, THEME3D_XML_VERSION_20031211, ""));
    EXPECT_EQ(BaseText(old), "4|2|mine|0,0");
    for (int nVersion : {20031212, 20090107, 1, -1}) {
        EXPECT_TRUE(source.ToXML(nVersion, "").IsEmpty()) << nVersion;
        EXPECT_EQ(FALSE, old.FromXML(strXML, nVersion, "")) << nVersion;
    }

    // The reader takes any order, passes over what it does not know and keeps what is missing or
    // no number (here the mode and the suffix); an external value without its original is lost.
    ASSERT_EQ(TRUE, target.FromXML("<dkm:Theme3D><dkm:GraphType>Pie</dkm:GraphType>"
                                   "<dkm:ExternalValueMode>many</dkm:ExternalValueMode>"
                                   "<dkm:ThemeType> 3 </dkm:ThemeType><dkm:ExternalValues>"
                                   "<dkm:ExternalValue><dkm:OriginalValue>v</dkm:OriginalValue>"
                                   "</dkm:ExternalValue><dkm:ExternalValue><dkm:Translation>lost"
                                   "</dkm:Translation></dkm:ExternalValue><dkm:ExternalValue>"
                                   "<dkm:Translation>T</dkm:Translation><dkm:OriginalValue>w"
                                   "</dkm:OriginalValue></dkm:ExternalValue></dkm:ExternalValues>"
                                   "</dkm:Theme3D>",
                                   0, ""));
    EXPECT_EQ(BaseText(target), "3|2|_s1|3,-4|v=|w=T");
}

TEST(KrTheme3DTest, CopiesAreIndependent) {
    TestTheme source = MakeFilledTheme();
    TestTheme copied(source);
    TestTheme assigned;
    assigned = source;
    TestTheme swapped;
    swapped.Swap(source);
    source.SetType(1);
    source.SetAliasSuffix("changed");
    source.SetExternalValue("1", "uno");
    source.SetOffset(0, 0);
    for (TestTheme* pCopy : {&copied, &assigned, &swapped})
        EXPECT_EQ(BaseText(*pCopy), kFilledBase);
}
