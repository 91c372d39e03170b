// The markup's two cursors, writing, sub-documents, byte-exact text and malformed input.
#include "VyToolkit600/KrMarkup.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <string>
#include <vector>

using KRS::KrMarkup;
using TOVO::TovoMBString;
using Texts = std::vector<std::string>;

TEST(KrMarkupWrite, BuildsRootChildrenAttributesNestingAndSubDocuments) {
    KrMarkup xml;
    EXPECT_EQ(xml.GetDoc(), "");
    ASSERT_TRUE(xml.AddElem("dkm:R", nullptr, FALSE, FALSE));
    EXPECT_FALSE(xml.AddElem("second", nullptr, FALSE, FALSE)); // one root only
    ASSERT_TRUE(xml.AddElem("a", "1", FALSE, TRUE));
    ASSERT_TRUE(xml.AddElem("b", nullptr, FALSE, TRUE));
    ASSERT_TRUE(xml.SetAttrib(xml.GetChildPos(), "k", "v"));
    ASSERT_TRUE(xml.IntoElem());
    ASSERT_TRUE(xml.AddElem("c", TovoMBString("2"), FALSE, TRUE));
    ASSERT_TRUE(xml.OutOfElem());
    ASSERT_TRUE(xml.AddElem("d", "3", FALSE, TRUE));
    EXPECT_FALSE(xml.AddElem("bad name", "x", FALSE, TRUE));
    EXPECT_EQ(xml.GetDoc(), "<dkm:R><a>1</a><b k=\"v\"><c>2</c></b><d>3</d></dkm:R>");

    // The themes' way of writing: load the base document, place the root, append children; the
    // children and sub-documents go last and come out unchanged.
    const char* const kSub = "<s k=\"1\"><x>a b</x><y/></s>";
    xml.SetDoc("<r><a/><b/></r>");
    ASSERT_TRUE(xml.FindElem("r"));
    ASSERT_TRUE(xml.FindChildElem("a"));
    ASSERT_TRUE(xml.AddElem("z", "9", FALSE, TRUE));
    EXPECT_FALSE(xml.FindChildElem("a")); // the search continues after "z"
    ASSERT_TRUE(xml.AddSubDoc(kSub, FALSE, TRUE));
    EXPECT_EQ(xml.GetChildTagName(), "s");
    EXPECT_FALSE(xml.AddSubDoc("<broken>", FALSE, TRUE));
    EXPECT_EQ(xml.GetDoc(), std::string("<r><a/><b/><z>9</z>") + kSub + "</r>");

    KrMarkup reader(xml.GetDoc());
    ASSERT_TRUE(reader.FindChildElem("s"));
    EXPECT_EQ(reader.GetChildAttrib("k"), "1");
    EXPECT_EQ(reader.GetChildSubDoc(), kSub);
}

TEST(KrMarkupData, DataJoinsTextAndCdataAndCopiesAreIndependent) {
    KrMarkup xml("<r><a>x<![CDATA[<y>\r]]>z<i/>w</a><b>x</b></r>");
    ASSERT_TRUE(xml.FindChildElem("a"));
    EXPECT_EQ(xml.GetChildData(), "x<y>\rzw");
    KrMarkup copy(xml);
    ASSERT_TRUE(copy.FindChildElem("b")); // the cursors came along
    ASSERT_TRUE(copy.SetChildData("changed"));
    ASSERT_TRUE(xml.FindChildElem("b"));
    EXPECT_EQ(xml.GetChildData(), "x");
}

// Text and attribute come back byte for byte, also to an independent reader that normalises
// line ends.
TEST(KrMarkupRoundTrip, TextAndAttributeComeBackByteForByte) {
    for (const std::string text :
         {"", "   \t  ", " lead", "trail ", "a\r\nb\r\n", "\n\n", "<&>", "\"quoted\" 'single'",
          "]]>", "&amp;", "\xCE\xA2\xC8\xED\xD1\xC5\xBA\xDA"}) {
        SCOPED_TRACE(text);
        const TovoMBString value(text);
        KrMarkup writer;
        writer.AddElem("r");
        writer.AddElem("t", value, FALSE, TRUE);
        writer.SetChildAttrib("v", value);
        const TovoMBString doc = writer.GetDoc();
        EXPECT_EQ(doc.Find('\r'), -1) << "a carriage return must be written as a reference";

        KrMarkup reader(doc);
        ASSERT_TRUE(reader.FindChildElem("t"));
        EXPECT_EQ(reader.GetChildData().Str(), text);
        EXPECT_EQ(reader.GetChildAttrib("v").Str(), text);
        KrMarkup sub(reader.GetChildSubDoc());
        ASSERT_TRUE(sub.FindElem("t"));
        EXPECT_EQ(sub.GetData().Str(), text);
        pugi::xml_document check;
        ASSERT_TRUE(check.load_string(doc.c_str(), pugi::parse_default | pugi::parse_ws_pcdata));
        EXPECT_EQ(std::string(check.child("r").child("t").text().get()), text);
    }
}

TEST(KrMarkupMalformed, PrefixesGarbageAndMismatchedTagsHaveNoElement) {
    const std::string doc = "<r k=\"1\"><a>t&amp;</a><![CDATA[c]]><b/></r>";
    std::vector<std::string> inputs = {"plain text", "<a><b></a></b>", "<a b=\"1></a>",
                                       "<<>>",       "<a/><b/>",       std::string("\0<a/>", 5)};
    for (std::size_t n = 0; n < doc.size(); ++n)
        inputs.push_back(doc.substr(0, n));
    for (const std::string& input : inputs) {
        KrMarkup xml;
        EXPECT_FALSE(xml.SetDoc(input)) << input;
        EXPECT_FALSE(xml.FindChildElem()) << input;
        EXPECT_EQ(xml.GetDoc(), "") << input;
    }
}
