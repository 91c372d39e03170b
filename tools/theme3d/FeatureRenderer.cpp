#include "FeatureRenderer.h"

#include "VyGeometry600/KrGeometry.h"
#include "VyScene600/KrTheme3D.h"
#include "VyToolkit600/KrStyle.h"

namespace theme3d {

namespace {

const TOVO::TovoVariant& ValueAt(const Feature& feature, const ThemeUse& use, std::size_t i = 0) {
    return feature.values[static_cast<std::size_t>(use.slots[i])];
}

} // namespace

FeatureRenderer::FeatureRenderer(const RenderPlan& plan,
                                 std::vector<std::unique_ptr<KRS::KrTheme3D>> themes,
                                 const EnuFrame& frame, double dMarkerSize)
    : m_plan(plan), m_themes(std::move(themes)), m_features(frame), m_charts(frame),
      m_dMarkerSize(dMarkerSize) {}

FeatureRenderer::~FeatureRenderer() = default;

FeatureResult FeatureRenderer::Render(const Feature& feature) {
    FeatureResult result;
    result.nFid = feature.nFid;
    const FeatureLook look = Look(feature, result.strCaption);
    if (feature.geometry) {
        result.bUntriangulated = !m_features.Add(*feature.geometry, look, result.body);
        result.bHasAnchor =
            m_features.PointOnSurface(*feature.geometry, result.anchor.lon, result.anchor.lat);
        result.anchor.z = look.dExtrude;
    }
    AddLabel(feature, result);
    if (result.bHasAnchor)
        AddCharts(feature, result);
    return result;
}

FeatureLook FeatureRenderer::Look(const Feature& feature, std::string& strCaption) const {
    FeatureLook look;
    look.fill = kDefaultFill;
    look.line = kDefaultLine;
    look.dMarker = m_dMarkerSize;
    const std::vector<ThemeUse>& uses = m_plan.GetUses();
    for (std::size_t t = 0; t < uses.size(); ++t) {
        if (uses[t].nType != KRS::KrTheme3D::Unique && uses[t].nType != KRS::KrTheme3D::Range)
            continue;
        const KRS::KrStyle* pStyle = m_themes[t]->FindStyle(ValueAt(feature, uses[t]));
        if (pStyle == nullptr)
            continue;
        look.fill = pStyle->GetFillColor();
        look.line = pStyle->GetLineColor();
        look.dExtrude = pStyle->GetExtrude() > 0.0 ? pStyle->GetExtrude() : 0.0;
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
        const TOVO::TovoMBString strText =
            m_themes[t]->GetStringFromVariant(ValueAt(feature, uses[t]));
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
        const TOVO::TovoPoint3D position(result.anchor.lon, result.anchor.lat, result.anchor.z);
        std::unique_ptr<KRS::KrGeometry> pChart(m_themes[t]->ConvertToGeometry(
            values.data(), static_cast<unsigned int>(values.size()), position));
        if (pChart)
            m_charts.Add(*pChart, result.chart, result.chartTexts,
                         m_bInstanceBars ? &result.bars : nullptr);
    }
}

} // namespace theme3d
