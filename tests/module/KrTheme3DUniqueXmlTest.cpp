// The unique theme's XML: what the writer produced, read with plain pugixml, and what the reader
// takes from real documents edited by hand.
#include "Theme3DBase/KrTheme3DUnique.h"
#include "ThemeTestSupport.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <functional>
#include <sstream>
#include <string>

using namespace KRS;
using TOVO::TovoMBString;

using namespace ThemeTest;

namespace {

const int kVersion = 20090106;

// "expression#default style#value:caption:visible:style|...", a style written as the red of
// its fill colour and its icon name, or "-" when it is a default style.
std::string Summary(KrTheme3DUnique& theme) {
    auto style = [](const KrStyle& s) {
        return s == KrStyle() ? "-"
                              : std::to_string(s.GetFillColor() & 0xFF) + s.GetIconName().Str();
    };
    std::string text = theme.GetExpression().Str() + "#" + style(theme.GetDefaultStyle()) + "#";
    for (int i = 0; i < theme.GetCount(); ++i)
        text += (i ? "|" : "") + theme.GetValueAt(i).Str() + ":" + theme.GetCaptionAt(i).Str() +
                (theme.IsVisibleAt(i) ? ":1:" : ":0:") + style(theme.GetStyleAt(i));
    return text;
}

// Reads the text into a theme that held the expression "kept", a default style of red 7 and
// the value "stale"; its summary afterwards, after "refused " when FromXML answered FALSE.
std::string Read(const TovoMBString& strXML, int nVersion = kVersion, const char* szPath = "") {
    KrTheme3DUnique target;
    target.SetExpression("kept");
    target.SetDefaultStyle(MakeItem("", 7).m_Style);
    target.Add("stale", MakeItem("s", 5));
    const bool bRead = target.FromXML(strXML, nVersion, szPath);
    return (bRead ? "" : "refused ") + Summary(target);
}

pugi::xml_node Root(pugi::xml_document& doc, const TovoMBString& strXML) {
    EXPECT_TRUE(doc.load_buffer(strXML.c_str(), static_cast<std::size_t>(strXML.GetLength()),
                                pugi::parse_default | pugi::parse_ws_pcdata));
    return doc.document_element();
}

// Element names, "=text" when there is text, "@" per attribute and children in brackets; what a
// style holds is left out.
std::string Outline(pugi::xml_node node) {
    const std::string name = node.name();
    std::string text = name, children;
    for (pugi::xml_attribute attribute : node.attributes())
        text += "@" + std::string(attribute.name());
    if (*node.child_value())
        text += "=" + std::string(node.child_value());
    for (pugi::xml_node child : node.children())
        if (child.type() == pugi::node_element)
            children += (children.empty() ? "(" : ",") + Outline(child);
    return children.empty() || name.find("Style") != std::string::npos ? text
                                                                       : text + children + ")";
}

class UniqueXmlTest : public ::testing::Test {
protected:
    void SetUp() override {
        source.SetExpression("road [#] lane");
        source.Add("1", MakeItem(" <&\"'> ", 1));
        source.Add("2", MakeItem("", 2, false));
        source.SetDefaultStyle(MakeItem("", 99).m_Style);
    }
    static pugi::xml_node Item(pugi::xml_node root, int n) {
        return *std::next(root.child("dkm:UniqueItems").children().begin(), n);
    }
    // The source's document, changed by hand.
    TovoMBString Edited(const std::function<void(pugi::xml_node)>& edit) {
        pugi::xml_document doc;
        edit(Root(doc, source.ToXML(kVersion, "")));
        std::ostringstream out;
        doc.save(out, "", pugi::format_raw | pugi::format_no_declaration);
        return out.str();
    }
    KrTheme3DUnique source;
};

TEST_F(UniqueXmlTest, WritesItsElementsAfterTheBasePart) {
    pugi::xml_document doc;
    const std::string outline = Outline(Root(doc, source.ToXML(0, "")));
    const std::string tail = "dkm:FieldExpression=road [#] lane,dkm:DefaultStyle,dkm:UniqueItems("
                             "dkm:UniqueItem(dkm:Value=1,dkm:Caption= <&\"'> ,dkm:StyleEnable=TRUE,"
                             "dkm:Style),dkm:UniqueItem(dkm:Value=2,dkm:Caption,dkm:StyleEnable="
                             "FALSE,dkm:Style)))";
    EXPECT_EQ(0u, outline.find("dkm:Theme3D("));
    ASSERT_GT(outline.size(), tail.size());
    EXPECT_EQ(tail, outline.substr(outline.size() - tail.size()));
    source.RemoveAll(); // an empty item list, read back as no values
    const TovoMBString strEmpty = source.ToXML(kVersion, "");
    EXPECT_NE(std::string::npos, strEmpty.Str().find("<dkm:UniqueItems/></dkm:Theme3D>"));
    EXPECT_EQ("road [#] lane#99#", Read(strEmpty));
}

// Many values, hidden items, markup in captions, and an icon stored relative to the path.
TEST_F(UniqueXmlTest, ReadsBackEqual) {
    KrStyle icon = source.GetStyleAt(0);
    icon.SetIconName("/data/maps/icons/road.png");
    source.SetStyleAt(0, icon);
    source.Find("1")->m_TextStyle.SetSize(42); // not written: read back as the default
    for (unsigned i = 0; i < 300; ++i) {
        const std::string value =
            i % 7 ? std::to_string(299 - i) : " v<" + std::to_string(i) + "> ";
        source.Add(value, MakeItem(("&<" + std::to_string(i)).c_str(), 1 + i % 200, i % 3 != 0));
    }
    const std::string before = Summary(source);
    const TovoMBString strXML = source.ToXML(kVersion, "/data/maps/");
    EXPECT_EQ(std::string::npos, strXML.Str().find("/data/"));
    EXPECT_NE(std::string::npos, strXML.Str().find(">icons/road.png<"));
    EXPECT_EQ("icons/road.png", source.GetStyleAt(0).GetIconName().Str()); // kept after writing
    KrLogFile::GetInstance().ClearRecords();
    EXPECT_EQ(before, Read(strXML, 0, "/data/maps/"));
    EXPECT_TRUE(KrLogFile::GetInstance().GetRecords().empty());
    KrTheme3DUnique target;
    target.FromXML(strXML, kVersion, "/data/maps/");
    EXPECT_EQ(KrTextStyle().GetSize(), target.Find("1")->m_TextStyle.GetSize());
    ASSERT_EQ(2, target.GetFieldExpressions().GetSize());
    EXPECT_EQ("lane", target.GetFieldExpressions()[1].Str());
}

TEST_F(UniqueXmlTest, VersionsAndRefusedDocuments) {
    EXPECT_TRUE(source.ToXML(1, "").IsEmpty());
    const TovoMBString strXML = source.ToXML(0, "");
    EXPECT_EQ(strXML.Str(), source.ToXML(kVersion, "").Str());
    EXPECT_EQ("kept#7#stale:s:1:5", Read(strXML, 1));
    EXPECT_EQ("refused kept#7#stale:s:1:5", Read(""));
    EXPECT_EQ("refused kept#7#stale:s:1:5", Read("<dkm:Theme3D"));
    const TovoMBString strRange =
        Edited([](pugi::xml_node root) { root.child("dkm:ThemeType").text() = "2"; });
    EXPECT_EQ("refused kept#7#stale:s:1:5", Read(strRange));
    KrTheme3DUnique target; // a refused document leaves the base part as it was, too
    target.SetAliasSuffix("_t");
    EXPECT_FALSE(target.FromXML(strRange, 0, ""));
    EXPECT_EQ(1, target.GetType());
    EXPECT_EQ("_t", target.GetAliasSuffix().Str());
}

TEST_F(UniqueXmlTest, OnlyFalseInAnyCaseHidesAnItem) {
    const std::pair<const char*, bool> cases[] = {
        {"FALSE", false}, {"false", false}, {"FaLsE", false}, {"TRUE", true},
        {"", true},       {"0", true},      {"no", true},     {" FALSE", true}};
    for (const auto& [szText, bVisible] : cases) {
        KrTheme3DUnique target;
        target.FromXML(Edited([&](pugi::xml_node root) {
                           Item(root, 0).child("dkm:StyleEnable").text() = szText;
                       }),
                       kVersion, "");
        EXPECT_EQ(bVisible, target.IsVisibleAt(0) != FALSE) << '"' << szText << '"';
    }
}

TEST_F(UniqueXmlTest, ReaderSearchOrderDuplicatesAndMissingParts) {
    // A default style before the expression, and a caption before the value, are not seen; the
    // item list is found wherever it stands; of two equal values the first one stays.
    EXPECT_EQ("road [#] lane#7#1::1:1", Read(Edited([](pugi::xml_node root) {
                  root.prepend_move(root.child("dkm:UniqueItems"));
                  root.prepend_move(root.child("dkm:DefaultStyle"));
                  Item(root, 0).prepend_move(Item(root, 0).child("dkm:Caption"));
                  Item(root, 1).child("dkm:Value").text() = "1";
              })));
    // Missing head elements keep what the theme held; an item without a value is dropped, and
    // one without caption or style has the default ones.
    EXPECT_EQ("kept#7#2::0:-", Read(Edited([](pugi::xml_node root) {
                  root.remove_child("dkm:FieldExpression");
                  root.remove_child("dkm:DefaultStyle");
                  Item(root, 0).remove_child("dkm:Value");
                  Item(root, 1).remove_child("dkm:Caption");
                  Item(root, 1).remove_child("dkm:Style");
              })));
    EXPECT_EQ("road [#] lane#99#",
              Read(Edited([](pugi::xml_node root) { root.remove_child("dkm:UniqueItems"); })));
}

} // namespace
