#include "Renderer.h"

#include "ColorRamp.h"

#include "FeatureRenderer.h"
#include "LayerReader.h"
#include "OutputFiles.h"
#include "PluginLoader.h"
#include "Progress.h"
#include "RenderPlan.h"
#include "SceneWriter.h"
#include "StreamRenderer.h"
#include "ThemeFile.h"
#include "ThemeMaker.h"
#include "ToolError.h"
#include "Utf8.h"
#include "VyScene600/KrTheme3D.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <nlohmann/json.hpp>
#include <thread>

namespace theme3d {

namespace {

// A host calls CalExtremumvValue for the layer before it has charts built.
void SizeCharts(PluginLoader& plugin, const RenderPlan& plan,
                std::vector<std::unique_ptr<KRS::KrTheme3D>>& themes,
                const std::vector<Feature>& features, const GeoExtent& extent) {
    for (std::size_t t = 0; t < themes.size(); ++t) {
        const ThemeUse& use = plan.GetUses()[t];
        if (use.nType != KRS::KrTheme3D::Graph)
            continue;
        double dMin = HUGE_VAL, dMax = -HUGE_VAL;
        for (const Feature& feature : features) {
            double dSum = 0.0;
            if (!RenderPlan::ChartSum(*themes[t], use, feature, dSum))
                continue; // that feature gets no chart
            dMin = std::min(dMin, dSum);
            dMax = std::max(dMax, dSum);
        }
        if (dMin > dMax)
            dMin = dMax = 0.0;
        plugin.GetBridge().CalExtremumvValue(themes[t].get(), dMin, dMax,
                                             ThemeMaker::ChartBounds(extent),
                                             static_cast<int>(features.size()));
    }
}

std::vector<FeatureResult> RenderAll(PluginLoader& plugin, const RenderPlan& plan,
                                     std::vector<std::unique_ptr<KRS::KrTheme3D>>& themes,
                                     const std::vector<Feature>& features, const EnuFrame& frame,
                                     const GeoExtent& extent, const RenderOptions& options) {
    std::vector<FeatureResult> results(features.size());
    const int nWorkers =
        std::max(1, std::min<int>(options.nJobs, static_cast<int>(features.size())));
    // Copies are made here, one set per worker, before any worker starts.
    std::vector<std::unique_ptr<FeatureRenderer>> renderers;
    for (int w = 0; w < nWorkers; ++w) {
        std::vector<std::unique_ptr<KRS::KrTheme3D>> copies;
        for (auto& pTheme : themes)
            copies.push_back(plugin.CloneTheme(*pTheme));
        renderers.push_back(std::make_unique<FeatureRenderer>(plan, std::move(copies), frame,
                                                              extent, options.dLineWidth));
    }
    Progress progress("rendering", features.size());
    std::atomic<std::size_t> next{0};
    std::vector<std::exception_ptr> errors(static_cast<std::size_t>(nWorkers));
    auto work = [&](int w) {
        try {
            for (std::size_t i = next++; i < features.size(); i = next++) {
                results[i] = renderers[static_cast<std::size_t>(w)]->Render(features[i]);
                progress.Advance();
            }
        } catch (...) {
            errors[static_cast<std::size_t>(w)] = std::current_exception();
            next = features.size();
        }
    };
    std::vector<std::thread> threads;
    for (int w = 1; w < nWorkers; ++w)
        threads.emplace_back(work, w);
    work(0);
    for (std::thread& thread : threads)
        thread.join();
    progress.Finish();
    for (const std::exception_ptr& error : errors) {
        if (error)
            std::rethrow_exception(error);
    }
    return results;
}

std::string LabelGeoJson(const std::vector<FeatureResult>& results, std::size_t& nLabels) {
    nlohmann::ordered_json collection = {{"type", "FeatureCollection"},
                                         {"features", nlohmann::ordered_json::array()}};
    nLabels = 0;
    for (const FeatureResult& result : results) {
        if (!result.bHasLabel || !result.bHasAnchor)
            continue;
        ++nLabels;
        collection["features"].push_back(
            {{"type", "Feature"},
             {"geometry",
              {{"type", "Point"}, {"coordinates", {result.anchor.lon, result.anchor.lat}}}},
             {"properties", {{"fid", result.nFid}, {"label", Utf8::Sanitize(result.strLabel)}}}});
    }
    return collection.dump(1) + "\n";
}

} // namespace

std::vector<LegendBlock>
Renderer::Legend(PluginLoader& plugin, const RenderPlan& plan,
                 const std::vector<std::unique_ptr<KRS::KrTheme3D>>& themes,
                 const std::string& strPrefix) {
    std::vector<LegendBlock> blocks;
    for (std::size_t t = 0; t < themes.size(); ++t) {
        const ThemeUse& use = plan.GetUses()[t];
        if (use.nType == KRS::KrTheme3D::Label)
            continue;
        LegendBlock block;
        block.strTitle = strPrefix + use.strTitle + " (" + ThemeFile::TypeName(use.nType) + ")";
        plugin.GetBridge().GetLegend(themes[t].get(), block.rows);
        blocks.push_back(block);
    }
    return blocks;
}

std::string Renderer::LabelPath(const std::string& strScene) {
    std::string strBase = strScene;
    if (strBase.size() > 4 && strBase.compare(strBase.size() - 4, 4, ".glb") == 0)
        strBase.resize(strBase.size() - 4);
    else if (strBase.size() > 5 && strBase.compare(strBase.size() - 5, 5, ".gltf") == 0)
        strBase.resize(strBase.size() - 5);
    return strBase + ".labels.geojson";
}

EnuFrame Renderer::Frame(const RenderOptions& options, const GeoExtent& extent) {
    if (options.bOrigin)
        return EnuFrame(options.dOriginLon, options.dOriginLat);
    return EnuFrame(extent.IsEmpty() ? 0.0 : (extent.xmin + extent.xmax) / 2,
                    extent.IsEmpty() ? 0.0 : (extent.ymin + extent.ymax) / 2);
}

RenderSummary Renderer::Run(PluginLoader& plugin, std::vector<RenderLayer>& layers,
                            const RenderOptions& options, OutputFiles& outputs) {
    if (!options.bNodes)
        return StreamRenderer::Run(plugin, layers, options, outputs);
    if (layers.size() != 1)
        throw ToolError("--nodes draws one layer; leave it out for a scene of several");
    LayerReader& layer = *layers[0].pLayer;
    std::vector<std::unique_ptr<KRS::KrTheme3D>>& themes = layers[0].themes;
    if (options.nJobs < 1)
        throw ToolError("--jobs must be at least 1");
    std::vector<KRS::KrTheme3D*> raw;
    for (auto& pTheme : themes)
        raw.push_back(pTheme.get());
    const RenderPlan plan(raw, layer);
    const std::vector<Feature> features = layer.ReadAll(plan.GetFields());
    const GeoExtent extent = LayerReader::Extent(features);
    SizeCharts(plugin, plan, themes, features, extent);

    const EnuFrame frame = Frame(options, extent);
    const std::vector<FeatureResult> results =
        RenderAll(plugin, plan, themes, features, frame, extent, options);

    SceneWriter scene(layer.GetLayerName(), frame);
    if (options.bGround && !extent.IsEmpty())
        scene.AddGround(FeatureRenderer::Ground(frame, extent));
    RenderSummary summary;
    summary.nFeatures = results.size();
    for (const FeatureResult& result : results) {
        scene.AddFeature(result);
        summary.nCharts += result.chart.IsEmpty() ? 0 : 1;
        summary.nUntriangulated += result.bUntriangulated ? 1 : 0;
        summary.Count(result.nonFinite);
    }
    const SceneWriter::Counts counts = scene.GetCounts();
    summary.nNodes = counts.nNodes;
    summary.nMeshes = counts.nMeshes;
    summary.nMaterials = counts.nMaterials;
    scene.WriteGlb(outputs, options.strOutput);

    const bool bLabels =
        std::any_of(plan.GetUses().begin(), plan.GetUses().end(),
                    [](const ThemeUse& use) { return use.nType == KRS::KrTheme3D::Label; });
    if (bLabels) {
        summary.strLabelFile = LabelPath(options.strOutput);
        outputs.Write(summary.strLabelFile, LabelGeoJson(results, summary.nLabels));
    }
    if (!options.strLegend.empty())
        outputs.Write(options.strLegend, LegendWriter::ToSvg(Legend(plugin, plan, themes)));
    return summary;
}

} // namespace theme3d
