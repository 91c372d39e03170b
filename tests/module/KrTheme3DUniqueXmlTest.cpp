// The unique theme's XML: what the writer produced, read with plain pugixml, and what the reader
// takes from real documents edited by hand.
#include "Theme3DBase/KrTheme3DUnique.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

using namespace KRS;
using TOVO::TovoMBString;

namespace {

const int kVersion = 20090106;
const char* const kCaption = "  <Main> & \"roads\" 'x' ";

KrTheme3DItem MakeItem(const char* szCaption, unsigned nRed, bool bVisible = true) {
    KrTheme3DItem item;
    item.m_strCaption = szCaption;
    item.m_Style.SetFillColor(TOVORGB(nRed, 0, 0));
    item.m_bVisible = bVisible ? TRUE : FALSE;
    return item;
}

pugi::xml_node Root(pugi::xml_document& doc, const TovoMBString& strXML) {
    EXPECT_TRUE(doc.load_buffer(strXML.c_str(), static_cast<std::size_t>(strXML.GetLength()),
                                pugi::parse_default | pugi::parse_ws_pcdata));
    return doc.document_element();
}

// A real theme's output, changed by hand through pugixml.
TovoMBString Edited(const KrTheme3DUnique& theme, const std::function<void(pugi::xml_node)>& edit) {
    pugi::xml_document doc;
    edit(Root(doc, theme.ToXML(kVersion, "")));
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration);
    return out.str();
}

std::vector<std::string> ChildNames(pugi::xml_node node) {
    std::vector<std::string> names;
    for (pugi::xml_node child : node.children())
        names.push_back(child.name());
    return names;
}

class UniqueXmlTest : public ::testing::Test {
protected:
    void SetUp() override {
        source.SetExpression("road");
        source.Add("1", MakeItem(kCaption, 1));
        source.Add("2", MakeItem("", 2, false));
        KrStyle def;
        def.SetFillColor(TOVORGB(0, 0, 99));
        source.SetDefaultStyle(def);
    }
    pugi::xml_node Item(pugi::xml_node root, int n) {
        auto items = root.child("dkm:UniqueItems").children("dkm:UniqueItem");
        return *std::next(items.begin(), n);
    }
    KrTheme3DUnique source;
};

TEST_F(UniqueXmlTest, WritesItsElementsAfterTheBasePart) {
    pugi::xml_document doc;
    const pugi::xml_node root = Root(doc, source.ToXML(0, ""));
    EXPECT_STREQ("dkm:Theme3D", root.name());
    std::vector<std::string> names = ChildNames(root);
    ASSERT_GE(names.size(), 4u);
    EXPECT_EQ(
        (std::vector<std::string>{"dkm:FieldExpression", "dkm:DefaultStyle", "dkm:UniqueItems"}),
        std::vector<std::string>(names.end() - 3, names.end()));
    EXPECT_STREQ("road", root.child_value("dkm:FieldExpression"));
    EXPECT_EQ(2, std::distance(root.child("dkm:UniqueItems").begin(),
                               root.child("dkm:UniqueItems").end()));
    const std::vector<std::string> itemNames = {"dkm:Value", "dkm:Caption", "dkm:StyleEnable",
                                                "dkm:Style"};
    const char* expected[2][3] = {{"1", kCaption, "TRUE"}, {"2", "", "FALSE"}};
    for (int n = 0; n < 2; ++n) {
        const pugi::xml_node item = Item(root, n);
        EXPECT_EQ(itemNames, ChildNames(item));
        for (int k = 0; k < 3; ++k)
            EXPECT_STREQ(expected[n][k], item.child_value(itemNames[k].c_str()));
        EXPECT_FALSE(item.first_attribute());
    }
}

TEST_F(UniqueXmlTest, ManyValuesReadBackEqual) {
    for (unsigned i = 0; i < 300; ++i) {
        const std::string value =
            i % 7 == 0 ? " v<" + std::to_string(i) + "> " : std::to_string(299 - i);
        source.Add(value, MakeItem((kCaption + std::to_string(i)).c_str(), i % 256, i % 3 != 0));
    }
    KrTheme3DUnique target;
    target.Add("stale", MakeItem("s", 5));
    ASSERT_TRUE(target.FromXML(source.ToXML(kVersion, ""), 0, ""));
    ASSERT_EQ(source.GetCount(), target.GetCount());
    for (int i = 0; i < source.GetCount(); ++i) {
        ASSERT_EQ(source.GetValueAt(i).Str(), target.GetValueAt(i).Str()) << i;
        EXPECT_EQ(source.GetCaptionAt(i).Str(), target.GetCaptionAt(i).Str()) << i;
        EXPECT_EQ(source.IsVisibleAt(i), target.IsVisibleAt(i)) << i;
        EXPECT_TRUE(source.GetStyleAt(i) == target.GetStyleAt(i)) << i;
    }
    EXPECT_FALSE(target.IsExist("stale"));
    EXPECT_TRUE(source.GetDefaultStyle() == target.GetDefaultStyle());
    EXPECT_EQ("road", target.GetExpression().Str());
}

TEST_F(UniqueXmlTest, AThemeWithoutValuesWritesAnEmptyItemList) {
    source.RemoveAll();
    pugi::xml_document doc;
    const TovoMBString strXML = source.ToXML(kVersion, "");
    const pugi::xml_node items = Root(doc, strXML).child("dkm:UniqueItems");
    ASSERT_TRUE(items);
    EXPECT_FALSE(items.first_child());
    KrTheme3DUnique target;
    target.Add("x", MakeItem("X", 1));
    EXPECT_TRUE(target.FromXML(strXML, kVersion, ""));
    EXPECT_EQ(0, target.GetCount());
}

