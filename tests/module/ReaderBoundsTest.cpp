// Crafted documents against every reader: a count in a document never makes a reader hold more
// than the document can spell out, entity tricks expand nothing, and deep or wide documents are
// read without recursion or repeated searches. The assertions are on the sizes read; the large
// documents would only take long (never fail) if a reader went quadratic, so CTest's timeout is
// their bound.
#include "Theme3DBase/Kr3DGraphItem.h"
#include "Theme3DBase/KrTheme3DGraph.h"
#include "Theme3DBase/KrTheme3DLabel.h"
#include "Theme3DBase/KrTheme3DRange.h"
#include "Theme3DBase/KrTheme3DUnique.h"
#include "VyBase600/TovoVariant.h"
#include "VyToolkit600/KrMarkup.h"
#include "VyToolkit600/KrStyle.h"
#include "VyToolkit600/KrTextStyle.h"

#include <gtest/gtest.h>

#include <string>

using namespace KRS;
using TOVO::TovoMBString;

namespace {

std::string Repeat(const std::string& s, int nTimes) {
    std::string out;
    out.reserve(s.size() * static_cast<std::size_t>(nTimes));
    for (int i = 0; i < nTimes; ++i)
        out += s;
    return out;
}

std::string Element(const std::string& name, const std::string& content) {
    return "<" + name + ">" + content + "</" + name + ">";
}

std::string Theme(int nType, const std::string& body) {
    return "<dkm:Theme3D>" + Element("dkm:ThemeType", std::to_string(nType)) + body +
           "</dkm:Theme3D>";
}

// Nested declarations that a reader expanding entities would blow up to 10^9 bytes.
std::string Laughs(const std::string& body) {
    std::string dtd = "<!DOCTYPE d [<!ENTITY a \"aaaaaaaaaa\">";
    for (char c = 'b'; c <= 'j'; ++c)
        dtd += std::string("<!ENTITY ") + c + " \"" +
               Repeat(std::string("&") + char(c - 1) + ";", 10) + "\">";
    return dtd + "]>" + body;
}

// n levels of "<a>" around a text, and the text itself at the bottom.
std::string Nested(int nLevels, const std::string& text) {
    return Repeat("<a>", nLevels) + text + Repeat("</a>", nLevels);
}

const int kDeep = 200000;

int TotalValues(const KrTheme3DGraph& theme) {
    int total = 0;
    for (int i = 0; i < theme.GetCount(); ++i)
        total += theme.GetItem(i).m_arrValues.GetSize();
    return total;
}

TEST(ReaderBoundsTest, GraphItemCountIsBoundedByTheFragment) {
    const std::string doc =
        Element("dkm:GraphItem",
                Element("dkm:Type", "2") + Element("dkm:ArrayFieldNum", "2000000000") +
                    Element("dkm:ArrayField0", "1.5") + Element("dkm:ArrayField1999999999", "2"));
    Kr3DGraphItem item;
    ASSERT_TRUE(item.FromXML(doc, 0));
    ASSERT_GT(item.m_arrValues.GetSize(), 0);
    EXPECT_LE(item.m_arrValues.GetSize(), static_cast<int>(doc.size()));
    EXPECT_EQ(1.5, item.m_arrValues[0]);
    EXPECT_EQ(0.0, item.m_arrValues[item.m_arrValues.GetSize() - 1]);

    // A count beyond int, and the values a fragment really holds: all of them are read.
    Kr3DGraphItem saturated;
    saturated.FromXML(
        Element("dkm:GraphItem", Element("dkm:ArrayFieldNum", "99999999999999999999")), 0);
    EXPECT_LE(saturated.m_arrValues.GetSize(), 100);
    std::string fields;
    for (int i = 0; i < 3000; ++i)
        fields += Element("dkm:ArrayField" + std::to_string(i), std::to_string(i));
    Kr3DGraphItem full;
    ASSERT_TRUE(
        full.FromXML(Element("dkm:GraphItem", Element("dkm:ArrayFieldNum", "3000") + fields), 0));
    ASSERT_EQ(3000, full.m_arrValues.GetSize());
    EXPECT_EQ(2999.0, full.m_arrValues[2999]);
}

TEST(ReaderBoundsTest, GraphThemeKeysAndInheritedListsAreBoundedByTheDocument) {
    const std::string keys = Element("dkm:KeyNum", "999999999") + Element("dkm:Key0", "7") +
                             Element("dkm:Key999999998", "8");
    const std::string small = Theme(4, keys);
    KrTheme3DGraph theme;
    ASSERT_TRUE(theme.FromXML(small, 0, ""));
    ASSERT_GT(theme.GetJoinArrayField().GetSize(), 0);
    EXPECT_LE(theme.GetJoinArrayField().GetSize(), static_cast<int>(small.size()));
    EXPECT_EQ(7, theme.GetJoinArrayField()[0]);

    // One item with 2000 values and 5000 items that inherit the list from the working item:
    // 10^7 values if every item kept a copy.
    std::string fields;
    for (int i = 0; i < 2000; ++i)
        fields += Element("dkm:ArrayField" + std::to_string(i), "1");
    const std::string items =
        Element("dkm:GraphItem",
                Element("dkm:Type", "2") + Element("dkm:ArrayFieldNum", "2000") + fields) +
        Repeat("<dkm:GraphItem/>", 5000);
    const std::string large = Theme(4, Element("dkm:GraphItems", items));
    KrTheme3DGraph inherited;
    ASSERT_TRUE(inherited.FromXML(large, 0, ""));
    ASSERT_EQ(5001, inherited.GetCount());
    EXPECT_EQ(2000, inherited.GetItem(0).m_arrValues.GetSize());
    EXPECT_LE(TotalValues(inherited), static_cast<int>(large.size()));
}

TEST(ReaderBoundsTest, UniqueReaderKeepsOneItemPerValueOfAWideDocument) {
    const std::string item =
        Element("dkm:UniqueItem", Element("dkm:Value", "1") + Element("dkm:Caption", "c"));
    KrTheme3DUnique repeated;
    ASSERT_TRUE(repeated.FromXML(Theme(1, Element("dkm:UniqueItems", Repeat(item, 50000))), 0, ""));
    EXPECT_EQ(1, repeated.GetCount());

    std::string items;
    for (int i = 0; i < 50000; ++i)
        items += Element("dkm:UniqueItem", Element("dkm:Value", std::to_string(i)));
    KrTheme3DUnique distinct;
    ASSERT_TRUE(distinct.FromXML(Theme(1, Element("dkm:UniqueItems", items)), 0, ""));
    EXPECT_EQ(50000, distinct.GetCount());
    EXPECT_EQ("49999", distinct.GetValueAt(49999));
}

// Break values that turn at every step: each one must still be tested against all earlier ones
// for the tolerance, which a reader must not do by scanning them all.
TEST(ReaderBoundsTest, RangeReaderTakesAZigzagOfBreakValues) {
    std::string items = Element("dkm:RangeItem", Element("dkm:RangeValue", "X&lt;0"));
    for (int i = 1; i <= 40000; ++i) {
        const int value = i % 2 ? i : -i;
        items += Element("dkm:RangeItem",
                         Element("dkm:RangeValue", std::to_string(value) + "&lt;=X&lt;0"));
    }
    items += Repeat(Element("dkm:RangeItem", Element("dkm:RangeValue", "3&lt;=X&lt;0")), 1000);
    KrTheme3DRange theme;
    ASSERT_TRUE(theme.FromXML(Theme(2, Element("dkm:RangeItems", items)), 0, ""));
    ASSERT_EQ(40000, theme.GetValueCount());
    EXPECT_EQ(1.0, theme.GetValueAt(0));
    EXPECT_EQ(-40000.0, theme.GetValueAt(39999));

    // Within 1e-10 of a value on either side is the same value, whatever came in between.
    std::string near;
    for (const char* value : {"1", "5", "1.00000000006", "0.99999999994", "1.00000000012", "-5",
                              "1.0000000002", "0.99999999985", "1.00000000025"})
        near += Element("dkm:RangeItem", Element("dkm:RangeValue", std::string(value) + "&lt;=X"));
    KrTheme3DRange tolerant;
    ASSERT_TRUE(tolerant.FromXML(Theme(2, Element("dkm:RangeItems", near)), 0, ""));
    ASSERT_EQ(6, tolerant.GetValueCount());
    EXPECT_EQ(1.00000000012, tolerant.GetValueAt(2));
    EXPECT_EQ(0.99999999985, tolerant.GetValueAt(4));
    EXPECT_EQ(1.00000000025, tolerant.GetValueAt(5));
}

// The number format comes from the document unchecked; what it can make of one value is bounded
// by the formatter's limits on width and precision, not by the numbers the document spells.
TEST(ReaderBoundsTest, LabelNumberFormatCannotInflateALabel) {
    for (const char* format :
         {"%.999999999f", "%999999999f", "%4096.4096f", "%*.*f", "%.2147483647e"}) {
        SCOPED_TRACE(format);
        KrTheme3DLabel theme;
        ASSERT_TRUE(theme.FromXML(Theme(3, Element("dkm:NumFormat", format)), 0, ""));
        EXPECT_EQ(format, theme.GetNumFormat());
        EXPECT_LE(theme.GetStringFromVariant(TOVO::TovoVariant(1e308)).GetLength(), 8192);
    }
}

TEST(ReaderBoundsTest, StylesExpandNoEntitiesAndReadDeepDocuments) {
    const std::string styleDoc = Laughs(Element("dkm:Style", Element("dkm:IconName", "&j;")));
    KrStyle style;
    ASSERT_TRUE(style.FromXML(styleDoc, 0));
    EXPECT_LE(style.GetIconName().GetLength(), static_cast<int>(styleDoc.size()));

    const std::string textDoc = Laughs(Element("dkm:TextStyle", Element("dkm:FaceName", "&j;")));
    KrTextStyle text;
    ASSERT_TRUE(text.FromXML(textDoc, 0));
    EXPECT_LE(text.GetFaceName().GetLength(), static_cast<int>(textDoc.size()));

    KrStyle deep;
    ASSERT_TRUE(
        deep.FromXML(Element("dkm:Style", Element("dkm:IconName", "i" + Nested(kDeep, "x"))), 0));
    EXPECT_EQ("i", deep.GetIconName());

    // Renaming back every "ItemTextStyle" of a large face name is one pass.
    KrTextStyle renamed;
    ASSERT_TRUE(renamed.FromXML(
        Element("dkm:ItemTextStyle", Element("dkm:FaceName", Repeat("ItemTextStyle", 100000))), 0));
    EXPECT_EQ(900000, renamed.GetFaceName().GetLength());
}

TEST(ReaderBoundsTest, MarkupWalksAndWritesDeepDocumentsWithoutRecursion) {
    const std::string doc = Nested(kDeep, "x");
    KrMarkup markup(doc);
    EXPECT_EQ(doc, markup.GetDoc().Str());
    ASSERT_TRUE(markup.FindElem("a"));
    int depth = 1;
    while (markup.FindChildElem("a") && markup.IntoElem())
        ++depth;
    EXPECT_EQ(kDeep, depth);
    EXPECT_EQ("x", markup.GetData());
    KrMarkup copy(markup);
    EXPECT_EQ("<a>x</a>", copy.GetSubDoc());
    while (markup.OutOfElem())
        --depth;
    EXPECT_EQ(1, depth);

    // Themes whose items hide deep documents read the rest of the document as usual.
    KrTheme3DUnique unique;
    ASSERT_TRUE(unique.FromXML(
        Theme(1,
              Element("dkm:UniqueItems",
                      Element("dkm:UniqueItem", Element("dkm:Value", "1") +
                                                    Element("dkm:Caption", Nested(kDeep, "c"))))),
        0, ""));
    ASSERT_EQ(1, unique.GetCount());
    EXPECT_EQ("", unique.GetCaptionAt(0));
    KrTheme3DGraph graph;
    ASSERT_TRUE(graph.FromXML(
        Theme(4, Element("dkm:GraphItems", Element("dkm:GraphItem", Nested(kDeep, "g")))), 0, ""));
    EXPECT_EQ(1, graph.GetCount());
}

} // namespace
