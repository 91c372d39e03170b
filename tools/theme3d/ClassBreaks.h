// Break values that the tool computes itself and hands to the range theme's quantile method.
// Both take the values sorted ascending and return ascending break values: class i + 1 starts at
// break i (a value equal to a break belongs to the class above, as in the range theme).
#pragma once

#include <vector>

namespace theme3d {

class ClassBreaks {
public:
    // The k - 1 inner quantiles i / k by linear interpolation between the closest ranks
    // (h = (n - 1) p, x[floor h] + (h - floor h) (x[floor h + 1] - x[floor h])).
    static std::vector<double> Quantiles(const std::vector<double>& sorted, int k);

    // Natural breaks, exactly: the partition into at most k classes of consecutive values with
    // the least total within-class sum of squared deviations (optimal one-dimensional k-means),
    // found by dynamic programming over the distinct values. Each row of the programme is filled
    // by divide and conquer, which the monotone position of the best split allows, for
    // O(k n log n) time and O(k n) memory. Equal values never fall into two classes; with fewer
    // than k distinct values each gets its own class. Returns the first value of classes 2 .. k.
    static std::vector<double> NaturalBreaks(const std::vector<double>& sorted, int k);

    // The total within-class sum of squared deviations of the classes that the breaks make.
    static double WithinClassSquares(const std::vector<double>& sorted,
                                     const std::vector<double>& breaks);
};

} // namespace theme3d
