// The graph theme's XML: what the writer produced, read with plain pugixml, and what the reader
// takes from hand-made and hand-edited documents.
#include "Theme3DBase/KrTheme3DGraph.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

using KRS::Kr3DGraphItem;
using KRS::KrLogFile;
using KRS::KrTheme3DGraph;
using TOVO::TovoArray;
using TOVO::TovoMBString;

namespace {

const int kVersion = 20090106;

pugi::xml_node Root(pugi::xml_document& doc, const TovoMBString& strXML) {
    EXPECT_TRUE(doc.load_buffer(strXML.c_str(), strXML.Str().size(),
                                pugi::parse_default | pugi::parse_ws_pcdata));
    return doc.child("dkm:Theme3D");
}

// The children from "dkm:GraphType" on, as name=text.
std::vector<std::string> GraphChildren(const pugi::xml_node& root) {
    std::vector<std::string> out;
    bool graph = false;
    for (const pugi::xml_node& child : root.children()) {
        graph = graph || std::string(child.name()) == "dkm:GraphType";
        if (graph)
            out.push_back(std::string(child.name()) + "=" + child.child_value());
    }
    return out;
}

TovoMBString Edited(const TovoMBString& strXML, const std::function<void(pugi::xml_node)>& edit) {
    pugi::xml_document doc;
    edit(Root(doc, strXML));
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration);
    return out.str();
}

// A base document of a graph theme followed by the given graph elements.
TovoMBString Document(const std::string& graphElements) {
    const TovoMBString base = KrTheme3DGraph().ToXML(20031211, "");
    std::string text = base.Str();
    const std::size_t end = text.rfind("</dkm:Theme3D>");
    return text.substr(0, end) + graphElements + "</dkm:Theme3D>";
}

std::string Element(const std::string& name, const std::string& text) {
    return "<" + name + ">" + text + "</" + name + ">";
}

KrTheme3DGraph Full() {
    KrTheme3DGraph theme;
    theme.Add("POP");
    TovoArray<double> values;
    values.Add(1.5);
    values.Add(-2);
    theme.AddArrayField("Arr", values);
    theme.SetGraphType(12);
    theme.SetBarWidth(12.5);
    theme.SetStartAngle(-0.25);
    theme.SetShowItemText(TRUE);
    theme.SetItemTextFormat(4);
    theme.SetGraduatedMode(2);
    theme.SetMinSumSize(3);
    theme.SetMaxSumSize(100);
    theme.CalExtremumvValue(4, 16, TOVO::TovoRect2D(0, 0, 1, 1), 0, FALSE);
    KRS::KrTextStyle textStyle = theme.GetItemTextStyle();
    textStyle.SetFaceName("MyTextStyleFont");
    textStyle.SetSize(11);
    theme.SetItemTextStyle(textStyle);
    TovoArray<int> keys;
    keys.Add(7);
    keys.Add(-3);
    theme.SetJoinArrayField(keys);
    theme.SetAliasSuffix("S");
    return theme;
}

class GraphXmlTest : public ::testing::Test {
protected:
    void SetUp() override { KrLogFile::GetInstance(false).ClearRecords(); }

    static void ExpectOneLog(const char* szCode, int nLine) {
        const auto records = KrLogFile::GetInstance(false).GetRecords();
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].nLevel, 400);
        EXPECT_EQ(records[0].strCode, szCode);
        EXPECT_EQ(records[0].strSource, "Src/Theme3DBase/KrTheme3DGraph");
        EXPECT_EQ(records[0].nLine, nLine);
        EXPECT_NE(records[0].strMessage.Find("KrTheme3DGraph"), -1);
    }
};

