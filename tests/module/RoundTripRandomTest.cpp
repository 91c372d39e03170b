// Randomized round trips: themes of every kind filled with random values (captions and names with
// markup characters, line ends, control characters and bytes that are no UTF-8; styles with icon
// names; hidden items; both range orders; array items and join keys), written and read back into a
// fresh theme, compare equal in every member that the format stores. Every case draws from its own
// seed, so a failure names the seed that reproduces it.
#include "Theme3DBase/Kr3DGraphItem.h"
#include "Theme3DBase/KrTheme3DGraph.h"
#include "Theme3DBase/KrTheme3DLabel.h"
#include "Theme3DBase/KrTheme3DRange.h"
#include "Theme3DBase/KrTheme3DUnique.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace KRS;
using TOVO::TovoArray;
using TOVO::TovoMBString;

namespace {

// Icon names are stored relative to this directory; it need not exist (the trailing separator
// makes it one).
const char* const kPath = "/rt/scene/";

// Pieces that texts are made of: plain bytes, the markup characters, white space and line ends,
// control characters, bytes that are no UTF-8, and words that the readers or writers treat
// specially.
// Pieces, '|' between them.
const char kPieces[] =
    "a|Z|7| |\t|\r|\n|\r\n|<|>|&|\"|'|]]>|<![CDATA[|&amp;|&#13;|[#]|%|%s|=|\x01|"
    "\x1f|\x7f|\x80|\xa0|\xc3\x28|\xed\xa0\x80|\xfe|\xff|\xce\xa2\xc8\xed|TextStyle|"
    "ItemTextStyle|dkm:Style|X<|<=|>=";
// The same without path separators, drive colons and dots, for the parts of icon file names.
const char kNamePieces[] = "a|Z|7| |<|>|&|\"|'|]]>|[#]|%|\x01|\x80|\xc3\x28|\xfe|\xff";

std::vector<std::string> Split(const char* szPieces) {
    std::vector<std::string> pieces(1);
    for (const char* p = szPieces; *p; ++p)
        if (*p == '|')
            pieces.emplace_back();
        else
            pieces.back() += *p;
    return pieces;
}

class Random {
public:
    explicit Random(unsigned nSeed) : m_gen(nSeed) {}

    int Int(int nLow, int nHigh) { return std::uniform_int_distribution<int>(nLow, nHigh)(m_gen); }
    unsigned char Flag() { return static_cast<unsigned char>(Int(0, 1)); }
    std::uint32_t Bits() { return static_cast<std::uint32_t>(m_gen()); }

    // k / 2^r: exact in the fixed-point texts of the themes ("%.15f"; "%f" for r <= 6).
    double Dyadic(int nMaxShift) {
        return Int(-(1 << 20), 1 << 20) / static_cast<double>(1 << Int(0, nMaxShift));
    }
    TovoMBString Text(const std::vector<std::string>& pieces, int nMaxPieces) {
        std::string s;
        for (int i = Int(0, nMaxPieces); i > 0; --i)
            s += pieces[Int(0, static_cast<int>(pieces.size()) - 1)];
        return TovoMBString(s);
    }
    TovoMBString Text() { return Text(m_pieces, 8); }

    // Empty, inside the document's directory, or elsewhere.
    TovoMBString IconName() {
        switch (Int(0, 3)) {
        case 0:
            return TovoMBString();
        case 1:
            return TovoMBString(kPath) + NamePart() + ".png";
        case 2:
            return TovoMBString(kPath) + "icons/" + NamePart() + "/" + NamePart() + ".png";
        default:
            return TovoMBString("/elsewhere/") + NamePart() + ".png";
        }
    }

    // The module copies styles whole and reads only their icon names: the style's own fields
    // are the host's to write.
    KrStyle Style(const TovoMBString& strIcon) {
        KrStyle style;
        style.SetFillColor(Bits());
        style.SetIconName(strIcon);
        return style;
    }

    // A face name with the element names that the graph theme renames in its document.
    KrTextStyle TextStyle() {
        KrTextStyle style;
        style.SetFaceName(Text());
        style.SetForeColor(Bits());
        return style;
    }

    // The base part that every theme shares.
    void FillBase(KrTheme3D& theme) {
        theme.SetAliasSuffix(Text());
        theme.SetExternalValueMode(Int(-5, 5));
        for (int i = Int(0, 4); i > 0; --i)
            theme.SetExternalValue(Text(), Text());
    }

private:
    TovoMBString NamePart() {
        TovoMBString part = Text(m_namePieces, 4);
        return part.IsEmpty() ? TovoMBString("n") : part;
    }

