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

// A label point; features of the second and later layers name their layer by its position, as
// their property tables do, since feature ids repeat across layers.
std::string LabelFeature(const FeatureResult& result, std::size_t nLayer) {
    nlohmann::ordered_json feature = {
        {"type", "Feature"},
        {"geometry", {{"type", "Point"}, {"coordinates", {result.anchor.lon, result.anchor.lat}}}},
        {"properties", {{"fid", result.nFid}, {"label", Utf8::Sanitize(result.strLabel)}}}};
    if (nLayer > 0)
        feature["properties"]["layer"] = nLayer;
    return feature.dump();
}

// One layer on its way into the scene: how its fields feed its themes, its features parked on
// disk, what the pass over it found, and its workers' renderers.
struct LayerWork {
    LayerReader* pLayer = nullptr;
    std::vector<std::unique_ptr<KRS::KrTheme3D>>* pThemes = nullptr;
    std::unique_ptr<RenderPlan> pPlan;
    std::unique_ptr<FeatureSpill> pSpill;
    LayerPass pass;
    TileSchema schema;
    std::vector<std::vector<LegendRow>> legends;
    std::vector<TreeNode> nodes;
    std::vector<std::unique_ptr<FeatureRenderer>> renderers;
    std::string strName;
};

// Everything about a layer that does not depend on the scene's frame.
void PrepareLayer(PluginLoader& plugin, LayerWork& work) {
    LayerReader& layer = *work.pLayer;
    std::vector<std::unique_ptr<KRS::KrTheme3D>>& themes = *work.pThemes;
    const std::vector<ThemeUse>& uses = work.pPlan->GetUses();
    for (std::size_t t = 0; t < themes.size(); ++t) {
        if (uses[t].nType != KRS::KrTheme3D::Graph)
            continue;
        // No feature with finite chart values: the sums are 0, as for an empty layer.
        const bool bNone = work.pass.sumMin[t] > work.pass.sumMax[t];
        plugin.GetBridge().CalExtremumvValue(
            themes[t].get(), bNone ? 0.0 : work.pass.sumMin[t], bNone ? 0.0 : work.pass.sumMax[t],
            ThemeMaker::ChartBounds(work.pass.extent),
            static_cast<int>(std::min<std::size_t>(work.pass.entries.size(), INT32_MAX)));
    }
    work.legends.resize(themes.size());
    for (std::size_t t = 0; t < themes.size(); ++t) {
        if (uses[t].nType == KRS::KrTheme3D::Label)
            work.schema.bLabel = true;
        if (uses[t].nType == KRS::KrTheme3D::Graph)
            work.schema.bChartText = true;
        if (uses[t].nType == KRS::KrTheme3D::Unique || uses[t].nType == KRS::KrTheme3D::Range) {
            work.schema.bCaption = true;
            plugin.GetBridge().GetLegend(themes[t].get(), work.legends[t]);
        }
    }
    const std::vector<std::string> allNames = layer.FieldNames();
    std::vector<std::string> names;
    std::vector<bool> numbers;
    for (int nField : work.pPlan->GetFields()) {
        names.push_back(allNames.at(static_cast<std::size_t>(nField)));
        numbers.push_back(layer.IsNumeric(nField));
    }
    work.schema.fields = TileSchema::Columns(names, numbers);
    work.strName = Utf8::Sanitize(layer.GetLayerName());
}

// Two layers of one file would share a name in the legend and in the property table's "layer"
// column: their place on the command line tells them apart. (Their filters would say more, but a
// filter can be as long as a query, and the legend's titles must stay short.)
void DistinctNames(std::vector<LayerWork>& works) {
    std::vector<std::string> names;
    for (const LayerWork& work : works)
        names.push_back(work.strName);
    for (std::size_t k = 0; k < works.size(); ++k) {
        if (std::count(names.begin(), names.end(), names[k]) > 1)
            works[k].strName += " #" + std::to_string(k + 1);
    }
}

