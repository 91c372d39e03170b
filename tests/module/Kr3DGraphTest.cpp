// The chart definition: adding, resizing, removing, and copying items with the items' own
// assignment.
#include "Theme3DBase/Kr3DGraph.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using KRS::Kr3DGraph;

namespace {

// Reaches the items to give them values, which only the graph theme does otherwise.
struct Graph : Kr3DGraph {
    // One item per letter, caption "C<letter>"; item i of withValues gets the value i + 1.
    explicit Graph(const std::string& letters, std::vector<int> withValues = {}) {
        for (char e : letters)
            SetCaptionAt(Add(std::string(1, e).c_str()), ("C" + std::string(1, e)).c_str());
        for (int i : withValues)
            m_arrItems[i].m_arrValues.Add(i + 1.0);
    }
    // The expressions, each followed by its values: "A B2 C".
    std::string Items() const {
        std::string out;
        for (int i = 0; i < GetCount(); ++i) {
            out += (i ? " " : "") + GetExpressionAt(i).Str();
            for (double v : GetItem(i).m_arrValues)
                out += std::to_string(int(v));
        }
        return out;
    }
};

TEST(GraphTest, SetCountCutsGrowsWithDefaultsOrRepeatsTheLastItem) {
    Kr3DGraph empty;
    empty.SetCount(3);
    ASSERT_EQ(empty.GetCount(), 3);
    EXPECT_TRUE(empty.GetExpressionAt(2).IsEmpty());

    Graph two("AB", {1});
    KRS::KrStyle style;
    style.SetFillColor(TOVORGB(9, 9, 9));
    two.SetStyleAt(1, style);
    two.SetCount(5);
    EXPECT_EQ(two.Items(), "A B2 B2 B2 B2");
    EXPECT_EQ(two.GetCaptionAt(4), "CB");
    EXPECT_EQ(two.GetStyleAt(4), style);
    two.SetCount(1);
    two.SetCount(0);
    two.SetCount(-2);
    EXPECT_EQ(two.Items(), "A");
}

} // namespace
