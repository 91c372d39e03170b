// The graph theme's XML: what the writer produced, read with plain pugixml, and what the reader
// takes from hand-made and hand-edited documents.
#include "Theme3DBase/KrTheme3DGraph.h"
#include "Theme3DBase/KrTheme3DRange.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <string>
#include <vector>

using KRS::KrLogFile;
using KRS::KrTheme3DGraph;
using TOVO::TovoArray;
using TOVO::TovoMBString;

namespace {

const int kVersion = 20090106;

pugi::xml_node Root(pugi::xml_document& doc, const TovoMBString& strXML) {
    EXPECT_TRUE(doc.load_string(strXML.c_str(), pugi::parse_default | pugi::parse_ws_pcdata));
    return doc.child("dkm:Theme3D");
}

std::string El(const std::string& name, const std::string& text) {
    return "<" + name + ">" + text + "</" + name + ">";
}

// A graph theme's base document followed by the given graph elements.
TovoMBString Document(const std::string& graphElements) {
    const std::string base = KrTheme3DGraph().ToXML(20031211, "").Str();
    return (base.substr(0, base.rfind("</dkm:Theme3D>")) + graphElements + "</dkm:Theme3D>")
        .c_str();
}

std::vector<int> Keys(KrTheme3DGraph& theme) {
    return std::vector<int>(theme.GetJoinArrayField().begin(), theme.GetJoinArrayField().end());
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
    theme.SetItemTextStyle(textStyle);
    theme.GetJoinArrayField().Add(7);
    theme.GetJoinArrayField().Add(-3);
    theme.SetAliasSuffix("S");
    return theme;
}

void ExpectOneLog(const char* szCode, int nLine) {
    const auto records = KrLogFile::GetInstance(false).GetRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].nLevel, 400);
    EXPECT_EQ(records[0].strCode, szCode);
    EXPECT_EQ(records[0].strSource, "Src/Theme3DBase/KrTheme3DGraph");
    EXPECT_EQ(records[0].nLine, nLine);
    EXPECT_NE(records[0].strMessage.Find("KrTheme3DGraph"), -1);
}

// name=text of the children from "dkm:GraphType" on.
std::vector<std::string> Rows(const pugi::xml_node& root) {
    std::vector<std::string> rows;
    for (pugi::xml_node child = root.child("dkm:GraphType"); child; child = child.next_sibling())
        rows.push_back(std::string(child.name()) + "=" + child.child_value());
    return rows;
}

TEST(GraphXmlTest, DefaultThemeWritesTheRowsInOrder) {
    KrTheme3DGraph theme;
    theme.Add("A");
    theme.Add("B");
    theme.Add("C");
    const TovoMBString xml = theme.ToXML(kVersion, "ignored");
    EXPECT_EQ(theme.ToXML(0, ""), xml);
    pugi::xml_document doc;
    const pugi::xml_node root = Root(doc, xml);
    EXPECT_EQ(Rows(root),
              (std::vector<std::string>{
                  "dkm:GraphType=Pie", "dkm:BarWidth=0", "dkm:StartAngle=0",
                  "dkm:ShowItemText=FALSE", "dkm:ItemTextFormat=Percent",
                  "dkm:GraduatedMode=Constant", "dkm:MinSum=0", "dkm:MaxSum=0", "dkm:SqrtMinSum=0",
                  "dkm:SqrtMaxSum=0", "dkm:LogMinSum=0", "dkm:LogMaxSum=0",
                  "dkm:GraphItems=", "dkm:MinSize=", "dkm:MaxSize=", "dkm:ItemTextStyle="}));
    const pugi::xml_node items = root.child("dkm:GraphItems");
    EXPECT_EQ(std::distance(items.begin(), items.end()), 3);
    EXPECT_STREQ(items.last_child().child_value("dkm:FieldExpression"), "C");
    for (const char* size : {"dkm:MinSize", "dkm:MaxSize"})
        for (const char* axis : {"dkm:cx", "dkm:cy"})
            EXPECT_STREQ(root.child(size).child_value(axis), "0");
}

