// Makes themes from a layer's values through the plug-in: a range theme by MakeDefault (quantile
// and natural breaks computed here and passed to its quantile method), a unique theme from the
// distinct values, a label theme, and a graph theme sized by CalExtremumvValue over the layer.
#pragma once

#include "LayerReader.h"
#include "VyBase600/TovoGeometryTypes.h"

#include <memory>
#include <string>
#include <vector>

namespace KRS {
class KrTheme3D;
}

namespace theme3d {

class PluginLoader;

struct RangeOptions {
    std::string strField;
    std::string strMethod = "equal"; // equal, sqrt, log, stdev, quantile, natural, interval
    int nClasses = 5;
    double dInterval = 0.0;
    std::string strRamp = "viridis";
    double dExtrude = 0.0;         // metres for the highest class; the others in proportion
    long long nClassesMax = 10000; // the most classes a request may make
    bool bClassesGiven = false;    // --classes was on the command line
    bool bIntervalGiven = false;   // --interval was on the command line
};

struct GraphOptions {
    std::vector<std::string> arrFields;
    std::string strType = "bar";          // bar, stacked, pie
    std::string strGraduate = "constant"; // constant, sqrt, log
    std::string strText;                  // empty: no item texts
    std::string strPalette = "bold";
    // --chart-size: the sizes in metres of the smallest and the largest chart; both 0 for sizes
    // chosen from the layer's extent.
    double dMinSize = 0.0, dMaxSize = 0.0;
};

class ThemeMaker {
public:
    static std::unique_ptr<KRS::KrTheme3D> MakeRange(PluginLoader& plugin, LayerReader& layer,
                                                     const RangeOptions& options);
    static std::unique_ptr<KRS::KrTheme3D> MakeUnique(PluginLoader& plugin, LayerReader& layer,
                                                      const std::string& strField,
                                                      const std::string& strPalette);
    static std::unique_ptr<KRS::KrTheme3D> MakeLabel(PluginLoader& plugin, LayerReader& layer,
                                                     const std::string& strField,
                                                     const std::string& strFormat);
    static std::unique_ptr<KRS::KrTheme3D> MakeGraph(PluginLoader& plugin, LayerReader& layer,
                                                     const GraphOptions& options);

    // The range theme's method code for a method name; quantile and natural both use the
    // quantile method with break values the tool computes. Throws ToolError for other names.
    static int MethodCode(const std::string& strMethod);
    // Captions from break values: "< b0", "b0 - b1", ..., ">= bn".
    static std::vector<std::string> RangeCaptions(const std::vector<double>& breaks);
    // The bounds a graph theme sizes its charts by: the layer's extent, widened to at least
    // kMinChartBounds degrees each way so that a single point or a row of points still gets
    // charts of a visible size.
    static TOVO::TovoRect2D ChartBounds(const GeoExtent& extent);
    static constexpr double kMinChartBounds = 0.01;

    // A number as a short caption text (up to six significant digits).
    static std::string Number(double d);

private:
    // A constant field, or --classes 1: every value in one class.
    static void OneClass(PluginLoader& plugin, KRS::KrTheme3D& theme, const RangeOptions& options,
                         const std::vector<double>& values);
    static void SeveralClasses(PluginLoader& plugin, KRS::KrTheme3D& theme,
                               const RangeOptions& options, int nMethod,
                               const std::vector<double>& values);
};

} // namespace theme3d
