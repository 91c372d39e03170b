#include "StreamRenderer.h"

#include "CheckedFile.h"
#include "ColorRamp.h"
#include "FeatureRenderer.h"
#include "FeatureSpill.h"
#include "LayerReader.h"
#include "LegendWriter.h"
#include "OutputFiles.h"
#include "PluginLoader.h"
#include "Progress.h"
#include "RenderPlan.h"
#include "ThemeMaker.h"
#include "TileBuilder.h"
#include "TileTree.h"
#include "TilesetWriter.h"
#include "ToolError.h"
#include "Utf8.h"
#include "VyScene600/KrTheme3D.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <ogr_geometry.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace theme3d {

namespace {

constexpr std::size_t kChunk = 4096; // features rendered at once for a single file

// What the pass over the layer keeps: where each feature stands, the layer's extent and the
// sums of each graph theme's values (a host sizes charts by them before drawing any).
struct LayerPass {
    std::vector<TreeEntry> entries;
    GeoExtent extent{1.0, 1.0, -1.0, -1.0};
    std::vector<double> sumMin, sumMax;
};

LayerPass ReadLayer(LayerReader& layer, const RenderPlan& plan,
                    std::vector<std::unique_ptr<KRS::KrTheme3D>>& themes, FeatureSpill& spill) {
    LayerPass pass;
    pass.sumMin.assign(themes.size(), HUGE_VAL);
    pass.sumMax.assign(themes.size(), -HUGE_VAL);
    layer.ForEachFeature(plan.GetFields(), [&](Feature&& feature) {
        TreeEntry entry;
        if (feature.geometry && !feature.geometry->IsEmpty()) {
            OGREnvelope env;
            feature.geometry->getEnvelope(&env);
            entry.x = (env.MinX + env.MaxX) / 2;
            entry.y = (env.MinY + env.MaxY) / 2;
            entry.fSize = static_cast<float>(std::hypot(env.MaxX - env.MinX, env.MaxY - env.MinY));
            GeoExtent& e = pass.extent;
            if (e.IsEmpty())
                e = {env.MinX, env.MinY, env.MaxX, env.MaxY};
            e = {std::min(e.xmin, env.MinX), std::min(e.ymin, env.MinY), std::max(e.xmax, env.MaxX),
                 std::max(e.ymax, env.MaxY)};
        }
        for (std::size_t t = 0; t < themes.size(); ++t) {
            const ThemeUse& use = plan.GetUses()[t];
            if (use.nType != KRS::KrTheme3D::Graph)
                continue;
            double dSum = 0.0;
            if (!RenderPlan::ChartSum(*themes[t], use, feature, dSum))
                continue; // that feature gets no chart
            pass.sumMin[t] = std::min(pass.sumMin[t], dSum);
            pass.sumMax[t] = std::max(pass.sumMax[t], dSum);
        }
        if (spill.GetCount() >= 0xFFFFFFFFu)
            throw ToolError("the layer has more than 4294967295 features");
        entry.nIndex = spill.Append(feature);
        pass.entries.push_back(entry);
    });
    spill.Flush();
    return pass;
}

// Makes a file inside the temporary tileset folder and opens it for checked writing.
std::unique_ptr<CheckedFile> NewFile(const std::string& strPath, const std::string& strTarget) {
    const int fd = open(strPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        throw ToolError("cannot write '" + strTarget + "': " + std::strerror(errno));
    close(fd);
    return std::make_unique<CheckedFile>(strPath, strTarget);
}

// Runs work(worker) on nWorkers threads (the caller's among them) and rethrows the first failure.
void RunWorkers(int nWorkers, const std::function<void(int)>& work) {
    std::vector<std::exception_ptr> errors(static_cast<std::size_t>(nWorkers));
    auto guarded = [&](int w) {
        try {
            work(w);
        } catch (...) {
            errors[static_cast<std::size_t>(w)] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    for (int w = 1; w < nWorkers; ++w)
        threads.emplace_back(guarded, w);
    guarded(0);
    for (std::thread& thread : threads)
        thread.join();
    for (const std::exception_ptr& error : errors) {
        if (error)
            std::rethrow_exception(error);
    }
}

std::string LabelFeature(const FeatureResult& result) {
    nlohmann::ordered_json feature = {
        {"type", "Feature"},
        {"geometry", {{"type", "Point"}, {"coordinates", {result.anchor.lon, result.anchor.lat}}}},
        {"properties", {{"fid", result.nFid}, {"label", Utf8::Sanitize(result.strLabel)}}}};
    return feature.dump();
}

std::string StripSlashes(std::string strPath) {
    while (strPath.size() > 1 && strPath.back() == '/')
        strPath.pop_back();
    return strPath;
}

// The name's extension in lower case, with its dot; empty for none.
std::string Extension(const std::string& strPath) {
    const std::size_t nSlash = strPath.rfind('/');
    const std::size_t nDot = strPath.rfind('.');
    if (nDot == std::string::npos || (nSlash != std::string::npos && nDot < nSlash))
        return std::string();
    std::string strExtension = strPath.substr(nDot);
    for (char& c : strExtension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return strExtension;
}

} // namespace

bool StreamRenderer::WantsTileset(const RenderOptions& options) {
    if (options.strFormat == "3dtiles")
        return true;
    if (options.strFormat == "glb")
        return false;
    if (!options.strFormat.empty())
        throw ToolError("--format must be glb or 3dtiles, not '" + options.strFormat + "'");
    struct stat st {};
    if ((!options.strOutput.empty() && options.strOutput.back() == '/') ||
        (stat(options.strOutput.c_str(), &st) == 0 && S_ISDIR(st.st_mode)))
        return true;
    // The output's name says what it is: a name without an extension is a tileset's folder.
    const std::size_t nSlash = options.strOutput.rfind('/');
    const std::size_t nDot = options.strOutput.rfind('.');
    if (nDot == std::string::npos || (nSlash != std::string::npos && nDot < nSlash) ||
        nDot + 1 == options.strOutput.size())
        return true;
    const std::string strExtension = Extension(options.strOutput);
    if (strExtension == ".glb" || strExtension == ".gltf")
        return false;
    throw ToolError("output '" + options.strOutput + "': unknown extension '" + strExtension +
                    "' (.glb or .gltf for a glTF scene, a folder or --format 3dtiles for 3D "
                    "Tiles)");
}

bool StreamRenderer::IsGltf(const RenderOptions& options) {
    return options.strFormat.empty() && Extension(options.strOutput) == ".gltf" &&
           !WantsTileset(options);
}

RenderSummary StreamRenderer::Run(PluginLoader& plugin, LayerReader& layer,
                                  std::vector<std::unique_ptr<KRS::KrTheme3D>>& themes,
                                  const RenderOptions& options, OutputFiles& outputs) {
    if (options.nJobs < 1)
        throw ToolError("--jobs must be at least 1");
    const bool bTileset = WantsTileset(options);
    std::vector<KRS::KrTheme3D*> raw;
    for (auto& pTheme : themes)
        raw.push_back(pTheme.get());
    const RenderPlan plan(raw, layer);
    const std::vector<ThemeUse>& uses = plan.GetUses();

    // Reserve the outputs before the long work, so a folder that may not be replaced fails now.
    const std::string strTarget = bTileset ? StripSlashes(options.strOutput) : options.strOutput;
    const std::string strFolder = bTileset ? outputs.AddFolder(strTarget) : std::string();
    if (bTileset && mkdir((strFolder + "/tiles").c_str(), 0777) != 0)
        throw ToolError("cannot write '" + strTarget + "/tiles': " + std::strerror(errno));

    // Beside the output: the disk the user chose for it, not a temporary folder that may be small.
    const std::size_t nSlash = strTarget.rfind('/');
    FeatureSpill spill(nSlash == std::string::npos ? "."
                       : nSlash == 0               ? "/"
                                                   : strTarget.substr(0, nSlash),
                       strTarget);
    LayerPass pass = ReadLayer(layer, plan, themes, spill);
    const std::size_t nFeatures = pass.entries.size();
    for (std::size_t t = 0; t < themes.size(); ++t) {
        if (uses[t].nType != KRS::KrTheme3D::Graph)
            continue;
        // No feature with finite chart values: the sums are 0, as for an empty layer.
        const bool bNone = pass.sumMin[t] > pass.sumMax[t];
        plugin.GetBridge().CalExtremumvValue(
            themes[t].get(), bNone ? 0.0 : pass.sumMin[t], bNone ? 0.0 : pass.sumMax[t],
            ThemeMaker::ChartBounds(pass.extent),
            static_cast<int>(std::min<std::size_t>(nFeatures, INT32_MAX)));
    }
    const GeoExtent& extent = pass.extent;
    const EnuFrame frame(extent.IsEmpty() ? 0.0 : (extent.xmin + extent.xmax) / 2,
                         extent.IsEmpty() ? 0.0 : (extent.ymin + extent.ymax) / 2);

    TileSchema schema;
    std::vector<std::vector<LegendRow>> legends(themes.size());
    for (std::size_t t = 0; t < themes.size(); ++t) {
        if (uses[t].nType == KRS::KrTheme3D::Label)
            schema.bLabel = true;
        if (uses[t].nType == KRS::KrTheme3D::Graph)
            schema.bChartText = true;
        if (uses[t].nType == KRS::KrTheme3D::Unique || uses[t].nType == KRS::KrTheme3D::Range) {
            schema.bCaption = true;
            plugin.GetBridge().GetLegend(themes[t].get(), legends[t]);
        }
    }
    const std::vector<std::string> allNames = layer.FieldNames();
    std::vector<std::string> names;
    std::vector<bool> numbers;
    for (int nField : plan.GetFields()) {
        names.push_back(allNames.at(static_cast<std::size_t>(nField)));
        numbers.push_back(layer.IsNumeric(nField));
    }
    schema.fields = TileSchema::Columns(names, numbers);

    std::vector<TreeNode> nodes;
    if (bTileset) {
        nodes =
            TileTree(std::move(pass.entries), options.nPerTile, options.nPerTile / 4).GetNodes();
    } else {
        nodes.emplace_back();
        nodes[0].features.resize(nFeatures);
        for (std::size_t i = 0; i < nFeatures; ++i)
            nodes[0].features[i] = static_cast<std::uint32_t>(i);
    }
    pass.entries = std::vector<TreeEntry>();

    const int nWorkers = std::max(1, options.nJobs);
    std::vector<std::unique_ptr<FeatureRenderer>> renderers;
    for (int w = 0; w < nWorkers; ++w) {
        std::vector<std::unique_ptr<KRS::KrTheme3D>> copies;
        for (auto& pTheme : themes)
            copies.push_back(plugin.CloneTheme(*pTheme));
        renderers.push_back(std::make_unique<FeatureRenderer>(plan, std::move(copies), frame,
                                                              FeatureRenderer::MarkerSize(extent)));
        renderers.back()->SetInstanceBars(options.bInstanceBars);
        renderers.back()->SetLegends(legends);
    }

    RenderSummary summary;
    summary.nFeatures = nFeatures;
    std::mutex countMutex;
    auto count = [&](const FeatureResult& result) {
        const std::lock_guard<std::mutex> lock(countMutex);
        if (!result.chart.IsEmpty() || !result.bars.empty())
            ++summary.nCharts;
        summary.nBars += result.bars.size();
        summary.nUntriangulated += result.bUntriangulated ? 1 : 0;
        summary.Count(result.nonFinite);
    };
    Progress progress("rendering", nFeatures);
    const std::string strName = Utf8::Sanitize(layer.GetLayerName());

    if (bTileset) {
        std::vector<TileInfo> tiles(nodes.size());
        std::atomic<std::size_t> next{0};
        RunWorkers(
            std::min<int>(nWorkers, static_cast<int>(std::max<std::size_t>(1, nodes.size()))),
            [&](int w) {
                try {
                    for (std::size_t n = next++; n < nodes.size(); n = next++) {
                        if (nodes[n].features.empty())
                            continue;
                        TileBuilder builder(schema, frame);
                        for (std::uint32_t nIndex : nodes[n].features) {
                            const Feature feature = spill.Read(nIndex);
                            const FeatureResult result =
                                renderers[static_cast<std::size_t>(w)]->Render(feature);
                            count(result);
                            builder.Add(result, feature.values);
                            progress.Advance();
                        }
                        tiles[n].strUri = "tiles/" + std::to_string(n) + ".glb";
                        tiles[n].bounds = builder.GetBounds();
                        tiles[n].dLargest = builder.GetLargest();
                        const std::string strTile = strTarget + "/" + tiles[n].strUri;
                        const std::unique_ptr<CheckedFile> pFile =
                            NewFile(strFolder + "/" + tiles[n].strUri, strTile);
                        builder.WriteGlb(strName + " tile " + std::to_string(n), *pFile, strTile);
                        pFile->Close();
                    }
                } catch (...) {
                    // A failed worker stops the others at their next tile.
                    next = nodes.size();
                    throw;
                }
            });
        const std::unique_ptr<CheckedFile> pTileset =
            NewFile(strFolder + "/tileset.json", strTarget + "/tileset.json");
        pTileset->Write(TilesetWriter::Tileset(nodes, tiles, frame).dump(1) + "\n");
        pTileset->Close();
        summary.nTiles = static_cast<std::size_t>(std::count_if(
            tiles.begin(), tiles.end(), [](const TileInfo& t) { return !t.strUri.empty(); }));
        for (const TreeNode& node : nodes)
            summary.nDepth = std::max(summary.nDepth, static_cast<std::size_t>(node.nDepth) + 1);
    } else {
        TileBuilder builder(schema, frame);
        if (options.bGround && !extent.IsEmpty())
            builder.SetGround(FeatureRenderer::Ground(frame, extent));
        std::string strLabels;
        std::vector<Feature> features;
        std::vector<FeatureResult> results;
        for (std::size_t nStart = 0; nStart < nFeatures; nStart += kChunk) {
            const std::size_t nEnd = std::min(nFeatures, nStart + kChunk);
            features.clear();
            for (std::size_t i = nStart; i < nEnd; ++i)
                features.push_back(spill.Read(static_cast<std::uint32_t>(i)));
            results.assign(features.size(), FeatureResult());
            std::atomic<std::size_t> next{0};
            RunWorkers(std::min<int>(nWorkers, static_cast<int>(features.size())), [&](int w) {
                for (std::size_t i = next++; i < features.size(); i = next++) {
                    results[i] = renderers[static_cast<std::size_t>(w)]->Render(features[i]);
                    progress.Advance();
                }
            });
            for (std::size_t i = 0; i < results.size(); ++i) {
                count(results[i]);
                builder.Add(results[i], features[i].values);
                if (results[i].bHasLabel && results[i].bHasAnchor) {
                    strLabels += (summary.nLabels++ == 0 ? "\n" : ",\n") + LabelFeature(results[i]);
                }
            }
        }
        if (IsGltf(options)) {
            builder.WriteGltf(strName, outputs, options.strOutput);
        } else {
            const std::unique_ptr<CheckedFile> pFile = outputs.Open(options.strOutput);
            builder.WriteGlb(strName, *pFile, options.strOutput);
            pFile->Close();
        }
        summary.nMeshes = builder.GetPrimitiveCount();
        if (schema.bLabel) {
            summary.strLabelFile = Renderer::LabelPath(options.strOutput);
            outputs.Write(summary.strLabelFile,
                          "{\"type\":\"FeatureCollection\",\"features\":[" + strLabels + "\n]}\n");
        }
    }
    progress.Finish();
    if (!options.strLegend.empty())
        outputs.Write(options.strLegend,
                      LegendWriter::ToSvg(Renderer::Legend(plugin, plan, themes)));
    return summary;
}

} // namespace theme3d