TEST(GraphXmlTest, WritesNamesNumbersKeysAndTheRenamedTextStyle) {
    const TovoMBString xml = Full().ToXML(kVersion, "");
    pugi::xml_document doc;
    const pugi::xml_node root = Root(doc, xml);
    EXPECT_EQ(
        Rows(root),
        (std::vector<std::string>{
            "dkm:GraphType=StackedBar", "dkm:BarWidth=12.5", "dkm:StartAngle=-0.25",
            "dkm:ShowItemText=TRUE", "dkm:ItemTextFormat=CaptionPercent",
            "dkm:GraduatedMode=Logarithm", "dkm:MinSum=4", "dkm:MaxSum=16", "dkm:SqrtMinSum=2",
            "dkm:SqrtMaxSum=4", "dkm:LogMinSum=1.386294361119891",
            "dkm:LogMaxSum=2.772588722239781", "dkm:GraphItems=", "dkm:MinSize=", "dkm:MaxSize=",
            "dkm:ItemTextStyle=", "dkm:KeyNum=2", "dkm:Key0=7", "dkm:Key1=-3"}));
    EXPECT_STREQ(root.child("dkm:MinSize").child_value("dkm:cx"), "4.242640687119286");
    EXPECT_EQ(xml.Find("dkm:TextStyle"), -1);
    EXPECT_NE(xml.Find("MyItemTextStyleFont"), -1); // every occurrence renamed
    EXPECT_STREQ(root.child("dkm:GraphItems").last_child().child_value("dkm:ArrayField0"),
                 "1.500000");
}