TEST_F(GraphXmlTest, DefaultThemeWritesEighteenRowsInOrder) {
    KrTheme3DGraph theme;
    theme.Add("A");
    theme.Add("B");
    theme.Add("C");
    const TovoMBString xml = theme.ToXML(kVersion, "ignored");
    EXPECT_EQ(theme.ToXML(0, ""), xml);
    pugi::xml_document doc;
    const pugi::xml_node root = Root(doc, xml);
    EXPECT_EQ(GraphChildren(root),
              (std::vector<std::string>{
                  "dkm:GraphType=Pie", "dkm:BarWidth=0", "dkm:StartAngle=0",
                  "dkm:ShowItemText=FALSE", "dkm:ItemTextFormat=Percent",
                  "dkm:GraduatedMode=Constant", "dkm:MinSum=0", "dkm:MaxSum=0", "dkm:SqrtMinSum=0",
                  "dkm:SqrtMaxSum=0", "dkm:LogMinSum=0", "dkm:LogMaxSum=0",
                  "dkm:GraphItems=", "dkm:MinSize=", "dkm:MaxSize=", "dkm:ItemTextStyle="}));
    const pugi::xml_node items = root.child("dkm:GraphItems");
    EXPECT_EQ(std::distance(items.begin(), items.end()), 3);
    EXPECT_STREQ(items.first_child().name(), "dkm:GraphItem");
    EXPECT_STREQ(items.first_child().child_value("dkm:FieldExpression"), "A");
    for (const char* size : {"dkm:MinSize", "dkm:MaxSize"}) {
        EXPECT_STREQ(root.child(size).child_value("dkm:cx"), "0");
        EXPECT_STREQ(root.child(size).child_value("dkm:cy"), "0");
    }
    EXPECT_TRUE(root.child("dkm:KeyNum").empty());
}

TEST_F(GraphXmlTest, WritesNamesNumbersKeysAndTheRenamedTextStyle) {
    const TovoMBString xml = Full().ToXML(kVersion, "");
    pugi::xml_document doc;
    const pugi::xml_node root = Root(doc, xml);
    EXPECT_STREQ(root.child_value("dkm:GraphType"), "StackedBar");
    EXPECT_STREQ(root.child_value("dkm:BarWidth"), "12.5");
    EXPECT_STREQ(root.child_value("dkm:StartAngle"), "-0.25");
    EXPECT_STREQ(root.child_value("dkm:ShowItemText"), "TRUE");
    EXPECT_STREQ(root.child_value("dkm:ItemTextFormat"), "CaptionPercent");
    EXPECT_STREQ(root.child_value("dkm:GraduatedMode"), "Logarithm");
    EXPECT_STREQ(root.child_value("dkm:MaxSum"), "16");
    EXPECT_STREQ(root.child_value("dkm:SqrtMinSum"), "2");
    EXPECT_STREQ(root.child_value("dkm:LogMaxSum"), "2.772588722239781"); // ln 16, 15 decimals
    EXPECT_STREQ(root.child("dkm:MinSize").child_value("dkm:cx"), "4.242640687119286");
    EXPECT_STREQ(root.child_value("dkm:KeyNum"), "2");
    EXPECT_STREQ(root.child_value("dkm:Key0"), "7");
    EXPECT_STREQ(root.child_value("dkm:Key1"), "-3");
    EXPECT_STREQ(root.last_child().name(), "dkm:Key1");
    const pugi::xml_node textStyle = root.child("dkm:ItemTextStyle");
    ASSERT_FALSE(textStyle.empty());
    EXPECT_EQ(xml.Find("dkm:TextStyle"), -1);
    const pugi::xml_node second = root.child("dkm:GraphItems").last_child();
    EXPECT_STREQ(second.child_value("dkm:ArrayField0"), "1.500000");
}

