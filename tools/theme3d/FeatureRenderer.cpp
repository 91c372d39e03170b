#include "FeatureRenderer.h"

#include "ColorRamp.h"
#include "LayerReader.h"

#include "VyGeometry600/KrGeometry.h"
#include "VyScene600/KrTheme3D.h"
#include "VyToolkit600/KrStyle.h"

#include <algorithm>
#include <cmath>

namespace theme3d {

namespace {

const TOVO::TovoVariant& ValueAt(const Feature& feature, const ThemeUse& use, std::size_t i = 0) {
    return feature.values[static_cast<std::size_t>(use.slots[i])];
}

} // namespace

FeatureRenderer::FeatureRenderer(const RenderPlan& plan,
                                 std::vector<std::unique_ptr<KRS::KrTheme3D>> themes,
                                 const EnuFrame& frame, const GeoExtent& extent, double dLineWidth)
    : m_plan(plan), m_themes(std::move(themes)), m_features(frame), m_charts(frame),
      m_dMarkerSize(MarkerSize(extent)), m_dLineWidth(dLineWidth), m_dLineLift(LineLift(extent)) {}

FeatureRenderer::~FeatureRenderer() = default;

bool FeatureRenderer::IsNonFiniteNumber(const TOVO::TovoVariant& value) {
    const int nType = value.GetType();
    if (nType == TOVO::TovoVariant::Double)
        return !std::isfinite(value.GetDouble());
    if (nType == TOVO::TovoVariant::Float)
        return !std::isfinite(value.GetFloat());
    return false;
}

FeatureResult FeatureRenderer::Render(const Feature& feature) {
    FeatureResult result;
    result.nFid = feature.nFid;
    const FeatureLook look = Look(feature, result.nonFinite, result.strCaption);
    if (feature.geometry) {
        result.bUntriangulated = !m_features.Add(*feature.geometry, look, result.body);
        result.bHasAnchor =
            m_features.PointOnSurface(*feature.geometry, result.anchor.lon, result.anchor.lat) &&
            std::isfinite(result.anchor.lon) && std::isfinite(result.anchor.lat);
        result.anchor.z = look.dExtrude;
        if (!result.body.IsFinite()) {
            result.body = MeshData();
            result.nonFinite.bGeometry = true;
        }
    }
    AddLabel(feature, result);
    if (result.bHasAnchor)
        AddCharts(feature, result);
    return result;
}

FeatureLook FeatureRenderer::Look(const Feature& feature, NonFinite& nonFinite,
                                  std::string& strCaption) const {
    FeatureLook look;
    look.fill = kDefaultFill;
    look.line = kDefaultLine;
    look.dMarker = m_dMarkerSize;
    look.dLineWidth = m_dLineWidth;
    look.dLineLift = m_dLineLift;
    const std::vector<ThemeUse>& uses = m_plan.GetUses();
    for (std::size_t t = 0; t < uses.size(); ++t) {
        if (uses[t].nType != KRS::KrTheme3D::Unique && uses[t].nType != KRS::KrTheme3D::Range)
            continue;
        const TOVO::TovoVariant& value = ValueAt(feature, uses[t]);
        // A NaN would fall into some class (every comparison with it is false); it is null.
        const bool bNonFinite = IsNonFiniteNumber(value);
        nonFinite.bClassValue = nonFinite.bClassValue || bNonFinite;
        const KRS::KrStyle* pStyle =
            m_themes[t]->FindStyle(bNonFinite ? TOVO::TovoVariant() : value);
        if (pStyle == nullptr)
            continue;
        look.fill = pStyle->GetFillColor();
        look.line = pStyle->GetLineColor();
        const double dExtrude = pStyle->GetExtrude();
        nonFinite.bExtrude = !std::isfinite(dExtrude);
        look.dExtrude = std::isfinite(dExtrude) && dExtrude > 0.0 ? dExtrude : 0.0;
        if (t < m_legends.size()) {
            for (const LegendRow& row : m_legends[t]) {
                if (row.style == *pStyle) {
                    strCaption = row.strCaption.Str();
                    break;
                }
            }
        }
        break;
    }
    return look;
}

void FeatureRenderer::AddLabel(const Feature& feature, FeatureResult& result) {
    const std::vector<ThemeUse>& uses = m_plan.GetUses();
    for (std::size_t t = 0; t < uses.size(); ++t) {
        if (uses[t].nType != KRS::KrTheme3D::Label)
            continue;
        const TOVO::TovoVariant& value = ValueAt(feature, uses[t]);
        if (IsNonFiniteNumber(value)) {
            result.nonFinite.bLabel = true;
            continue;
        }
        const TOVO::TovoMBString strText = m_themes[t]->GetStringFromVariant(value);
        if (strText.IsEmpty())
            continue;
        result.bHasLabel = true;
        result.strLabel = strText.Str();
        return;
    }
}

void FeatureRenderer::AddCharts(const Feature& feature, FeatureResult& result) {
    const std::vector<ThemeUse>& uses = m_plan.GetUses();
    for (std::size_t t = 0; t < uses.size(); ++t) {
        if (uses[t].nType != KRS::KrTheme3D::Graph || uses[t].slots.empty())
            continue;
        std::vector<double> values = RenderPlan::GraphValues(*m_themes[t], uses[t], feature);
        if (!RenderPlan::AllFinite(values)) {
            result.nonFinite.bChart = true;
            continue;
        }
        const TOVO::TovoPoint3D position(result.anchor.lon, result.anchor.lat, result.anchor.z);
        std::unique_ptr<KRS::KrGeometry> pChart(m_themes[t]->ConvertToGeometry(
            values.data(), static_cast<unsigned int>(values.size()), position));
        if (pChart)
            m_charts.Add(*pChart, result.chart, result.chartTexts,
                         m_bInstanceBars ? &result.bars : nullptr);
    }
    const bool bBarsFinite =
        std::all_of(result.bars.begin(), result.bars.end(), [](const BarInstance& bar) {
            return std::isfinite(bar.base.lon) && std::isfinite(bar.base.lat) &&
                   std::isfinite(bar.base.z) && std::isfinite(bar.dRadiusX) &&
                   std::isfinite(bar.dRadiusY) && std::isfinite(bar.dHeight);
        });
    if (!result.chart.IsFinite() || !bBarsFinite) {
        result.chart = MeshData();
        result.chartTexts.clear();
        result.bars.clear();
        result.nonFinite.bChart = true;
    }
}

double FeatureRenderer::MarkerSize(const GeoExtent& extent) {
    if (extent.IsEmpty())
        return 1.0;
    const double lat = (extent.ymin + extent.ymax) / 2 * 0.017453292519943295;
    const double dx = (extent.xmax - extent.xmin) * 111320.0 * std::cos(lat);
    const double dy = (extent.ymax - extent.ymin) * 110540.0;
    return std::max(1.0, std::hypot(dx, dy) / 300.0);
}

double FeatureRenderer::LineLift(const GeoExtent& extent) {
    return std::max(0.1, MarkerSize(extent) / 30.0);
}

MeshData FeatureRenderer::Ground(const EnuFrame& frame, const GeoExtent& extent) {
    MeshData mesh;
    if (extent.IsEmpty())
        return mesh;
    const double mx = std::max(0.05 * (extent.xmax - extent.xmin), 1e-4);
    const double my = std::max(0.05 * (extent.ymax - extent.ymin), 1e-4);
    const double xmin = std::max(-180.0, extent.xmin - mx),
                 xmax = std::min(180.0, extent.xmax + mx);
    const double ymin = std::max(-90.0, extent.ymin - my), ymax = std::min(90.0, extent.ymax + my);
    const double dBelow = -LineLift(extent);
    FeatureTessellator tessellator(frame);
    tessellator.Ground(xmin, ymin, xmax, ymax, dBelow,
                       mesh.For(ColorRamp::kGround, Primitive::Triangles));
    return mesh;
}

} // namespace theme3d