TEST(GraphXmlTest, CodesAreWrittenByNameWithFallbacks) {
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

TEST(GraphXmlTest, OtherVersionsWriteTheBaseAloneAndFailuresAreLogged) {
    KrLogFile::GetInstance(false).ClearRecords();
    pugi::xml_document doc;
    const pugi::xml_node root = Root(doc, Full().ToXML(20031211, ""));
    ASSERT_FALSE(root.empty());
    EXPECT_TRUE(root.child("dkm:GraphType").empty());
    EXPECT_TRUE(root.child("dkm:GraphItems").empty());
    EXPECT_TRUE(KrLogFile::GetInstance(false).GetRecords().empty());

    EXPECT_TRUE(Full().ToXML(12345, "").IsEmpty()); // the base writes nothing for it
    ExpectOneLog("EGg041", 392);
}

// What was written reads back to a theme that writes the same document: every row was read.
TEST(GraphXmlTest, ReadsBackWhatItWrote) {
    const TovoMBString written = Full().ToXML(kVersion, "");
    KrTheme3DGraph read;
    read.Add("old");
    ASSERT_EQ(read.FromXML(written, 0, ""), TRUE);
    EXPECT_EQ(read.IsModified(), TRUE);
    EXPECT_EQ(read.GetCount(), 2);
    EXPECT_EQ(read.GetItemTextStyle(), Full().GetItemTextStyle());
    EXPECT_EQ(read.ToXML(kVersion, ""), written);
}

TEST(GraphXmlTest, NamesAreReadIgnoringCaseWithFallbacks) {
    struct Case {
        const char *szType, *szShow, *szFormat, *szMode;
        int nType, nShow, nFormat, nMode;
    };
    for (const Case& c : {Case{"stackedbar", "true", "captionvalue", "squareroot", 12, 1, 5, 1},
                          Case{"BAR", "1", "Values", "LOGARITHM", 4, 0, 1, 2},
                          Case{"Column", "TRUE", "CAPTION", "linear", 6, 1, 3, 1},
                          Case{"pie", "x", "percent", "constant", 6, 0, 1, 0}}) {
        KrTheme3DGraph theme;
        theme.SetShowItemText(TRUE);
        ASSERT_EQ(
            theme.FromXML(
                Document(El("dkm:GraphType", c.szType) + El("dkm:ShowItemText", c.szShow) +
                         El("dkm:ItemTextFormat", c.szFormat) + El("dkm:GraduatedMode", c.szMode)),
                kVersion, ""),
            TRUE);
        EXPECT_EQ(theme.GetGraphType(), c.nType) << c.szType;
        EXPECT_EQ(theme.IsShowItemText(), c.nShow) << c.szShow;
        EXPECT_EQ(theme.GetItemTextFormat(), c.nFormat) << c.szFormat;
        EXPECT_EQ(theme.GetGraduatedMode(), c.nMode) << c.szMode;
    }
}

TEST(GraphXmlTest, OldVersionsReadTheBaseOnly) {
    KrTheme3DGraph theme = Full();
    theme.SetModifiedFlag(FALSE);
    ASSERT_EQ(theme.FromXML(Document(El("dkm:BarWidth", "3")), 20031212, ""), TRUE);
    EXPECT_EQ(theme.GetCount(), 0);
    EXPECT_EQ(theme.IsModified(), TRUE);
    EXPECT_EQ(theme.GetBarWidth(), 12.5); // not reset, not read
    EXPECT_EQ(theme.GetJoinArrayField().GetSize(), 2);
}

// The elements are searched in the order of the rows, each after the one found last; one that
// is missing or out of order leaves its member as it was.
TEST(GraphXmlTest, ReaderOrderAndMissingElements) {
    KrTheme3DGraph theme = Full();
    theme.SetBarWidth(3);
    const std::string items =
        El("dkm:GraphItems",
           El("dkm:GraphItem", El("dkm:FieldExpression", "E1") + El("dkm:Caption", "Cap")) +
               El("dkm:Other", "") + El("dkm:GraphItem", El("dkm:FieldExpression", "E2")));
    const std::string sizes = El("dkm:MinSize", El("dkm:cx", "3") + El("dkm:cy", "5")) +
                              El("dkm:MaxSize", El("dkm:cy", "8") + El("dkm:cx", "9"));
    const std::string keys =
        El("dkm:Key1", "21") + El("dkm:KeyNum", "3") + El("dkm:Key0", "11") + El("dkm:Key2", "33");
    const TovoMBString xml = Document(El("dkm:BarWidth", "9") + El("dkm:GraphType", "Bar") +
                                      El("dkm:MinSum", "6") + items + sizes + keys);
    ASSERT_EQ(theme.FromXML(xml, kVersion, ""), TRUE);
    EXPECT_EQ(theme.GetGraphType(), 4);
    EXPECT_EQ(theme.GetBarWidth(), 3.0);
    EXPECT_EQ(theme.GetMinSum(), 6.0);
    EXPECT_EQ(theme.GetMaxSum(), 16.0);
    EXPECT_EQ(theme.GetStartAngle(), -0.25);
    ASSERT_EQ(theme.GetCount(), 2);
    EXPECT_EQ(theme.GetExpressionAt(1), "E2");
    EXPECT_EQ(theme.GetItem(1).m_strCaption, "Cap"); // from the item before
    EXPECT_EQ(theme.GetMinSize().cx, 3.0);           // no square-root rule on reading
    EXPECT_EQ(theme.GetMinSumSize(), 5.0);
    EXPECT_EQ(theme.GetMaxSize().cx, 9.0);
    EXPECT_EQ(theme.GetMaxSumSize(), 100.0);               // "dkm:cy" before "dkm:cx" is not seen
    EXPECT_EQ(Keys(theme), (std::vector<int>{11, 0, 33})); // Key1 before "dkm:KeyNum" neither

    ASSERT_EQ(theme.FromXML(Document(El("dkm:GraphType", "Bar")), kVersion, ""), TRUE);
    EXPECT_EQ(Keys(theme), (std::vector<int>{11, 0, 33})); // no "dkm:KeyNum": keys kept
    ASSERT_EQ(theme.FromXML(Document(El("dkm:KeyNum", "-1")), kVersion, ""), TRUE);
    EXPECT_TRUE(Keys(theme).empty());
}

TEST(GraphXmlTest, FailedReadsAreLoggedAndKeepTheItems) {
    struct Case {
        TovoMBString strXML;
        int nVersion, nLine;
    };
    for (const Case& c : {Case{"", kVersion, 644}, Case{"<dkm:Other/>", kVersion, 655},
                          Case{Document(""), 20100101, 655}}) {
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

TEST(GraphXmlTest, AcceptsADocumentOfAnotherThemeType) {
    KrTheme3DGraph theme;
    ASSERT_EQ(theme.FromXML(KRS::KrTheme3DRange().ToXML(0, ""), kVersion, ""), TRUE);
    EXPECT_EQ(theme.GetType(), 2);
}

} // namespace
