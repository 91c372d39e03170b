// theme3d: the reference host. Loads the theme plug-in by file name, makes themes from real GIS
// layers through it, and renders layers through themes into glTF 2.0 scenes.
#include "ColorRamp.h"
#include "Commands.h"
#include "SignalCleanup.h"
#include "ToolError.h"
#include "ViewCommand.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <map>

using namespace theme3d;

namespace {

constexpr int kFailure = 2;

constexpr const char* kFooter =
    R"(Failures: one line on standard error and exit status 2, and no output file: every
output is written to a temporary file and renamed into place only when the command succeeds
(checked writes, fsync). SIGINT and SIGTERM remove the temporary files (status 130, 143). A
scene of 4 GiB or more is refused before writing (GLB lengths are 32-bit).

Unreadable features: a feature OGR cannot read fails the command with the count and the first
error, unless --skip-failures.

NaN and infinite values never reach a scene: as a class value (range, unique) the value counts
as null (default style); as a chart value the feature's chart is left out; as a label the
feature has none; a theme's non-finite extrusion counts as none; a feature whose geometry comes
out non-finite is drawn without it. classify and unique leave them out like nulls. Each is
counted on standard error.)";

constexpr const char* kClassifyFooter =
    R"(Refused (exit status 2): --classes outside 1 .. --classes-max; --classes with stdev or
interval, --interval with any other method; an interval not smaller than the values' range or
making too many classes; log with values <= 0, sqrt with values < 0; a negative --extrude.
Noted on standard error: a class count reduced to the number of distinct values, fewer classes
than asked (coinciding break values), one class for a constant field.)";

constexpr const char* kChartFooter =
    R"(Chart sizes: size = MIN + (MAX - MIN) * (g - g_smallest) / (g_largest - g_smallest), where g
is a feature's sum of the fields as --graduate takes it, and g_smallest, g_largest are those of
the layer:
  constant  g is the sum itself: sizes in equal steps of the sum
  sqrt      g is the square root of the sum: large sums are compressed, as areas grow
  log       g is the logarithm of the sum: for sums over several orders of magnitude
A bar chart's bars share its size as height in proportion to their values (a stacked bar is that
high); a pie's radius is a quarter of it. Without --chart-size, MAX is a tenth of the Earth's
radius times the square root of the share of the globe the layer covers, and MIN is MAX times the
square root of the smallest sum over the largest.)";

constexpr const char* kRenderFooter =
    R"(Several layers in one scene: each LAYER file starts a layer, and the options after it
(-l, --where, --sql, --dialect, --theme) are that layer's; another -l after the first starts
another layer of the same file; a layer without --theme is drawn in the default colours. One
legend covers every layer's themes. A .glb or .gltf has one property table with a row per
feature (a layer column, then every layer's fields); a tileset has a subtree per layer. Layers
of the same name are told apart by their place on the command line ("countries #2"):
  theme3d render tracts.shp --theme income.xml --theme names.xml \
                 roads.gpkg -l highways --where "lanes >= 4" --theme kind.xml \
                 --line-width 12 -o city.glb --legend city.svg

Lines are drawn as glTF lines, or with --line-width as flat ribbons that wide (mitred at
turns). They stand above the ground by a nine-thousandth of their layer's diagonal (at least
0.1 m), so that they do not flicker into flat polygons or the globe; --ground lies as far below.

--origin LON,LAT puts the scene's east-north-up frame there instead of at the layers' centre,
so that scenes of different subsets of a layer line up when loaded together. A tileset is
placed on the globe by itself and refuses --origin.)";

struct Arguments {
    CommonOptions common;
    std::string strLayerPath, strField, strOutput, strPalette = "bold", strFormat;
    std::vector<std::string> arrLayerPaths, arrLayerNames, arrWheres, arrSqls, arrDialects;
    std::string strOrigin;
    std::string strDemoDir = "theme3d-demo";
    std::vector<std::string> arrThemes;
    RangeOptions range;
    GraphOptions graph;
    RenderOptions render;
    std::string strFields;
    std::string strChartSize;
    ViewOptions view;
};

