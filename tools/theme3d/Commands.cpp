#include "Commands.h"

#include "LayerReader.h"
#include "OutputFiles.h"
#include "PluginLoader.h"
#include "StreamRenderer.h"
#include "ThemeFile.h"
#include "ToolError.h"
#include "VyBase600/TovoArray.h"
#include "VyScene600/KrTheme3D.h"
#include "VyScene600/KrTheme3DFactory.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <sys/stat.h>

#ifndef THEME3D_SOURCE_DATADIR
#define THEME3D_SOURCE_DATADIR ""
#endif
#ifndef THEME3D_INSTALL_DATADIR
#define THEME3D_INSTALL_DATADIR "/usr/local/share/theme3d"
#endif

namespace theme3d {

namespace {

bool Exists(const std::string& strPath) {
    struct stat st {};
    return stat(strPath.c_str(), &st) == 0;
}

void NonFiniteNote(std::size_t n, const char* szWhat) {
    if (n > 0)
        std::cerr << "theme3d: note: " << n << (n == 1 ? " feature" : " features") << szWhat
                  << '\n';
}

void PrintNonFinite(const RenderSummary& summary) {
    NonFiniteNote(summary.nNullClass, " had a NaN or infinite class value, taken as null");
    NonFiniteNote(summary.nNoChart, " had NaN or infinite chart values; their charts are left out");
    NonFiniteNote(summary.nNoLabel, " had a NaN or infinite label value; no label");
    NonFiniteNote(summary.nNoExtrude, " had a NaN or infinite extrusion; not extruded");
    NonFiniteNote(summary.nNoGeometry,
                  " had coordinates that came out NaN or infinite; their bodies are left out");
}

void PrintSummary(const std::string& strScene, const RenderSummary& summary) {
    if (summary.nTiles > 0 || summary.nNodes == 0) {
        std::cout << "wrote " << strScene << (summary.nTiles > 0 ? " (3D Tiles): " : ": ")
                  << summary.nFeatures << " features";
        if (summary.nTiles > 0)
            std::cout << " in " << summary.nTiles << " tiles, " << summary.nDepth << " levels";
        else
            std::cout << ", " << summary.nMeshes << " merged primitives";
        std::cout << ", " << summary.nCharts << " charts (" << summary.nBars
                  << " bars instanced)\n";
    } else {
        std::cout << "wrote " << strScene << ": " << summary.nFeatures << " features, "
                  << summary.nNodes << " nodes, " << summary.nMeshes << " meshes, "
                  << summary.nMaterials << " materials, " << summary.nCharts << " charts\n";
    }
    if (!summary.strLabelFile.empty())
        std::cout << "wrote " << summary.strLabelFile << ": " << summary.nLabels << " labels\n";
    if (summary.nUntriangulated > 0)
        std::cout << "note: " << summary.nUntriangulated
                  << " features had polygons GEOS could not triangulate; they were left out\n";
    PrintNonFinite(summary);
}

std::unique_ptr<LayerReader> OpenLayer(const CommonOptions& common, const std::string& strPath) {
    auto pLayer = std::make_unique<LayerReader>(strPath, common.strLayer, common.bSkipFailures,
                                                common.strSql, common.strDialect);
    pLayer->SetWhere(common.strWhere);
    return pLayer;
}

using MakeTheme = std::function<std::unique_ptr<KRS::KrTheme3D>(PluginLoader&, LayerReader&)>;
using ReportTheme = std::function<void(PluginLoader&, KRS::KrTheme3D&)>;

// Makes a theme of the layer and writes its document, which appears only once it is whole; then
// reports on it.
void WriteTheme(const CommonOptions& common, const std::string& strPath,
                const std::string& strOutput, const MakeTheme& make, const ReportTheme& report) {
    OutputFiles::RequireFolder(strOutput);
    PluginLoader plugin(common.strPlugin);
    const std::unique_ptr<LayerReader> pLayer = OpenLayer(common, strPath);
    std::unique_ptr<KRS::KrTheme3D> pTheme = make(plugin, *pLayer);
    OutputFiles outputs;
    ThemeFile::Write(*pTheme, strOutput, outputs);
    outputs.Commit();
    std::cout << "wrote " << strOutput << ": ";
    report(plugin, *pTheme);
}

void PrintBreaks(PluginLoader& plugin, KRS::KrTheme3D& theme) {
    std::vector<double> breaks;
    plugin.GetBridge().GetBreaks(&theme, breaks);
    std::vector<LegendRow> rows;
    plugin.GetBridge().GetLegend(&theme, rows);
    std::size_t nClasses = 0;
    for (const LegendRow& row : rows)
        nClasses += row.bVisible ? 1 : 0;
    std::cout << nClasses << (nClasses == 1 ? " class, breaks:" : " classes, breaks:");
    for (double d : breaks)
        std::cout << ' ' << ThemeMaker::Number(d);
    std::cout << '\n';
}

} // namespace

void Commands::Info(const CommonOptions& common) {
    PluginLoader plugin(common.strPlugin);
    KRS::KrTheme3DFactory& factory = plugin.GetFactory();
    TOVO::TovoArray<int> types;
    factory.GetSupportTheme3DType(types);
    std::cout << "plug-in: " << plugin.GetPath() << "\n"
              << "found: " << plugin.GetSource() << "\n"
              << "name: " << factory.GetName().Str() << "\n"
              << "theme types:";
    for (int i = 0; i < types.GetSize(); ++i)
        std::cout << ' ' << types[i] << ' ' << ThemeFile::TypeName(types[i])
                  << (i + 1 < types.GetSize() ? "," : "");
    std::cout << '\n';
}

void Commands::InfoLayer(const CommonOptions& common, const std::string& strPath) {
    OpenLayer(common, strPath)->Describe(std::cout);
}

void Commands::Classify(const CommonOptions& common, const std::string& strPath,
                        const RangeOptions& options, const std::string& strOutput) {
    WriteTheme(
        common, strPath, strOutput,
        [&](PluginLoader& plugin, LayerReader& layer) {
            return ThemeMaker::MakeRange(plugin, layer, options);
        },
        [&](PluginLoader& plugin, KRS::KrTheme3D& theme) {
            std::cout << "range theme on " << options.strField << " (" << options.strMethod
                      << "), ";
            PrintBreaks(plugin, theme);
        });
}

void Commands::Unique(const CommonOptions& common, const std::string& strPath,
                      const std::string& strField, const std::string& strPalette,
                      const std::string& strOutput) {
    WriteTheme(
        common, strPath, strOutput,
        [&](PluginLoader& plugin, LayerReader& layer) {
            return ThemeMaker::MakeUnique(plugin, layer, strField, strPalette);
        },
        [&](PluginLoader& plugin, KRS::KrTheme3D& theme) {
            std::vector<LegendRow> rows;
            plugin.GetBridge().GetLegend(&theme, rows);
            std::cout << "unique theme on " << strField << ", "
                      << (rows.empty() ? 0 : rows.size() - 1) << " values\n";
        });
}

void Commands::Label(const CommonOptions& common, const std::string& strPath,
                     const std::string& strField, const std::string& strFormat,
                     const std::string& strOutput) {
    WriteTheme(
        common, strPath, strOutput,
        [&](PluginLoader& plugin, LayerReader& layer) {
            return ThemeMaker::MakeLabel(plugin, layer, strField, strFormat);
        },
        [&](PluginLoader&, KRS::KrTheme3D&) {
            std::cout << "label theme on " << strField << '\n';
        });
}

void Commands::Chart(const CommonOptions& common, const std::string& strPath,
                     const GraphOptions& options, const std::string& strOutput) {
    WriteTheme(
        common, strPath, strOutput,
        [&](PluginLoader& plugin, LayerReader& layer) {
            return ThemeMaker::MakeGraph(plugin, layer, options);
        },
        [&](PluginLoader&, KRS::KrTheme3D&) {
            const std::size_t nFields = options.arrFields.size();
            std::cout << options.strType << " chart theme of " << nFields
                      << (nFields == 1 ? " field\n" : " fields\n");
        });
}

void Commands::Render(const CommonOptions& common, const std::vector<LayerSpec>& inputs,
                      const RenderOptions& options) {
    // A name the tool cannot write is refused before any work.
    const bool bTileset = StreamRenderer::WantsTileset(options);
    if (options.bNodes && (bTileset || StreamRenderer::IsGltf(options)))
        throw ToolError("--nodes makes one .glb scene, not '" + options.strOutput + "'");
    if (options.bOrigin && bTileset)
        throw ToolError("--origin is for .glb and .gltf scenes: a tileset is placed on the globe "
                        "by itself (leave --origin out)");
    if (!(options.dLineWidth >= 0.0) || !std::isfinite(options.dLineWidth))
        throw ToolError("--line-width must be 0 or more metres");
    OutputFiles::RequireFolder(options.strOutput);
    if (!options.strLegend.empty())
        OutputFiles::RequireFolder(options.strLegend);
    PluginLoader plugin(common.strPlugin);
    std::vector<std::unique_ptr<LayerReader>> readers;
    std::vector<RenderLayer> layers(inputs.size());
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        const LayerSpec& input = inputs[k];
        for (const std::string& strTheme : input.arrThemes)
            layers[k].themes.push_back(ThemeFile::Read(plugin, strTheme));
        readers.push_back(std::make_unique<LayerReader>(
            input.strPath, input.strLayer, common.bSkipFailures, input.strSql, input.strDialect));
        readers.back()->SetWhere(input.strWhere);
        layers[k].pLayer = readers.back().get();
    }
    OutputFiles outputs;
    const RenderSummary summary = Renderer::Run(plugin, layers, options, outputs);
    outputs.Commit();
    PrintSummary(options.strOutput, summary);
    if (inputs.size() > 1)
        std::cout << "from " << inputs.size() << " layers\n";
    if (!options.strLegend.empty())
        std::cout << "wrote " << options.strLegend << '\n';
}

