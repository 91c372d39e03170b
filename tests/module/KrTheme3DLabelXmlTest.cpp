// The label theme's XML: what the writer produced, read with plain pugixml, and what the reader
// takes from fragments edited by hand from a real theme's output.
#include "Theme3DBase/KrTheme3DLabel.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

using KRS::KrTheme3DItem;
using KRS::KrTheme3DLabel;
using TOVO::TovoMBString;
using TOVO::TovoVariant;

namespace {

const int kVersion = 20090106;

KrTheme3DLabel MakeLabel(KrTheme3DLabel::KrLabel3DType nType) {
    KrTheme3DLabel label;
    label.SetExpression("NAME & <POP>");
    label.SetNumFormat("%.3f");
    label.SetAlonglineText(TRUE);
    label.SetLabelType(nType);
    label.GetTextStyle()->SetSize(12.5);
    label.GetTextStyle()->SetBold(TRUE);
    return label;
}

pugi::xml_node Root(pugi::xml_document& doc, const TovoMBString& strXML) {
    EXPECT_TRUE(doc.load_buffer(strXML.c_str(), strXML.Str().size(),
                                pugi::parse_default | pugi::parse_ws_pcdata));
    return doc.child("dkm:Theme3D");
}

// A real theme's output, changed by hand through pugixml.
TovoMBString Edited(const KrTheme3DLabel& label, const std::function<void(pugi::xml_node)>& edit) {
    pugi::xml_document doc;
    edit(Root(doc, label.ToXML(kVersion, "")));
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration);
    return out.str();
}

void SetText(pugi::xml_node root, const char* szName, const char* szText) {
    root.child(szName).text().set(szText);
}

TEST(LabelXmlTest, WritesFiveElementsLastInOrder) {
    const TovoMBString strXML = MakeLabel(KrTheme3DLabel::Label3DSymbol).ToXML(0, "ignored");
    pugi::xml_document doc;
    const pugi::xml_node root = Root(doc, strXML);
    ASSERT_FALSE(root.empty());
    std::vector<pugi::xml_node> children(root.begin(), root.end());
    ASSERT_GE(children.size(), 5u);
    const std::vector<pugi::xml_node> label(children.end() - 5, children.end());
    const char* names[] = {"dkm:FieldExpression", "dkm:NumFormat", "dkm:LabelAlongLine",
                           "dkm:LabelType", "dkm:TextStyle"};
    const char* texts[] = {"NAME & <POP>", "%.3f", "TRUE", "Label3DSymbol"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(label[i].name(), names[i]);
        if (i < 4) {
            EXPECT_STREQ(label[i].text().get(), texts[i]);
            EXPECT_TRUE(label[i].first_attribute().empty());
        }
    }
    EXPECT_EQ(strXML, MakeLabel(KrTheme3DLabel::Label3DSymbol).ToXML(kVersion, ""));
    EXPECT_TRUE(MakeLabel(KrTheme3DLabel::Label3DSymbol).ToXML(1, "").IsEmpty());
}

TEST(LabelXmlTest, NewThemeAndUnknownTypeAsWritten) {
    KrTheme3DLabel label;
    pugi::xml_document doc;
    pugi::xml_node root = Root(doc, label.ToXML(kVersion, ""));
    EXPECT_STREQ(root.child("dkm:LabelType").text().get(), "Label3DText");
    EXPECT_STREQ(root.child("dkm:LabelAlongLine").text().get(), "FALSE");
    label.SetLabel3DType(KrTheme3DLabel::Label3DTable);
    EXPECT_EQ(label.GetLabel3DType(), 3);
    label.SetLabelType(static_cast<KrTheme3DLabel::KrLabel3DType>(9)); // stored unchecked
    EXPECT_EQ(label.GetLabel3DType(), 9);
    root = Root(doc, label.ToXML(kVersion, ""));
    EXPECT_FALSE(root.child("dkm:LabelType").empty());
    EXPECT_STREQ(root.child("dkm:LabelType").text().get(), "");
}

TEST(LabelXmlTest, RoundTripOfEveryLabelType) {
    for (int nType = 0; nType < 4; ++nType) {
        SCOPED_TRACE(nType);
        KrTheme3DLabel source = MakeLabel(static_cast<KrTheme3DLabel::KrLabel3DType>(nType));
        source.Add("item", KrTheme3DItem());
        KrTheme3DLabel read;
        ASSERT_EQ(read.FromXML(source.ToXML(kVersion, ""), 0, ""), TRUE);
        EXPECT_EQ(read.GetExpression(), source.GetExpression());
        EXPECT_EQ(read.GetNumFormat().Str(), "%.3f");
        EXPECT_EQ(read.GetStringFromVariant(TovoVariant(2.0)).Str(), "2.000");
        EXPECT_EQ(read.IsAlonglineText(), TRUE);
        EXPECT_EQ(read.GetLabel3DType(), nType);
        EXPECT_TRUE(*read.GetTextStyle() == *source.GetTextStyle());
        EXPECT_EQ(read.IsExist("item"), FALSE);
    }
}

