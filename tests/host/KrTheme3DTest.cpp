#include "VyScene600/KrTheme3D.h"
#include "VyScene600/KrTheme3DFactory.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <string>
#include <vector>

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
    theme.SetExternalValue("a<b&c", "\"x\" > 'y'");
    theme.SetExternalValue("1", "one");
    theme.SetOffset(3, -4);
    return theme;
}

void ExpectSameBase(const KrTheme3D& expected, KrTheme3D& actual) {
    EXPECT_EQ(expected.GetType(), actual.GetType());
    EXPECT_EQ(expected.GetExternalValueMode(), actual.GetExternalValueMode());
    EXPECT_EQ(expected.GetAliasSuffix(), actual.GetAliasSuffix());
    std::vector<std::pair<std::string, std::string>> want, got;
    for (const auto& e : expected.GetExternalValues())
        want.emplace_back(e.first.Str(), e.second.Str());
    for (const auto& e : actual.GetExternalValues())
        got.emplace_back(e.first.Str(), e.second.Str());
    EXPECT_EQ(want, got);
}

std::vector<std::string> ChildNames(const pugi::xml_node& node) {
    std::vector<std::string> names;
    for (const pugi::xml_node& child : node.children())
        names.emplace_back(child.name());
    return names;
}

} // namespace

TEST(KrTheme3DTest, BareBaseAnswersNeutrally) {
    KrTheme3D theme;
    EXPECT_EQ(0, theme.GetType());
    EXPECT_EQ(0, theme.GetExternalValueMode());
    EXPECT_TRUE(theme.GetAliasSuffix().IsEmpty());
    EXPECT_TRUE(theme.GetExternalValues().IsEmpty());
    EXPECT_EQ(nullptr, theme.FindStyle(TovoVariant(int32_t(1))));
    EXPECT_TRUE(theme.GetFieldName(TRUE).IsEmpty());
    EXPECT_TRUE(theme.GetExpression().IsEmpty());
    for (int nFieldType : {0, 3, 8, 9, 99})
        EXPECT_EQ(TRUE, theme.CheckFieldType(nFieldType)) << nFieldType;
    EXPECT_EQ(nullptr, theme.GetTextStyle());
    EXPECT_EQ("42", theme.GetStringFromVariant(TovoVariant(int32_t(42))));
    theme.SetAlonglineText(TRUE);
    EXPECT_EQ(FALSE, theme.IsAlonglineText());
    TOVO::TovoArray<TovoMBString> arrFields;
    arrFields.Add("kept");
    EXPECT_EQ(FALSE, theme.GetThemeQueryDef(arrFields, TRUE));
    ASSERT_EQ(1, arrFields.GetSize());
    EXPECT_EQ("kept", arrFields[0]);
    EXPECT_EQ(0, theme.GetThemeGraphItemType(0));
    double dValue = 7.5;
    theme.GetThemeGraphValues(dValue, 0, 1);
    EXPECT_EQ(0.0, dValue);
    double values[2] = {1.0, 2.0};
    EXPECT_EQ(nullptr, theme.ConvertToGeometry(values, 2, TOVO::TovoPoint3D(1, 2, 3)));
}

TEST(KrTheme3DTest, OffsetsAreStoredAndReturned) {
    KrTheme3D theme;
    int nX = 9, nY = 9;
    theme.GetOffset(nX, nY);
    EXPECT_EQ(0, nX);
    EXPECT_EQ(0, nY);
    theme.SetOffset(-12, 40);
    theme.GetOffset(nX, nY);
    EXPECT_EQ(-12, nX);
    EXPECT_EQ(40, nY);
}

TEST(KrTheme3DTest, ExternalValueTable) {
    KrTheme3D theme;
    theme.SetExternalValue("7", "seven");
    theme.SetExternalValue("7", "SEVEN");
    TovoMBString strSame("7");
    EXPECT_EQ(TRUE, theme.GetExternalValue(strSame, strSame));
    EXPECT_EQ("SEVEN", strSame);
    TovoMBString strOut("untouched");
    EXPECT_EQ(FALSE, theme.GetExternalValue("8", strOut));
    EXPECT_EQ("untouched", strOut);
    TovoMBString strMissing("8");
    EXPECT_EQ(FALSE, theme.GetExternalValue(strMissing, strMissing));
    EXPECT_EQ("8", strMissing);
    EXPECT_EQ(TRUE, theme.RemoveExternalValue("7"));
    EXPECT_EQ(FALSE, theme.RemoveExternalValue("7"));
    theme.SetExternalValue("a", "b");
    theme.RemoveAllExternalValues();
    EXPECT_EQ(0, theme.GetExternalValues().GetCount());
}