std::vector<LayerSpec> LayerArgs::Group(const std::vector<Item>& items,
                                        const CommonOptions& common) {
    std::vector<LayerSpec> inputs;
    bool bOpen = false; // options came before the first file
    auto current = [&]() -> LayerSpec& {
        if (inputs.empty()) {
            inputs.emplace_back();
            bOpen = true;
        }
        return inputs.back();
    };
    auto once = [](std::string& strValue, const Item& item, const LayerSpec& input) {
        if (!strValue.empty())
            throw ToolError("--" + item.first + " given twice for the layer " + input.strPath +
                            (input.strLayer.empty() ? "" : " -l " + input.strLayer) +
                            " (a new LAYER file starts the next layer's options)");
        strValue = item.second;
    };
    for (const Item& item : items) {
        if (item.first == "LAYER") {
            if (bOpen)
                inputs.back().strPath = item.second;
            else
                inputs.push_back(LayerSpec{item.second, "", "", "", "", {}});
            bOpen = false;
        } else if (item.first == "layer") {
            LayerSpec& input = current();
            if (input.strLayer.empty())
                input.strLayer = item.second;
            else // another layer of the same file
                inputs.push_back(LayerSpec{input.strPath, item.second, "", "", "", {}});
        } else if (item.first == "where") {
            once(current().strWhere, item, current());
        } else if (item.first == "sql") {
            once(current().strSql, item, current());
        } else if (item.first == "dialect") {
            once(current().strDialect, item, current());
        } else {
            current().arrThemes.push_back(item.second);
        }
    }
    if (inputs.empty())
        throw ToolError("render needs a LAYER file and at least one --theme");
    // A layer without themes is drawn in the default colours, as context for the others.
    if (std::all_of(inputs.begin(), inputs.end(),
                    [](const LayerSpec& input) { return input.arrThemes.empty(); }))
        throw ToolError("render needs at least one --theme");
    for (LayerSpec& input : inputs) {
        if (input.strPath.empty())
            throw ToolError("render needs a LAYER file for the options given");
        const std::pair<std::string*, const std::string*> defaults[] = {
            {&input.strLayer, &common.strLayer},
            {&input.strWhere, &common.strWhere},
            {&input.strSql, &common.strSql},
            {&input.strDialect, &common.strDialect}};
        for (const auto& [pValue, pDefault] : defaults) {
            if (pValue->empty())
                *pValue = *pDefault;
        }
    }
    return inputs;
}

