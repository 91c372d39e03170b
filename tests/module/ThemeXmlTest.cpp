// The XML of every theme and of the chart item: the writers' documents, whole or read with plain
// pugixml, and their log records; what the readers take from documents edited by hand (the cases
// of module/reading.txt). Plain round trips of random themes are RoundTripRandomTest's. Then the
// readers' and writers' bounds.
#include "Theme3DBase/Kr3DGraphItem.h"
#include "Theme3DBase/KrTheme3DBaseFactory.h"
#include "Theme3DBase/KrTheme3DGraph.h"
#include "Theme3DBase/KrTheme3DLabel.h"
#include "Theme3DBase/KrTheme3DRange.h"
#include "Theme3DBase/KrTheme3DUnique.h"
#include "ThemeTestSupport.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace KRS;
using namespace ThemeTest;
using TOVO::TovoArray;
using TOVO::TovoMBString;

namespace {

const int kVersion = 20090106;

pugi::xml_node Root(pugi::xml_document& doc, const TovoMBString& strXML) {
    EXPECT_TRUE(doc.load_string(strXML.c_str(), pugi::parse_default | pugi::parse_ws_pcdata));
    return doc.document_element();
}

// ---- graph theme

KrTheme3DGraph FullGraph() {
    KrTheme3DGraph theme;
    theme.Add("POP");
    theme.AddArrayField("Arr", Array({1.5, -2}));
    theme.SetGraphType(12);
    theme.SetBarWidth(12.5);
    theme.SetStartAngle(-0.25);
    theme.SetShowItemText(TRUE);
    theme.SetItemTextFormat(4);
    theme.SetGraduatedMode(2);
    theme.SetMinSumSize(3);
    theme.SetMaxSumSize(100);
    theme.CalExtremumvValue(4, 16, TOVO::TovoRect2D(0, 0, 1, 1), 0, FALSE);
    KrTextStyle textStyle = theme.GetItemTextStyle();
    textStyle.SetFaceName("MyTextStyleFont");
    theme.SetItemTextStyle(textStyle);
    theme.GetJoinArrayField().Add(7);
    theme.GetJoinArrayField().Add(-3);
    return theme;
}

TEST(GraphXmlTest, WritesTheWholeDocument) {
    KrTheme3DGraph theme;
    theme.Add("A");
    theme.Add("C");
    const TovoMBString xml = theme.ToXML(kVersion, "ignored");
    EXPECT_EQ(theme.ToXML(0, ""), xml);
    ExpectDocument("graph-two-items", xml); // the defaults but for the items
    EXPECT_EQ(KrTheme3DGraph().IsModified(), FALSE);
    ExpectDocument("graph-full", FullGraph().ToXML(kVersion, ""));
}

TEST(GraphXmlTest, OlderVersionsWriteTheBasePartOnlyAndUnknownOnesNothing) {
    KrLogFile::GetInstance(false).ClearRecords();
    pugi::xml_document doc;
    const pugi::xml_node root = Root(doc, FullGraph().ToXML(20031211, ""));
    ASSERT_FALSE(root.empty());
    EXPECT_TRUE(root.child("dkm:GraphType").empty());
    EXPECT_TRUE(KrLogFile::GetInstance(false).GetRecords().empty());
    EXPECT_TRUE(FullGraph().ToXML(12345, "").IsEmpty()); // the base writes nothing for it
    EXPECT_EQ(Logs(), "400 EGg041 Src/Theme3DBase/KrTheme3DGraph 392|");
}

// ---- label theme

KrTheme3DLabel MakeLabel(int nType) {
    KrTheme3DLabel label;
    label.SetExpression("NAME & <POP>");
    label.SetNumFormat("%.3f");
    label.SetAlonglineText(TRUE);
    label.SetLabelType(static_cast<KrTheme3DLabel::KrLabel3DType>(nType));
    label.GetTextStyle()->SetSize(12.5);
    return label;
}

TEST(LabelXmlTest, WritesFiveElementsLastInOrder) {
    const TovoMBString strXML = MakeLabel(KrTheme3DLabel::Label3DSymbol).ToXML(0, "ignored");
    ExpectDocument("label-symbol", strXML);
    EXPECT_EQ(strXML, MakeLabel(KrTheme3DLabel::Label3DSymbol).ToXML(kVersion, ""));
    EXPECT_TRUE(MakeLabel(KrTheme3DLabel::Label3DSymbol).ToXML(1, "").IsEmpty());
    const char* names[] = {"Label3DText", "Label3DSymbol", "Label3DPicture", "Label3DTable", ""};
    for (int nType : {0, 2, 3, 9}) { // a code outside 0 to 3 is kept and has no name
        KrTheme3DLabel label;
        label.SetLabel3DType(static_cast<KrTheme3DLabel::KrLabel3DType>(nType));
        EXPECT_EQ(label.GetLabel3DType(), nType);
        pugi::xml_document doc;
        EXPECT_STREQ(Root(doc, label.ToXML(kVersion, "")).child_value("dkm:LabelType"),
                     names[nType == 9 ? 4 : nType]);
    }
}

// ---- ranges theme

class RangeProbe : public KrTheme3DRange {
public:
    using KrTheme3DRange::m_bDescending;
};

// Break values in the given order; item i captioned "c<i>", hidden for i = 1, filled red i.
void Fill(RangeProbe& theme, const Doubles& values, bool bDescending) {
    theme.m_bDescending = bDescending ? TRUE : FALSE;
    for (double d : values)
        theme.Add(d, KrTheme3DItem());
    for (int i = 0; i < theme.GetCount(); ++i)
        theme.SetAt(i, MakeItem(("c" + std::to_string(i)).c_str(), unsigned(i), i != 1));
}

Strings RangeTexts(const TovoMBString& strXML) {
    pugi::xml_document doc;
    Strings texts;
    for (pugi::xml_node node : Root(doc, strXML).child("dkm:RangeItems").children("dkm:RangeItem"))
        texts.push_back(node.child_value("dkm:RangeValue"));
    return texts;
}

class RangeXmlTest : public ::testing::Test {
protected:
    void SetUp() override { KrLogFile::GetInstance().ClearRecords(); }
    void TearDown() override { EXPECT_TRUE(KrLogFile::GetInstance().GetRecords().empty()); }
    RangeProbe theme;
    RangeProbe target;
};

TEST_F(RangeXmlTest, WritesTheRangeElementsAfterTheBaseOnesInBothOrders) {
    theme.SetExpression("[POP]");
    Fill(theme, {10, 20}, false);
    ExpectDocument("range-ascending", theme.ToXML(0, ""));
    RangeProbe descending;
    Fill(descending, {20, 10, 5}, true);
    ExpectDocument("range-descending", descending.ToXML(20090106, ""));
}

// Fifteen decimals, trimmed; what a reader gets back from them.
TEST_F(RangeXmlTest, NumbersAreWrittenWithFifteenDecimalsTrimmed) {
    const struct {
        double dValue;
        const char* szText;
        double dRead;
    } table[] = {{100, "100", 100},
                 {-2.25, "-2.25", -2.25},
                 {1e20, "100000000000000000000", 1e20},
                 {1.0 / 3, "0.333333333333333", 0.333333333333333},
                 {2.0 / 3, "0.666666666666667", 0.666666666666667},
                 {4e-16, "0", 0},
                 {-4e-16, "-0", 0}};
    for (const auto& row : table) {
        RangeProbe single;
        single.Add(row.dValue, KrTheme3DItem());
        const TovoMBString strXML = single.ToXML(0, "");
        EXPECT_EQ((Strings{std::string("X<") + row.szText, std::string("X>=") + row.szText}),
                  RangeTexts(strXML));
        ASSERT_TRUE(target.FromXML(strXML, 0, ""));
        EXPECT_EQ((Doubles{row.dRead}), Values(target));
    }
}

// ---- unique theme

TEST(UniqueXmlTest, WritesItsElementsAfterTheBasePart) {
    KrTheme3DUnique source;
    source.SetExpression("road [#] lane");
    source.Add("1", MakeItem(" <&\"'> ", 1));
    source.Add("2", MakeItem("", 2, false));
    source.SetDefaultStyle(MakeItem("", 99).m_Style);
    ExpectDocument("unique", source.ToXML(0, ""));
}

// ---- both item lists: icon names

// The items' icon names are written relative to the document's directory (and stay so in the
// theme), and read back absolute.
TEST(ItemIconXmlTest, IconNamesAreStoredRelativeAndReadBackAbsolute) {
    KrTheme3DItem item = MakeItem("", 1);
    item.m_Style.SetIconName("/data/icons/a.png");
    KrTheme3DRange range;
    range.Add(10, item);
    range.SetStyleAt(1, KrStyle()); // no icon: none read back
    KrTheme3DUnique unique;
    unique.Add("1", item);
    KrTheme3DRange readRange;
    KrTheme3DUnique readUnique;
    const std::pair<KrTheme3D*, KrTheme3D*> themes[] = {{&range, &readRange},
                                                        {&unique, &readUnique}};
    for (const auto& [pTheme, pRead] : themes) {
        const TovoMBString strXML = pTheme->ToXML(0, "/data/");
        EXPECT_EQ(strXML.Find("/data/"), -1);
        EXPECT_NE(strXML.Find(">icons/a.png<"), -1);
        EXPECT_EQ(pTheme->ToXML(0, "/data/"), strXML); // already relative: stays so
        ASSERT_TRUE(pRead->FromXML(strXML, 0, "/data/"));
    }
    EXPECT_EQ("icons/a.png", range.GetStyleAt(0).GetIconName().Str());
    EXPECT_EQ("icons/a.png", unique.GetStyleAt(0).GetIconName().Str());
    EXPECT_EQ("/data/icons/a.png", readRange.GetStyleAt(0).GetIconName().Str());
    EXPECT_TRUE(readRange.GetStyleAt(1).GetIconName().IsEmpty());
    EXPECT_EQ("/data/icons/a.png", readUnique.GetStyleAt(0).GetIconName().Str());
}

// ---- reading cases: documents read into a theme or a chart item, listed in module/reading.txt
// (its head says what each line means).

struct ReadingCase {
    std::string name;
    std::vector<std::pair<std::string, std::string>> steps; // directive, argument
};

std::vector<ReadingCase> ReadingCases() {
    std::istringstream in(ModuleFile("reading.txt"));
    std::vector<ReadingCase> cases;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t nSpace = std::min(line.find(' '), line.size());
        const std::string word = line.substr(0, nSpace);
        const std::string arg = line.substr(std::min(nSpace + 1, line.size()));
        if (word.empty())
            cases.back().steps.back().second += line.substr(line.find_first_not_of(' '));
        else if (word == "case")
            cases.push_back({arg, {}});
        else
            cases.back().steps.emplace_back(word, arg);
    }
    return cases;
}