TEST_F(GraphXmlTest, CodesOutsideTheTablesAreWrittenByTheirFallbackNames) {
    struct Case {
        int nType, nFormat, nMode;
        const char *szType, *szFormat, *szMode;
    };
    for (const Case& c :
         {Case{4, 2, 1, "Bar", "Value", "SquareRoot"}, Case{6, 3, 0, "Pie", "Caption", "Constant"},
          Case{7, 5, 9, "Pie", "CaptionValue", "SquareRoot"},
          Case{-1, 0, 200, "Pie", "Percent", "SquareRoot"}}) {
        KrTheme3DGraph theme;
        theme.SetGraphType(c.nType);
        theme.SetItemTextFormat(c.nFormat);
        theme.SetGraduatedMode(c.nMode);
        pugi::xml_document doc;
        const pugi::xml_node root = Root(doc, theme.ToXML(kVersion, ""));
        EXPECT_STREQ(root.child_value("dkm:GraphType"), c.szType);
        EXPECT_STREQ(root.child_value("dkm:ItemTextFormat"), c.szFormat);
        EXPECT_STREQ(root.child_value("dkm:GraduatedMode"), c.szMode);
    }
}

TEST_F(GraphXmlTest, OtherVersionsWriteTheBaseAloneAndFailuresAreLogged) {
    const TovoMBString old = Full().ToXML(20031211, "");
    pugi::xml_document doc;
    const pugi::xml_node root = Root(doc, old);
    ASSERT_FALSE(root.empty());
    EXPECT_TRUE(root.child("dkm:GraphType").empty());
    EXPECT_TRUE(root.child("dkm:GraphItems").empty());
    EXPECT_TRUE(KrLogFile::GetInstance(false).GetRecords().empty());

    EXPECT_TRUE(Full().ToXML(12345, "").IsEmpty()); // the base writes nothing for it
    ExpectOneLog("EGg041", 392);
}

TEST_F(GraphXmlTest, ReadsBackWhatItWrote) {
    const KrTheme3DGraph written = Full();
    KrTheme3DGraph read;
    read.Add("old");
    ASSERT_EQ(read.FromXML(written.ToXML(kVersion, ""), 0, ""), TRUE);
    EXPECT_EQ(read.IsModified(), TRUE);
    EXPECT_EQ(read.GetAliasSuffix(), "S");
    ASSERT_EQ(read.GetCount(), 2);
    EXPECT_EQ(read.GetExpressionAt(0), "POP");
    EXPECT_EQ(read.GetItem(1).m_strCaption, "Arr");
    EXPECT_EQ(read.GetItem(1).m_nItemType, 2);
    EXPECT_EQ(
        std::vector<double>(read.GetItem(1).m_arrValues.begin(), read.GetItem(1).m_arrValues.end()),
        (std::vector<double>{1.5, -2}));
    EXPECT_EQ(read.GetGraphType(), 12);
    EXPECT_EQ(read.GetBarWidth(), 12.5);
    EXPECT_EQ(read.GetStartAngle(), -0.25);
    EXPECT_EQ(read.IsShowItemText(), TRUE);
    EXPECT_EQ(read.GetItemTextFormat(), 4);
    EXPECT_EQ(read.GetGraduatedMode(), 2);
    EXPECT_EQ(read.GetMinSum(), 4.0);
    EXPECT_EQ(read.GetSqrtMaxSum(), 4.0);
    EXPECT_DOUBLE_EQ(read.GetLogMinSum(), 1.3862943611198906);
    EXPECT_DOUBLE_EQ(read.GetMinSize().cx, 4.2426406871192857);
    EXPECT_EQ(read.GetMaxSumSize(), 100.0);
    EXPECT_EQ(read.GetItemTextStyle(), written.GetItemTextStyle());
    EXPECT_EQ(read.GetItemTextStyle().GetFaceName(), "MyTextStyleFont");
    EXPECT_EQ(std::vector<int>(read.GetJoinArrayField().begin(), read.GetJoinArrayField().end()),
              (std::vector<int>{7, -3}));
    EXPECT_EQ(read.ToXML(kVersion, ""), written.ToXML(kVersion, ""));
}