TEST(KrTheme3DTest, Variant2DoublePerType) {
    struct Case {
        const char* szName;
        TovoVariant value;
        unsigned char bExpected;
        double dExpected;
    };
    const unsigned char bytes[2] = {0x31, 0x32};
    const Case cases[] = {
        {"uint8", TovoVariant(uint8_t(200)), TRUE, 200.0},
        {"int16", TovoVariant(int16_t(-7)), TRUE, -7.0},
        {"int32", TovoVariant(int32_t(123456)), TRUE, 123456.0},
        {"int64", TovoVariant(int64_t(1099511627776)), TRUE, 1099511627776.0},
        {"float", TovoVariant(0.5f), TRUE, 0.5},
        {"double", TovoVariant(-2.25), TRUE, -2.25},
        {"date", TovoVariant::FromDayNumber(36526.5, TovoVariant::Date), TRUE, 36526.5},
        {"time", TovoVariant::FromDayNumber(0.25, TovoVariant::Time), TRUE, 0.25},
        {"datetime", TovoVariant::FromDayNumber(45000.75, TovoVariant::DateTime), TRUE, 45000.75},
        {"text number", TovoVariant(" 12.5 "), TRUE, 12.5},
        {"text exponent", TovoVariant("1e3"), TRUE, 1000.0},
        {"text negative", TovoVariant("-0.125"), TRUE, -0.125},
        {"text with tail", TovoVariant("12abc"), FALSE, 0},
        {"text word", TovoVariant("abc"), FALSE, 0},
        {"text empty", TovoVariant(""), FALSE, 0},
        {"null", TovoVariant(), FALSE, 0},
        {"binary", TovoVariant::FromBinary(bytes, 2), FALSE, 0},
    };
    for (const Case& c : cases) {
        double dValue = -999.0;
        EXPECT_EQ(c.bExpected, KrTheme3D::Variant2Double(c.value, dValue)) << c.szName;
        EXPECT_EQ(c.bExpected ? c.dExpected : -999.0, dValue) << c.szName;
    }
}

TEST(KrTheme3DTest, Variant2StringIsTheVariantText) {
    EXPECT_EQ("-17", KrTheme3D::Variant2String(TovoVariant(int16_t(-17))));
    EXPECT_EQ("road", KrTheme3D::Variant2String(TovoVariant("road")));
    EXPECT_EQ("", KrTheme3D::Variant2String(TovoVariant()));
}

TEST(KrTheme3DTest, WritesBaseElementsReadableByAnyParser) {
    const TovoMBString strXML = MakeFilledTheme().ToXML(0, "");
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(strXML.c_str()));
    const pugi::xml_node root = doc.document_element();
    EXPECT_STREQ("dkm:Theme3D", root.name());
    const std::vector<std::string> names = {"dkm:ThemeType", "dkm:ExternalValueMode",
                                            "dkm:AliasSuffix", "dkm:ExternalValues"};
    EXPECT_EQ(names, ChildNames(root));
    EXPECT_STREQ("4", root.child_value("dkm:ThemeType"));
    EXPECT_STREQ("2", root.child_value("dkm:ExternalValueMode"));
    EXPECT_STREQ("_s1", root.child_value("dkm:AliasSuffix"));
    // Entries in key order: "1" sorts before "a<b&c".
    std::vector<std::string> entries;
    for (const pugi::xml_node& e : root.child("dkm:ExternalValues").children("dkm:ExternalValue"))
        entries.push_back(std::string(e.child_value("dkm:OriginalValue")) + "=" +
                          e.child_value("dkm:Translation"));
    EXPECT_EQ((std::vector<std::string>{"1=one", "a<b&c=\"x\" > 'y'"}), entries);
}

TEST(KrTheme3DTest, RoundTripKeepsEveryPersistedMember) {
    TestTheme source = MakeFilledTheme();
    source.SetExternalValue(" ", " \r\n\t"); // white space only, on both sides
    for (int nVersion : {0, THEME3D_XML_VERSION}) {
        TestTheme target;
        target.SetExternalValue("stale", "gone");
        ASSERT_EQ(TRUE, target.FromXML(source.ToXML(nVersion, ""), nVersion, "")) << nVersion;
        ExpectSameBase(source, target);
    }
    EXPECT_EQ(source.ToXML(0, ""), source.ToXML(THEME3D_XML_VERSION, ""));
}

TEST(KrTheme3DTest, OldVersionHoldsOnlyTypeAndMode) {
    const TestTheme source = MakeFilledTheme();
    const TovoMBString strOld = source.ToXML(THEME3D_XML_VERSION_20031211, "");
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(strOld.c_str()));
    EXPECT_EQ((std::vector<std::string>{"dkm:ThemeType", "dkm:ExternalValueMode"}),
              ChildNames(doc.document_element()));

    // Reading the full document as the old format takes only the type and the mode.
    TestTheme target;
    target.SetAliasSuffix("mine");
    target.SetExternalValue("k", "v");
    ASSERT_EQ(TRUE, target.FromXML(source.ToXML(0, ""), THEME3D_XML_VERSION_20031211, ""));
    EXPECT_EQ(4, target.GetType());
    EXPECT_EQ(2, target.GetExternalValueMode());
    EXPECT_EQ("mine", target.GetAliasSuffix());
    EXPECT_EQ(1, target.GetExternalValues().GetCount());
}

