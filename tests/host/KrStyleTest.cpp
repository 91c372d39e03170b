// The geometry style and the text style: their documents, versions and the "ItemTextStyle" rename.
#include "VyToolkit600/KrStyle.h"
#include "VyToolkit600/KrTextStyle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>

using KRS::KrStyle;
using KRS::KrTextStyle;
using TOVO::TovoMBString;

namespace {

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

TEST(KrStyle, EveryMemberRoundTripsInBothVersionsUnderTheRootTheCallerNames) {
    const KrStyle full = FullStyle();
    const std::pair<int, const char*> cases[] = {
        {0, "dkm:Style"}, {20090106, "dkm:DefaultStyle"}, {20031211, "dkm:GeoStyle"}};
    for (const auto& [version, name] : cases) {
        const TovoMBString xml = full.ToXML(version, version ? name : "");
        EXPECT_EQ(xml.Find(TovoMBString("<") + name + ">"), 0) << xml.Str();
        KrStyle read;
        ASSERT_TRUE(read.FromXML(xml, version)) << name;
        EXPECT_TRUE(read == full) << name;
    }
    EXPECT_EQ(full.ToXML(0), full.ToXML(20090106));
    EXPECT_TRUE(full.ToXML(1).IsEmpty());
    EXPECT_FALSE(KrStyle().FromXML(full.ToXML(0), 20031212));
}

// A style whose icon name needs no escaping is put together by a shortcut; it must write what
// the markup writes for the same style, here with an icon name that needs escaping, but for that.
TEST(KrStyle, ShortcutWritesWhatTheMarkupWrites) {
    std::mt19937 gen(3);
    auto number = [&] { return std::ldexp(double(gen() % 2001) - 1000, int(gen() % 80) - 40); };
    for (int n = 0; n < 300; ++n) {
        KrStyle style;
        style.SetFillColor(gen());
        style.SetLineColor(gen());
        style.SetLineWidth(number());
        style.SetIconScale(number());
        style.SetAltitudeMode(static_cast<KRS::AltitudeMode>(gen() % 4));
        style.SetFill(static_cast<unsigned char>(gen() % 2));
        style.SetExtrude(number());
        const bool bEmpty = n % 4 == 0;
        const char* szRoot = n % 3 ? "dkm:GeoStyle" : "";
        style.SetIconName(bEmpty ? "" : "a b.png");
        std::string shortcut = style.ToXML(0, szRoot).Str();
        const std::string from = bEmpty ? "<dkm:IconName/>" : ">a b.png<";
        const std::string to = bEmpty ? "<dkm:IconName>&lt;</dkm:IconName>" : ">a&lt;b.png<";
        ASSERT_NE(shortcut.find(from), std::string::npos) << shortcut;
        shortcut.replace(shortcut.find(from), from.size(), to);
        style.SetIconName(bEmpty ? "<" : "a<b.png");
        EXPECT_EQ(shortcut, style.ToXML(0, szRoot).Str());
    }
}

TEST(KrTextStyle, RoundTripsPlainAndAfterRenamingEveryTextStyle) {
    const KrTextStyle full = FullTextStyle();
    const std::string xml = full.ToXML(20090106).Str();
    ASSERT_TRUE(KrTextStyle().FromXML(xml, 0));

    TovoMBString renamed(xml); // as the graph theme embeds it
    renamed.Replace("TextStyle", "ItemTextStyle");
    KrTextStyle read;
    ASSERT_TRUE(read.FromXML(renamed, 20031211));
    EXPECT_TRUE(read == full);
    EXPECT_FALSE(read.FromXML("not xml", 0));
    EXPECT_TRUE(read.ToXML(20031212).IsEmpty());
}

TEST(KrStyle, ShortAndLongDocumentsReadAlike) {
    // Below 4 KB a style text is read from its tree directly, above through a markup.
    for (const std::size_t nLength : {std::size_t(3), std::size_t(5000)}) {
        const std::string name(nLength, 'i');
        KrStyle full = FullStyle();
        full.SetIconName(name.c_str());
        KrStyle read;
        ASSERT_TRUE(read.FromXML(full.ToXML(0), 0)) << nLength;
        EXPECT_TRUE(read == full) << nLength;
        // The first of two equal fields counts; text between the fields is passed over.
        const std::string doc = "<x> <dkm:IconName>" + name + "</dkm:IconName>t<dkm:IconName>b" +
                                "</dkm:IconName><dkm:LineWidth>7</dkm:LineWidth></x>";
        ASSERT_TRUE(read.FromXML(doc.c_str(), 0)) << nLength;
        EXPECT_EQ(read.GetIconName().Str(), name);
        EXPECT_FALSE(read.FromXML((doc + "<y/>").c_str(), 0)) << nLength;
        EXPECT_EQ(read.GetLineWidth(), 7.0);
    }
}
