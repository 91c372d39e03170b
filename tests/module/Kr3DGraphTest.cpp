// The chart definition: adding, resizing, removing, and copying items with the items' own
// assignment.
#include "Theme3DBase/Kr3DGraph.h"
#include "Theme3DBase/KrTheme3DGraph.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using KRS::Kr3DGraph;
using KRS::Kr3DGraphItem;
using KRS::KrStyle;
using TOVO::TovoMBString;

namespace {

// A graph with one item per expression, captions "C<expression>".
Kr3DGraph Graph(const std::vector<std::string>& expressions) {
    Kr3DGraph graph;
    for (const std::string& e : expressions) {
        const int index = graph.Add(e);
        graph.SetCaptionAt(index, ("C" + e).c_str());
    }
    return graph;
}

std::vector<std::string> Expressions(const Kr3DGraph& graph) {
    std::vector<std::string> out;
    for (int i = 0; i < graph.GetCount(); ++i)
        out.push_back(graph.GetExpressionAt(i).Str());
    return out;
}

TEST(GraphTest, AddMakesAFieldItemNamedByItsExpression) {
    Kr3DGraph graph;
    EXPECT_EQ(graph.GetGraphType(), 0);
    EXPECT_EQ(graph.GetBarWidth(), 0);
    EXPECT_EQ(graph.Add("POP"), 0);
    EXPECT_EQ(graph.Add("AREA"), 1);
    EXPECT_EQ(graph.GetExpressionAt(0), "POP");
    EXPECT_EQ(graph.GetCaptionAt(0), "POP");
    EXPECT_EQ(graph.GetItem(1).m_nItemType, Kr3DGraphItem::FieldItem);
}

TEST(GraphTest, SetCountCutsGrowsWithDefaultsOrRepeatsTheLastItem) {
    Kr3DGraph empty;
    empty.SetCount(3);
    ASSERT_EQ(empty.GetCount(), 3);
    EXPECT_TRUE(empty.GetExpressionAt(2).IsEmpty());

    Kr3DGraph two = Graph({"A", "B"});
    KrStyle style;
    style.SetFillColor(TOVORGB(9, 9, 9));
    two.SetStyleAt(1, style);
    two.SetCount(5);
    EXPECT_EQ(Expressions(two), (std::vector<std::string>{"A", "B", "B", "B", "B"}));
    EXPECT_EQ(two.GetCaptionAt(4), "CB");
    EXPECT_EQ(two.GetStyleAt(4).GetFillColor(), TOVORGB(9, 9, 9));

    two.SetCount(1);
    EXPECT_EQ(Expressions(two), (std::vector<std::string>{"A"}));
    for (int n : {0, -2}) {
        two.SetCount(n);
        EXPECT_EQ(two.GetCount(), 1) << n;
    }
}

TEST(GraphTest, RemoveAtRemovesWhatIsThere) {
    struct Case {
        int nIndex, nCount, nRemoved;
        std::vector<std::string> left;
    };
    const Case cases[] = {{1, 10, 2, {"A"}},           {3, 1, 0, {"A", "B", "C"}},
                          {-1, 1, 0, {"A", "B", "C"}}, {0, 0, 0, {"A", "B", "C"}},
                          {0, 1, 1, {"B", "C"}},       {1, 1, 1, {"A", "C"}}};
    for (const Case& c : cases) {
        Kr3DGraph graph = Graph({"A", "B", "C"});
        EXPECT_EQ(graph.RemoveAt(c.nIndex, c.nCount), c.nRemoved) << c.nIndex << "," << c.nCount;
        EXPECT_EQ(Expressions(graph), c.left) << c.nIndex << "," << c.nCount;
    }
    Kr3DGraph graph = Graph({"A", "B"});
    graph.RemoveAll();
    EXPECT_EQ(graph.GetCount(), 0);
}

// Item values can only be given through the graph theme, which owns its graph: this probe
// reaches the theme's graph to assign one graph to another.
struct GraphHolder : KRS::KrTheme3DGraph {
    Kr3DGraph& Graph() { return m_Graph; }
};

TOVO::TovoArray<double> Array(std::vector<double> values) {
    TOVO::TovoArray<double> arr;
    for (double v : values)
        arr.Add(v);
    return arr;
}

std::vector<double> Values(const Kr3DGraphItem& item) {
    return std::vector<double>(item.m_arrValues.begin(), item.m_arrValues.end());
}

TEST(GraphTest, AssignmentAssignsItemsPresentOnBothSides) {
    GraphHolder target;
    target.Add("A");
    target.Add("B");
    target.SetCaptionAt(0, "TA", Array({1.0, 2.0}));
    target.Graph().SetGraphType(4);
    GraphHolder source;
    source.Add("X");
    source.Add("Y");
    source.Add("Z");
    source.SetCaptionAt(1, "SY", Array({5.0}));
    source.SetCaptionAt(2, "SZ", Array({}));
    source.Graph().SetBarWidth(7);

    target.Graph() = source.Graph();
    const Kr3DGraph& graph = target.Graph();
    EXPECT_EQ(Expressions(graph), (std::vector<std::string>{"X", "Y", "Z"}));
    EXPECT_EQ(graph.GetGraphType(), 0);
    EXPECT_EQ(graph.GetBarWidth(), 7);
    // Item 0 of the source has no values: the target's item 0 keeps its own.
    EXPECT_EQ(Values(graph.GetItem(0)), (std::vector<double>{1.0, 2.0}));
    EXPECT_EQ(graph.GetItem(0).m_nItemType, 1);
    EXPECT_EQ(Values(graph.GetItem(1)), (std::vector<double>{5.0}));
    EXPECT_TRUE(graph.GetItem(2).m_arrValues.IsEmpty());

    target.Graph() = target.Graph();
    EXPECT_EQ(target.Graph().GetCount(), 3);

    Kr3DGraph shorter = Graph({"P", "Q", "R", "S"});
    shorter = Graph({"A"});
    EXPECT_EQ(Expressions(shorter), (std::vector<std::string>{"A"}));
}

TEST(GraphTest, CopiesAreIndependent) {
    Kr3DGraph source = Graph({"A", "B"});
    const Kr3DGraph copy(source);
    source.SetExpressionAt(0, "changed");
    EXPECT_EQ(Expressions(copy), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(copy.GetCaptionAt(1), "CB");
}

} // namespace