std::string Commands::DataDir() {
    std::vector<std::string> candidates{PluginLoader::ExecutableDir() + "/../share/theme3d"};
    if (*THEME3D_SOURCE_DATADIR != '\0')
        candidates.emplace_back(THEME3D_SOURCE_DATADIR);
    candidates.emplace_back(THEME3D_INSTALL_DATADIR);
    return PluginLoader::FindFolder(
        "THEME3D_DATA", candidates,
        [](const std::string& strDir) { return Exists(strDir + "/" + kDemoLayer); },
        std::string("bundled layer ") + kDemoLayer + " not found", "set THEME3D_DATA");
}

void Commands::Demo(const CommonOptions& common, const std::string& strDir, int nJobs) {
    const std::string strLayerPath = DataDir() + "/" + kDemoLayer;
    if (!Exists(strDir) && mkdir(strDir.c_str(), 0777) != 0)
        throw ToolError("cannot make the output folder '" + strDir + "'");
    PluginLoader plugin(common.strPlugin);
    LayerReader layer(strLayerPath, "");

    RangeOptions range;
    range.strField = "pop_density";
    range.strMethod = "natural";
    range.nClasses = 5;
    range.strRamp = "ylorrd";
    range.dExtrude = 250000.0;
    GraphOptions graph;
    graph.arrFields = {"pop_m", "gdp_bn"};
    graph.strType = "bar";
    graph.strGraduate = "sqrt";
    // The default sizes (a tenth of the Earth's radius for the largest sum of a world layer)
    // leave the charts of the many small countries as stubs beside extrusions of 250 km.
    graph.dMinSize = 150000.0;
    graph.dMaxSize = 1200000.0;
    std::vector<std::unique_ptr<KRS::KrTheme3D>> themes;
    themes.push_back(ThemeMaker::MakeRange(plugin, layer, range));
    themes.push_back(ThemeMaker::MakeGraph(plugin, layer, graph));
    themes.push_back(ThemeMaker::MakeLabel(plugin, layer, "name", ""));

    OutputFiles outputs;
    const std::vector<std::string> names = {strDir + "/range.xml", strDir + "/graph.xml",
                                            strDir + "/label.xml"};
    for (std::size_t i = 0; i < themes.size(); ++i)
        ThemeFile::Write(*themes[i], names[i], outputs);
    RenderOptions options;
    options.strOutput = strDir + "/demo.glb";
    options.strLegend = strDir + "/legend.svg";
    options.nJobs = nJobs;
    options.bGround = true;
    // The demo scene is for any glTF viewer, and not all of them draw instances.
    options.bInstanceBars = false;
    std::vector<RenderLayer> layers(1);
    layers[0].pLayer = &layer;
    layers[0].themes = std::move(themes);
    const RenderSummary summary = Renderer::Run(plugin, layers, options, outputs);
    outputs.Commit();
    themes = std::move(layers[0].themes);

    std::cout << "demo on " << strLayerPath << " (Natural Earth 1:110m countries)\n"
              << "wrote " << names[0] << ": natural breaks of pop_density, ";
    PrintBreaks(plugin, *themes[0]);
    std::cout << "wrote " << names[1] << ": bars of pop_m and gdp_bn\n"
              << "wrote " << names[2] << ": country names\n";
    PrintSummary(options.strOutput, summary);
    std::cout << "wrote " << options.strLegend << "\n"
              << "open " << options.strOutput << " in any glTF viewer (for example: f3d "
              << options.strOutput << "), and " << options.strLegend << " in a browser,\n"
              << "or see it all on a globe in a browser: theme3d view " << strDir << " --serve\n";
}

} // namespace theme3d
