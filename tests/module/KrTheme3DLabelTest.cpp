// The label theme's model: defaults, label texts by value type, number formats and their log,
// external-value translation, field names, items and copying.
#include "Theme3DBase/KrTheme3DLabel.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using KRS::KrTheme3DItem;
using KRS::KrTheme3DLabel;
using TOVO::TovoMBString;
using TOVO::TovoVariant;

namespace {

// Day numbers counted by hand from day 0 = 1899-12-30: 1900-01-01 is day 2, and the 112 years
// to 2012 hold 27 leap days (1904 to 2008), so 2012-01-01 is 2 + 112 * 365 + 27 = 40909,
// 2012-01-05 is 40913 and 2012-11-09 (day 314 of a leap year) is 40909 + 313 = 41222.
const double kDay20120105 = 40913.0;
const double kDay20121109 = 41222.0;
const double kSecond = 1.0 / 86400.0;

std::string Text(KrTheme3DLabel& label, const TovoVariant& value) {
    return label.GetStringFromVariant(value).Str();
}

class LabelTest : public ::testing::Test {
protected:
    void SetUp() override { KRS::KrLogFile::GetInstance().ClearRecords(); }
    KrTheme3DLabel label;
};

TEST_F(LabelTest, NewThemeDefaults) {
    EXPECT_EQ(label.GetType(), 3);
    EXPECT_EQ(label.GetLabel3DType(), KrTheme3DLabel::Label3DText);
    EXPECT_EQ(label.IsAlonglineText(), FALSE);
    EXPECT_TRUE(label.GetExpression().IsEmpty());
    EXPECT_TRUE(label.GetNumFormat().IsEmpty());
    const KRS::KrTextStyle* pStyle = label.GetTextStyle();
    EXPECT_EQ(pStyle->GetHalo(), TRUE);
    EXPECT_EQ(pStyle->GetSize(), 20.0);
    EXPECT_EQ(pStyle->GetForeColor(), 0xFF00FFFFu); // alpha 255, blue 0, green 255, red 255
    EXPECT_EQ(pStyle->GetFaceName().Str(), std::string("\xCE\xA2\xC8\xED\xD1\xC5\xBA\xDA", 8));
    EXPECT_EQ(pStyle->GetAlign(), 6);
    TOVO::TovoArray<TovoMBString> arrFields;
    arrFields.Add("kept");
    EXPECT_EQ(label.GetThemeQueryDef(arrFields, TRUE), FALSE);
    EXPECT_EQ(arrFields.GetSize(), 1);
    EXPECT_EQ(label.ConvertToGeometry(nullptr, 0, TOVO::TovoPoint3D()), nullptr);
}

TEST_F(LabelTest, TextOfEveryTypeWithDefaultFormat) {
    struct Case {
        TovoVariant value;
        const char* szExpected;
    };
    const std::vector<Case> cases = {
        {TovoVariant(), "<NULL>"},
        {TovoVariant(std::uint8_t(200)), "200"},
        {TovoVariant(std::int16_t(-5)), "-5"},
        {TovoVariant(std::int32_t(-2147483647 - 1)), "-2147483648"},
        {TovoVariant(std::int64_t(9007199254740993LL)), "9007199254740993"},
        {TovoVariant(std::int64_t(-5000000000LL)), "-5000000000"},
        {TovoVariant(1.5f), "1.5000000000"},
        {TovoVariant(1.3f), "1.2999999523"}, // widened to double, then ten decimals
        {TovoVariant(1.5), "1.5"},
        {TovoVariant(2.0), "2"},
        {TovoVariant(0.0), "0"},
        {TovoVariant(100.0), "100"},
        {TovoVariant(-0.25), "-0.25"},
        {TovoVariant::FromDayNumber(kDay20121109), "2012-11-9"},
        {TovoVariant::FromDayNumber(kDay20121109 + 29103 * kSecond, TovoVariant::DateTime),
         "2012-11-09 08:05:03"},
        {TovoVariant::FromDayNumber(kDay20120105, TovoVariant::Time), "2012-1-5"},
        {TovoVariant::FromDayNumber(kDay20120105 + kSecond, TovoVariant::Date),
         "2012-01-05 00:00:01"},
        {TovoVariant::FromBinary("ab", 2), ""},
        {TovoVariant("  road 7 \t\r\n "), "  road 7"},
        {TovoVariant("\xCE\xA2"), "\xCE\xA2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szExpected);
        EXPECT_EQ(Text(label, c.value), c.szExpected);
    }
}

TEST_F(LabelTest, NumberFormatIsAppliedWithoutTrimming) {
    struct Case {
        const char* szFormat;
        TovoVariant value;
        const char* szExpected;
    };
    const std::vector<Case> cases = {
        {".2f", TovoVariant(1.5), "1.50"},           {".2f", TovoVariant(2.0), "2.00"},
        {"%.2f", TovoVariant(1.5), "1.50"},          {"%%.2f", TovoVariant(1.5), "1.50"},
        {"%.10f", TovoVariant(2.0), "2.0000000000"}, {".1f", TovoVariant(1.3f), "1.3"},
        {"%8.1f", TovoVariant(2.0), "     2.0"},     {"%-8.1f", TovoVariant(2.0), "2.0"},
        {".3e", TovoVariant(1500.0), "1.500e+03"},   {".2f m", TovoVariant(3.0), "3.00 m"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szFormat);
        label.SetNumFormat(c.szFormat);
        EXPECT_EQ(label.GetNumFormat().Str(), c.szFormat);
        EXPECT_EQ(Text(label, c.value), c.szExpected);
    }
    EXPECT_TRUE(KRS::KrLogFile::GetInstance().GetRecords().empty());
}

// Empty formats are dropped silently, refused ones with a log record; either way an earlier
// format is gone and the default applies again.
TEST_F(LabelTest, SetNumFormatDropsEmptyAndRefusedFormats) {
    const std::pair<const char*, bool> cases[] = {{"", false}, {"%", false},   {"%%%", false},
                                                  {"d", true}, {"%s", true},   {".2f%d", true},
                                                  {"n", true}, {"5000f", true}};
    for (const auto& [szFormat, bLogged] : cases) {
        SCOPED_TRACE(szFormat);
        KRS::KrLogFile::GetInstance().ClearRecords();
        label.SetNumFormat(".2f");
        label.SetNumFormat(szFormat);
        EXPECT_TRUE(label.GetNumFormat().IsEmpty());
        EXPECT_EQ(Text(label, TovoVariant(2.5)), "2.5");
        const std::vector<KRS::KrLogRecord> records = KRS::KrLogFile::GetInstance().GetRecords();
        ASSERT_EQ(records.size(), bLogged ? 1u : 0u);
        if (!bLogged)
            continue;
        EXPECT_EQ(records[0].nLevel, 400);
        EXPECT_EQ(records[0].strCode.Str(), "EGi063");
        EXPECT_EQ(records[0].strSource.Str(), "Src/Theme3DBase/KrTheme3DLabel");
        EXPECT_EQ(records[0].nLine, 288);
    }
}

TEST_F(LabelTest, ExternalValueModeOneTranslatesAfterTrimming) {
    label.SetExternalValue("2", "two");
    label.SetExternalValue("<NULL>", "none");
    EXPECT_EQ(Text(label, TovoVariant(2.0)), "2"); // mode 0: no translation
    label.SetExternalValueMode(2);
    EXPECT_EQ(Text(label, TovoVariant(2.0)), "2");
    label.SetExternalValueMode(1);
    EXPECT_EQ(Text(label, TovoVariant(2.0)), "two");
    EXPECT_EQ(Text(label, TovoVariant("2  ")), "two");
    EXPECT_EQ(Text(label, TovoVariant()), "none");
    EXPECT_EQ(Text(label, TovoVariant("3")), "");
}

TEST_F(LabelTest, FieldNames) {
    label.SetAliasSuffix("_7");
    EXPECT_EQ(label.GetFieldName(FALSE).Str(), "Theme3DLabel_7");
    EXPECT_EQ(label.GetFieldName(TRUE).Str(), "");
    label.SetExpression("POP");
    EXPECT_EQ(label.GetFieldName(TRUE).Str(), "POP as Theme3DLabel_7");
    label.SetAliasSuffix("");
    EXPECT_EQ(label.GetFieldName(TRUE).Str(), "POP as Theme3DLabel");
}

TEST_F(LabelTest, ItemsAreOwnedCopiesKeyedByExactText) {
    KrTheme3DItem item;
    item.m_strCaption = "first";
    EXPECT_EQ(label.Add("k", item), TRUE);
    item.m_strCaption = "second";
    EXPECT_EQ(label.Add("k", item), FALSE);
    ASSERT_NE(label.Find("k"), nullptr);
    EXPECT_NE(label.Find("k"), &item);
    EXPECT_EQ(label.Find("k")->m_strCaption.Str(), "first");
    EXPECT_EQ(label.Find("K"), nullptr);
    EXPECT_EQ(label.IsExist("k"), TRUE);
    EXPECT_EQ(label.IsExist("K"), FALSE);
}

TEST_F(LabelTest, CopyCopiesItemsAssignmentKeepsTargetItems) {
    KrTheme3DItem item;
    item.m_strCaption = "source item";
    label.Add("s", item);
    label.SetExpression("E");
    label.SetNumFormat(".2f");
    label.SetAlonglineText(TRUE);
    label.SetLabelType(KrTheme3DLabel::Label3DPicture);
    label.SetAliasSuffix("_a");

    KrTheme3DLabel copy(label);
    ASSERT_NE(copy.Find("s"), nullptr);
    EXPECT_NE(copy.Find("s"), label.Find("s"));
    copy.Find("s")->m_strCaption = "changed";
    EXPECT_EQ(label.Find("s")->m_strCaption.Str(), "source item");
    EXPECT_EQ(Text(copy, TovoVariant(1.5)), "1.50");

    KrTheme3DLabel target;
    target.Add("t", item);
    target = label;
    EXPECT_EQ(target.IsExist("t"), TRUE);
    EXPECT_EQ(target.IsExist("s"), FALSE);
    EXPECT_EQ(target.GetExpression().Str(), "E");
    EXPECT_EQ(target.GetNumFormat().Str(), ".2f");
    EXPECT_EQ(target.IsAlonglineText(), TRUE);
    EXPECT_EQ(target.GetLabel3DType(), KrTheme3DLabel::Label3DPicture);
    EXPECT_EQ(target.GetFieldName(FALSE).Str(), "Theme3DLabel_a");
    EXPECT_EQ(Text(target, TovoVariant(1.5)), "1.50");

    target = KrTheme3DLabel(); // the default format comes back with the settings
    EXPECT_EQ(Text(target, TovoVariant(1.5)), "1.5");
    EXPECT_EQ(target.IsExist("t"), TRUE);
}

} // namespace
