// Writes the seed documents that come from our own writers: fuzz_seed_writer <seeds directory>
// puts "written-<n>.xml" files into the directory of each fuzz target. Run it again when a
// document format changes; the hand-made seeds beside them stay as they are.
#include "Theme3DBase/Kr3DGraphItem.h"
#include "Theme3DBase/KrTheme3DGraph.h"
#include "Theme3DBase/KrTheme3DLabel.h"
#include "Theme3DBase/KrTheme3DRange.h"
#include "Theme3DBase/KrTheme3DUnique.h"
#include "VyBase600/TovoArray.h"
#include "VyToolkit600/KrStyle.h"
#include "VyToolkit600/KrTextStyle.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

using namespace KRS;
using TOVO::TovoMBString;

namespace {

const char* const kPath = "/fuzz/scene/";
// Markup characters, a carriage return, a tab and bytes that are no UTF-8.
const char* const kOddText = "a<b>&c\"d'e\r\n\tf\xff\xfe\x80g";

// The range theme keeps its order flag for its subclasses and tests only.
struct RangeWriter : KrTheme3DRange {
    using KrTheme3DRange::m_bDescending;
};

KrStyle Style(unsigned nRed, const char* szIcon, AltitudeMode mode) {
    KrStyle style;
    style.SetFillColor(TOVORGBA(nRed, 40, 200, 128));
    style.SetLineWidth(2.5);
    style.SetIconName(szIcon);
    style.SetIconScale(0.75);
    style.SetAltitudeMode(mode);
    style.SetExtrude(12.25);
    return style;
}

KrTheme3DItem Item(const char* szCaption, bool bVisible, unsigned nRed) {
    KrTheme3DItem item;
    item.m_strCaption = szCaption;
    item.m_bVisible = bVisible ? TRUE : FALSE;
    item.m_Style = Style(nRed, nRed % 2 ? "/fuzz/scene/icons/a.png" : "", AltitudeAbsolute);
    return item;
}

KrTextStyle TextStyle(const char* szFace) {
    KrTextStyle style;
    style.SetFaceName(szFace);
    style.SetSize(14.5);
    style.SetHeight(3);
    style.SetHalo(TRUE);
    style.SetAlign(7);
    style.SetBold(TRUE);
    return style;
}

void Decorate(KrTheme3D& theme) {
    theme.SetAliasSuffix("_1");
    theme.SetExternalValueMode(1);
    theme.SetExternalValue("1", "one");
    theme.SetExternalValue(kOddText, "odd");
}

std::vector<TovoMBString> UniqueDocs() {
    std::vector<TovoMBString> docs;
    KrTheme3DUnique empty;
    docs.push_back(empty.ToXML(0, kPath));
    KrTheme3DUnique theme;
    theme.SetExpression("ROADCLASS[#]SURFACE");
    theme.SetDefaultStyle(Style(200, "", AltitudeRelativeToGround));
    theme.Add("1", Item("Motorway", true, 1));
    theme.Add("2.50", Item(kOddText, false, 2));
    theme.Add(kOddText, Item("", true, 3));
    theme.Add("", Item("empty value", true, 4));
    docs.push_back(theme.ToXML(0, kPath));
    Decorate(theme);
    docs.push_back(theme.ToXML(0, kPath));
    return docs;
}

std::vector<TovoMBString> RangeDocs() {
    std::vector<TovoMBString> docs;
    RangeWriter empty;
    docs.push_back(empty.ToXML(0, kPath));
    const std::vector<std::vector<double>> breaks = {
        {10, 20}, {-2.25, 0.5, 100, 1e20}, {1e-16, 3}, {50, 25, 12.5}};
    for (std::size_t n = 0; n < breaks.size(); ++n) {
        RangeWriter theme;
        theme.m_bDescending = breaks[n].front() > breaks[n].back() ? TRUE : FALSE;
        theme.SetExpression(n == 1 ? "DENSITY" : kOddText);
        for (double d : breaks[n])
            theme.Add(d, Item("", true, 0));
        for (int i = 0; i < theme.GetCount(); ++i)
            theme.SetAt(i, Item(i == 1 ? kOddText : "class", i != 1, unsigned(i)));
        if (n == 2)
            Decorate(theme);
        docs.push_back(theme.ToXML(0, kPath));
    }
    return docs;
}

std::vector<TovoMBString> LabelDocs() {
    std::vector<TovoMBString> docs;
    const char* formats[] = {"%.2f", ".3e", "%08.1f", "%g"};
    for (int type = 0; type < 4; ++type) {
        KrTheme3DLabel theme;
        theme.SetExpression(type == 1 ? kOddText : "NAME");
        theme.SetNumFormat(formats[type]);
        theme.SetLabelType(static_cast<KrTheme3DLabel::KrLabel3DType>(type));
        theme.SetAlonglineText(type % 2 ? TRUE : FALSE);
        KrTextStyle style = TextStyle(type == 2 ? kOddText : "Sans");
        theme.SetTextStyle(style);
        if (type == 3)
            Decorate(theme);
        docs.push_back(theme.ToXML(0, kPath));
    }
    return docs;
}

std::vector<TovoMBString> GraphDocs() {
    std::vector<TovoMBString> docs;
    KrTheme3DGraph empty;
    docs.push_back(empty.ToXML(0, kPath));
    const int types[] = {KrTheme3DGraph::Bar, KrTheme3DGraph::Pie, KrTheme3DGraph::StackedBar};
    for (int n = 0; n < 3; ++n) {
        KrTheme3DGraph theme;
        theme.SetGraphType(types[n]);
        theme.Add("POP");
        theme.Add("GDP");
        theme.SetCaptionAt(1, kOddText);
        theme.SetStyleAt(0, Style(30, "/fuzz/scene/bar.png", AltitudeAbsolute));
        TOVO::TovoArray<double> values;
        values.Add(1.5);
        values.Add(-2);
        values.Add(1e9);
        theme.AddArrayField("ARR", values);
        TOVO::TovoArray<int> keys;
        keys.Add(7);
        keys.Add(-3);
        keys.Add(2000000000);
        theme.SetJoinArrayField(keys);
        theme.SetShowItemText(n != 1 ? TRUE : FALSE);
        theme.SetItemTextFormat(n + 3);
        theme.SetGraduatedMode(n);
        theme.SetStartAngle(45.5);
        theme.SetMinSumSize(10);
        theme.SetMaxSumSize(50);
        theme.SetItemTextStyle(TextStyle(n == 2 ? "ItemTextStyle TextStyle" : "Sans"));
        theme.CalExtremumvValue(1.0, 110.0, TOVO::TovoRect2D(0, 0, 1, 1), 3, FALSE);
        if (n == 0)
            Decorate(theme);
        docs.push_back(theme.ToXML(0, kPath));
    }
    return docs;
}

std::vector<TovoMBString> GraphItemDocs() {
    Kr3DGraphItem field;
    field.m_strFieldExpression = "POP";
    field.m_strCaption = kOddText;
    Kr3DGraphItem array;
    array.m_nItemType = Kr3DGraphItem::ArrayItem;
    array.m_strCaption = "ARR";
    array.m_Style = Style(5, "/x/y.png", AltitudeRelativeToGround);
    for (double d : {1.5, 2.0, -3.25, 1e12})
        array.m_arrValues.Add(d);
    return {field.ToXML(0), array.ToXML(0)};
}

std::vector<TovoMBString> StyleDocs() {
    return {KrStyle().ToXML(0), Style(1, kOddText, AltitudeAbsolute).ToXML(0, "dkm:GeoStyle"),
            Style(2, "/a/b.png", AltitudeRelativeToGround).ToXML(0, "dkm:DefaultStyle")};
}

std::vector<TovoMBString> TextStyleDocs() {
    TovoMBString renamed = TextStyle("ItemTextStyle").ToXML(0);
    renamed.Replace("TextStyle", "ItemTextStyle");
    return {KrTextStyle().ToXML(0), TextStyle(kOddText).ToXML(0), renamed};
}

void WriteAll(const std::filesystem::path& dir, const std::vector<TovoMBString>& docs) {
    std::filesystem::create_directories(dir);
    for (std::size_t i = 0; i < docs.size(); ++i) {
        std::ofstream out(dir / ("written-" + std::to_string(i) + ".xml"), std::ios::binary);
        out.write(docs[i].c_str(), static_cast<std::streamsize>(docs[i].Str().size()));
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seed_writer <seeds directory>\n");
        return 2;
    }
    const std::filesystem::path root(argv[1]);
    std::map<std::string, std::vector<TovoMBString>> seeds = {
        {"unique_xml", UniqueDocs()},        {"range_xml", RangeDocs()},
        {"label_xml", LabelDocs()},          {"graph_xml", GraphDocs()},
        {"graph_item_xml", GraphItemDocs()}, {"style_xml", StyleDocs()},
        {"text_style_xml", TextStyleDocs()}};
    std::vector<TovoMBString> all;
    for (const auto& [name, docs] : seeds) {
        WriteAll(root / name, docs);
        all.insert(all.end(), docs.begin(), docs.end());
    }
    WriteAll(root / "markup", all);
    return 0;
}