TEST_F(GraphXmlTest, NamesAreReadIgnoringCaseWithFallbacks) {
    struct Case {
        const char* szElement;
        const char* szText;
        int nExpected;
        std::function<int(const KrTheme3DGraph&)> get;
    };
    const auto type = [](const KrTheme3DGraph& t) { return t.GetGraphType(); };
    const auto show = [](const KrTheme3DGraph& t) { return int(t.IsShowItemText()); };
    const auto format = [](const KrTheme3DGraph& t) { return t.GetItemTextFormat(); };
    const auto mode = [](const KrTheme3DGraph& t) { return t.GetGraduatedMode(); };
    const std::vector<Case> cases = {
        {"dkm:GraphType", "stackedbar", 12, type},
        {"dkm:GraphType", "BAR", 4, type},
        {"dkm:GraphType", "Column", 6, type},
        {"dkm:ShowItemText", "true", 1, show},
        {"dkm:ShowItemText", "1", 0, show},
        {"dkm:ItemTextFormat", "captionvalue", 5, format},
        {"dkm:ItemTextFormat", "Values", 1, format},
        {"dkm:GraduatedMode", "squareroot", 1, mode},
        {"dkm:GraduatedMode", "LOGARITHM", 2, mode},
        {"dkm:GraduatedMode", "linear", 1, mode},
        {"dkm:GraduatedMode", "constant", 0, mode},
    };
    for (const Case& c : cases) {
        KrTheme3DGraph theme;
        theme.SetShowItemText(TRUE);
        ASSERT_EQ(theme.FromXML(Document(Element(c.szElement, c.szText)), kVersion, ""), TRUE);
        EXPECT_EQ(c.get(theme), c.nExpected) << c.szElement << " " << c.szText;
    }
}

TEST_F(GraphXmlTest, OldVersionsReadTheBaseOnly) {
    KrTheme3DGraph theme = Full();
    theme.SetModifiedFlag(FALSE);
    ASSERT_EQ(theme.FromXML(Full().ToXML(kVersion, ""), 20031212, ""), TRUE);
    EXPECT_EQ(theme.GetCount(), 0);
    EXPECT_EQ(theme.IsModified(), TRUE);
    EXPECT_EQ(theme.GetBarWidth(), 12.5); // not reset, not read
    EXPECT_EQ(theme.GetJoinArrayField().GetSize(), 2);
}

TEST_F(GraphXmlTest, MissingElementsKeepTheirMembers) {
    KrTheme3DGraph theme = Full();
    const TovoMBString xml = Edited(Full().ToXML(kVersion, ""), [](pugi::xml_node root) {
        root.remove_child("dkm:KeyNum");
        root.remove_child("dkm:BarWidth");
    });
    theme.SetBarWidth(77);
    TovoArray<int> keys;
    keys.Add(1);
    theme.SetJoinArrayField(keys);
    ASSERT_EQ(theme.FromXML(xml, kVersion, ""), TRUE);
    EXPECT_EQ(theme.GetBarWidth(), 77.0);
    EXPECT_EQ(theme.GetJoinArrayField().GetSize(), 1); // Key0 and Key1 are not read without KeyNum
    EXPECT_EQ(theme.GetGraphType(), 12);
}

TEST_F(GraphXmlTest, ElementsOutOfOrderAreNotSeen) {
    KrTheme3DGraph theme;
    theme.SetBarWidth(3);
    const std::string elements = Element("dkm:BarWidth", "9") + Element("dkm:GraphType", "Bar");
    ASSERT_EQ(theme.FromXML(Document(elements), kVersion, ""), TRUE);
    EXPECT_EQ(theme.GetGraphType(), 4);
    EXPECT_EQ(theme.GetBarWidth(), 3.0);
}

TEST_F(GraphXmlTest, ItemsInheritWhatTheyLackFromTheItemBefore) {
    const std::string items = Element(
        "dkm:GraphItems", Element("dkm:GraphItem", Element("dkm:FieldExpression", "E1") +
                                                       Element("dkm:Caption", "Cap")) +
                              Element("dkm:Other", "") +
                              Element("dkm:GraphItem", Element("dkm:FieldExpression", "E2")));
    KrTheme3DGraph theme;
    ASSERT_EQ(theme.FromXML(Document(items + Element("dkm:MinSize", Element("dkm:cx", "3") +
                                                                        Element("dkm:cy", "5"))),
                            kVersion, ""),
              TRUE);
    ASSERT_EQ(theme.GetCount(), 2);
    EXPECT_EQ(theme.GetExpressionAt(1), "E2");
    EXPECT_EQ(theme.GetItem(1).m_strCaption, "Cap");
    EXPECT_EQ(theme.GetMinSize().cx, 3.0); // no square-root rule on reading
    EXPECT_EQ(theme.GetMinSumSize(), 5.0);
}

