#include "VyToolkit600/KrMarkup.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <string>
#include <vector>

using KRS::KrMarkup;
using TOVO::TovoMBString;

namespace {

const char* const kList = "<r><a>1</a><b>x</b><a>2</a><c/><a>3</a></r>";

std::vector<std::string> WalkChildren(KrMarkup& xml, const char* szName) {
    std::vector<std::string> texts;
    while (xml.FindChildElem(szName))
        texts.push_back(xml.GetChildData().Str());
    return texts;
}

} // namespace

TEST(KrMarkupCursor, FreshDocumentHasNoCurrentElementUntilFirstChildSearch) {
    KrMarkup xml(kList);
    EXPECT_EQ(xml.GetElemPos(), 0u);
    EXPECT_EQ(xml.GetChildPos(), 0u);
    ASSERT_TRUE(xml.FindChildElem("b"));
    EXPECT_EQ(xml.GetTagName(), "r");
    EXPECT_EQ(xml.GetChildData(), "x");
}

TEST(KrMarkupCursor, SuccessiveSearchesWalkAllChildrenOfOneName) {
    KrMarkup xml(kList);
    EXPECT_EQ(WalkChildren(xml, "a"), (std::vector<std::string>{"1", "2", "3"}));
    // The failed search at the end left the last "a" current.
    EXPECT_EQ(xml.GetChildData(), "3");
    xml.ResetChildPos();
    EXPECT_EQ(WalkChildren(xml, nullptr), (std::vector<std::string>{"1", "x", "2", "", "3"}));
}

TEST(KrMarkupCursor, FailedSearchKeepsCurrentChildAndLaterSearchContinuesAfterIt) {
    KrMarkup xml(kList);
    ASSERT_TRUE(xml.FindChildElem("b"));
    const KrMarkup::Pos posB = xml.GetChildPos();
    EXPECT_FALSE(xml.FindChildElem("missing"));
    EXPECT_EQ(xml.GetChildPos(), posB);
    ASSERT_TRUE(xml.FindChildElem("a"));
    EXPECT_EQ(xml.GetChildData(), "2");
    // An element before the current child is not seen again.
    EXPECT_FALSE(xml.FindChildElem("b"));
}

