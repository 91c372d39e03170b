// The ranges theme's XML: what the writer produced is checked with plain pugixml, and the reader
// is fed documents written by the theme and then edited with pugixml.
#include "Theme3DBase/KrTheme3DRange.h"
#include "Theme3DBase/KrTheme3DUnique.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <sstream>
#include <string>
#include <vector>

using namespace KRS;
using TOVO::TovoMBString;

namespace {

class RangeProbe : public KrTheme3DRange {
public:
    using KrTheme3DRange::m_bDescending;
};

using Doubles = std::vector<double>;
using Strings = std::vector<std::string>;

KrTheme3DItem MakeItem(const char* szCaption, bool bVisible, unsigned nRed) {
    KrTheme3DItem item;
    item.m_strCaption = szCaption;
    item.m_bVisible = bVisible ? TRUE : FALSE;
    item.m_Style.SetFillColor(TOVORGB(nRed, 0, 0));
    return item;
}

// Break values in the given order, item i captioned "c<i>", item 1 hidden, fill red i.
void Fill(RangeProbe& theme, const Doubles& values, bool bDescending) {
    theme.m_bDescending = bDescending ? TRUE : FALSE;
    for (double d : values)
        theme.Add(d, MakeItem("", true, 0));
    for (int i = 0; i < theme.GetCount(); ++i)
        theme.SetAt(i, MakeItem(("c" + std::to_string(i)).c_str(), i != 1, unsigned(i)));
}

Doubles Values(const KrTheme3DRange& theme) {
    Doubles values;
    for (int i = 0; i < theme.GetValueCount(); ++i)
        values.push_back(theme.GetValueAt(i));
    return values;
}

Strings Captions(const KrTheme3DRange& theme) {
    Strings captions;
    for (int i = 0; i < theme.GetCount(); ++i)
        captions.push_back(theme.GetCaptionAt(i).Str());
    return captions;
}

struct Doc {
    explicit Doc(const TovoMBString& strXML) {
        const pugi::xml_parse_result result = doc.load_string(strXML.c_str());
        EXPECT_TRUE(result) << strXML.c_str();
    }
    pugi::xml_node Root() const { return doc.child("dkm:Theme3D"); }
    pugi::xml_node Items() const { return Root().child("dkm:RangeItems"); }
    std::vector<pugi::xml_node> ItemNodes() const {
        std::vector<pugi::xml_node> nodes;
        for (pugi::xml_node node : Items().children("dkm:RangeItem"))
            nodes.push_back(node);
        return nodes;
    }
    Strings RangeTexts() const {
        Strings texts;
        for (pugi::xml_node node : ItemNodes())
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

class RangeXmlTest : public ::testing::Test {
protected:
    void SetUp() override { KrLogFile::GetInstance().ClearRecords(); }
    void TearDown() override { EXPECT_TRUE(KrLogFile::GetInstance().GetRecords().empty()); }
    RangeProbe theme;
};

TEST_F(RangeXmlTest, WritesTheRangeElementsAfterTheBaseOnes) {
    theme.SetExpression("[POP]");
    Fill(theme, {10, 20}, false);
    const Doc doc(theme.ToXML(0, ""));
    pugi::xml_node last = doc.Root().last_child();
    EXPECT_STREQ("dkm:RangeItems", last.name());
    EXPECT_STREQ("dkm:Range3DMethod", last.previous_sibling().name());
    EXPECT_STREQ("dkm:FieldExpression", last.previous_sibling().previous_sibling().name());
    EXPECT_STREQ("[POP]", doc.Root().child_value("dkm:FieldExpression"));
    EXPECT_STREQ("0", doc.Root().child_value("dkm:Range3DMethod"));
    EXPECT_STREQ("FALSE", doc.Items().attribute("dkm:Descending").value());
    EXPECT_EQ((Strings{"X<10", "10<=X<20", "X>=20"}), doc.RangeTexts());
    const Strings childNames = {"dkm:RangeValue", "dkm:Caption", "dkm:StyleEnable", "dkm:Style"};
    const char* enables[] = {"TRUE", "FALSE", "TRUE"};
    int i = 0;
    for (pugi::xml_node item : doc.ItemNodes()) {
        Strings names;
        for (pugi::xml_node child : item.children())
            names.push_back(child.name());
        EXPECT_EQ(childNames, names);
        EXPECT_EQ("c" + std::to_string(i), item.child_value("dkm:Caption"));
        EXPECT_STREQ(enables[i], item.child_value("dkm:StyleEnable"));
        ++i;
    }
    EXPECT_EQ(3, i);
}

TEST_F(RangeXmlTest, WritesDescendingRangesWithTheLowerBoundFirst) {
    Fill(theme, {20, 10, 5}, true);
    const Doc doc(theme.ToXML(20090106, ""));
    EXPECT_STREQ("TRUE", doc.Items().attribute("dkm:Descending").value());
    EXPECT_EQ((Strings{"X>=20", "10<=X<20", "5<=X<10", "X<5"}), doc.RangeTexts());
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
                 {1e-15, "0.000000000000001"},
                 {4e-16, "0"},
                 {-4e-16, "-0"},
                 {0, "0"}};
    for (const auto& row : table) {
        KrTheme3DRange single;
        single.Add(row.dValue, KrTheme3DItem());
        const Doc doc(single.ToXML(0, ""));
        EXPECT_EQ((Strings{std::string("X<") + row.szText, std::string("X>=") + row.szText}),
                  doc.RangeTexts());
    }
}

TEST_F(RangeXmlTest, RoundTripKeepsBothOrdersToFifteenDecimals) {
    for (bool bDescending : {false, true}) {
        RangeProbe source;
        source.SetExpression("[A] / [B]");
        TOVO::TovoArray<double> values;
        values.Add(0);
        values.Add(1);
        TOVO::TovoArray<double> breaks;
        for (double d : {-2.25, 1.0 / 3, 2.0 / 3, 10.0, 1e20})
            breaks.Add(bDescending ? -d : d);
        source.MakeDefault(KrTheme3D::ClassQuantile, 2, values, breaks, 0);
        source.m_bDescending = bDescending ? TRUE : FALSE;
        for (int i = 0; i < source.GetCount(); ++i)
            source.SetAt(i, MakeItem(("c" + std::to_string(i)).c_str(), i % 2 == 0, unsigned(i)));

        const TovoMBString strXML = source.ToXML(0, "/data/scene.xml");
        EXPECT_STREQ("4", Doc(strXML).Root().child_value("dkm:Range3DMethod"));
        RangeProbe target;
        Fill(target, {1, 2, 3}, !bDescending);
        ASSERT_TRUE(target.FromXML(strXML, 0, "/data/scene.xml"));
        const double s = bDescending ? -1 : 1;
        EXPECT_EQ(
            (Doubles{s * -2.25, s * 0.333333333333333, s * 0.666666666666667, s * 10, s * 1e20}),
            Values(target));
        EXPECT_EQ(bDescending, target.m_bDescending != FALSE);
        EXPECT_EQ(KrTheme3D::ClassQuantile, target.GetClassType());
        EXPECT_EQ("[A] / [B]", target.GetExpression().Str());
        EXPECT_EQ(KrTheme3D::Range, target.GetType());
        ASSERT_EQ(6, target.GetCount());
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(source.GetCaptionAt(i), target.GetCaptionAt(i));
            EXPECT_EQ(source.IsVisibleAt(i), target.IsVisibleAt(i));
            EXPECT_EQ(source.GetStyleAt(i), target.GetStyleAt(i));
        }
    }
}

TEST_F(RangeXmlTest, EmptyThemeWritesNoItemsAndReadsBackEmpty) {
    theme.SetExpression("E");
    const TovoMBString strXML = theme.ToXML(0, "");
    const Doc doc(strXML);
    EXPECT_TRUE(doc.Items());
    EXPECT_FALSE(doc.Items().first_child());
    RangeProbe target;
    Fill(target, {1, 2}, true);
    EXPECT_TRUE(target.FromXML(strXML, 0, ""));
    EXPECT_EQ(0, target.GetCount());
    EXPECT_EQ(0, target.GetValueCount());
    EXPECT_FALSE(target.m_bDescending);
    EXPECT_EQ("E", target.GetExpression().Str());
}

TEST_F(RangeXmlTest, RefusesOtherThemesVersionsAndEmptyText) {
    Fill(theme, {1, 2}, false);
    KrTheme3DUnique unique;
    unique.Add("a", KrTheme3DItem());
    EXPECT_FALSE(theme.FromXML(unique.ToXML(0, ""), 0, ""));
    EXPECT_FALSE(theme.FromXML(theme.ToXML(0, ""), 20031211, ""));
    EXPECT_FALSE(theme.FromXML("", 0, ""));
    EXPECT_EQ(KrTheme3D::Range, theme.GetType());
    EXPECT_EQ((Doubles{1, 2}), Values(theme));
    EXPECT_EQ((Strings{"c0", "c1", "c2"}), Captions(theme));
    EXPECT_TRUE(theme.ToXML(1, "").IsEmpty());
    EXPECT_TRUE(theme.ToXML(20031211, "").IsEmpty());
    EXPECT_EQ(theme.ToXML(0, ""), theme.ToXML(20090106, ""));
}

TEST_F(RangeXmlTest, DescendingAttributeIsReadIgnoringCase) {
    Fill(theme, {20, 10}, true);
    const struct {
        const char* szValue; // null: attribute removed
        bool bDescending;
    } table[] = {{"TRUE", true}, {"true", true}, {"tRuE", true},  {"yes", false},
                 {"1", false},   {"", false},    {nullptr, false}};
    for (const auto& row : table) {
        Doc doc(theme.ToXML(0, ""));
        pugi::xml_node items = doc.Items();
        if (row.szValue)
            items.attribute("dkm:Descending").set_value(row.szValue);
        else
            items.remove_attribute("dkm:Descending");
        RangeProbe target;
        ASSERT_TRUE(target.FromXML(doc.Text(), 0, ""));
        EXPECT_EQ(row.bDescending, target.m_bDescending != FALSE)
            << (row.szValue ? row.szValue : "");
    }
}

TEST_F(RangeXmlTest, ReaderTakesTheElementsInWritingOrder) {
    theme.SetExpression("new");
    Fill(theme, {10}, false);
    Doc doc(theme.ToXML(0, ""));
    pugi::xml_node root = doc.Root();
    // The method moved before the expression is passed over.
    root.insert_move_before(root.child("dkm:Range3DMethod"), root.child("dkm:FieldExpression"));
    root.child("dkm:Range3DMethod").text().set("4");

    RangeProbe target;
    target.SetExpression("old");
    TOVO::TovoArray<double> values;
    values.Add(1);
    values.Add(9);
    target.MakeDefault(KrTheme3D::ClassStdev, 2, values, {}, 0);
    ASSERT_TRUE(target.FromXML(doc.Text(), 0, ""));
    EXPECT_EQ("new", target.GetExpression().Str());
    EXPECT_EQ(KrTheme3D::ClassStdev, target.GetClassType());
    EXPECT_EQ((Doubles{10}), Values(target));

    // Without expression, method and items the members stay and the theme is empty.
    root.remove_child("dkm:FieldExpression");
    root.remove_child("dkm:Range3DMethod");
    root.remove_child("dkm:RangeItems");
    target.SetExpression("kept");
    ASSERT_TRUE(target.FromXML(doc.Text(), 0, ""));
    EXPECT_EQ("kept", target.GetExpression().Str());
    EXPECT_EQ(KrTheme3D::ClassStdev, target.GetClassType());
    EXPECT_EQ(0, target.GetCount());
}

TEST_F(RangeXmlTest, BreakValuesComeFromTheRangeTextsOnly) {
    Fill(theme, {1, 2, 3, 4, 5, 6, 7}, false);
    Doc doc(theme.ToXML(0, ""));
    // Lower bounds before "<=", the top after ">="; texts without a finite number add nothing
    // and a repeated value is dropped, so later elements give their contents to earlier items.
    const char* texts[] = {"X<5", "5<=X<7", "abc", " 7 <=X<9", "<=8", "X>= 9 ", "X>=9", "X>=inf"};
    int i = 0;
    for (pugi::xml_node item : doc.ItemNodes())
        item.child("dkm:RangeValue").text().set(texts[i++]);
    RangeProbe target;
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
    const char* texts[] = {"", "no", "false", "FaLsE", nullptr};
    int i = 0;
    for (pugi::xml_node item : doc.ItemNodes()) {
        if (texts[i]) {
            item.child("dkm:StyleEnable").text().set(texts[i]);
        } else {
            item.remove_child("dkm:Caption");
            item.remove_child("dkm:StyleEnable");
            item.remove_child("dkm:Style");
        }
        ++i;
    }
    RangeProbe target;
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
    const TovoMBString strXML = theme.ToXML(0, "/data/scene.xml");
    EXPECT_EQ("icons/a.png", theme.GetStyleAt(0).GetIconName().Str());
    EXPECT_TRUE(theme.GetStyleAt(1).GetIconName().IsEmpty());
    theme.ToXML(0, "/data/scene.xml"); // already relative: stays so
    EXPECT_EQ("icons/a.png", theme.GetStyleAt(0).GetIconName().Str());

    RangeProbe target;
    ASSERT_TRUE(target.FromXML(strXML, 0, "/data/scene.xml"));
    EXPECT_EQ("/data/icons/a.png", target.GetStyleAt(0).GetIconName().Str());
    EXPECT_TRUE(target.GetStyleAt(1).GetIconName().IsEmpty());
}

} // namespace
