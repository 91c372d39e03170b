// The render command's work: every feature of the layer through every theme, as a host does,
// into a glTF scene, a GeoJSON sidecar of label points and an SVG legend.
#pragma once

#include "EnuFrame.h"
#include "FeatureResult.h"
#include "LegendWriter.h"

#include <memory>
#include <string>
#include <vector>

namespace KRS {
class KrTheme3D;
}

namespace theme3d {

struct GeoExtent;
class LayerReader;
class OutputFiles;
class PluginLoader;
class RenderPlan;

struct RenderOptions {
    std::string strOutput; // the .glb file, or the tileset's folder
    std::string strLegend; // the .svg file; empty for none
    int nJobs = 1;
    bool bGround = false;        // a ground surface under the layer (one more node, mesh, material)
    std::string strFormat;       // "glb", "3dtiles", or empty: by the output's name
    bool bNodes = false;         // the scene with one node per feature (small layers only)
    std::size_t nPerTile = 5000; // most features in one tile of a tileset
    // Bars as instances of one cylinder (far smaller; some desktop glTF viewers cannot draw
    // instances, so a scene meant for them merges the bars into the meshes instead).
    bool bInstanceBars = true;
    // --origin: the scene's frame at this longitude and latitude instead of the layers' centre,
    // so that scenes of different subsets line up (single scenes only; a tileset is on the globe).
    bool bOrigin = false;
    double dOriginLon = 0.0, dOriginLat = 0.0;
    // Lines as flat ribbons this many metres wide; 0 draws them as glTF lines.
    double dLineWidth = 0.0;
};

// One layer of a scene with the themes that draw it (the host's masters).
struct RenderLayer {
    LayerReader* pLayer = nullptr;
    std::vector<std::unique_ptr<KRS::KrTheme3D>> themes;
};

struct RenderSummary {
    std::size_t nFeatures = 0, nNodes = 0, nMeshes = 0, nMaterials = 0, nLabels = 0, nCharts = 0,
                nUntriangulated = 0;
    // Features with NaN or infinite values, by use (see NonFinite).
    std::size_t nNullClass = 0, nNoChart = 0, nNoLabel = 0, nNoExtrude = 0, nNoGeometry = 0;
    std::string strLabelFile;                      // empty when no label theme gave a text
    std::size_t nTiles = 0, nDepth = 0, nBars = 0; // tiles of a tileset; bars drawn as instances

    // Adds a feature's non-finite values to the counts above.
    void Count(const NonFinite& nonFinite) {
        nNullClass += nonFinite.bClassValue ? 1 : 0;
        nNoChart += nonFinite.bChart ? 1 : 0;
        nNoLabel += nonFinite.bLabel ? 1 : 0;
        nNoExtrude += nonFinite.bExtrude ? 1 : 0;
        nNoGeometry += nonFinite.bGeometry ? 1 : 0;
    }
};

class Renderer {
public:
    // Renders into outputs (not committed). The themes are the host's masters: each worker
    // renders with its own copies of them.
    static RenderSummary Run(PluginLoader& plugin, std::vector<RenderLayer>& layers,
                             const RenderOptions& options, OutputFiles& outputs);

    // The legend blocks of every theme but the labels, as the legend file shows them; titles
    // start with strPrefix (the layer's name in a scene of several layers).
    static std::vector<LegendBlock>
    Legend(PluginLoader& plugin, const RenderPlan& plan,
           const std::vector<std::unique_ptr<KRS::KrTheme3D>>& themes,
           const std::string& strPrefix = std::string());

    // The frame of a scene over that extent: at --origin when given, else at its centre.
    static EnuFrame Frame(const RenderOptions& options, const GeoExtent& extent);

    // The sidecar's path: the scene's path with ".glb" or ".gltf" replaced by ".labels.geojson".
    static std::string LabelPath(const std::string& strScene);
};

} // namespace theme3d