// The texts of a node set joined by '|', or the value of any other expression.
std::string Evaluate(const TovoMBString& strXML, const std::string& xpath) {
    pugi::xml_document doc;
    Root(doc, strXML);
    const pugi::xpath_query query(xpath.c_str());
    if (query.return_type() != pugi::xpath_type_node_set)
        return query.evaluate_string(doc);
    std::string texts;
    for (const pugi::xpath_node& node : query.evaluate_node_set(doc))
        texts += node.node().text().get() + std::string("|");
    return texts.substr(0, texts.empty() ? 0 : texts.size() - 1);
}

class ReadingTest : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(ReadingTest, Case) {
    const char* const kinds[] = {"item", "unique", "range", "label", "graph"};
    std::unique_ptr<KrTheme3D> pTheme;
    Kr3DGraphItem item;
    auto read = [&](const std::string& xml, int nVersion) {
        KrLogFile::GetInstance(false).ClearRecords();
        const TovoMBString strXML =
            xml[0] == '@' ? ModuleFile("expected/" + xml.substr(1) + ".xml") : xml;
        return pTheme ? pTheme->FromXML(strXML, nVersion, "") : item.FromXML(strXML, nVersion);
    };
    auto written = [&] {
        return (pTheme ? pTheme->ToXML(kVersion, "") : item.ToXML(kVersion)).Str();
    };
    std::string before, logs;
    unsigned char bAnswer = FALSE;
    KrLogFile::GetInstance(false).ClearRecords();
    for (const auto& [word, arg] : GetParam().steps) {
        SCOPED_TRACE(word + " " + arg);
        const std::size_t nSplit = arg.find(word == "read" ? " " : " = ");
        if (word == "kind") {
            const int nType = int(std::find(std::begin(kinds), std::end(kinds), arg) - kinds);
            ASSERT_LT(nType, 5);
            pTheme.reset(nType ? KrTheme3DBaseFactory().NewTheme3D(nType) : nullptr);
            item = Kr3DGraphItem();
        } else if (word == "before") {
            ASSERT_TRUE(read("@" + arg, kVersion));
            if (auto* pGraph = dynamic_cast<KrTheme3DGraph*>(pTheme.get()))
                pGraph->SetModifiedFlag(FALSE);
            before = written();
        } else if (word == "read") {
            EXPECT_EQ(logs, Logs());
            logs.clear();
            bAnswer =
                read(nSplit == std::string::npos ? "" : arg.substr(nSplit + 1), std::stoi(arg));
        } else if (word == "log") { // level code class line [a name the message holds]
            std::istringstream in(arg);
            std::string level, code, szClass, line, name;
            in >> level >> code >> szClass >> line >> name;
            logs += level + " " + code + " Src/Theme3DBase/" + szClass + " " + line + "|";
            const auto& records = KrLogFile::GetInstance(false).GetRecords();
            const std::size_t nRecord = std::count(logs.begin(), logs.end(), '|') - 1;
            ASSERT_LT(nRecord, records.size());
            EXPECT_NE(records[nRecord].strMessage.Find((name.empty() ? szClass : name).c_str()),
                      -1);
        } else if (word == "answer") {
            EXPECT_EQ(bAnswer, std::stoi(arg));
        } else if (word == "expect") {
            EXPECT_EQ(Evaluate(written(), arg.substr(0, nSplit)), arg.substr(nSplit + 3));
        } else if (word == "unchanged") {
            EXPECT_EQ(written(), before);
        } else {
            ASSERT_EQ(word, "modified");
            EXPECT_EQ(dynamic_cast<KrTheme3DGraph&>(*pTheme).IsModified(), std::stoi(arg));
        }
    }
    EXPECT_EQ(logs, Logs());
}

