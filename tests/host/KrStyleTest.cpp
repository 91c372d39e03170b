#include "VyToolkit600/KrStyle.h"
#include "VyToolkit600/KrTextStyle.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <functional>
#include <string>
#include <vector>

using KRS::KrStyle;
using KRS::KrTextStyle;
using TOVO::TovoMBString;

namespace {

// Every occurrence replaced, as a caller embedding a text style under another name does it.
std::string ReplaceAll(std::string s, const std::string& from, const std::string& to) {
    for (std::size_t i = s.find(from); i != std::string::npos; i = s.find(from, i + to.size()))
        s.replace(i, from.size(), to);
    return s;
}

KrStyle FullStyle() {
    KrStyle s;
    s.SetFillColor(TOVORGBA(1, 2, 3, 4));
    s.SetLineColor(TOVORGBA(250, 251, 252, 0));
    s.SetLineWidth(0.1);
    s.SetIconName("C:\\icons\\\xC8\xED & <a>.png");
    s.SetIconScale(1e-300);
    s.SetAltitudeMode(KRS::AltitudeAbsolute);
    s.SetFill(FALSE);
    s.SetExtrude(-12.345678901234567);
    return s;
}

KrTextStyle FullTextStyle() {
    KrTextStyle t;
    t.SetFaceName("\xCB\xCE\xCC\xE5 TextStyle ItemTextStyle");
    t.SetSize(10.5);
    t.SetHeight(0.3);
    t.SetForeColor(TOVORGBA(9, 8, 7, 6));
    t.SetHalo(TRUE);
    t.SetHaloColor(TOVORGB(255, 0, 0));
    t.SetAlign(8);
    t.SetFixedSize(TRUE);
    t.SetBold(TRUE);
    t.SetItalic(TRUE);
    return t;
}

} // namespace

TEST(KrStyle, RootIsNamedByTheCaller) {
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(KrStyle().ToXML(0).c_str()));
    EXPECT_STREQ(doc.document_element().name(), "dkm:Style");
    ASSERT_TRUE(doc.load_string(FullStyle().ToXML(0, "dkm:DefaultStyle").c_str()));
    EXPECT_STREQ(doc.document_element().name(), "dkm:DefaultStyle");
}

TEST(KrStyle, EveryMemberRoundTripsExactlyUnderAnyRootName) {
    const KrStyle full = FullStyle();
    for (const char* name : {"", "dkm:Style", "dkm:GeoStyle"}) {
        KrStyle read;
        ASSERT_TRUE(read.FromXML(full.ToXML(20090106, name), 0)) << name;
        EXPECT_TRUE(read == full) << name;
    }
}

TEST(KrStyle, VersionsZeroAndBothKnownOnesAreAcceptedOthersRefused) {
    const KrStyle full = FullStyle();
    EXPECT_EQ(full.ToXML(0), full.ToXML(20090106));
    EXPECT_FALSE(full.ToXML(20031211).IsEmpty());
    EXPECT_TRUE(full.ToXML(1).IsEmpty());
    KrStyle read;
    EXPECT_FALSE(read.FromXML(full.ToXML(0), 20031212));
    EXPECT_TRUE(read == KrStyle());
    EXPECT_TRUE(read.FromXML(full.ToXML(0), 20031211));
    EXPECT_TRUE(read == full);
}

TEST(KrStyle, MissingMembersKeepTheirValuesAndBrokenTextChangesNothing) {
    KrStyle s = FullStyle();
    ASSERT_TRUE(s.FromXML("<x><dkm:LineWidth>2.5</dkm:LineWidth><dkm:Fill>true</dkm:Fill>"
                          "<dkm:AltitudeMode>relativetoground</dkm:AltitudeMode></x>",
                          0));
    EXPECT_EQ(s.GetLineWidth(), 2.5);
    EXPECT_EQ(s.IsFill(), TRUE);
    EXPECT_EQ(s.GetAltitudeMode(), KRS::AltitudeRelativeToGround);
    EXPECT_EQ(s.GetFillColor(), TOVORGBA(1, 2, 3, 4));
    EXPECT_EQ(s.GetIconName(), FullStyle().GetIconName());

    const KrStyle before = s;
    EXPECT_FALSE(s.FromXML("<x><dkm:LineWidth>3</dkm:LineWidth>", 0));
    EXPECT_FALSE(s.FromXML("", 0));
    EXPECT_TRUE(s == before);
}

TEST(KrStyle, EqualityComparesEveryMember) {
    const std::vector<std::function<void(KrStyle&)>> changes = {
        [](KrStyle& s) { s.SetFillColor(1); },
        [](KrStyle& s) { s.SetLineColor(1); },
        [](KrStyle& s) { s.SetLineWidth(2); },
        [](KrStyle& s) { s.SetIconName("a"); },
        [](KrStyle& s) { s.SetIconScale(2); },
        [](KrStyle& s) { s.SetFill(FALSE); },
        [](KrStyle& s) { s.SetExtrude(1); },
        [](KrStyle& s) { s.SetAltitudeMode(KRS::AltitudeAbsolute); }};
    for (std::size_t i = 0; i < changes.size(); ++i) {
        KrStyle s;
        changes[i](s);
        EXPECT_TRUE(s != KrStyle()) << i;
    }
}

TEST(KrTextStyle, OnlyTheRootNameContainsTextStyle) {
    KrTextStyle t;
    t.SetFaceName("Plain");
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(t.ToXML(0).c_str()));
    EXPECT_STREQ(doc.document_element().name(), "dkm:TextStyle");
    int children = 0;
    for (const pugi::xml_node& child : doc.document_element().children()) {
        EXPECT_EQ(std::string(child.name()).find("TextStyle"), std::string::npos) << child.name();
        ++children;
    }
    EXPECT_EQ(children, 10);
}

TEST(KrTextStyle, RoundTripsPlainAndAfterRenamingEveryTextStyle) {
    const KrTextStyle full = FullTextStyle();
    const std::string xml = full.ToXML(20090106).Str();
    KrTextStyle plain;
    ASSERT_TRUE(plain.FromXML(xml, 0));
    EXPECT_TRUE(plain == full);

    const std::string renamed = ReplaceAll(xml, "TextStyle", "ItemTextStyle");
    ASSERT_EQ(renamed.rfind("<dkm:ItemTextStyle>", 0), 0u);
    KrTextStyle read;
    ASSERT_TRUE(read.FromXML(renamed, 20031211));
    EXPECT_EQ(read.GetFaceName(), "\xCB\xCE\xCC\xE5 TextStyle ItemTextStyle");
    EXPECT_TRUE(read == full);
}

TEST(KrTextStyle, AnyRootIsReadAndUnknownVersionsAreRefused) {
    KrTextStyle t;
    ASSERT_TRUE(t.FromXML("<dkm:Label><dkm:Size>20</dkm:Size><dkm:Align>300</dkm:Align>"
                          "<dkm:Bold>TRUE</dkm:Bold></dkm:Label>",
                          0));
    EXPECT_EQ(t.GetSize(), 20.0);
    EXPECT_EQ(t.GetAlign(), 0); // no alignment code: unchanged
    EXPECT_EQ(t.GetBold(), TRUE);
    EXPECT_EQ(t.GetFaceName(), "Arial");
    EXPECT_TRUE(t.ToXML(20031212).IsEmpty());
    EXPECT_FALSE(t.FromXML(FullTextStyle().ToXML(0), 5));
    EXPECT_FALSE(t.FromXML("not xml", 0));
    EXPECT_EQ(t.GetSize(), 20.0);
}
