// Renders features through one worker's own copies of the themes, as a host does per feature:
// the first style theme that gives a style colours the feature, label themes give its text, and
// graph themes build its charts at its anchor. Themes are not thread-safe, so each worker keeps
// its own copies (made with the factory's CloneTheme3D) and its own tessellators.
#pragma once

#include "ChartTessellator.h"
#include "FeatureResult.h"
#include "FeatureTessellator.h"
#include "RenderPlan.h"
#include "ThemeBridge.h"

#include <memory>
#include <vector>

namespace KRS {
class KrTheme3D;
}

namespace theme3d {

struct GeoExtent;

class FeatureRenderer {
public:
    // The colours of a feature that no style theme styles.
    static constexpr TOVO::TovoColor kDefaultFill = TOVO::TOVORGB(200, 200, 200);
    static constexpr TOVO::TovoColor kDefaultLine = TOVO::TOVORGB(90, 90, 90);

    // Markers and the lines' lift are sized from the layer's extent; lines are ribbons
    // dLineWidth metres wide, or glTF lines when it is 0.
    FeatureRenderer(const RenderPlan& plan, std::vector<std::unique_ptr<KRS::KrTheme3D>> themes,
                    const EnuFrame& frame, const GeoExtent& extent, double dLineWidth = 0.0);
    ~FeatureRenderer();

    FeatureResult Render(const Feature& feature);

    // Bars of bar and stacked charts as instances (FeatureResult::bars) instead of meshes.
    void SetInstanceBars(bool bInstance) { m_bInstanceBars = bInstance; }
    // The legend of each theme (by position; empty for none), for the caption of the class
    // that styles a feature: the first row whose style equals the one the theme gave.
    void SetLegends(std::vector<std::vector<LegendRow>> legends) { m_legends = std::move(legends); }

    // A number that is NaN or infinite (a value of any other type is not).
    static bool IsNonFiniteNumber(const TOVO::TovoVariant& value);

    // A marker size that reads at the layer's scale: a three-hundredth of its diagonal.
    static double MarkerSize(const GeoExtent& extent);
    // How far lines stand above the ground, so that they do not fight flat polygons or the
    // globe for the same depth: a thirtieth of the marker size (a nine-thousandth of the
    // layer's diagonal), at least 0.1 m. The ground lies as far below.
    static double LineLift(const GeoExtent& extent);
    // Ground under the layer's extent with a margin, a little below the flat features so that
    // the two never fight for the same depth; empty for an empty extent.
    static MeshData Ground(const EnuFrame& frame, const GeoExtent& extent);

private:
    FeatureLook Look(const Feature& feature, NonFinite& nonFinite, std::string& strCaption) const;
    void AddLabel(const Feature& feature, FeatureResult& result);
    void AddCharts(const Feature& feature, FeatureResult& result);

    const RenderPlan& m_plan;
    std::vector<std::unique_ptr<KRS::KrTheme3D>> m_themes;
    FeatureTessellator m_features;
    ChartTessellator m_charts;
    double m_dMarkerSize, m_dLineWidth, m_dLineLift;
    bool m_bInstanceBars = false;
    std::vector<std::vector<LegendRow>> m_legends;
};

} // namespace theme3d
