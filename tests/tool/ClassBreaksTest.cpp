#include "ClassBreaks.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

using theme3d::ClassBreaks;

namespace {

// Every split of the sorted values into k runs that keeps equal values together, by brute force:
// the least within-class sum of squares.
double BruteForceBest(const std::vector<double>& sorted, int k) {
    const int n = static_cast<int>(sorted.size());
    double best = 1e300;
    std::vector<int> cuts(static_cast<std::size_t>(k - 1));
    std::vector<bool> choose(static_cast<std::size_t>(n - 1), false);
    std::fill(choose.end() - (k - 1), choose.end(), true);
    do {
        std::vector<double> breaks;
        bool bValid = true;
        for (int i = 0; i < n - 1; ++i) {
            if (!choose[static_cast<std::size_t>(i)])
                continue;
            bValid = bValid &&
                     sorted[static_cast<std::size_t>(i)] != sorted[static_cast<std::size_t>(i + 1)];
            breaks.push_back(sorted[static_cast<std::size_t>(i + 1)]);
        }
        if (bValid)
            best = std::min(best, ClassBreaks::WithinClassSquares(sorted, breaks));
    } while (std::next_permutation(choose.begin(), choose.end()));
    return best;
}

} // namespace

// Breaks worked out by enumerating every partition (independently of the programme); too few
// values or classes give none.
TEST(ClassBreaks, NaturalBreaksKnownAndDegenerate) {
    const struct {
        std::vector<double> values;
        int k;
        std::vector<double> breaks;
    } cases[] = {
        // The example published with the one-dimensional k-means programme: three clusters.
        {{-1, -1, -1, -1, 2, 2, 2, 4, 5, 6}, 3, {2, 4}},
        {{4, 5, 9, 10, 11, 15, 16, 22, 23, 24, 25, 40, 41, 45, 60}, 4, {22, 40, 60}},
        {{1, 1, 1, 5, 5, 9}, 3, {5, 9}}, // equal values stay in one class
        {{1, 1, 2, 2}, 4, {2}},          // fewer distinct values than classes: one class each
        {{0, 10}, 2, {10}},
        {{5}, 3, {}},
        {{1, 2, 3}, 1, {}},
        {{}, 3, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassBreaks::NaturalBreaks(c.values, c.k), c.breaks) << c.values.size();
    // classes {1, 3} and {10, 14}: 2 + 8
    EXPECT_DOUBLE_EQ(ClassBreaks::WithinClassSquares({1, 3, 10, 14}, {10}), 10.0);
}

TEST(ClassBreaks, NaturalBreaksMatchBruteForceOnRandomSets) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> value(0, 40);
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<double> values(static_cast<std::size_t>(5 + trial % 8));
        for (double& d : values)
            d = value(random) * 0.5;
        std::sort(values.begin(), values.end());
        const int k = 2 + trial % 3;
        const std::vector<double> breaks = ClassBreaks::NaturalBreaks(values, k);
        std::vector<double> uniq = values;
        uniq.erase(std::unique(uniq.begin(), uniq.end()), uniq.end());
        if (static_cast<int>(uniq.size()) < k)
            continue;
        ASSERT_EQ(breaks.size(), static_cast<std::size_t>(k - 1)) << "trial " << trial;
        EXPECT_NEAR(ClassBreaks::WithinClassSquares(values, breaks), BruteForceBest(values, k),
                    1e-9)
            << "trial " << trial;
    }
}
