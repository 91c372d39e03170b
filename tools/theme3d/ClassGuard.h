// What the classify command checks before and after the range theme classifies, so that it never
// asks the theme for something absurd and never hands back fewer classes than asked without
// saying why. Refusals throw ToolError (exit status 2); notices go to standard error.
#pragma once

#include "ThemeMaker.h"

#include <string>
#include <vector>

namespace theme3d {

class ClassGuard {
public:
    // Option checks that need no data: class count within 1 .. nClassesMax, no option the
    // method ignores (--interval without the interval method, --classes with stdev and
    // interval), a positive finite interval, an extrusion of 0 metres or more.
    static void CheckOptions(const RangeOptions& options);
    // The values (sorted, finite, at least two distinct) suit the method: the logarithm needs
    // values above 0, the square root values of 0 or more; the interval must leave at least
    // one boundary inside the range and make no more than nClassesMax classes.
    static void CheckValues(const RangeOptions& options, const std::vector<double>& values);
    // The class count to ask for: --classes, reduced with a notice to the number of distinct
    // values for the methods that take a count. 0 for stdev and interval (no count).
    static int Classes(const RangeOptions& options, const std::vector<double>& values,
                       std::ostream& notices);
    // After classifying: a notice when the theme made fewer classes than nAsked (0: no count
    // was asked), because coinciding break values were merged.
    static void CheckResult(const RangeOptions& options, int nAsked, std::size_t nBreaks,
                            std::ostream& notices);

    static std::size_t DistinctCount(const std::vector<double>& sorted);
};

} // namespace theme3d