TEST(KrMarkupCursor, OutOfElemMakesTheElementLeftTheCurrentChild) {
    KrMarkup xml("<r><i><v>1</v></i><x/><i><v>2</v><w>9</w></i></r>");
    std::vector<std::string> values;
    while (xml.FindChildElem("i")) {
        ASSERT_TRUE(xml.IntoElem());
        EXPECT_EQ(xml.GetChildPos(), 0u); // no current child inside
        if (xml.FindChildElem("v"))
            values.push_back(xml.GetChildData().Str());
        ASSERT_TRUE(xml.OutOfElem());
        EXPECT_EQ(xml.GetChildTagName(), "i");
    }
    EXPECT_EQ(values, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(xml.GetTagName(), "r");
    EXPECT_FALSE(xml.OutOfElem()); // no parent above the root
    xml.ResetChildPos();
    EXPECT_FALSE(xml.IntoElem()); // no current child
}

TEST(KrMarkupCursor, FindElemPlacesTheRootOnlyWhenTheNameMatches) {
    KrMarkup xml(kList);
    EXPECT_FALSE(xml.FindElem("a"));
    EXPECT_EQ(xml.GetElemPos(), 0u);
    ASSERT_TRUE(xml.FindElem("r"));
    EXPECT_NE(xml.GetElemPos(), 0u);
    EXPECT_FALSE(xml.FindElem("r")); // the root has no sibling
    xml.ResetPos();
    EXPECT_TRUE(xml.FindElem(nullptr));
}

TEST(KrMarkupWrite, BuildsRootChildrenAttributesAndNesting) {
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
}

TEST(KrMarkupWrite, ChildIsAppendedLastAfterFindElemOnALoadedDocument) {
    KrMarkup xml;
    xml.SetDoc("<r><a/><b/></r>");
    ASSERT_TRUE(xml.FindElem("r"));
    ASSERT_TRUE(xml.FindChildElem("a"));
    ASSERT_TRUE(xml.AddElem("z", "9", FALSE, TRUE));
    EXPECT_EQ(xml.GetChildTagName(), "z");
    ASSERT_TRUE(xml.FindChildElem("a") == FALSE); // the search continues after "z"
    EXPECT_EQ(xml.GetDoc(), "<r><a/><b/><z>9</z></r>");
}

TEST(KrMarkupWrite, SubDocumentsGoInAndComeOutUnchanged) {
    const char* const kSub = "<s k=\"1\"><x>a b</x><y/></s>";
    KrMarkup xml;
    xml.AddElem("r");
    ASSERT_TRUE(xml.AddSubDoc(kSub, FALSE, TRUE));
    EXPECT_EQ(xml.GetChildTagName(), "s");
    EXPECT_FALSE(xml.AddSubDoc("<broken>", FALSE, TRUE));
    EXPECT_EQ(xml.GetDoc(), std::string("<r>") + kSub + "</r>");

    KrMarkup reader(xml.GetDoc());
    ASSERT_TRUE(reader.FindChildElem("s"));
    EXPECT_EQ(reader.GetChildAttrib("k"), "1");
    const TovoMBString sub = reader.GetChildSubDoc();
    EXPECT_EQ(sub, kSub);
    KrMarkup again(sub);
    ASSERT_TRUE(again.FindElem("s"));
    ASSERT_TRUE(again.FindChildElem("x"));
    EXPECT_EQ(again.GetChildData(), "a b");
}

TEST(KrMarkupWrite, RemoveAndSetDataMoveNothingElse) {
    KrMarkup xml(kList);
    ASSERT_TRUE(xml.FindChildElem("b"));
    ASSERT_TRUE(xml.RemoveChildElem());
    EXPECT_EQ(xml.GetChildData(), "1"); // the child before it
    ASSERT_TRUE(xml.SetChildData("one"));
    EXPECT_FALSE(xml.SetData("root text")); // the root holds elements
    EXPECT_EQ(xml.GetDoc(), "<r><a>one</a><a>2</a><c/><a>3</a></r>");
}

TEST(KrMarkupData, DataIsTheConcatenationOfTextAndCdata) {
    KrMarkup xml("<r><a>x<![CDATA[<y>\r]]>z<i/>w</a></r>");
    ASSERT_TRUE(xml.FindChildElem("a"));
    EXPECT_EQ(xml.GetChildData(), "x<y>\rzw");
}

TEST(KrMarkupData, CopyKeepsDocumentAndCursorsAndIsIndependent) {
    KrMarkup xml(kList);
    ASSERT_TRUE(xml.FindChildElem("b"));
    KrMarkup copy(xml);
    EXPECT_EQ(copy.GetChildData(), "x");
    copy.SetChildData("changed");
    EXPECT_EQ(xml.GetChildData(), "x");
    ASSERT_TRUE(copy.FindChildElem("a"));
    EXPECT_EQ(copy.GetChildData(), "2");
}

class KrMarkupRoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(KrMarkupRoundTrip, TextAndAttributeComeBackByteForByte) {
    const TovoMBString text(GetParam());
    KrMarkup writer;
    writer.AddElem("r");
    writer.AddElem("t", text, FALSE, TRUE);
    writer.SetChildAttrib("v", text);
    const TovoMBString doc = writer.GetDoc();
    EXPECT_EQ(doc.Find('\r'), -1) << "a carriage return must be written as a reference";

    KrMarkup reader(doc);
    ASSERT_TRUE(reader.FindChildElem("t"));
    EXPECT_EQ(reader.GetChildData().Str(), GetParam());
    EXPECT_EQ(reader.GetChildAttrib("v").Str(), GetParam());
    KrMarkup sub(reader.GetChildSubDoc());
    ASSERT_TRUE(sub.FindElem("t"));
    EXPECT_EQ(sub.GetData().Str(), GetParam());

    // An independent reader with line-end normalisation sees the same bytes.
    pugi::xml_document check;
    ASSERT_TRUE(check.load_string(doc.c_str(), pugi::parse_default | pugi::parse_ws_pcdata));
    EXPECT_EQ(std::string(check.child("r").child("t").text().get()), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Texts, KrMarkupRoundTrip,
                         ::testing::Values("", " ", "   \t  ", " lead", "trail ", "\r",
                                           "a\r\nb\r\n", "\n\n", "\ttab\t", "<&>",
                                           "\"quoted\" 'single'", "]]>", "&amp;",
                                           "\xCE\xA2\xC8\xED\xD1\xC5\xBA\xDA",
                                           "mixed \xC8\xED <b> & \r\n end"));

TEST(KrMarkupData, DeclaredEncodingDoesNotConvertTheBytes) {
    KrMarkup xml("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xC8\xED</a>");
    ASSERT_TRUE(xml.FindElem("a"));
    EXPECT_EQ(xml.GetData(), "\xC8\xED");
    EXPECT_EQ(xml.GetDoc(), "<a>\xC8\xED</a>"); // the declaration is not written again
}

TEST(KrMarkupMalformed, EveryProperPrefixOfADocumentHasNoElement) {
    const std::string doc = "<r k=\"1\"><a>t&amp;</a><![CDATA[c]]><b/></r>";
    for (std::size_t n = 0; n < doc.size(); ++n) {
        KrMarkup xml;
        EXPECT_FALSE(xml.SetDoc(doc.substr(0, n))) << n;
        EXPECT_FALSE(xml.FindChildElem()) << n;
        EXPECT_FALSE(xml.FindElem()) << n;
        EXPECT_EQ(xml.GetDoc(), "") << n;
    }
}

TEST(KrMarkupMalformed, GarbageAndMismatchedTagsHaveNoElement) {
    std::vector<std::string> inputs = {
        "plain text", "<a><b></a></b>",        "<a", "</a>", "<a b=\"1></a>",
        "<<>>",       std::string("\0<a/>", 5)};
    std::string all;
    for (int c = 255; c >= 0; --c)
        all += static_cast<char>(c);
    inputs.push_back(all);
    unsigned seed = 12345;
    for (int i = 0; i < 200; ++i) {
        std::string bytes;
        for (int j = 0; j < 64; ++j) {
            seed = seed * 1103515245u + 12345u;
            bytes += static_cast<char>("<>/a =\"'&;!?[]\xFF\x00"[(seed >> 16) % 16]);
        }
        inputs.push_back(bytes);
    }
    for (const std::string& input : inputs) {
        KrMarkup xml(input);
        const bool hasRoot = xml.FindElem();
        EXPECT_EQ(hasRoot, !xml.GetDoc().IsEmpty());
        if (!hasRoot) {
            EXPECT_FALSE(xml.FindChildElem());
        }
    }
    EXPECT_FALSE(KrMarkup("<a><b></a></b>").FindElem());
    EXPECT_FALSE(KrMarkup("<a/><b/>").FindElem()); // two roots are no document
    EXPECT_FALSE(KrMarkup(std::string("\0<a/>", 5)).FindElem());
}