TEST(LabelXmlTest, ReadsFlagAndTypeNamesIgnoringCase) {
    struct Case {
        const char* szAlong;
        const char* szType;
        unsigned char bAlong;
        int nType;
    };
    // The theme read into starts along-line with type Label3DPicture.
    const Case cases[] = {{"true", "label3dtable", TRUE, 3},
                          {"False", "LABEL3DSYMBOL", FALSE, 1},
                          {"yes", "Label3DTexts", TRUE, 2},
                          {"", "3", TRUE, 2},
                          {"FALSE", "label3dText", FALSE, 0}};
    const KrTheme3DLabel source = MakeLabel(KrTheme3DLabel::Label3DText);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szType);
        const TovoMBString strXML = Edited(source, [&](pugi::xml_node root) {
            SetText(root, "dkm:LabelAlongLine", c.szAlong);
            SetText(root, "dkm:LabelType", c.szType);
        });
        KrTheme3DLabel read;
        read.SetAlonglineText(TRUE);
        read.SetLabelType(KrTheme3DLabel::Label3DPicture);
        ASSERT_EQ(read.FromXML(strXML, kVersion, ""), TRUE);
        EXPECT_EQ(read.IsAlonglineText(), c.bAlong);
        EXPECT_EQ(read.GetLabel3DType(), c.nType);
    }
}

TEST(LabelXmlTest, SearchNeverGoesBackAndMissingElementsKeepValues) {
    const KrTheme3DLabel source = MakeLabel(KrTheme3DLabel::Label3DTable);
    const TovoMBString strXML = Edited(source, [](pugi::xml_node root) {
        root.insert_move_before(root.child("dkm:NumFormat"), root.child("dkm:FieldExpression"));
        root.remove_child("dkm:LabelAlongLine");
    });
    KrTheme3DLabel read;
    read.SetNumFormat(".1f");
    ASSERT_EQ(read.FromXML(strXML, kVersion, ""), TRUE);
    EXPECT_EQ(read.GetExpression().Str(), "NAME & <POP>");
    EXPECT_EQ(read.GetNumFormat().Str(), ".1f");
    EXPECT_EQ(read.IsAlonglineText(), FALSE);
    EXPECT_EQ(read.GetLabel3DType(), KrTheme3DLabel::Label3DTable);
    EXPECT_EQ(read.GetTextStyle()->GetSize(), 12.5);
}

TEST(LabelXmlTest, NumFormatIsReadWithoutCheck) {
    KRS::KrLogFile::GetInstance().ClearRecords();
    const TovoMBString strXML =
        Edited(MakeLabel(KrTheme3DLabel::Label3DText),
               [](pugi::xml_node root) { SetText(root, "dkm:NumFormat", "d"); });
    KrTheme3DLabel read;
    ASSERT_EQ(read.FromXML(strXML, kVersion, ""), TRUE);
    EXPECT_EQ(read.GetNumFormat().Str(), "d");
    EXPECT_TRUE(KRS::KrLogFile::GetInstance().GetRecords().empty());
    // A format the formatter refuses yields no number text, never an exception.
    EXPECT_EQ(read.GetStringFromVariant(TovoVariant(2.0)).Str(), "");
    EXPECT_EQ(read.GetStringFromVariant(TovoVariant(std::int32_t(2))).Str(), "2");
}

TEST(LabelXmlTest, RejectsAndIgnores) {
    const KrTheme3DLabel source = MakeLabel(KrTheme3DLabel::Label3DSymbol);
    const TovoMBString strXML = source.ToXML(kVersion, "");
    KrTheme3DLabel read;
    read.Add("own", KrTheme3DItem());
    EXPECT_EQ(read.FromXML(strXML, 1, ""), TRUE); // another version: nothing read
    EXPECT_TRUE(read.GetExpression().IsEmpty());
    EXPECT_EQ(read.FromXML("", kVersion, ""), FALSE);
    const TovoMBString strUnique =
        Edited(source, [](pugi::xml_node root) { SetText(root, "dkm:ThemeType", "1"); });
    EXPECT_EQ(read.FromXML(strUnique, kVersion, ""), FALSE);
    EXPECT_TRUE(read.GetExpression().IsEmpty());
    EXPECT_EQ(read.FromXML(strXML, kVersion, ""), TRUE);
    EXPECT_EQ(read.GetExpression().Str(), "NAME & <POP>");
    EXPECT_EQ(read.IsExist("own"), TRUE);
}

} // namespace
