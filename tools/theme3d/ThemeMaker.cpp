#include "ThemeMaker.h"

#include "ClassBreaks.h"
#include "ClassGuard.h"
#include "ColorRamp.h"
#include "FeatureRenderer.h"
#include "PluginLoader.h"
#include "ToolError.h"
#include "VyScene600/KrTheme3D.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>

namespace theme3d {

namespace {

// A darker shade of the fill for outlines and lines.
TOVO::TovoColor Darker(TOVO::TovoColor c) {
    return TOVO::TOVORGBA(TOVO::TovoGetRValue(c) * 3 / 5, TOVO::TovoGetGValue(c) * 3 / 5,
                          TOVO::TovoGetBValue(c) * 3 / 5, TOVO::TovoGetAValue(c));
}

KRS::KrStyle StyleOf(TOVO::TovoColor color, double dExtrude = 0.0) {
    KRS::KrStyle style;
    style.SetFillColor(color);
    style.SetLineColor(Darker(color));
    style.SetFill(TRUE);
    style.SetExtrude(dExtrude);
    return style;
}

int Code(const std::map<std::string, int>& codes, const std::string& strName, const char* szWhat) {
    const auto it = codes.find(strName);
    if (it != codes.end())
        return it->second;
    std::string strKnown;
    for (const auto& entry : codes)
        strKnown += (strKnown.empty() ? "" : ", ") + entry.first;
    throw ToolError(std::string("unknown ") + szWhat + " '" + strName + "' (known: " + strKnown +
                    ")");
}

std::vector<double> Breaks(const RangeOptions& options, const std::vector<double>& values) {
    if (options.strMethod == "quantile") {
        // A quantile equal to the smallest value would open an empty class below it.
        std::vector<double> breaks = ClassBreaks::Quantiles(values, options.nClasses);
        breaks.erase(std::remove_if(breaks.begin(), breaks.end(),
                                    [&](double d) { return d <= values.front(); }),
                     breaks.end());
        return breaks;
    }
    if (options.strMethod == "natural")
        return ClassBreaks::NaturalBreaks(values, options.nClasses);
    return {};
}

} // namespace

int ThemeMaker::MethodCode(const std::string& strMethod) {
    static const std::map<std::string, int> codes = {
        {"equal", KRS::KrTheme3D::ClassEqualDistance},
        {"sqrt", KRS::KrTheme3D::ClassExtraction},
        {"stdev", KRS::KrTheme3D::ClassStdev},
        {"log", KRS::KrTheme3D::ClassLogarithm},
        {"quantile", KRS::KrTheme3D::ClassQuantile},
        {"natural", KRS::KrTheme3D::ClassQuantile},
        {"interval", KRS::KrTheme3D::ClassCustomInterval}};
    return Code(codes, strMethod, "method");
}

TOVO::TovoRect2D ThemeMaker::ChartBounds(const GeoExtent& extent) {
    if (extent.IsEmpty())
        return TOVO::TovoRect2D();
    const auto widen = [](double lo, double hi, double& a, double& b) {
        const double pad = std::max(0.0, kMinChartBounds - (hi - lo)) / 2;
        a = lo - pad;
        b = hi + pad;
    };
    TOVO::TovoRect2D rect;
    widen(extent.xmin, extent.xmax, rect.xmin, rect.xmax);
    widen(extent.ymin, extent.ymax, rect.ymin, rect.ymax);
    return rect;
}

std::string ThemeMaker::Number(double d) {
    char sz[32];
    std::snprintf(sz, sizeof sz, "%.6g", d);
    return sz;
}

std::vector<std::string> ThemeMaker::RangeCaptions(const std::vector<double>& breaks) {
    std::vector<std::string> captions;
    if (breaks.empty())
        return captions;
    captions.push_back("< " + Number(breaks.front()));
    for (std::size_t i = 1; i < breaks.size(); ++i)
        captions.push_back(Number(breaks[i - 1]) + " - " + Number(breaks[i]));
    captions.push_back(">= " + Number(breaks.back()));
    return captions;
}

std::unique_ptr<KRS::KrTheme3D> ThemeMaker::MakeRange(PluginLoader& plugin, LayerReader& layer,
                                                      const RangeOptions& options) {
    const int nMethod = MethodCode(options.strMethod);
    ClassGuard::CheckOptions(options);
    ColorRamp::Sample(options.strRamp, 1); // an unknown ramp fails before any work
    std::size_t nNonFinite = 0;
    const std::vector<double> values =
        layer.SortedNumbers(layer.FieldIndex(options.strField), nNonFinite);
    if (nNonFinite > 0)
        std::cerr << "theme3d: note: " << nNonFinite << " values of '" << options.strField
                  << "' are NaN or infinite; they are left out like nulls\n";
    if (values.empty())
        throw ToolError("field '" + options.strField + "' of '" + layer.GetPath() +
                        "' has no number to classify");
    std::unique_ptr<KRS::KrTheme3D> pTheme = plugin.NewTheme(KRS::KrTheme3D::Range);
    plugin.GetBridge().SetRangeExpression(pTheme.get(), TOVO::TovoMBString(options.strField));
    if (options.nClasses == 1 || values.front() == values.back())
        OneClass(plugin, *pTheme, options, values);
    else
        SeveralClasses(plugin, *pTheme, options, nMethod, values);
    return pTheme;
}

void ThemeMaker::OneClass(PluginLoader& plugin, KRS::KrTheme3D& theme, const RangeOptions& options,
                          const std::vector<double>& values) {
    const double dLow = values.front(), dHigh = values.back();
    if (dLow == dHigh)
        std::cerr << "theme3d: note: every value of '" << options.strField << "' is "
                  << Number(dLow) << ": one class\n";
    // A range theme always has a range below its first break value; here it holds nothing and
    // is hidden.
    const ThemeBridge& bridge = plugin.GetBridge();
    if (!bridge.MakeDefault(&theme, KRS::KrTheme3D::ClassQuantile, 2, {dLow, dHigh}, {dLow}, 0.0))
        throw ToolError("the range theme refused to classify field '" + options.strField + "'");
    const TOVO::TovoColor color = ColorRamp::Sample(options.strRamp, 1)[0];
    bridge.SetRangeItem(&theme, 0, StyleOf(color), TOVO::TovoMBString("< " + Number(dLow)), FALSE);
    const std::string strCaption =
        dLow == dHigh ? Number(dLow) : Number(dLow) + " - " + Number(dHigh);
    bridge.SetRangeItem(&theme, 1, StyleOf(color, options.dExtrude), TOVO::TovoMBString(strCaption),
                        TRUE);
}

void ThemeMaker::SeveralClasses(PluginLoader& plugin, KRS::KrTheme3D& theme,
                                const RangeOptions& options, int nMethod,
                                const std::vector<double>& values) {
    ClassGuard::CheckValues(options, values);
    RangeOptions asked = options;
    const int nAsked = ClassGuard::Classes(options, values, std::cerr);
    if (nAsked > 0)
        asked.nClasses = nAsked;
    const ThemeBridge& bridge = plugin.GetBridge();
    // The theme wants at least two classes and two values even for methods that use neither.
    if (!bridge.MakeDefault(&theme, nMethod, std::max(2, asked.nClasses), values,
                            Breaks(asked, values), options.dInterval))
        throw ToolError("the range theme refused to classify field '" + options.strField + "'");
    std::vector<double> breaks;
    bridge.GetBreaks(&theme, breaks);
    ClassGuard::CheckResult(options, nAsked, breaks.size(), std::cerr);
    const std::vector<std::string> captions = RangeCaptions(breaks);
    const int nItems = static_cast<int>(captions.size());
    const std::vector<TOVO::TovoColor> colors = ColorRamp::Sample(options.strRamp, nItems);
    for (int i = 0; i < nItems; ++i) {
        const double dExtrude = options.dExtrude * (i + 1) / nItems;
        bridge.SetRangeItem(&theme, i, StyleOf(colors[static_cast<std::size_t>(i)], dExtrude),
                            TOVO::TovoMBString(captions[static_cast<std::size_t>(i)]), TRUE);
    }
}

std::unique_ptr<KRS::KrTheme3D> ThemeMaker::MakeUnique(PluginLoader& plugin, LayerReader& layer,
                                                       const std::string& strField,
                                                       const std::string& strPalette) {
    const int nField = layer.FieldIndex(strField);
    ColorRamp::PaletteColor(strPalette, 0); // an unknown palette fails before any work
    const std::vector<Feature> features = layer.ReadAll({nField});
    // Distinct value texts, as the theme will match them; numbers in numeric order.
    std::vector<std::pair<double, std::string>> values;
    bool bNumeric = true;
    std::size_t nNonFinite = 0;
    for (const Feature& feature : features) {
        if (FeatureRenderer::IsNonFiniteNumber(feature.values[0])) {
            ++nNonFinite; // rendered as null, so no value of its own
            continue;
        }
        const std::string strText = KRS::KrTheme3D::Variant2String(feature.values[0]).Str();
        if (strText.empty())
            continue;
        double d = 0.0;
        if (!KRS::KrTheme3D::Variant2Double(feature.values[0], d))
            bNumeric = false;
        values.emplace_back(d, strText);
    }
    if (nNonFinite > 0)
        std::cerr << "theme3d: note: " << nNonFinite << " values of '" << strField
                  << "' are NaN or infinite; they are left out like nulls\n";
    if (bNumeric)
        std::stable_sort(values.begin(), values.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    else
        std::sort(values.begin(), values.end(),
                  [](const auto& a, const auto& b) { return a.second < b.second; });

    const ThemeBridge& bridge = plugin.GetBridge();
    std::unique_ptr<KRS::KrTheme3D> pTheme = plugin.NewTheme(KRS::KrTheme3D::Unique);
    bridge.SetUniqueExpression(pTheme.get(), TOVO::TovoMBString(strField),
                               StyleOf(TOVO::TOVORGB(200, 200, 200)));
    int nAdded = 0;
    for (const auto& value : values) {
        const TOVO::TovoMBString strValue(value.second);
        if (bridge.AddUniqueValue(pTheme.get(), strValue,
                                  StyleOf(ColorRamp::PaletteColor(strPalette, nAdded)), strValue))
            ++nAdded;
    }
    return pTheme;
}

std::unique_ptr<KRS::KrTheme3D> ThemeMaker::MakeLabel(PluginLoader& plugin, LayerReader& layer,
                                                      const std::string& strField,
                                                      const std::string& strFormat) {
    layer.FieldIndex(strField);
    if (!strFormat.empty()) {
        // The theme would drop a format it cannot use (and log it); say so here instead.
        TOVO::TovoMBString strProbe(strFormat);
        strProbe.TrimLeft('%');
        try {
            if (!strProbe.IsEmpty())
                TOVO::TovoMBString::Formatted(("%" + strProbe.Str()).c_str(), 1.0);
        } catch (const std::exception&) {
            throw ToolError("number format '" + strFormat + "' does not format a number");
        }
    }
    std::unique_ptr<KRS::KrTheme3D> pTheme = plugin.NewTheme(KRS::KrTheme3D::Label);
    plugin.GetBridge().SetLabel(pTheme.get(), TOVO::TovoMBString(strField),
                                TOVO::TovoMBString(strFormat));
    return pTheme;
}

std::unique_ptr<KRS::KrTheme3D> ThemeMaker::MakeGraph(PluginLoader& plugin, LayerReader& layer,
                                                      const GraphOptions& options) {
    static const std::map<std::string, int> types = {{"bar", 4}, {"pie", 6}, {"stacked", 12}};
    static const std::map<std::string, int> modes = {{"constant", 0}, {"sqrt", 1}, {"log", 2}};
    static const std::map<std::string, int> texts = {
        {"percent", 1}, {"value", 2}, {"caption", 3}, {"caption-percent", 4}, {"caption-value", 5}};
    const int nType = Code(types, options.strType, "chart type");
    const int nMode = Code(modes, options.strGraduate, "graduation");
    const int nText = options.strText.empty() ? 1 : Code(texts, options.strText, "text format");
    if (options.arrFields.empty())
        throw ToolError("--fields names no field");
    const bool bSizes = options.dMinSize != 0.0 || options.dMaxSize != 0.0;
    if (bSizes && !(options.dMinSize > 0.0 && options.dMinSize <= options.dMaxSize &&
                    std::isfinite(options.dMaxSize)))
        throw ToolError("--chart-size must be MIN,MAX in metres with 0 < MIN <= MAX, not " +
                        Number(options.dMinSize) + "," + Number(options.dMaxSize));
    std::vector<int> fields;
    for (const std::string& strField : options.arrFields) {
        fields.push_back(layer.FieldIndex(strField));
        layer.RequireNumeric(fields.back());
    }
    ColorRamp::PaletteColor(options.strPalette, 0);

    const ThemeBridge& bridge = plugin.GetBridge();
    std::unique_ptr<KRS::KrTheme3D> pTheme = plugin.NewTheme(KRS::KrTheme3D::Graph);
    bridge.SetGraph(pTheme.get(), nType, nMode, nText, options.strText.empty() ? FALSE : TRUE);
    for (std::size_t i = 0; i < options.arrFields.size(); ++i) {
        const TOVO::TovoMBString strField(options.arrFields[i]);
        bridge.AddGraphItem(
            pTheme.get(), strField, strField,
            StyleOf(ColorRamp::PaletteColor(options.strPalette, static_cast<int>(i))));
    }

    // The layer's smallest and largest chart sums and its extent size every chart.
    const std::vector<Feature> features = layer.ReadAll(fields);
    double dMin = HUGE_VAL, dMax = -HUGE_VAL;
    std::size_t nNonFinite = 0;
    for (const Feature& feature : features) {
        double dSum = 0.0;
        for (const TOVO::TovoVariant& value : feature.values) {
            double d = 0.0;
            if (KRS::KrTheme3D::Variant2Double(value, d))
                dSum += d;
        }
        if (!std::isfinite(dSum)) {
            ++nNonFinite; // its chart will be left out, so it does not size the others
            continue;
        }
        dMin = std::min(dMin, dSum);
        dMax = std::max(dMax, dSum);
    }
    if (nNonFinite > 0)
        std::cerr << "theme3d: note: " << nNonFinite
                  << " features have NaN or infinite chart values; left out of the chart sizes\n";
    if (dMin > dMax)
        dMin = dMax = 0.0;
    const GeoExtent extent = LayerReader::Extent(features);
    bridge.CalExtremumvValue(pTheme.get(), dMin, dMax, ChartBounds(extent),
                             static_cast<int>(features.size()));
    // Set after the extent's sizes, which the theme then keeps (render computes them only when
    // none are set).
    if (bSizes)
        bridge.SetChartSizes(pTheme.get(), options.dMinSize, options.dMaxSize);
    return pTheme;
}

} // namespace theme3d