void AddLayer(CLI::App& cmd, Arguments& args) {
    cmd.add_option("LAYER", args.strLayerPath,
                   "vector layer file (GeoJSON, Shapefile, GeoPackage, ...)")
        ->required();
}

std::vector<std::string> SplitList(const std::string& strList) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= strList.size()) {
        const std::size_t comma = strList.find(',', start);
        const std::string item =
            strList.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!item.empty())
            items.push_back(item);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return items;
}

// "MIN,MAX" in metres; the theme maker checks the values.
void ChartSizes(const std::string& strSizes, GraphOptions& graph) {
    const std::vector<std::string> parts = SplitList(strSizes);
    char* pEnd = nullptr;
    bool bOk = parts.size() == 2;
    for (std::size_t i = 0; bOk && i < 2; ++i) {
        const double d = std::strtod(parts[i].c_str(), &pEnd);
        bOk = pEnd != parts[i].c_str() && *pEnd == '\0';
        (i == 0 ? graph.dMinSize : graph.dMaxSize) = d;
    }
    if (!bOk)
        throw ToolError("--chart-size must be MIN,MAX in metres, such as 20000,200000, not '" +
                        strSizes + "'");
}

// "LON,LAT" in degrees.
void Origin(const std::string& strOrigin, RenderOptions& render) {
    const std::vector<std::string> parts = SplitList(strOrigin);
    bool bOk = parts.size() == 2;
    for (std::size_t i = 0; bOk && i < 2; ++i) {
        char* pEnd = nullptr;
        const double d = std::strtod(parts[i].c_str(), &pEnd);
        bOk = pEnd != parts[i].c_str() && *pEnd == '\0' && std::fabs(d) <= (i == 0 ? 180 : 90);
        (i == 0 ? render.dOriginLon : render.dOriginLat) = d;
    }
    if (!bOk)
        throw ToolError("--origin must be LON,LAT in degrees, such as -73.98,40.75, not '" +
                        strOrigin + "'");
    render.bOrigin = true;
}

// The render command's per-layer options in the order they were given.
std::vector<LayerArgs::Item> LayerItems(const CLI::App& render) {
    std::map<const CLI::Option*, std::string> kinds;
    for (const char* szName : {"LAYER", "--layer", "--where", "--sql", "--dialect", "--theme"}) {
        const CLI::Option* pOption = render.get_option_no_throw(szName);
        kinds[pOption] = szName[0] == '-' ? szName + 2 : szName;
    }
    std::map<const CLI::Option*, std::size_t> used;
    std::vector<LayerArgs::Item> items;
    for (const CLI::Option* pOption : render.parse_order()) {
        const auto it = kinds.find(pOption);
        if (it == kinds.end())
            continue;
        const std::size_t n = used[pOption]++;
        if (n < pOption->results().size())
            items.emplace_back(it->second, pOption->results()[n]);
    }
    return items;
}

} // namespace

