// The label theme's XML: what the writer produced, read with plain pugixml, and what the reader
// takes from a real theme's output edited by hand.
#include "Theme3DBase/KrTheme3DLabel.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <initializer_list>
#include <string>
#include <utility>

using KRS::KrTheme3DItem;
using KRS::KrTheme3DLabel;
using TOVO::TovoMBString;
using TOVO::TovoVariant;

namespace {

const int kVersion = 20090106;

KrTheme3DLabel MakeLabel(int nType) {
    KrTheme3DLabel label;
    label.SetExpression("NAME & <POP>");
    label.SetNumFormat("%.3f");
    label.SetAlonglineText(TRUE);
    label.SetLabelType(static_cast<KrTheme3DLabel::KrLabel3DType>(nType));
    label.GetTextStyle()->SetSize(12.5);
    return label;
}

// The root's children from the first label element on, as "name=text;" ('@' marks attributes).
std::string LabelElements(const TovoMBString& strXML) {
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(strXML.c_str()));
    std::string strElements;
    for (pugi::xml_node node : doc.child("dkm:Theme3D").children())
        strElements += std::string(node.name()) + "=" + node.text().get() +
                       (node.first_attribute() ? "@;" : ";");
    return strElements.substr(strElements.find("dkm:FieldExpression="));
}

// Reads a table label's output with each text replaced once by another.
unsigned char ReadEdited(KrTheme3DLabel& label,
                         std::initializer_list<std::pair<std::string, std::string>> edits) {
    TovoMBString strXML = MakeLabel(KrTheme3DLabel::Label3DTable).ToXML(kVersion, "");
    for (const auto& [strOld, strNew] : edits)
        EXPECT_EQ(strXML.Replace(strOld, strNew), 1) << strOld;
    return label.FromXML(strXML, kVersion, "");
}

TEST(LabelXmlTest, WritesFiveElementsLastInOrder) {
    const TovoMBString strXML = MakeLabel(KrTheme3DLabel::Label3DSymbol).ToXML(0, "ignored");
    EXPECT_EQ(LabelElements(strXML),
              "dkm:FieldExpression=NAME & <POP>;dkm:NumFormat=%.3f;dkm:LabelAlongLine=TRUE;"
              "dkm:LabelType=Label3DSymbol;dkm:TextStyle=;");
    EXPECT_EQ(strXML, MakeLabel(KrTheme3DLabel::Label3DSymbol).ToXML(kVersion, ""));
    EXPECT_TRUE(MakeLabel(KrTheme3DLabel::Label3DSymbol).ToXML(1, "").IsEmpty());

    KrTheme3DLabel label; // a code outside 0 to 3 is kept and has no name
    label.SetLabel3DType(static_cast<KrTheme3DLabel::KrLabel3DType>(9));
    EXPECT_EQ(label.GetLabel3DType(), 9);
    EXPECT_EQ(LabelElements(label.ToXML(kVersion, "")),
              "dkm:FieldExpression=;dkm:NumFormat=;dkm:LabelAlongLine=FALSE;"
              "dkm:LabelType=;dkm:TextStyle=;");
}

TEST(LabelXmlTest, RoundTripOfEveryLabelTypeWithoutItems) {
    const char* names[] = {"Label3DText", "Label3DSymbol", "Label3DPicture", "Label3DTable"};
    for (int nType = 0; nType < 4; ++nType) {
        KrTheme3DLabel source = MakeLabel(nType);
        EXPECT_NE(source.ToXML(kVersion, "").Find(std::string(">") + names[nType] + "<", 0), -1);
        source.Add("item", KrTheme3DItem());
        KrTheme3DLabel read;
        read.SetLabelType(static_cast<KrTheme3DLabel::KrLabel3DType>((nType + 1) % 4));
        ASSERT_EQ(read.FromXML(source.ToXML(kVersion, ""), 0, ""), TRUE);
        EXPECT_EQ(read.ToXML(0, "").Str(), source.ToXML(0, "").Str());
        EXPECT_EQ(read.GetStringFromVariant(TovoVariant(2.0)).Str(), "2.000");
        EXPECT_EQ(read.IsExist("item"), FALSE);
    }
}