// The property table of a scene of several layers: a "layer" column (the layer's name), then
// every layer's fields, one column for a field of the same name and kind in several layers
// (empty in the rows of layers without it). positions[k][f] is where field f of layer k goes.
TileSchema CombinedSchema(const std::vector<LayerWork>& works,
                          std::vector<std::vector<std::size_t>>& positions) {
    TileSchema schema;
    std::vector<std::string> names{"layer"};
    std::vector<bool> numbers{false};
    for (const LayerWork& work : works) {
        schema.bLabel = schema.bLabel || work.schema.bLabel;
        schema.bCaption = schema.bCaption || work.schema.bCaption;
        schema.bChartText = schema.bChartText || work.schema.bChartText;
        positions.emplace_back();
        for (const FieldColumn& field : work.schema.fields) {
            std::size_t n = 1;
            while (n < names.size() && !(names[n] == field.strName && numbers[n] == field.bNumber))
                ++n;
            if (n == names.size()) {
                names.push_back(field.strName);
                numbers.push_back(field.bNumber);
            }
            positions.back().push_back(n);
        }
    }
    schema.fields = TileSchema::Columns(names, numbers);
    return schema;
}

// A box around every layer's extent (none for no features).
GeoExtent Union(const std::vector<LayerWork>& works) {
    GeoExtent extent{1.0, 1.0, -1.0, -1.0};
    for (const LayerWork& work : works) {
        const GeoExtent& e = work.pass.extent;
        if (e.IsEmpty())
            continue;
        extent = extent.IsEmpty()
                     ? e
                     : GeoExtent{std::min(extent.xmin, e.xmin), std::min(extent.ymin, e.ymin),
                                 std::max(extent.xmax, e.xmax), std::max(extent.ymax, e.ymax)};
    }
    return extent;
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

RenderSummary StreamRenderer::Run(PluginLoader& plugin, std::vector<RenderLayer>& layers,
                                  const RenderOptions& options, OutputFiles& outputs) {
    if (options.nJobs < 1)
        throw ToolError("--jobs must be at least 1");
    const bool bTileset = WantsTileset(options);
    std::vector<LayerWork> works(layers.size());
    for (std::size_t k = 0; k < layers.size(); ++k) {
        works[k].pLayer = layers[k].pLayer;
        works[k].pThemes = &layers[k].themes;
        std::vector<KRS::KrTheme3D*> raw;
        for (auto& pTheme : layers[k].themes)
            raw.push_back(pTheme.get());
        works[k].pPlan = std::make_unique<RenderPlan>(raw, *layers[k].pLayer);
    }

    // Reserve the outputs before the long work, so a folder that may not be replaced fails now.
    const std::string strTarget = bTileset ? StripSlashes(options.strOutput) : options.strOutput;
    const std::string strFolder = bTileset ? outputs.AddFolder(strTarget) : std::string();
    if (bTileset && mkdir((strFolder + "/tiles").c_str(), 0777) != 0)
        throw ToolError("cannot write '" + strTarget + "/tiles': " + std::strerror(errno));

    // Beside the output: the disk the user chose for it, not a temporary folder that may be small.
    const std::size_t nSlash = strTarget.rfind('/');
    const std::string strSpillDir = nSlash == std::string::npos ? "."
                                    : nSlash == 0               ? "/"
                                                                : strTarget.substr(0, nSlash);
    RenderSummary summary;
    for (LayerWork& work : works) {
        work.pSpill = std::make_unique<FeatureSpill>(strSpillDir, strTarget);
        work.pass = ReadLayer(*work.pLayer, *work.pPlan, *work.pThemes, *work.pSpill);
        summary.nFeatures += work.pass.entries.size();
        PrepareLayer(plugin, work);
    }
    DistinctNames(works);
    const GeoExtent extent = Union(works);
    const EnuFrame frame = Renderer::Frame(options, extent);

    const int nWorkers = std::max(1, options.nJobs);
    for (LayerWork& work : works) {
        const std::size_t nFeatures = work.pass.entries.size();
        if (bTileset) {
            work.nodes =
                TileTree(std::move(work.pass.entries), options.nPerTile, options.nPerTile / 4)
                    .GetNodes();
        } else {
            work.nodes.emplace_back();
            work.nodes[0].features.resize(nFeatures);
            for (std::size_t i = 0; i < nFeatures; ++i)
                work.nodes[0].features[i] = static_cast<std::uint32_t>(i);
        }
        work.pass.entries = std::vector<TreeEntry>();
        for (int w = 0; w < nWorkers; ++w) {
            std::vector<std::unique_ptr<KRS::KrTheme3D>> copies;
            for (auto& pTheme : *work.pThemes)
                copies.push_back(plugin.CloneTheme(*pTheme));
            work.renderers.push_back(std::make_unique<FeatureRenderer>(
                *work.pPlan, std::move(copies), frame, work.pass.extent, options.dLineWidth));
            work.renderers.back()->SetInstanceBars(options.bInstanceBars);
            work.renderers.back()->SetLegends(work.legends);
        }
    }

    std::mutex countMutex;
    auto count = [&](const FeatureResult& result) {
        const std::lock_guard<std::mutex> lock(countMutex);
        if (!result.chart.IsEmpty() || !result.bars.empty())
            ++summary.nCharts;
        summary.nBars += result.bars.size();
        summary.nUntriangulated += result.bUntriangulated ? 1 : 0;
        summary.Count(result.nonFinite);
    };
    Progress progress("rendering", summary.nFeatures);
    const bool bLabels = std::any_of(works.begin(), works.end(),
                                     [](const LayerWork& work) { return work.schema.bLabel; });

    if (bTileset) {
        // One subtree per layer under a root that holds them all.
        std::vector<nlohmann::ordered_json> subtrees;
        for (std::size_t k = 0; k < works.size(); ++k) {
            LayerWork& work = works[k];
            const std::string strPrefix =
                works.size() == 1 ? "tiles/" : "tiles/" + std::to_string(k + 1) + "-";
            std::vector<TileInfo> tiles(work.nodes.size());
            std::atomic<std::size_t> next{0};
            RunWorkers(std::min<int>(nWorkers,
                                     static_cast<int>(std::max<std::size_t>(1, work.nodes.size()))),
                       [&](int w) {
                           try {
                               for (std::size_t n = next++; n < work.nodes.size(); n = next++) {
                                   if (work.nodes[n].features.empty())
                                       continue;
                                   TileBuilder builder(work.schema, frame);
                                   for (std::uint32_t nIndex : work.nodes[n].features) {
                                       const Feature feature = work.pSpill->Read(nIndex);
                                       const FeatureResult result =
                                           work.renderers[static_cast<std::size_t>(w)]->Render(
                                               feature);
                                       count(result);
                                       builder.Add(result, feature.values);
                                       progress.Advance();
                                   }
                                   tiles[n].strUri = strPrefix + std::to_string(n) + ".glb";
                                   tiles[n].bounds = builder.GetBounds();
                                   tiles[n].dLargest = builder.GetLargest();
                                   const std::string strTile = strTarget + "/" + tiles[n].strUri;
                                   const std::unique_ptr<CheckedFile> pFile =
                                       NewFile(strFolder + "/" + tiles[n].strUri, strTile);
                                   builder.WriteGlb(work.strName + " tile " + std::to_string(n),
                                                    *pFile, strTile, k);
                                   pFile->Close();
                               }
                           } catch (...) {
                               // A failed worker stops the others at their next tile.
                               next = work.nodes.size();
                               throw;
                           }
                       });
            subtrees.push_back(TilesetWriter::Tileset(work.nodes, tiles, frame));
            summary.nTiles += static_cast<std::size_t>(std::count_if(
                tiles.begin(), tiles.end(), [](const TileInfo& t) { return !t.strUri.empty(); }));
            for (const TreeNode& node : work.nodes)
                summary.nDepth = std::max(summary.nDepth, static_cast<std::size_t>(node.nDepth) +
                                                              (works.size() == 1 ? 1 : 2));
        }
        const std::unique_ptr<CheckedFile> pTileset =
            NewFile(strFolder + "/tileset.json", strTarget + "/tileset.json");
        pTileset->Write(TilesetWriter::Join(subtrees).dump(1) + "\n");
        pTileset->Close();
    } else {
        // Several layers share one property table (a client may pick a model's features through
        // one table only): see CombinedSchema.
        std::vector<std::vector<std::size_t>> positions;
        const TileSchema combined =
            works.size() == 1 ? works[0].schema : CombinedSchema(works, positions);
        TileBuilder builder(combined, frame);
        if (options.bGround && !extent.IsEmpty())
            builder.SetGround(FeatureRenderer::Ground(frame, extent));
        std::string strLabels;
        std::vector<Feature> features;
        std::vector<FeatureResult> results;
        std::vector<TOVO::TovoVariant> values;
        for (std::size_t k = 0; k < works.size(); ++k) {
            LayerWork& work = works[k];
            builder.StartLayer();
            const std::size_t nFeatures = work.nodes[0].features.size();
            for (std::size_t nStart = 0; nStart < nFeatures; nStart += kChunk) {
                const std::size_t nEnd = std::min(nFeatures, nStart + kChunk);
                features.clear();
                for (std::size_t i = nStart; i < nEnd; ++i)
                    features.push_back(work.pSpill->Read(static_cast<std::uint32_t>(i)));
                results.assign(features.size(), FeatureResult());
                std::atomic<std::size_t> next{0};
                RunWorkers(std::min<int>(nWorkers, static_cast<int>(features.size())), [&](int w) {
                    for (std::size_t i = next++; i < features.size(); i = next++) {
                        results[i] =
                            work.renderers[static_cast<std::size_t>(w)]->Render(features[i]);
                        progress.Advance();
                    }
                });
                for (std::size_t i = 0; i < results.size(); ++i) {
                    count(results[i]);
                    if (works.size() == 1) {
                        builder.Add(results[i], features[i].values);
                    } else {
                        values.assign(combined.fields.size(), TOVO::TovoVariant());
                        values[0] = TOVO::TovoVariant(work.strName);
                        for (std::size_t f = 0; f < positions[k].size(); ++f)
                            values[positions[k][f]] = features[i].values[f];
                        builder.Add(results[i], values);
                    }
                    if (results[i].bHasLabel && results[i].bHasAnchor) {
                        strLabels +=
                            (summary.nLabels++ == 0 ? "\n" : ",\n") + LabelFeature(results[i], k);
                    }
                }
            }
        }
        summary.nMeshes = builder.GetPrimitiveCount();
        std::string strName;
        for (const LayerWork& work : works)
            strName += (strName.empty() ? "" : " + ") + work.strName;
        if (IsGltf(options)) {
            builder.WriteGltf(strName, outputs, options.strOutput);
        } else {
            const std::unique_ptr<CheckedFile> pFile = outputs.Open(options.strOutput);
            builder.WriteGlb(strName, *pFile, options.strOutput);
            pFile->Close();
        }
        if (bLabels) {
            summary.strLabelFile = Renderer::LabelPath(options.strOutput);
            outputs.Write(summary.strLabelFile,
                          "{\"type\":\"FeatureCollection\",\"features\":[" + strLabels + "\n]}\n");
        }
    }
    progress.Finish();
    if (!options.strLegend.empty()) {
        std::vector<LegendBlock> blocks;
        for (const LayerWork& work : works) {
            const std::vector<LegendBlock> more =
                Renderer::Legend(plugin, *work.pPlan, *work.pThemes,
                                 works.size() == 1 ? std::string() : work.strName + ": ");
            blocks.insert(blocks.end(), more.begin(), more.end());
        }
        outputs.Write(options.strLegend, LegendWriter::ToSvg(blocks));
    }
    return summary;
}

} // namespace theme3d
