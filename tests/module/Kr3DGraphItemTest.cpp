// The chart item: its asymmetric assignment, its fragment read with plain pugixml, and its reader
// on hand-made fragments.
#include "Theme3DBase/Kr3DGraphItem.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <string>
#include <vector>

using KRS::Kr3DGraphItem;
using KRS::KrLogFile;
using KRS::KrStyle;
using TOVO::TovoMBString;

namespace {

const int kVersion = 20090106;

Kr3DGraphItem ArrayItem(std::vector<double> values) {
    Kr3DGraphItem item;
    item.m_strFieldExpression = "POP";
    item.m_strCaption = "Population";
    item.m_nItemType = Kr3DGraphItem::ArrayItem;
    for (double v : values)
        item.m_arrValues.Add(v);
    item.m_Style.SetFillColor(TOVORGB(200, 10, 20));
    return item;
}

std::vector<double> Values(const Kr3DGraphItem& item) {
    return std::vector<double>(item.m_arrValues.begin(), item.m_arrValues.end());
}

std::vector<std::string> ChildNames(const pugi::xml_node& node) {
    std::vector<std::string> names;
    for (const pugi::xml_node& child : node.children())
        names.push_back(child.name());
    return names;
}

// A fragment with the given children inside "dkm:GraphItem".
TovoMBString Fragment(const std::string& children) {
    return TovoMBString("<dkm:GraphItem>" + children + "</dkm:GraphItem>");
}

std::string Element(const std::string& name, const std::string& text) {
    return "<" + name + ">" + text + "</" + name + ">";
}

class GraphItemTest : public ::testing::Test {
protected:
    void SetUp() override { KrLogFile::GetInstance(false).ClearRecords(); }
};

TEST_F(GraphItemTest, DefaultsAndCopy) {
    const Kr3DGraphItem item;
    EXPECT_EQ(item.m_nItemType, 1);
    EXPECT_TRUE(item.m_strFieldExpression.IsEmpty());
    EXPECT_TRUE(item.m_strCaption.IsEmpty());
    EXPECT_TRUE(item.m_arrValues.IsEmpty());
    EXPECT_EQ(item.m_Style, KrStyle());

    Kr3DGraphItem source = ArrayItem({1.0, 2.0});
    const Kr3DGraphItem copy(source);
    source.m_arrValues[0] = 9.0;
    source.m_strCaption = "changed";
    EXPECT_EQ(Values(copy), (std::vector<double>{1.0, 2.0}));
    EXPECT_EQ(copy.m_strCaption, "Population");
    EXPECT_EQ(copy.m_Style.GetFillColor(), TOVORGB(200, 10, 20));
}

TEST_F(GraphItemTest, AssigningAnItemWithoutValuesKeepsTheTargetsValues) {
    Kr3DGraphItem target = ArrayItem({4.0, 5.0, 6.0});
    Kr3DGraphItem source;
    source.m_strFieldExpression = "AREA";
    source.m_strCaption = "Area";
    source.m_Style.SetLineWidth(3.0);
    target = source;
    EXPECT_EQ(target.m_strFieldExpression, "AREA");
    EXPECT_EQ(target.m_strCaption, "Area");
    EXPECT_EQ(target.m_nItemType, 1);
    EXPECT_DOUBLE_EQ(target.m_Style.GetLineWidth(), 3.0);
    EXPECT_EQ(Values(target), (std::vector<double>{4.0, 5.0, 6.0}));

    target = ArrayItem({7.0});
    EXPECT_EQ(Values(target), (std::vector<double>{7.0}));
}

TEST_F(GraphItemTest, FragmentOfAnArrayItemListsItsValuesWithSixDecimals) {
    const TovoMBString xml = ArrayItem({1.5, 2.0}).ToXML(kVersion);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(xml.c_str()));
    const pugi::xml_node root = doc.document_element();
    EXPECT_STREQ(root.name(), "dkm:GraphItem");
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{
                                    "dkm:FieldExpression", "dkm:Caption", "dkm:Style", "dkm:Type",
                                    "dkm:ArrayFieldNum", "dkm:ArrayField0", "dkm:ArrayField1"}));
    EXPECT_STREQ(root.child_value("dkm:FieldExpression"), "POP");
    EXPECT_STREQ(root.child_value("dkm:Caption"), "Population");
    EXPECT_STREQ(root.child_value("dkm:Type"), "2");
    EXPECT_STREQ(root.child_value("dkm:ArrayFieldNum"), "2");
    EXPECT_STREQ(root.child_value("dkm:ArrayField0"), "1.500000");
    EXPECT_STREQ(root.child_value("dkm:ArrayField1"), "2.000000");
}

TEST_F(GraphItemTest, FieldItemsAndArrayItemsWithoutValuesWriteNoValueList) {
    Kr3DGraphItem field = ArrayItem({3.0});
    field.m_nItemType = Kr3DGraphItem::FieldItem;
    Kr3DGraphItem empty = ArrayItem({});
    for (const Kr3DGraphItem* item : {&field, &empty}) {
        pugi::xml_document doc;
        ASSERT_TRUE(doc.load_string(item->ToXML(kVersion).c_str()));
        EXPECT_EQ(ChildNames(doc.document_element()),
                  (std::vector<std::string>{"dkm:FieldExpression", "dkm:Caption", "dkm:Style",
                                            "dkm:Type"}));
    }
}

TEST_F(GraphItemTest, ReadsBackWhatItWrote) {
    const Kr3DGraphItem written = ArrayItem({1.25, -3.5, 0.0});
    Kr3DGraphItem read;
    ASSERT_EQ(read.FromXML(written.ToXML(kVersion), 0), TRUE);
    EXPECT_EQ(read.m_strFieldExpression, "POP");
    EXPECT_EQ(read.m_strCaption, "Population");
    EXPECT_EQ(read.m_nItemType, 2);
    EXPECT_EQ(read.m_Style, written.m_Style);
    EXPECT_EQ(Values(read), (std::vector<double>{1.25, -3.5, 0.0}));
}

