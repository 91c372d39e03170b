// The ranges theme's XML: what the writer produced is checked with plain pugixml, and the reader
// is fed documents written by the theme and then edited with pugixml.
#include "Theme3DBase/KrTheme3DRange.h"
#include "Theme3DBase/KrTheme3DUnique.h"
#include "ThemeTestSupport.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <sstream>
#include <string>
#include <vector>

using namespace KRS;
using TOVO::TovoMBString;

using namespace ThemeTest;

namespace {

class RangeProbe : public KrTheme3DRange {
public:
    using KrTheme3DRange::m_bDescending;
};

const char* const kPath = "/data/scene.xml";

// Break values in the given order; item i captioned "c<i>", hidden for i = 1, filled red i.
void Fill(RangeProbe& theme, const Doubles& values, bool bDescending) {
    theme.m_bDescending = bDescending ? TRUE : FALSE;
    for (double d : values)
        theme.Add(d, KrTheme3DItem());
    for (int i = 0; i < theme.GetCount(); ++i) {
        theme.SetCaptionAt(i, ("c" + std::to_string(i)).c_str());
        theme.SetVisibleAt(i, i != 1);
        KrStyle style;
        style.SetFillColor(TOVORGB(unsigned(i), 0, 0));
        theme.SetStyleAt(i, style);
    }
}

// The "dkm:RangeItems" element of a written document, and the range texts of its items.
struct Doc {
    explicit Doc(const TovoMBString& strXML) { EXPECT_TRUE(doc.load_string(strXML.c_str())); }
    pugi::xml_node Items() const { return doc.first_child().child("dkm:RangeItems"); }
    Strings RangeTexts() const {
        Strings texts;
        for (pugi::xml_node node : Items().children("dkm:RangeItem"))
            texts.push_back(node.child_value("dkm:RangeValue"));
        return texts;
    }
    TovoMBString Text() const {
        std::ostringstream out;
        doc.save(out, "", pugi::format_raw | pugi::format_no_declaration);
        return TovoMBString(out.str());
    }
    pugi::xml_document doc;
};

// Sets the text of the child of that name in the first range items, in order.
void SetItemTexts(const Doc& doc, const char* szChild, const std::vector<const char*>& texts) {
    pugi::xml_node item = doc.Items().first_child();
    for (const char* szText : texts) {
        item.child(szChild).text().set(szText);
        item = item.next_sibling();
    }
}

class RangeXmlTest : public ::testing::Test {
protected:
    void SetUp() override { KrLogFile::GetInstance().ClearRecords(); }
    void TearDown() override { EXPECT_TRUE(KrLogFile::GetInstance().GetRecords().empty()); }
    RangeProbe theme;
    RangeProbe target;
};

TEST_F(RangeXmlTest, WritesTheRangeElementsAfterTheBaseOnesInBothOrders) {
    theme.SetExpression("[POP]");
    Fill(theme, {10, 20}, false);
    const Doc doc(theme.ToXML(0, ""));
    const pugi::xml_node method = doc.Items().previous_sibling();
    EXPECT_EQ(doc.Items(), doc.doc.first_child().last_child());
    EXPECT_STREQ("dkm:Range3DMethod", method.name());
    EXPECT_STREQ("0", method.child_value());
    EXPECT_STREQ("dkm:FieldExpression", method.previous_sibling().name());
    EXPECT_STREQ("[POP]", method.previous_sibling().child_value());
    EXPECT_STREQ("FALSE", doc.Items().attribute("dkm:Descending").value());
    EXPECT_EQ((Strings{"X<10", "10<=X<20", "X>=20"}), doc.RangeTexts());
    int i = 0;
    for (pugi::xml_node item : doc.Items().children("dkm:RangeItem")) {
        Strings names;
        for (pugi::xml_node child : item.children())
            names.push_back(child.name());
        EXPECT_EQ((Strings{"dkm:RangeValue", "dkm:Caption", "dkm:StyleEnable", "dkm:Style"}),
                  names);
        EXPECT_EQ("c" + std::to_string(i), item.child_value("dkm:Caption"));
        EXPECT_STREQ(i++ == 1 ? "FALSE" : "TRUE", item.child_value("dkm:StyleEnable"));
    }
    RangeProbe descending;
    Fill(descending, {20, 10, 5}, true);
    const Doc down(descending.ToXML(20090106, ""));
    EXPECT_STREQ("TRUE", down.Items().attribute("dkm:Descending").value());
    EXPECT_EQ((Strings{"X>=20", "10<=X<20", "5<=X<10", "X<5"}), down.RangeTexts());
}

TEST_F(RangeXmlTest, NumbersAreWrittenWithFifteenDecimalsTrimmed) {
    const struct {
        double dValue;
        const char* szText;
    } table[] = {{100, "100"},
                 {0.25, "0.25"},
                 {-2.25, "-2.25"},
                 {1e20, "100000000000000000000"},
                 {1.0 / 3, "0.333333333333333"},
                 {4e-16, "0"},
                 {-4e-16, "-0"}};
    for (const auto& row : table) {
        KrTheme3DRange single;
        single.Add(row.dValue, KrTheme3DItem());
        EXPECT_EQ((Strings{std::string("X<") + row.szText, std::string("X>=") + row.szText}),
                  Doc(single.ToXML(0, "")).RangeTexts());
    }
}

// Both orders, and an empty theme that writes "dkm:RangeItems" without children.
TEST_F(RangeXmlTest, RoundTripKeepsEverythingToFifteenDecimals) {
    const struct {
        Doubles values, read;
        bool bDescending;
    } table[] = {
        {{-2.25, 1.0 / 3, 2.0 / 3, 10, 1e20},
         {-2.25, 0.333333333333333, 0.666666666666667, 10, 1e20},
         false},
        {{1e20, 2.0 / 3, 1.0 / 3, -2.25},
         {1e20, 0.666666666666667, 0.333333333333333, -2.25},
         true},
        {{}, {}, true},
    };
    for (const auto& row : table) {
        RangeProbe source;
        source.SetExpression("[A] / [B]");
        source.MakeDefault(KrTheme3D::ClassQuantile, 2, Array({0, 1}), Array(row.values), 0);
        Fill(source, {}, row.bDescending);
        const TovoMBString strXML = source.ToXML(0, kPath);
        EXPECT_EQ(std::size_t(source.GetCount()), Doc(strXML).RangeTexts().size());
        Fill(target, {1, 2, 3}, !row.bDescending);
        ASSERT_TRUE(target.FromXML(strXML, 0, kPath));
        EXPECT_EQ(row.read, Values(target));
        EXPECT_EQ(row.bDescending, target.m_bDescending != FALSE);
        EXPECT_EQ(KrTheme3D::ClassQuantile, target.GetClassType());
        EXPECT_EQ("[A] / [B]", target.GetExpression().Str());
        ASSERT_EQ(source.GetCount(), target.GetCount());
        for (int i = 0; i < source.GetCount(); ++i) {
            EXPECT_EQ(source.GetCaptionAt(i), target.GetCaptionAt(i));
            EXPECT_EQ(source.IsVisibleAt(i), target.IsVisibleAt(i));
            EXPECT_EQ(source.GetStyleAt(i), target.GetStyleAt(i));
        }
        EXPECT_EQ(strXML, target.ToXML(0, kPath));
    }
}

TEST_F(RangeXmlTest, RefusesOtherVersionsEmptyTextAndOtherThemesKeepingTheRangeMembers) {
    Fill(theme, {1, 2}, false);
    EXPECT_TRUE(theme.ToXML(1, "").IsEmpty());
    EXPECT_TRUE(theme.ToXML(20031211, "").IsEmpty());
    EXPECT_EQ(theme.ToXML(0, ""), theme.ToXML(20090106, ""));
    EXPECT_FALSE(theme.FromXML(theme.ToXML(0, ""), 20031211, ""));
    EXPECT_FALSE(theme.FromXML("", 0, ""));
    KrTheme3DUnique unique;
    unique.SetAliasSuffix("_u");
    EXPECT_FALSE(theme.FromXML(unique.ToXML(0, ""), 0, ""));
    EXPECT_EQ((Doubles{1, 2}), Values(theme));
    EXPECT_EQ((Strings{"c0", "c1", "c2"}), Captions(theme));
    // What the base part read stays.
    EXPECT_EQ(KrTheme3D::Unique, theme.GetType());
    EXPECT_EQ("Theme3DRange_u", theme.GetFieldName(FALSE).Str());
}

TEST_F(RangeXmlTest, DescendingAttributeIsReadIgnoringCase) {
    Fill(theme, {20, 10}, true);
    for (const char* szValue : {"TRUE", "tRuE", "yes", "1", "", "absent"}) {
        Doc doc(theme.ToXML(0, ""));
        if (std::string(szValue) == "absent")
            doc.Items().remove_attribute("dkm:Descending");
        else
            doc.Items().attribute("dkm:Descending").set_value(szValue);
        ASSERT_TRUE(target.FromXML(doc.Text(), 0, ""));
        EXPECT_EQ(szValue[0] == 'T' || szValue[0] == 't', target.m_bDescending != FALSE) << szValue;
    }
}

TEST_F(RangeXmlTest, ReaderTakesTheElementsInWritingOrderAndKeepsWhatIsAbsent) {
    theme.SetExpression("new");
    Fill(theme, {10}, false);
    Doc doc(theme.ToXML(0, ""));
    pugi::xml_node root = doc.doc.first_child();
    // The method moved before the expression is passed over.
    root.insert_move_before(root.child("dkm:Range3DMethod"), root.child("dkm:FieldExpression"));
    root.child("dkm:Range3DMethod").text().set("4");
    target.SetExpression("old");
    target.MakeDefault(KrTheme3D::ClassStdev, 2, Array({0, 0}), {}, 0);
    ASSERT_TRUE(target.FromXML(doc.Text(), 0, ""));
    EXPECT_EQ("new", target.GetExpression().Str());
    EXPECT_EQ(KrTheme3D::ClassStdev, target.GetClassType());
    EXPECT_EQ((Doubles{10}), Values(target));
    for (const char* szName : {"dkm:FieldExpression", "dkm:Range3DMethod", "dkm:RangeItems"})
        root.remove_child(szName);
    target.SetExpression("kept");
    ASSERT_TRUE(target.FromXML(doc.Text(), 0, ""));
    EXPECT_EQ("kept", target.GetExpression().Str());
    EXPECT_EQ(KrTheme3D::ClassStdev, target.GetClassType());
    EXPECT_EQ(0, target.GetCount());
}

TEST_F(RangeXmlTest, BreakValuesComeFromTheRangeTextsOnly) {
    Fill(theme, {1, 2, 3, 4, 5, 6, 7}, false);
    // Lower bounds before "<=" at a position above 0, the top after ">=" likewise; other texts add
    // nothing and a repeated value is dropped, so later elements give their contents to earlier
    // items.
    Doc doc(theme.ToXML(0, ""));
    SetItemTexts(doc, "dkm:RangeValue",
                 {"X<5", "5<=X<7", "abc", " 7 <=X<9", "<=8", "X>= 9 ", "X>=9", ">=4"});
    ASSERT_TRUE(target.FromXML(doc.Text(), 0, ""));
    EXPECT_EQ((Doubles{5, 7, 9}), Values(target));
    EXPECT_EQ((Strings{"c0", "c1", "c2", "c3"}), Captions(target));
    EXPECT_FALSE(target.IsVisibleAt(1));
}

// "dkm:StyleEnable" hides an item only when it says "FALSE" in any case; an item without caption,
// flag or style gets the defaults, not what the element before it had.
TEST_F(RangeXmlTest, ItemContentsFromEditedDocuments) {
    Fill(theme, {10, 20, 30, 40}, false);
    Doc doc(theme.ToXML(0, ""));
    SetItemTexts(doc, "dkm:StyleEnable", {"", "no", "false", "FaLsE"});
    for (const char* szName : {"dkm:Caption", "dkm:StyleEnable", "dkm:Style"})
        doc.Items().last_child().remove_child(szName);
    ASSERT_TRUE(target.FromXML(doc.Text(), 0, ""));
    EXPECT_EQ((Strings{"c0", "c1", "c2", "c3", ""}), Captions(target));
    const bool visible[] = {true, true, false, false, true};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(visible[k], target.IsVisibleAt(k) != FALSE) << k;
    EXPECT_EQ(TOVORGB(3, 0, 0), target.GetStyleAt(3).GetFillColor());
    EXPECT_EQ(KrStyle(), target.GetStyleAt(4));
}

TEST_F(RangeXmlTest, IconNamesAreStoredRelativeAndReadBackAbsolute) {
    Fill(theme, {10}, false);
    KrStyle style;
    style.SetIconName("/data/icons/a.png");
    theme.SetStyleAt(0, style);
    const TovoMBString strXML = theme.ToXML(0, kPath);
    EXPECT_EQ("icons/a.png", theme.GetStyleAt(0).GetIconName().Str());
    theme.ToXML(0, kPath); // already relative: stays so
    EXPECT_EQ("icons/a.png", theme.GetStyleAt(0).GetIconName().Str());
    ASSERT_TRUE(target.FromXML(strXML, 0, kPath));
    EXPECT_EQ("/data/icons/a.png", target.GetStyleAt(0).GetIconName().Str());
    EXPECT_TRUE(target.GetStyleAt(1).GetIconName().IsEmpty());
}

} // namespace