    std::mt19937 m_gen;
    const std::vector<std::string> m_pieces = Split(kPieces), m_namePieces = Split(kNamePieces);
};

// Reads what the source wrote into a fresh theme, which must write the very same document: every
// member the format stores was read. What the writers write is checked by the expected documents.
template <typename Theme> void ReadBack(const Theme& source, Theme& read) {
    const TovoMBString written = source.ToXML(0, kPath);
    ASSERT_TRUE(read.FromXML(written, 0, kPath));
    EXPECT_EQ(written, Theme(read).ToXML(0, kPath)); // a copy: writing makes icon names relative
}

// The members a test can set only from inside.
struct RangeProbe : KrTheme3DRange {
    using KrTheme3DRange::m_bDescending;
    using KrTheme3DRange::m_nClassType;
};
struct GraphProbe : KrTheme3DGraph {
    using KrTheme3DGraph::m_dLogMaxSum;
    using KrTheme3DGraph::m_dLogMinSum;
    using KrTheme3DGraph::m_dMaxSum;
    using KrTheme3DGraph::m_dMinSum;
    using KrTheme3DGraph::m_dSqrtMaxSum;
    using KrTheme3DGraph::m_dSqrtMinSum;
    using KrTheme3DGraph::m_szMaxSize;
    using KrTheme3DGraph::m_szMinSize;
};

// An item with a random caption, flag and style whose icon name is absolute, as the reader
// restores it.
KrTheme3DItem RandomItem(Random& random) {
    KrTheme3DItem item;
    item.m_strCaption = random.Text();
    item.m_bVisible = random.Flag();
    item.m_Style = random.Style(random.IconName());
    return item;
}

class RoundTripRandomTest : public ::testing::TestWithParam<unsigned> {
protected:
    Random random{GetParam()};
};

TEST_P(RoundTripRandomTest, UniqueTheme) {
    KrTheme3DUnique source;
    random.FillBase(source);
    source.SetExpression(random.Text());
    // Any bytes for the default style's icon: only the items' icon names are made relative.
    source.SetDefaultStyle(random.Style(random.Text()));
    std::set<TovoMBString> seen;
    for (int i = random.Int(0, 12); i > 0; --i) {
        const TovoMBString strValue = random.Text();
        if (seen.insert(strValue).second)
            source.Add(strValue, RandomItem(random));
    }
    KrTheme3DUnique read;
    ReadBack(source, read);
}

TEST_P(RoundTripRandomTest, RangeTheme) {
    RangeProbe source;
    random.FillBase(source);
    source.SetExpression(random.Text());
    source.m_bDescending = random.Flag();
    source.m_nClassType = random.Int(-3, 9);
    // Break values in any order: the writer and the reader keep the theme's order.
    for (int i = random.Int(0, 12); i > 0; --i)
        source.Add(random.Dyadic(15), KrTheme3DItem());
    for (int i = 0; i < source.GetCount(); ++i)
        source.SetAt(i, RandomItem(random));
    RangeProbe read;
    ReadBack<KrTheme3DRange>(source, read);
}

TEST_P(RoundTripRandomTest, LabelTheme) {
    const char* const formats[] = {"%.2f", ".3e", "%08.1f", "%g", "%+.0f", "%-12.4E", "%#x"};
    KrTheme3DLabel source;
    random.FillBase(source);
    source.SetExpression(random.Text());
    source.SetNumFormat(formats[random.Int(0, 6)]);
    source.SetAlonglineText(random.Flag());
    source.SetLabelType(static_cast<KrTheme3DLabel::KrLabel3DType>(random.Int(0, 3)));
    KrTextStyle style = random.TextStyle();
    source.SetTextStyle(style);
    KrTheme3DLabel read;
    ReadBack(source, read);
}

// One random item; array items get at least one value, as the writer leaves out an empty list.
Kr3DGraphItem RandomGraphItem(Random& random, int nIndex) {
    Kr3DGraphItem item;
    item.m_strCaption = random.Text() + TovoMBString::Formatted("#%d", nIndex);
    item.m_Style = random.Style(random.Text());
    if (random.Flag()) {
        item.m_nItemType = Kr3DGraphItem::ArrayItem;
        for (int i = random.Int(1, 6); i > 0; --i)
            item.m_arrValues.Add(random.Dyadic(6));
    } else {
        item.m_strFieldExpression = random.Text();
    }
    return item;
}

TEST_P(RoundTripRandomTest, GraphTheme) {
    const int types[] = {KrTheme3DGraph::Bar, KrTheme3DGraph::Pie, KrTheme3DGraph::StackedBar};
    GraphProbe source;
    random.FillBase(source);
    for (int i = random.Int(0, 8); i > 0; --i)
        source.Insert(source.GetCount(), RandomGraphItem(random, i));
    source.SetGraphType(types[random.Int(0, 2)]);
    source.SetBarWidth(random.Dyadic(15));
    source.SetStartAngle(random.Dyadic(15));
    source.SetShowItemText(random.Flag());
    source.SetItemTextFormat(random.Int(1, 5));
    source.SetGraduatedMode(random.Int(0, 2));
    double* sums[] = {&source.m_dMinSum,      &source.m_dMaxSum,      &source.m_dSqrtMinSum,
                      &source.m_dSqrtMaxSum,  &source.m_dLogMinSum,   &source.m_dLogMaxSum,
                      &source.m_szMinSize.cx, &source.m_szMinSize.cy, &source.m_szMaxSize.cx,
                      &source.m_szMaxSize.cy};
    for (double* pSum : sums)
        *pSum = random.Dyadic(15);
    source.SetItemTextStyle(random.TextStyle());
    TovoArray<int> keys;
    for (int i = random.Int(0, 6); i > 0; --i)
        keys.Add(static_cast<int>(random.Bits()));
    source.SetJoinArrayField(keys);
    GraphProbe read;
    ReadBack<KrTheme3DGraph>(source, read);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RoundTripRandomTest, ::testing::Range(1u, 61u));

} // namespace