TEST_F(GraphXmlTest, MissingKeysReadAsZero) {
    const std::string keys =
        Element("dkm:KeyNum", "3") + Element("dkm:Key0", "11") + Element("dkm:Key2", "33");
    KrTheme3DGraph theme;
    ASSERT_EQ(theme.FromXML(Document(keys), kVersion, ""), TRUE);
    EXPECT_EQ(std::vector<int>(theme.GetJoinArrayField().begin(), theme.GetJoinArrayField().end()),
              (std::vector<int>{11, 0, 33}));
    ASSERT_EQ(theme.FromXML(Document(Element("dkm:KeyNum", "-1")), kVersion, ""), TRUE);
    EXPECT_EQ(theme.GetJoinArrayField().GetSize(), 0);
}

TEST_F(GraphXmlTest, CountsCannotOutgrowTheDocument) {
    KrTheme3DGraph theme;
    const TovoMBString keys = Document(Element("dkm:KeyNum", "2147483647"));
    ASSERT_EQ(theme.FromXML(keys, kVersion, ""), TRUE);
    EXPECT_GT(theme.GetJoinArrayField().GetSize(), 0);
    EXPECT_LE(theme.GetJoinArrayField().GetSize(), keys.GetLength());

    // One item claims a long list and a hundred empty items would each inherit a copy of it.
    std::string items = Element("dkm:GraphItem", Element("dkm:ArrayFieldNum", "999999999"));
    for (int i = 0; i < 100; ++i)
        items += "<dkm:GraphItem/>";
    const TovoMBString doc = Document(Element("dkm:GraphItems", items));
    ASSERT_EQ(theme.FromXML(doc, kVersion, ""), TRUE);
    ASSERT_EQ(theme.GetCount(), 101);
    long long total = 0;
    for (int i = 0; i < theme.GetCount(); ++i)
        total += theme.GetItem(i).m_arrValues.GetSize();
    EXPECT_GT(theme.GetItem(0).m_arrValues.GetSize(), 0);
    EXPECT_LE(total, doc.GetLength());
    EXPECT_TRUE(theme.GetItem(100).m_arrValues.IsEmpty());
}

TEST_F(GraphXmlTest, FailedReadsAreLoggedAndKeepTheItems) {
    struct Case {
        TovoMBString strXML;
        int nVersion;
        int nLine;
    };
    for (const Case& c :
         {Case{"", kVersion, 644}, Case{"<dkm:Other/>", kVersion, 655},
          Case{"<dkm:Theme3D>", kVersion, 655}, Case{Document(""), 20100101, 655}}) {
        KrLogFile::GetInstance(false).ClearRecords();
        KrTheme3DGraph theme;
        theme.Add("keep");
        theme.SetModifiedFlag(FALSE);
        EXPECT_EQ(theme.FromXML(c.strXML, c.nVersion, ""), FALSE) << c.nLine;
        EXPECT_EQ(theme.GetCount(), 1);
        EXPECT_EQ(theme.IsModified(), FALSE);
        ExpectOneLog("EGg040", c.nLine);
    }
}

TEST_F(GraphXmlTest, AcceptsADocumentOfAnotherThemeType) {
    const TovoMBString other =
        Edited(Document(Element("dkm:GraphType", "Bar")),
               [](pugi::xml_node root) { root.child("dkm:ThemeType").text().set("2"); });
    KrTheme3DGraph theme;
    ASSERT_EQ(theme.FromXML(other, kVersion, ""), TRUE);
    EXPECT_EQ(theme.GetType(), 2);
    EXPECT_EQ(theme.GetGraphType(), 4);
}

} // namespace