TEST_F(UniqueXmlTest, VersionsAndRefusedDocuments) {
    EXPECT_TRUE(source.ToXML(1, "").IsEmpty());
    const TovoMBString strXML = source.ToXML(0, "");
    EXPECT_EQ(strXML.Str(), source.ToXML(kVersion, "").Str());
    KrTheme3DUnique target;
    target.Add("kept", MakeItem("K", 1));
    target.SetAliasSuffix("_t");
    EXPECT_TRUE(target.FromXML(strXML, 1, ""));
    EXPECT_FALSE(target.FromXML("", 0, ""));
    EXPECT_FALSE(target.FromXML("<dkm:Theme3D", 0, ""));
    const TovoMBString strRange =
        Edited(source, [](pugi::xml_node root) { root.child("dkm:ThemeType").text() = "2"; });
    EXPECT_FALSE(target.FromXML(strRange, 0, ""));
    EXPECT_EQ(1, target.GetType());
    EXPECT_EQ("_t", target.GetAliasSuffix().Str());
    EXPECT_EQ(1, target.GetCount());
    EXPECT_TRUE(target.IsExist("kept"));
}

TEST_F(UniqueXmlTest, OnlyFalseInAnyCaseHidesAnItem) {
    const std::pair<const char*, bool> cases[] = {
        {"FALSE", false}, {"false", false}, {"FaLsE", false}, {"TRUE", true},
        {"", true},       {"0", true},      {"no", true},     {" FALSE", true}};
    for (const auto& c : cases) {
        KrTheme3DUnique target;
        target.FromXML(Edited(source,
                              [&](pugi::xml_node root) {
                                  Item(root, 0).child("dkm:StyleEnable").text() = c.first;
                              }),
                       kVersion, "");
        EXPECT_EQ(c.second, target.IsVisibleAt(0) != FALSE) << '"' << c.first << '"';
    }
}

TEST_F(UniqueXmlTest, TheFirstOfTwoEqualValuesWins) {
    KrTheme3DUnique target;
    target.FromXML(
        Edited(source, [&](pugi::xml_node root) { Item(root, 1).child("dkm:Value").text() = "1"; }),
        kVersion, "");
    ASSERT_EQ(1, target.GetCount());
    EXPECT_EQ(kCaption, target.GetCaptionAt(0).Str());
    EXPECT_TRUE(target.IsVisibleAt(0));
    EXPECT_EQ(TOVORGB(1, 0, 0), target.GetStyleAt(0).GetFillColor());
}

TEST_F(UniqueXmlTest, ElementsBeforeTheOneFoundPreviouslyAreNotSeen) {
    const TovoMBString strXML = Edited(source, [&](pugi::xml_node root) {
        root.prepend_move(root.child("dkm:UniqueItems"));
        root.prepend_move(root.child("dkm:DefaultStyle"));
        pugi::xml_node item = Item(root, 0);
        item.prepend_move(item.child("dkm:Caption"));
    });
    KrTheme3DUnique target;
    ASSERT_TRUE(target.FromXML(strXML, kVersion, ""));
    EXPECT_EQ("road", target.GetExpression().Str());
    EXPECT_TRUE(target.GetDefaultStyle() == KrStyle());
    ASSERT_EQ(2, target.GetCount());
    EXPECT_EQ("", target.GetCaptionAt(0).Str());
    EXPECT_FALSE(target.IsVisibleAt(1));
}

TEST_F(UniqueXmlTest, MissingPartsKeepOrDefaultWhatTheyHold) {
    const TovoMBString strXML = Edited(source, [&](pugi::xml_node root) {
        root.remove_child("dkm:FieldExpression");
        root.remove_child("dkm:DefaultStyle");
        Item(root, 0).remove_child("dkm:Value");
        Item(root, 1).remove_child("dkm:Caption");
        Item(root, 1).remove_child("dkm:Style");
    });
    KrTheme3DUnique target;
    target.SetExpression("kept");
    ASSERT_TRUE(target.FromXML(strXML, kVersion, ""));
    EXPECT_EQ("kept", target.GetExpression().Str());
    EXPECT_TRUE(target.GetDefaultStyle() == KrStyle());
    ASSERT_EQ(1, target.GetCount()); // an item without a value is dropped
    EXPECT_EQ("2", target.GetValueAt(0).Str());
    EXPECT_EQ("", target.GetCaptionAt(0).Str());
    EXPECT_FALSE(target.IsVisibleAt(0));
    EXPECT_TRUE(target.GetStyleAt(0) == KrStyle());
}

TEST_F(UniqueXmlTest, IconNamesAreStoredRelativeToThePath) {
    KrStyle style;
    style.SetIconName("/data/maps/icons/road.png");
    source.SetStyleAt(0, style);
    pugi::xml_document doc;
    const TovoMBString strXML = source.ToXML(kVersion, "/data/maps/");
    std::ostringstream styleDoc;
    Item(Root(doc, strXML), 0).child("dkm:Style").print(styleDoc, "", pugi::format_raw);
    KrStyle stored;
    stored.FromXML(styleDoc.str(), kVersion);
    EXPECT_EQ("icons/road.png", stored.GetIconName().Str());
    EXPECT_EQ("icons/road.png", source.GetStyleAt(0).GetIconName().Str()); // kept after writing
    KrTheme3DUnique target;
    ASSERT_TRUE(target.FromXML(strXML, kVersion, "/data/maps/"));
    EXPECT_EQ("/data/maps/icons/road.png", target.GetStyleAt(0).GetIconName().Str());
    EXPECT_EQ("", target.GetStyleAt(1).GetIconName().Str());
}

} // namespace