TEST(LabelXmlTest, ReadsFlagAndTypeNamesIgnoringCase) {
    // Along-line flag, type name, and what a theme that was along-line and a picture label reads.
    const char* cases[][3] = {{"true", "label3dtable", "1 3"},
                              {"False", "LABEL3DSYMBOL", "0 1"},
                              {"yes", "Label3DTexts", "1 2"},
                              {"", "3", "1 2"},
                              {"FALSE", "label3dText", "0 0"}};
    for (const auto& c : cases) {
        KrTheme3DLabel read;
        read.SetAlonglineText(TRUE);
        read.SetLabelType(KrTheme3DLabel::Label3DPicture);
        ASSERT_EQ(
            ReadEdited(read, {{"TRUE</dkm:LabelAlong", c[0] + std::string("</dkm:LabelAlong")},
                              {"Label3DTable", c[1]}}),
            TRUE);
        EXPECT_EQ(std::to_string(read.IsAlonglineText()) + " " +
                      std::to_string(read.GetLabel3DType()),
                  c[2])
            << c[0] << " " << c[1];
    }
}

TEST(LabelXmlTest, ReaderSearchesForwardOnlyAndTakesNumFormatUnchecked) {
    // The number format moved before the expression is not seen; a missing flag keeps its value.
    KrTheme3DLabel read;
    read.SetNumFormat(".1f");
    ASSERT_EQ(ReadEdited(read, {{"<dkm:NumFormat>%.3f</dkm:NumFormat>", ""},
                                {"<dkm:LabelAlongLine>TRUE</dkm:LabelAlongLine>", ""},
                                {"<dkm:FieldExpression>",
                                 "<dkm:NumFormat>%.3f</dkm:NumFormat><dkm:FieldExpression>"}}),
              TRUE);
    EXPECT_EQ(read.GetExpression().Str(), "NAME & <POP>");
    EXPECT_EQ(read.GetNumFormat().Str(), ".1f");
    EXPECT_EQ(read.IsAlonglineText(), FALSE);
    EXPECT_EQ(read.GetLabel3DType(), KrTheme3DLabel::Label3DTable);
    EXPECT_EQ(read.GetTextStyle()->GetSize(), 12.5);

    KRS::KrLogFile::GetInstance().ClearRecords();
    ASSERT_EQ(ReadEdited(read, {{">%.3f<", ">d<"}}), TRUE);
    EXPECT_EQ(read.GetNumFormat().Str(), "d");
    EXPECT_TRUE(KRS::KrLogFile::GetInstance().GetRecords().empty());
    // A format the formatter refuses yields no number text, never an exception.
    EXPECT_EQ(read.GetStringFromVariant(TovoVariant(2.0)).Str(), "");
    EXPECT_EQ(read.GetStringFromVariant(TovoVariant(std::int32_t(2))).Str(), "2");
}

TEST(LabelXmlTest, RejectsAndIgnores) {
    const TovoMBString strXML = MakeLabel(KrTheme3DLabel::Label3DTable).ToXML(kVersion, "");
    KrTheme3DLabel read;
    read.Add("own", KrTheme3DItem());
    EXPECT_EQ(read.FromXML(strXML, 1, ""), TRUE); // another version: nothing read
    EXPECT_EQ(read.FromXML("", kVersion, ""), FALSE);
    EXPECT_EQ(ReadEdited(read, {{">3</dkm:ThemeType>", ">1</dkm:ThemeType>"}}), FALSE);
    EXPECT_TRUE(read.GetExpression().IsEmpty());
    EXPECT_EQ(read.FromXML(strXML, kVersion, ""), TRUE);
    EXPECT_EQ(read.IsExist("own"), TRUE);
}

} // namespace