INSTANTIATE_TEST_SUITE_P(Documents, ReadingTest, ::testing::ValuesIn(ReadingCases()),
                         [](const ::testing::TestParamInfo<ReadingCase>& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

// ---- bounds: crafted documents against every reader. Counts in a document are honoured up to
// the budget of 2^20 entries in one theme and cut by one rule past it, and deep or wide documents
// are read without recursion or repeated searches. The assertions are on the sizes read; the
// large documents would only take long (never fail) if a reader went quadratic, so CTest's
// timeout is their bound.

std::string Repeat(const std::string& s, int nTimes) {
    std::string out;
    out.reserve(s.size() * static_cast<std::size_t>(nTimes));
    for (int i = 0; i < nTimes; ++i)
        out += s;
    return out;
}

std::string Theme(int nType, const std::string& body) {
    return "<dkm:Theme3D>" + El("dkm:ThemeType", std::to_string(nType)) + body + "</dkm:Theme3D>";
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

// The records of one code, as (source, line).
std::vector<std::pair<std::string, int>> LogOf(const char* szCode) {
    std::vector<std::pair<std::string, int>> out;
    for (const KrLogRecord& record : KrLogFile::GetInstance(false).GetRecords())
        if (record.strCode == szCode)
            out.emplace_back(record.strSource.Str(), record.nLine);
    return out;
}

std::string ArrayItemText(int nCount, int nSpelled, const std::string& value) {
    std::string fields;
    for (int i = 0; i < nSpelled; ++i)
        fields += El("dkm:ArrayField" + std::to_string(i), value);
    return El("dkm:GraphItem",
              El("dkm:Type", "2") + El("dkm:ArrayFieldNum", std::to_string(nCount)) + fields);
}

// Every count below the budget is honoured whatever the document's length: a short document
// gets its zeros, and every item that inherits a list keeps the whole list.
TEST(ReaderBoundsTest, GraphCountsBelowTheBudgetAreHonouredExactly) {
    KrLogFile::GetInstance(false).ClearRecords();
    Kr3DGraphItem item;
    const std::string shortItem = ArrayItemText(100, 1, "1.5"); // 105 bytes for 100 values
    item.FromXML(shortItem, 0);
    EXPECT_EQ(0.0, item.m_arrValues[99]);

    KrTheme3DGraph keys;
    keys.FromXML(Theme(4, El("dkm:KeyNum", "5000") + El("dkm:Key4999", "8")), 0, "");
    EXPECT_EQ(8, keys.GetJoinArrayField()[4999]);

    KrTheme3DGraph inherited;
    ASSERT_TRUE(
        inherited.FromXML(Theme(4, El("dkm:GraphItems", ArrayItemText(2000, 2000, "1") +
                                                            Repeat("<dkm:GraphItem/>", 100))),
                          0, ""));
    EXPECT_EQ(202000, TotalValues(inherited));
    EXPECT_TRUE(LogOf("EGg040").empty());
}

// Past the budget of 2^20 entries the list that would pass it is cut to what remains, every later
// list (keys included) is empty, and one record says so.
TEST(ReaderBoundsTest, GraphCountsPastTheBudgetAreCutByOneRule) {
    KrLogFile::GetInstance(false).ClearRecords();
    Kr3DGraphItem item;
    ASSERT_TRUE(item.FromXML(ArrayItemText(2000000000, 1, "1.5"), 0));
    Kr3DGraphItem saturated; // a count past int reads as the largest int
    ASSERT_TRUE(
        saturated.FromXML(El("dkm:GraphItem", El("dkm:ArrayFieldNum", "99999999999999999999")), 0));
    EXPECT_EQ(1048576, saturated.m_arrValues.GetSize());
    const std::pair<std::string, int> itemRecord("Src/Theme3DBase/Kr3DGraphItem", 115);
    EXPECT_EQ(decltype(LogOf(""))({itemRecord, itemRecord}), LogOf("EGg040"));

    // 524 items of 2000 values fill 1 048 000 of the budget; the 525th keeps 576 values.
    KrLogFile::GetInstance(false).ClearRecords();
    KrTheme3DGraph theme;
    ASSERT_TRUE(theme.FromXML(Theme(4, El("dkm:GraphItems", ArrayItemText(2000, 2000, "1") +
                                                                Repeat("<dkm:GraphItem/>", 599)) +
                                           El("dkm:KeyNum", "3") + El("dkm:Key0", "7")),
                              0, ""));
    EXPECT_EQ(1.0, theme.GetItem(524).m_arrValues[575]);
    EXPECT_EQ(0, theme.GetJoinArrayField().GetSize());
    EXPECT_EQ(1048576, TotalValues(theme));
    EXPECT_EQ(decltype(LogOf(""))({{"Src/Theme3DBase/KrTheme3DGraph", 700}}), LogOf("EGg040"));
}

TEST(ReaderBoundsTest, UniqueReaderKeepsOneItemPerValueOfAWideDocument) {
    const std::string item = El("dkm:UniqueItem", El("dkm:Value", "1") + El("dkm:Caption", "c"));
    KrTheme3DUnique repeated;
    ASSERT_TRUE(repeated.FromXML(Theme(1, El("dkm:UniqueItems", Repeat(item, 50000))), 0, ""));
    EXPECT_EQ(1, repeated.GetCount());

    std::string items;
    for (int i = 0; i < 50000; ++i)
        items += El("dkm:UniqueItem", El("dkm:Value", std::to_string(i)));
    KrTheme3DUnique distinct;
    ASSERT_TRUE(distinct.FromXML(Theme(1, El("dkm:UniqueItems", items)), 0, ""));
    EXPECT_EQ(50000, distinct.GetCount());
    EXPECT_EQ("49999", distinct.GetValueAt(49999));
}

// Break values that turn at every step: each one must still be tested against all earlier ones
// for the tolerance, which a reader must not do by scanning them all.
TEST(ReaderBoundsTest, RangeReaderTakesAZigzagOfBreakValues) {
    std::string items = El("dkm:RangeItem", El("dkm:RangeValue", "X&lt;0"));
    for (int i = 1; i <= 40000; ++i) {
        const int value = i % 2 ? i : -i;
        items += El("dkm:RangeItem", El("dkm:RangeValue", std::to_string(value) + "&lt;=X&lt;0"));
    }
    items += Repeat(El("dkm:RangeItem", El("dkm:RangeValue", "3&lt;=X&lt;0")), 1000);
    KrTheme3DRange theme;
    ASSERT_TRUE(theme.FromXML(Theme(2, El("dkm:RangeItems", items)), 0, ""));
    ASSERT_EQ(40000, theme.GetValueCount());
    EXPECT_EQ(1.0, theme.GetValueAt(0));
    EXPECT_EQ(-40000.0, theme.GetValueAt(39999));
}

// Items that hide deep documents leave the rest of the document read as usual.
TEST(ReaderBoundsTest, DeepItemsReadWithoutRecursion) {
    KrTheme3DUnique unique;
    ASSERT_TRUE(unique.FromXML(
        Theme(1, El("dkm:UniqueItems",
                    El("dkm:UniqueItem",
                       El("dkm:Value", "1") + El("dkm:Caption", Nested(kDeep, "c"))))),
        0, ""));
    ASSERT_EQ(1, unique.GetCount());
    EXPECT_EQ("", unique.GetCaptionAt(0));
    KrTheme3DGraph graph;
    ASSERT_TRUE(graph.FromXML(
        Theme(4, El("dkm:GraphItems", El("dkm:GraphItem", Nested(kDeep, "g")))), 0, ""));
    EXPECT_EQ(1, graph.GetCount());
}

// The markup's allocations (its XML engine's) fail from the n-th on: a writer under memory
// pressure.
long g_nAllocationsLeft = -1;
void* FailingAllocate(std::size_t nSize) {
    if (g_nAllocationsLeft == 0)
        return nullptr;
    if (g_nAllocationsLeft > 0)
        --g_nAllocationsLeft;
    return std::malloc(nSize);
}

// Every writer either writes its whole document or answers an empty text, with a log record
// "EGg041" when its own markup failed: never a well-formed but truncated document.
TEST(ReaderBoundsTest, WritersUnderMemoryPressureWriteAllOrNothing) {
#ifdef _WIN32
    // Each DLL there links its own static copy of the XML library, so the allocator set here is
    // not the one the stand-in's markup uses.
    GTEST_SKIP() << "the markup's allocator cannot be replaced from the test on Windows";
#endif
    KrTheme3DUnique unique;
    KrTheme3DItem item;
    item.m_Style.SetIconName("/icons/a.png");
    for (int i = 0; i < 40; ++i)
        unique.Add(std::to_string(i).c_str(), item);
    KrTheme3DRange range;
    range.SetExpression("POP");
    for (int i = 0; i < 40; ++i)
        range.Add(i, item);
    KrTheme3DGraph graph;
    TovoArray<double> values;
    for (int i = 0; i < 3000; ++i)
        values.Add(i);
    graph.AddArrayField("a", values);
    graph.AddArrayField("b", values);
    TovoArray<int> keys;
    keys.SetSize(3000);
    graph.SetJoinArrayField(keys);
    KrTheme3DLabel label;
    const struct {
        const char* szClass;
        const KrTheme3D* pTheme;
        std::set<int> lines; // the graph logs its base part and its root on lines of their own
    } themes[] = {{"KrTheme3DUnique", &unique, {520}},
                  {"KrTheme3DRange", &range, {360}},
                  {"KrTheme3DGraph", &graph, {392, 413, 430}},
                  {"KrTheme3DLabel", &label, {280}}};
    for (const auto& [szClass, pTheme, lines] : themes) {
        const TovoMBString whole = pTheme->ToXML(0, "/doc/");
        ASSERT_FALSE(whole.IsEmpty()) << szClass;
        int nLogged = 0;
        for (long n = 0;; ++n) {
            KrLogFile::GetInstance(false).ClearRecords();
            g_nAllocationsLeft = n;
            pugi::set_memory_management_functions(FailingAllocate, std::free);
            const TovoMBString written = pTheme->ToXML(0, "/doc/");
            pugi::set_memory_management_functions(std::malloc, std::free);
            const bool bCompleted = g_nAllocationsLeft > 0;
            g_nAllocationsLeft = -1;
            if (written.IsEmpty()) {
                // The theme's own record comes last (a chart item that failed logs first); a
                // base part that could not be written is the base's failure, and empty.
                const auto records = LogOf("EGg041");
                if (!records.empty()) {
                    ++nLogged;
                    EXPECT_EQ("Src/Theme3DBase/" + std::string(szClass), records.back().first);
                    EXPECT_EQ(1u, lines.count(records.back().second)) << records.back().second;
                }
            } else {
                ASSERT_EQ(whole, written) << szClass << " " << n;
            }
            if (bCompleted)
                break;
        }
        EXPECT_GT(nLogged, 0) << szClass;
    }
    KrLogFile::GetInstance(false).ClearRecords();
}

} // namespace
