// The chart item: its asymmetric assignment, its fragment read with plain pugixml, and its reader
// on hand-made fragments.
#include "Theme3DBase/Kr3DGraphItem.h"
#include "ThemeTestSupport.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <sstream>
#include <string>
#include <vector>

using KRS::Kr3DGraphItem;
using KRS::KrLogFile;
using KRS::KrStyle;
using ThemeTest::El;
using ThemeTest::Logs;
using TOVO::TovoMBString;

namespace {

const int kVersion = 20090106;

// Expression "POP", caption "Population", type 2, a fill colour and the values.
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

// "expression|caption|type|value,value,...".
std::string Describe(const Kr3DGraphItem& item) {
    std::ostringstream out;
    out << item.m_strFieldExpression.Str() << '|' << item.m_strCaption.Str() << '|'
        << item.m_nItemType << '|';
    for (double v : item.m_arrValues)
        out << v << ',';
    return out.str();
}

TovoMBString Fragment(const std::string& children) {
    return El("dkm:GraphItem", children).c_str();
}

TEST(GraphItemTest, FragmentListsValuesOnlyForArrayItemsThatHaveThem) {
    ThemeTest::ExpectDocument("graphitem-array-empty", ArrayItem({}).ToXML(kVersion));
    Kr3DGraphItem field = ArrayItem({3});
    field.m_nItemType = 1;
    ThemeTest::ExpectDocument("graphitem-field", field.ToXML(kVersion));
    ThemeTest::ExpectDocument("graphitem-array", ArrayItem({1.5, 2}).ToXML(kVersion));

    const Kr3DGraphItem written = ArrayItem({1.25, -3.5, 0});
    Kr3DGraphItem read;
    ASSERT_EQ(read.FromXML(written.ToXML(kVersion), 0), TRUE);
    EXPECT_EQ(Describe(read), Describe(written));
    EXPECT_EQ(read.m_Style, written.m_Style);
}

// The reader on the item "POP"/"Population", type 2, values {8}: what each fragment leaves.
TEST(GraphItemTest, ReaderRules) {
    const std::string num3 = El("dkm:ArrayFieldNum", "3");
    const std::pair<std::string, const char*> cases[] = {
        {El("dkm:Caption", "New"), "POP|New|2|8,"}, // missing children keep their members
        {num3 + El("dkm:ArrayField0", "4.5") + El("dkm:ArrayField2", "7"),
         "POP|Population|2|4.5,0,7,"},
        // Each value is searched after the one found before; "01" does not name value 1.
        {num3 + El("dkm:ArrayField1", "1") + El("dkm:ArrayField0", "2") +
             El("dkm:ArrayField01", "3") + El("dkm:ArrayField2", "4"),
         "POP|Population|2|2,0,4,"},
        {El("dkm:Type", "1") + El("dkm:ArrayFieldNum", "1") + El("dkm:ArrayField0", "3"),
         "POP|Population|1|3,"}, // values read whatever the type
        {El("dkm:Type", "12abc"), "POP|Population|12|8,"},
        {El("dkm:Type", "none"), "POP|Population|0|8,"},
        {El("dkm:ArrayFieldNum", "0"), "POP|Population|2|"},
        {El("dkm:ArrayFieldNum", "-4"), "POP|Population|2|"},
    };
    for (const auto& c : cases) {
        Kr3DGraphItem item = ArrayItem({8});
        ASSERT_EQ(item.FromXML(Fragment(c.first), kVersion), TRUE) << c.first;
        EXPECT_EQ(Describe(item), c.second) << c.first;
    }
}

TEST(GraphItemTest, EmptyTextOrMissingRootIsLoggedAndChangesNothing) {
    for (const auto& c :
         {std::make_pair("", 67),
          std::make_pair("<dkm:Other><dkm:Caption>x</dkm:Caption></dkm:Other>", 81)}) {
        KrLogFile::GetInstance(false).ClearRecords();
        Kr3DGraphItem item = ArrayItem({1});
        EXPECT_EQ(item.FromXML(c.first, kVersion), FALSE);
        EXPECT_EQ(Describe(item), "POP|Population|2|1,");
        ASSERT_EQ(Logs(),
                  "400 EGg040 Src/Theme3DBase/Kr3DGraphItem " + std::to_string(c.second) + "|");
        EXPECT_NE(KrLogFile::GetInstance(false).GetRecords()[0].strMessage.Find("KrGraphItem"), -1);
    }
}

} // namespace
