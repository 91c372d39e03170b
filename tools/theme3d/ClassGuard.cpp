#include "ClassGuard.h"

#include "ToolError.h"

#include <algorithm>
#include <cmath>
#include <ostream>

namespace theme3d {

namespace {

std::string Num(double d) {
    return ThemeMaker::Number(d);
}

bool TakesCount(const std::string& strMethod) {
    return strMethod != "stdev" && strMethod != "interval";
}

void RefuseBelow(const RangeOptions& options, const std::vector<double>& values, double dFloor,
                 bool bStrict, const char* szNeed) {
    std::size_t nBad = 0;
    for (double d : values)
        nBad += (bStrict ? d <= dFloor : d < dFloor) ? 1 : 0;
    if (nBad == 0)
        return;
    throw ToolError("method " + options.strMethod + " needs values " + szNeed + ": field '" +
                    options.strField + "' has " + std::to_string(nBad) + " value" +
                    (nBad == 1 ? "" : "s") + (bStrict ? " <= 0" : " < 0") + " (the smallest is " +
                    Num(values.front()) + ")");
}

} // namespace

std::size_t ClassGuard::DistinctCount(const std::vector<double>& sorted) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i)
        n += (i == 0 || sorted[i] != sorted[i - 1]) ? 1 : 0;
    return n;
}

void ClassGuard::CheckOptions(const RangeOptions& options) {
    if (options.nClassesMax < 1)
        throw ToolError("--classes-max must be at least 1");
    if (options.nClasses < 1 || options.nClasses > options.nClassesMax)
        throw ToolError("--classes " + std::to_string(options.nClasses) +
                        " makes no sense: give 1 to " + std::to_string(options.nClassesMax) +
                        " (--classes-max allows more)");
    if (options.bIntervalGiven && options.strMethod != "interval")
        throw ToolError("--interval applies only to --method interval, not " + options.strMethod);
    if (options.bClassesGiven && !TakesCount(options.strMethod))
        throw ToolError("--classes does not apply to --method " + options.strMethod +
                        (options.strMethod == "stdev"
                             ? " (its classes are one standard deviation wide)"
                             : " (its classes are --interval wide)"));
    if (options.strMethod == "interval" &&
        !(options.dInterval > 0.0 && std::isfinite(options.dInterval)))
        throw ToolError("method interval needs --interval with a positive width");
    if (!(options.dExtrude >= 0.0 && std::isfinite(options.dExtrude)))
        throw ToolError("--extrude " + Num(options.dExtrude) +
                        ": give a height of 0 metres or more");
}

void ClassGuard::CheckValues(const RangeOptions& options, const std::vector<double>& values) {
    if (options.strMethod == "log")
        RefuseBelow(options, values, 0.0, true, "above 0");
    if (options.strMethod == "sqrt")
        RefuseBelow(options, values, 0.0, false, "of 0 or more");
    if (options.strMethod != "interval")
        return;
    const double dRange = values.back() - values.front();
    const std::string strSpan =
        "'" + options.strField + "' (" + Num(values.front()) + " to " + Num(values.back()) + ")";
    if (!(options.dInterval < dRange))
        throw ToolError("--interval " + Num(options.dInterval) +
                        " is not smaller than the range of " + strSpan +
                        ": no class boundary would fall inside it");
    const double dClasses = std::ceil(dRange / options.dInterval);
    // The theme itself lays out no more than 32767 interval classes.
    if (dClasses > static_cast<double>(std::min<long long>(options.nClassesMax, 32767)))
        throw ToolError("--interval " + Num(options.dInterval) + " would make " + Num(dClasses) +
                        " classes of " + strSpan + "; the most is " +
                        std::to_string(std::min<long long>(options.nClassesMax, 32767)) +
                        (options.nClassesMax < 32767 ? " (--classes-max allows more)" : ""));
}

int ClassGuard::Classes(const RangeOptions& options, const std::vector<double>& values,
                        std::ostream& notices) {
    if (!TakesCount(options.strMethod))
        return 0;
    const std::size_t nDistinct = DistinctCount(values);
    if (static_cast<std::size_t>(options.nClasses) <= nDistinct)
        return options.nClasses;
    notices << "theme3d: note: --classes " << options.nClasses << " reduced to " << nDistinct
            << ", the number of distinct values of '" << options.strField << "'\n";
    return static_cast<int>(nDistinct);
}

void ClassGuard::CheckResult(const RangeOptions& options, int nAsked, std::size_t nBreaks,
                             std::ostream& notices) {
    const std::size_t nMade = nBreaks == 0 ? 0 : nBreaks + 1;
    if (nMade == 0)
        throw ToolError("method " + options.strMethod + " found no class boundary in field '" +
                        options.strField + "'");
    if (nAsked == 0 || nMade >= static_cast<std::size_t>(nAsked))
        return;
    notices << "theme3d: note: method " << options.strMethod << " made " << nMade
            << " classes, not " << nAsked << ": "
            << (options.strMethod == "quantile"
                    ? "quantiles that coincide, or fall on the smallest value, make no class of "
                      "their own (many equal values)"
                    : "break values that coincide (within 1e-10) are merged")
            << '\n';
}

} // namespace theme3d
