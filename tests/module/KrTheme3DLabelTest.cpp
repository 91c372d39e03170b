// The label theme's model: defaults, label texts by value type, number formats and their log,
// external-value translation, field names, items and copying.
#include "Theme3DBase/KrTheme3DLabel.h"
#include "ThemeTestSupport.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

using KRS::KrTheme3DItem;
using KRS::KrTheme3DLabel;
using ThemeTest::Logs;
using TOVO::TovoMBString;
using TOVO::TovoVariant;

namespace {

class LabelTest : public ::testing::Test {
protected:
    void SetUp() override { KRS::KrLogFile::GetInstance().ClearRecords(); }
    std::string Text(const TovoVariant& value) { return label.GetStringFromVariant(value).Str(); }
    KrTheme3DLabel label;
};

// The text style holds the host's defaults but for halo, size 20, an opaque yellow, the face name
// and alignment 6.
TEST_F(LabelTest, NewThemeDefaults) {
    ThemeTest::ExpectDocument("label-default", label.ToXML(0, ""));
    EXPECT_EQ(label.ConvertToGeometry(nullptr, 0, TOVO::TovoPoint3D()), nullptr);
}

TEST_F(LabelTest, TextOfEveryTypeWithDefaultFormat) {
    // Day 0 is 1899-12-30: 2012-01-01 is 2 + 112 * 365 + 27 leap days = 40909, so 2012-01-05
    // is 40913 and 2012-11-09 (day 314 of a leap year) is 41222.
    const double kSecond = 1.0 / 86400.0;
    const std::pair<TovoVariant, const char*> cases[] = {
        {TovoVariant(), "<NULL>"},
        {TovoVariant(std::uint8_t(200)), "200"},
        {TovoVariant(std::int16_t(-5)), "-5"},
        {TovoVariant(std::int32_t(-2147483647 - 1)), "-2147483648"},
        {TovoVariant(std::int64_t(-9007199254740993LL)), "-9007199254740993"},
        {TovoVariant(1.5f), "1.5000000000"},
        {TovoVariant(1.3f), "1.2999999523"}, // widened to double, then ten decimals
        {TovoVariant(1.5), "1.5"},
        {TovoVariant(0.0), "0"},
        {TovoVariant(100.0), "100"},
        {TovoVariant::FromDayNumber(41222.0), "2012-11-9"},
        {TovoVariant::FromDayNumber(41222.0 + 29103 * kSecond, 11), "2012-11-09 08:05:03"},
        {TovoVariant::FromDayNumber(40913.0, 10), "2012-1-5"},
        {TovoVariant::FromDayNumber(40913.0 + kSecond, 7), "2012-01-05 00:00:01"},
        {TovoVariant::FromBinary("ab", 2), ""},
        {TovoVariant("  road 7 \t\r\n "), "  road 7"}};
    for (const auto& [value, szExpected] : cases)
        EXPECT_EQ(Text(value), szExpected) << "type " << value.GetType();
}

// A format is stored as given and applied untrimmed; an empty one is dropped silently and a
// refused one with a log record, and either way the earlier format is gone.
TEST_F(LabelTest, SetNumFormat) {
    const struct {
        const char *szFormat, *szStored, *szText;
        bool bLogged;
    } cases[] = {
        {".2f", ".2f", "0.12", false},      {"%.2f", "%.2f", "0.12", false},
        {"%%.2f", "%%.2f", "0.12", false},  {"%.10f", "%.10f", "0.1234567890", false},
        {"", "", "0.123456789", false},     {"%", "", "0.123456789", false},
        {"%%%", "", "0.123456789", false},  {"d", "", "0.123456789", true},
        {".2f%d", "", "0.123456789", true},
    };
    for (const auto& c : cases) {
        KRS::KrLogFile::GetInstance().ClearRecords();
        label.SetNumFormat(".1f");
        label.SetNumFormat(c.szFormat);
        EXPECT_EQ(label.GetNumFormat().Str(), c.szStored) << c.szFormat;
        EXPECT_EQ(Text(TovoVariant(0.12345678901)), c.szText) << c.szFormat;
        EXPECT_EQ(Logs(), c.bLogged ? "400 EGi063 Src/Theme3DBase/KrTheme3DLabel 288|" : "")
            << c.szFormat;
    }
}

TEST_F(LabelTest, ExternalValueModeOneTranslatesAfterTrimming) {
    label.SetExternalValue("2", "two");
    label.SetExternalValue("<NULL>", "none");
    EXPECT_EQ(Text(TovoVariant(2.0)), "2"); // mode 0: no translation
    label.SetExternalValueMode(1);
    EXPECT_EQ(Text(TovoVariant("2  ")), "two");
    EXPECT_EQ(Text(TovoVariant()), "none");
    EXPECT_EQ(Text(TovoVariant("3")), "");
}

TEST_F(LabelTest, ItemsAreOwnedCopiesKeyedByExactText) {
    KrTheme3DItem item;
    item.m_strCaption = "first";
    EXPECT_EQ(label.Add("k", item), TRUE);
    item.m_strCaption = "second";
    EXPECT_EQ(label.Add("k", item), FALSE);
    ASSERT_NE(label.Find("k"), nullptr);
    EXPECT_EQ(label.Find("k")->m_strCaption.Str(), "first");
    EXPECT_EQ(label.Find("K"), nullptr);
}

TEST_F(LabelTest, CopyCopiesItemsAssignmentKeepsTargetItems) {
    label.Add("s", KrTheme3DItem());
    label.SetExpression("E");
    label.SetNumFormat(".2f");
    label.SetAlonglineText(TRUE);
    label.SetLabelType(KrTheme3DLabel::Label3DPicture);
    label.SetAliasSuffix("_a");
    KRS::KrTextStyle style;
    label.SetTextStyle(style);
    EXPECT_EQ(label.GetFieldName(TRUE).Str(), "E as Theme3DLabel_a");
    KrTheme3DLabel copy(label), target;
    EXPECT_NE(copy.Find("s"), label.Find("s"));
    ASSERT_EQ(copy.IsExist("s"), TRUE);
    target.Add("t", KrTheme3DItem());
    target = label;
    EXPECT_EQ(target.IsExist("t"), TRUE);
    EXPECT_EQ(target.IsExist("s"), FALSE);
    // The document holds the base part and every setting (element by element in the XML tests).
    for (KrTheme3DLabel* pLabel : {&copy, &target}) {
        EXPECT_EQ(pLabel->ToXML(0, "").Str(), label.ToXML(0, "").Str());
        EXPECT_EQ(pLabel->GetStringFromVariant(TovoVariant(1.5)).Str(), "1.50");
    }
}

} // namespace