TEST(KrTheme3DTest, UnknownVersionsWriteNothingAndReadNothing) {
    const TestTheme source = MakeFilledTheme();
    const TovoMBString strXML = source.ToXML(0, "");
    for (int nVersion : {20031212, 20090107, 1, -1}) {
        EXPECT_TRUE(source.ToXML(nVersion, "").IsEmpty()) << nVersion;
        KrTheme3D target;
        EXPECT_EQ(FALSE, target.FromXML(strXML, nVersion, "")) << nVersion;
        EXPECT_EQ(0, target.GetType());
    }
}

TEST(KrTheme3DTest, RefusedDocumentsChangeNothing) {
    const char* const docs[] = {
        "",
        "garbage",
        "<dkm:Theme3D><dkm:ThemeType>1</dkm:ThemeType>",
        "<dkm:Other><dkm:ThemeType>1</dkm:ThemeType></dkm:Other>",
        "<dkm:Theme3D/>",
        "<dkm:Theme3D><x><dkm:ThemeType>1</dkm:ThemeType></x></dkm:Theme3D>",
        "<dkm:Theme3D><dkm:ThemeType></dkm:ThemeType></dkm:Theme3D>",
        "<dkm:Theme3D><dkm:ThemeType>two</dkm:ThemeType></dkm:Theme3D>",
        "<dkm:Theme3D><dkm:ThemeType>1.5</dkm:ThemeType></dkm:Theme3D>",
        "<dkm:Theme3D><dkm:ThemeType>99999999999</dkm:ThemeType></dkm:Theme3D>",
    };
    const TestTheme original = MakeFilledTheme();
    for (const char* szDoc : docs) {
        TestTheme theme = MakeFilledTheme();
        EXPECT_EQ(FALSE, theme.FromXML(szDoc, 0, "")) << szDoc;
        ExpectSameBase(original, theme);
    }
}

TEST(KrTheme3DTest, ReaderToleratesOrderAndMissingParts) {
    TestTheme theme = MakeFilledTheme();
    const char* szDoc =
        "<dkm:Theme3D><dkm:GraphType>Pie</dkm:GraphType>"
        "<dkm:ExternalValueMode>many</dkm:ExternalValueMode>"
        "<dkm:ThemeType> 3 </dkm:ThemeType>"
        "<dkm:ExternalValues>"
        "<dkm:ExternalValue><dkm:OriginalValue>v</dkm:OriginalValue></dkm:ExternalValue>"
        "<dkm:ExternalValue><dkm:Translation>lost</dkm:Translation></dkm:ExternalValue>"
        "<dkm:ExternalValue><dkm:Translation>T</dkm:Translation>"
        "<dkm:OriginalValue>w</dkm:OriginalValue></dkm:ExternalValue>"
        "</dkm:ExternalValues></dkm:Theme3D>";
    ASSERT_EQ(TRUE, theme.FromXML(szDoc, 0, ""));
    EXPECT_EQ(3, theme.GetType());
    EXPECT_EQ(2, theme.GetExternalValueMode()); // not a number: kept
    EXPECT_EQ("_s1", theme.GetAliasSuffix());   // missing: kept
    ASSERT_EQ(2, theme.GetExternalValues().GetCount());
    TovoMBString strV("?"), strW("?");
    EXPECT_EQ(TRUE, theme.GetExternalValue("v", strV));
    EXPECT_EQ("", strV);
    EXPECT_EQ(TRUE, theme.GetExternalValue("w", strW));
    EXPECT_EQ("T", strW);
}

TEST(KrTheme3DTest, DeepDocumentIsReadWithoutCrash) {
    std::string doc = "<dkm:Theme3D><dkm:ThemeType>1</dkm:ThemeType>";
    const int nDepth = 100000;
    for (int i = 0; i < nDepth; ++i)
        doc += "<a>";
    for (int i = 0; i < nDepth; ++i)
        doc += "</a>";
    doc += "</dkm:Theme3D>";
    KrTheme3D theme;
    EXPECT_EQ(TRUE, theme.FromXML(TovoMBString(doc), 0, ""));
    EXPECT_EQ(1, theme.GetType());
}

TEST(KrTheme3DTest, CopyAndAssignmentAreIndependent) {
    TestTheme source = MakeFilledTheme();
    TestTheme copied(source);
    TestTheme assigned;
    assigned = source;
    TestTheme swapped;
    swapped.Swap(source);
    source.SetType(1);
    source.SetExternalValueMode(0);
    source.SetAliasSuffix("changed");
    source.SetExternalValue("1", "uno");
    source.SetOffset(0, 0);
    const TestTheme expected = MakeFilledTheme();
    for (TestTheme* pCopy : {&copied, &assigned, &swapped}) {
        ExpectSameBase(expected, *pCopy);
        int nX = 0, nY = 0;
        pCopy->GetOffset(nX, nY);
        EXPECT_EQ(3, nX);
        EXPECT_EQ(-4, nY);
    }
}

TEST(KrTheme3DTest, SelfAssignmentKeepsEverything) {
    TestTheme theme = MakeFilledTheme();
    TestTheme& alias = theme;
    theme = alias;
    theme.Swap(alias);
    ExpectSameBase(MakeFilledTheme(), theme);
}