int main(int argc, char** argv) {
    SignalCleanup::Install();
    CLI::App app{"theme3d: real GIS layers in, themed 3D scenes out"};
    app.require_subcommand(1);
    Arguments args;
    app.add_option("--plugin", args.common.strPlugin, "the plug-in file (VyTheme3DBase600.t3d)");
    app.add_option("-l,--layer", args.common.strLayer,
                   "layer inside the file (default: the first); before or after the subcommand");
    // GIS tools take their options after the subcommand: the common ones are found there too.
    app.fallthrough();
    app.set_version_flag("--version", std::string("theme3d ") + THEME3D_VERSION);
    app.add_option(
        "--where", args.common.strWhere,
        "only the features that match this OGR attribute filter, such as \"pop_m > 50\"");
    app.add_option("--sql", args.common.strSql,
                   "read the result of this query instead of a layer, such as \"SELECT name, "
                   "pop_m FROM countries WHERE pop_m > 50\"");
    app.add_option("--dialect", args.common.strDialect,
                   "the --sql dialect: OGRSQL (the default) or SQLITE");
    app.add_flag("--skip-failures", args.common.bSkipFailures,
                 "go on without the features OGR cannot read (by default they are an error)");
    app.footer(kFooter);

    CLI::App* info = app.add_subcommand(
        "info", "describe a layer file (layers, feature count, geometry type, CRS, extent, "
                "fields); without one, the plug-in, where it was found, its theme types");
    info->add_option("LAYER", args.strLayerPath,
                     "vector layer file or GDAL path (/vsizip/..., /vsigzip/...)");

    CLI::App* classify = app.add_subcommand("classify", "range theme from a numeric field");
    AddLayer(*classify, args);
    classify->add_option("--field", args.range.strField, "numeric field")->required();
    classify
        ->add_option("--method", args.range.strMethod,
                     "equal|sqrt|log|stdev|quantile|natural|interval")
        ->capture_default_str();
    CLI::Option* classes =
        classify
            ->add_option("--classes", args.range.nClasses,
                         "number of classes (not for stdev and interval); reduced with a notice "
                         "to the number of distinct values")
            ->capture_default_str();
    classify
        ->add_option("--classes-max", args.range.nClassesMax, "the most classes a request may make")
        ->capture_default_str();
    CLI::Option* interval = classify->add_option("--interval", args.range.dInterval,
                                                 "class width for --method interval");
    classify->add_option("--ramp", args.range.strRamp, "colour ramp: " + ColorRamp::RampList())
        ->capture_default_str();
    classify->add_option("--extrude", args.range.dExtrude,
                         "extrusion of the highest class in metres, 0 or more (the others in "
                         "proportion)");
    classify->add_option("-o,--output", args.strOutput, "range theme XML")->required();
    classify->footer(kClassifyFooter);

    CLI::App* unique = app.add_subcommand("unique", "unique-values theme from a field");
    AddLayer(*unique, args);
    unique->add_option("--field", args.strField, "field")->required();
    unique
        ->add_option("--palette", args.strPalette,
                     "palette (20 colours, then repeats): " + ColorRamp::PaletteList())
        ->capture_default_str();
    unique->add_option("-o,--output", args.strOutput, "unique theme XML")->required();

    CLI::App* label = app.add_subcommand("label", "label theme from a field");
    AddLayer(*label, args);
    label->add_option("--field", args.strField, "field")->required();
    label->add_option("--format", args.strFormat, "number format for reals, such as .2f");
    label->add_option("-o,--output", args.strOutput, "label theme XML")->required();

    CLI::App* chart =
        app.add_subcommand("chart", "graph theme (bars, stacked bars, pies) from fields");
    chart->footer(kChartFooter);
    AddLayer(*chart, args);
    chart->add_option("--fields", args.strFields, "numeric fields A,B,...")->required();
    chart->add_option("--type", args.graph.strType, "bar|stacked|pie")->capture_default_str();
    chart
        ->add_option("--graduate", args.graph.strGraduate,
                     "constant|sqrt|log: how a feature's sum of the fields maps to its chart's "
                     "size (see below)")
        ->capture_default_str();
    chart->add_option("--chart-size", args.strChartSize,
                      "MIN,MAX: the sizes in metres of the smallest and the largest chart "
                      "(default: from the layer's extent)");
    chart->add_option("--text", args.graph.strText,
                      "percent|value|caption|caption-percent|caption-value");
    chart
        ->add_option("--palette", args.graph.strPalette,
                     "palette (20 colours, then repeats): " + ColorRamp::PaletteList())
        ->capture_default_str();
    chart->add_option("-o,--output", args.strOutput, "graph theme XML")->required();

    CLI::App* render = app.add_subcommand(
        "render", "render layers through themes into one glTF scene or tileset (see below)");
    render->footer(kRenderFooter);
    render->add_option("LAYER", args.arrLayerPaths, "vector layer file(s); each starts a layer")
        ->required();
    // A layer's own options: each occurrence is one value, kept in command-line order so that it
    // can be given to the layer file before it.
    const auto perLayer = [render](const char* szName, std::vector<std::string>& values,
                                   const char* szHelp) {
        render->add_option(szName, values, szHelp)
            ->expected(1)
            ->allow_extra_args(false)
            ->take_all();
    };
    perLayer("-l,--layer", args.arrLayerNames, "layer inside the file (repeatable)");
    perLayer("--where", args.arrWheres, "this layer's OGR attribute filter");
    perLayer("--sql", args.arrSqls, "read this query's result as the layer");
    perLayer("--dialect", args.arrDialects, "the layer's --sql dialect");
    perLayer("--theme", args.arrThemes, "theme XML of the layer before it (repeatable)");
    render
        ->add_option("-o,--output", args.render.strOutput,
                     "scene (.glb binary glTF, .gltf JSON glTF with a .bin beside it), or a 3D "
                     "Tiles folder (ending in /, or a name without extension)")
        ->required();
    render->add_option("--format", args.render.strFormat, "glb|3dtiles (default: by the output)");
    render->add_option("--tile-size", args.render.nPerTile, "most features in one tile")
        ->capture_default_str();
    render->add_flag("--merge-bars{false}", args.render.bInstanceBars,
                     "bars merged into the meshes, for viewers that cannot draw instances");
    render->add_flag("--nodes", args.render.bNodes,
                     "one glTF node per feature instead of merged meshes (small layers)");
    render->add_option("--legend", args.render.strLegend, "legend (.svg)");
    render->add_option("--jobs", args.render.nJobs, "worker threads")->capture_default_str();
    render->add_flag("--ground", args.render.bGround, "add a ground surface under the layers");
    render->add_option("--origin", args.strOrigin,
                       "LON,LAT: the scene's frame there, so that scenes of subsets line up "
                       "(.glb and .gltf; not for tilesets)");
    render->add_option("--line-width", args.render.dLineWidth,
                       "draw lines as flat ribbons this many metres wide (default: glTF lines)");

    CLI::App* demo = app.add_subcommand("demo", "themes and a scene from the bundled world layer");
    demo->add_option("-o,--output", args.strDemoDir, "output folder")->capture_default_str();
    demo->add_option("--jobs", args.render.nJobs, "worker threads")->capture_default_str();

    CLI::App* view = app.add_subcommand(
        "view", "a web page next to a scene that shows it on a globe (--serve to open it)");
    view->add_option("SCENE", args.view.strScene,
                     "a .glb, a .gltf (with its .bin), a tileset folder or the demo's folder")
        ->required();
    view->add_option("--legend", args.view.strLegend,
                     "legend SVG (default: found beside the scene)");
    view->add_flag("--serve", args.view.bServe, "serve the page on 127.0.0.1 until interrupted");
    view->add_option("--port", args.view.nPort, "port for --serve (default: any free port)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "theme3d: " << e.what() << " (see theme3d --help)\n";
        return kFailure;
    }

    try {
        if (*info && !args.strLayerPath.empty())
            Commands::InfoLayer(args.common, args.strLayerPath);
        else if (*info)
            Commands::Info(args.common);
        else if (*classify) {
            args.range.bClassesGiven = classes->count() > 0;
            args.range.bIntervalGiven = interval->count() > 0;
            Commands::Classify(args.common, args.strLayerPath, args.range, args.strOutput);
        } else if (*unique)
            Commands::Unique(args.common, args.strLayerPath, args.strField, args.strPalette,
                             args.strOutput);
        else if (*label)
            Commands::Label(args.common, args.strLayerPath, args.strField, args.strFormat,
                            args.strOutput);
        else if (*chart) {
            args.graph.arrFields = SplitList(args.strFields);
            if (!args.strChartSize.empty())
                ChartSizes(args.strChartSize, args.graph);
            Commands::Chart(args.common, args.strLayerPath, args.graph, args.strOutput);
        } else if (*render) {
            if (!args.strOrigin.empty())
                Origin(args.strOrigin, args.render);
            Commands::Render(args.common, LayerArgs::Group(LayerItems(*render), args.common),
                             args.render);
        } else if (*demo)
            Commands::Demo(args.common, args.strDemoDir, args.render.nJobs);
        else if (*view)
            ViewCommand::Run(args.view);
    } catch (const ToolError& e) {
        std::cerr << "theme3d: " << e.what() << '\n';
        return kFailure;
    } catch (const std::bad_alloc&) {
        std::cerr << "theme3d: " << kOutOfMemory << '\n';
        return kFailure;
    } catch (const std::exception& e) {
        std::cerr << "theme3d: unexpected failure: " << e.what() << '\n';
        return kFailure;
    }
    return 0;
}