TEST_F(GraphItemTest, MissingChildrenKeepTheirMembers) {
    Kr3DGraphItem item = ArrayItem({8.0});
    ASSERT_EQ(item.FromXML(Fragment(Element("dkm:Caption", "New")), kVersion), TRUE);
    EXPECT_EQ(item.m_strCaption, "New");
    EXPECT_EQ(item.m_strFieldExpression, "POP");
    EXPECT_EQ(item.m_nItemType, 2);
    EXPECT_EQ(Values(item), (std::vector<double>{8.0}));
}

TEST_F(GraphItemTest, MissingValueElementsReadAsZero) {
    Kr3DGraphItem item;
    const std::string values = Element("dkm:ArrayFieldNum", "3") +
                               Element("dkm:ArrayField0", "4.5") + Element("dkm:ArrayField2", "7");
    ASSERT_EQ(item.FromXML(Fragment(values), kVersion), TRUE);
    EXPECT_EQ(Values(item), (std::vector<double>{4.5, 0.0, 7.0}));
    EXPECT_EQ(item.m_nItemType, 1); // values are read whatever the type
}

TEST_F(GraphItemTest, ValueElementsAreLookedUpInTurn) {
    // Value 1 is searched after value 0 was found, so one standing before it is not seen; a
    // name with a leading zero is not the name of value 1.
    Kr3DGraphItem item;
    const std::string values = Element("dkm:ArrayFieldNum", "3") + Element("dkm:ArrayField1", "1") +
                               Element("dkm:ArrayField0", "2") + Element("dkm:ArrayField01", "3") +
                               Element("dkm:ArrayField2", "4");
    ASSERT_EQ(item.FromXML(Fragment(values), kVersion), TRUE);
    EXPECT_EQ(Values(item), (std::vector<double>{2.0, 0.0, 4.0}));
}

TEST_F(GraphItemTest, CountsAreBoundedByTheFragment) {
    struct Case {
        const char* szCount;
        bool bEmpty;
    };
    for (const Case& c :
         {Case{"0", true}, Case{"-4", true}, Case{"x", true}, Case{"2147483647", false}}) {
        Kr3DGraphItem item = ArrayItem({1.0});
        const TovoMBString fragment = Fragment(Element("dkm:ArrayFieldNum", c.szCount));
        ASSERT_EQ(item.FromXML(fragment, kVersion), TRUE);
        EXPECT_EQ(item.m_arrValues.IsEmpty(), c.bEmpty) << c.szCount;
        EXPECT_LE(item.m_arrValues.GetSize(), fragment.GetLength()) << c.szCount;
    }
}

TEST_F(GraphItemTest, ReadsGeoStyleThenStyle) {
    KrStyle geo;
    geo.SetFillColor(TOVORGB(1, 2, 3));
    geo.SetLineWidth(4.0);
    KrStyle plain;
    plain.SetFillColor(TOVORGB(7, 8, 9));
    Kr3DGraphItem item;
    const std::string styles =
        geo.ToXML(kVersion, "dkm:GeoStyle").Str() + plain.ToXML(kVersion, "").Str();
    ASSERT_EQ(item.FromXML(Fragment(styles), kVersion), TRUE);
    EXPECT_EQ(item.m_Style.GetFillColor(), TOVORGB(7, 8, 9));
    EXPECT_DOUBLE_EQ(item.m_Style.GetLineWidth(), 1.0); // the later style read last, whole

    Kr3DGraphItem onlyGeo;
    ASSERT_EQ(onlyGeo.FromXML(Fragment(geo.ToXML(kVersion, "dkm:GeoStyle").Str()), kVersion), TRUE);
    EXPECT_EQ(onlyGeo.m_Style, geo);
}

TEST_F(GraphItemTest, TypeIsReadAsAnUnsignedDecimal) {
    Kr3DGraphItem item;
    ASSERT_EQ(item.FromXML(Fragment(Element("dkm:Type", "2abc")), kVersion), TRUE);
    EXPECT_EQ(item.m_nItemType, 2);
    ASSERT_EQ(item.FromXML(Fragment(Element("dkm:Type", "none")), kVersion), TRUE);
    EXPECT_EQ(item.m_nItemType, 0);
}

TEST_F(GraphItemTest, EmptyTextOrMissingRootIsLoggedAndChangesNothing) {
    struct Case {
        TovoMBString strXML;
        int nLine;
    };
    for (const Case& c :
         {Case{"", 67}, Case{"<dkm:Other><dkm:Caption>x</dkm:Caption></dkm:Other>", 81},
          Case{"not xml", 81}}) {
        KrLogFile::GetInstance(false).ClearRecords();
        Kr3DGraphItem item = ArrayItem({1.0});
        EXPECT_EQ(item.FromXML(c.strXML, kVersion), FALSE);
        EXPECT_EQ(item.m_strCaption, "Population");
        const auto records = KrLogFile::GetInstance(false).GetRecords();
        ASSERT_EQ(records.size(), 1u) << c.nLine;
        EXPECT_EQ(records[0].nLevel, 400);
        EXPECT_EQ(records[0].strCode, "EGg040");
        EXPECT_EQ(records[0].strSource, "Src/Theme3DBase/Kr3DGraphItem");
        EXPECT_EQ(records[0].nLine, c.nLine);
        EXPECT_NE(records[0].strMessage.Find("KrGraphItem"), -1);
    }
}

} // namespace
