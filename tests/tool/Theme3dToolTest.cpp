// The theme3d program end to end: its outputs and counts, on tiny hand-made layers and on the
// bundled world layer (its refusals: CommandLineTest). Every scene written is also checked with the
// Khronos glTF validator when node and the validator are installed.
#include "GlbReader.h"
#include "ToolRun.h"

#include <array>
#include <gdal_priv.h>
#include <map>
#include <ogrsf_frmts.h>
#include <set>

using namespace tooltest;

namespace {

using Theme3dTool = ToolTest;

// How many nodes, meshes and materials a scene has.
std::vector<std::size_t> Counts(const nlohmann::json& gltf) {
    return {gltf["nodes"].size(), gltf["meshes"].size(), gltf["materials"].size()};
}

} // namespace

TEST_F(Theme3dTool, InfoNamesThePlugInWhereItWasFoundAndItsTypes) {
    const std::string strOut = RunOk("info").strOut;
    for (const char* szLine : {"found: next to the executable", "name: Vantrel BaseTheme3Ds",
                               "theme types: 1 unique, 2 range, 3 label, 4 graph"})
        EXPECT_TRUE(Has(strOut, szLine)) << strOut;
    const std::string strExe = THEME3D_EXE;
    const std::string strPlugin = strExe.substr(0, strExe.rfind('/')) + "/VyTheme3DBase600.t3d";
    EXPECT_TRUE(Has(Run("--plugin " + strPlugin + " info").strOut, "found: --plugin"));
    EXPECT_TRUE(Has(Run("info", RLIM_INFINITY, RLIM_INFINITY, "THEME3D_PLUGIN=" + strPlugin).strOut,
                    "found: THEME3D_PLUGIN"));
}

class PolygonFormats : public Theme3dTool,
                       public testing::WithParamInterface<std::pair<const char*, const char*>> {};

INSTANTIATE_TEST_SUITE_P(Theme3dTool, PolygonFormats,
                         testing::Values(std::make_pair("GeoJSON", "geojson"),
                                         std::make_pair("ESRI Shapefile", "shp"),
                                         std::make_pair("GPKG", "gpkg")));

// Three polygons (one with a hole, one with null values) through a range, a graph and a label
// theme: a root, the merged features and a node of bars per chart colour; the merged mesh and a
// bar mesh per colour; two class colours, the default grey of the null value and two chart item
// colours. The property table gives each feature's label and class caption.
TEST_P(PolygonFormats, RendersEveryFeatureThroughEveryTheme) {
    const std::string strLayer = Convert(Data("polygons.geojson"), GetParam().first,
                                         std::string("layer.") + GetParam().second);
    RunOk("classify " + strLayer + " --field value --classes 2 -o " + Path("range.xml"));
    RunOk("chart " + strLayer + " --fields a,b --type bar --text caption -o " + Path("graph.xml"));
    RunOk("label " + strLayer + " --field name -o " + Path("label.xml"));
    RunOk("render " + strLayer + " --theme " + Path("range.xml") + " --theme " + Path("graph.xml") +
          " --theme " + Path("label.xml") + " -o " + Path("scene.glb"));

    const glbtest::Glb glb(ReadFile(Path("scene.glb")));
    EXPECT_EQ(Counts(glb.json), (std::vector<std::size_t>{4, 3, 5}));
    EXPECT_EQ(glb.Strings("label"), (std::vector<std::string>{"holed", "square", "<NULL>"}));
    EXPECT_EQ(glb.Strings("class"), (std::vector<std::string>{"< 15", ">= 15", ""}));
    ExpectValidGltf(Path("scene.glb"));
}

// The demo: 177 countries over a ground, each with a bar chart, merged into one node besides the
// ground's; five density classes, two bar colours and the ground's colour (the legend's swatches
// are checked in the browser). Three workers write the same bytes as one.
TEST_F(Theme3dTool, DemoWritesAValidSceneWithLegendAndThemes) {
    RunOk("demo -o " + Path("demo"));
    RunOk("demo --jobs 3 -o " + Path("three"));
    for (const char* szFile : {"demo.glb", "demo.labels.geojson"})
        EXPECT_TRUE(ReadFile(Path("demo/") + szFile) == ReadFile(Path("three/") + szFile));
    EXPECT_EQ(List(Path("demo")),
              (std::vector<std::string>{"demo.glb", "demo.labels.geojson", "graph.xml", "label.xml",
                                        "legend.svg", "range.xml"}));
    const nlohmann::json gltf = glbtest::Glb(ReadFile(Path("demo/demo.glb"))).json;
    EXPECT_EQ(gltf["nodes"].size(), 3u);
    EXPECT_EQ(gltf["materials"].size(), 5u + 2u + 1u);
    ExpectValidGltf(Path("demo/demo.glb"));
}

namespace {

// A 3D Tiles box (a centre, and half axes along x, y and z) as its corners: the least x, y and z,
// then the greatest.
using Corners = std::array<double, 6>;
Corners CornersOf(const nlohmann::json& box) {
    Corners c;
    for (std::size_t i = 0; i < 3; ++i) {
        c[i] = box[i].get<double>() - box[3 + 4 * i].get<double>();
        c[i + 3] = box[i].get<double>() + box[3 + 4 * i].get<double>();
    }
    return c;
}
bool Inside(const Corners& inner, const Corners& outer) {
    for (std::size_t i = 0; i < 3; ++i) {
        if (inner[i] < outer[i] - 1e-3 || inner[i + 3] > outer[i + 3] + 1e-3)
            return false;
    }
    return true;
}

// Walks a tileset's tiles: each box holds its children's and its content's, errors do not
// grow, every content validates, and the rows of its table are collected by layer and id.
struct TilesetCheck {
    std::string strDir;
    std::vector<std::string> contents;
    std::map<std::pair<int, long long>, std::string> labels;
    std::map<std::pair<int, long long>, double> density;

    void Walk(const nlohmann::json& tile, double dParentError) {
        const Corners box = CornersOf(tile["boundingVolume"]["box"]);
        const double dError = tile["geometricError"].get<double>();
        EXPECT_LE(dError, dParentError);
        if (tile.contains("content")) {
            const std::string strUri = tile["content"]["uri"];
            contents.push_back(strUri);
            const glbtest::Glb glb(ReadFile(strDir + "/" + strUri));
            ASSERT_TRUE(glb.ok) << strUri;
            ExpectValidGltf(strDir + "/" + strUri);
            // The merged mesh's extent (glTF x east, y up, z south) lies in the box.
            for (const auto& node : glb.json["nodes"]) {
                if (!node.contains("mesh") || node.contains("extensions"))
                    continue;
                for (const auto& primitive :
                     glb.json["meshes"][node["mesh"].get<int>()]["primitives"]) {
                    const auto& p =
                        glb.json["accessors"][primitive["attributes"]["POSITION"].get<int>()];
                    const auto at = [&](const char* szEnd, int i) {
                        return p[szEnd][static_cast<std::size_t>(i)].get<double>();
                    };
                    EXPECT_TRUE(Inside({at("min", 0), -at("max", 2), at("min", 1), at("max", 0),
                                        -at("min", 2), at("max", 1)},
                                       box))
                        << strUri;
                }
            }
            const int nLayer =
                glb.Table().value("extras", nlohmann::json::object()).value("layer", 0);
            const std::vector<std::int64_t> fids = glb.Numbers<std::int64_t>("fid");
            const std::vector<std::string> names = glb.Strings("label");
            const std::vector<double> values = glb.Numbers<double>("pop_density");
            EXPECT_EQ(glb.Table()["count"].get<std::size_t>(), fids.size());
            for (std::size_t i = 0; i < fids.size() && i < names.size() && i < values.size(); ++i) {
                const std::pair<int, long long> key{nLayer, fids[i]};
                EXPECT_EQ(labels.count(key), 0u) << "feature " << fids[i] << " twice";
                labels[key] = names[i];
                density[key] = values[i];
            }
        }
        for (const auto& child : tile.value("children", nlohmann::json::array())) {
            EXPECT_TRUE(Inside(CornersOf(child["boundingVolume"]["box"]), box));
            Walk(child, dError);
        }
    }
};

} // namespace

// Two layers of the countries as one tileset of at most 40 features a tile: all of them with
// density classes, bars and labels, and the African ones again with their classes and labels.
// Each layer is a subtree of a root without content; the tileset follows the rules, every
// tile validates, every country is in exactly one tile of its layer with its name and density
// as the layer has them, and two workers write the same bytes.
TEST_F(Theme3dTool, TilesetOfTwoLayersFollowsTheRulesAndHoldsThem) {
    const std::string strLayer = std::string(THEME3D_SOURCE_DATA) + "/ne_110m_countries.gpkg";
    RunOk("classify " + strLayer + " --field pop_density --classes 4 -o " + Path("r.xml"));
    RunOk("chart " + strLayer + " --fields pop_m,gdp_bn --type bar -o " + Path("g.xml"));
    RunOk("label " + strLayer + " --field name -o " + Path("l.xml"));
    const std::string strLayers = strLayer + " --theme " + Path("r.xml") + " --theme " +
                                  Path("g.xml") + " --theme " + Path("l.xml") + " " + strLayer +
                                  " --where \"continent = 'Africa'\" --theme " + Path("r.xml") +
                                  " --theme " + Path("l.xml") + " --tile-size 40";
    RunOk("render " + strLayers + " --jobs 1 -o " + Path("one/"));
    RunOk("render " + strLayers + " --jobs 2 --format 3dtiles -o " + Path("two"));

    const nlohmann::json tileset = nlohmann::json::parse(ReadFile(Path("one/tileset.json")));
    EXPECT_EQ(tileset["asset"]["version"], "1.1");
    const nlohmann::json& root = tileset["root"];
    EXPECT_EQ(root["refine"], "ADD");
    EXPECT_FALSE(root.contains("content"));
    ASSERT_EQ(root["children"].size(), 2u);
    EXPECT_EQ(root["children"][0]["content"]["uri"], "tiles/1-0.glb"); // each layer's overview
    EXPECT_EQ(root["children"][1]["content"]["uri"], "tiles/2-0.glb");
    TilesetCheck check;
    check.strDir = Path("one");
    check.Walk(root, tileset["geometricError"].get<double>());
    EXPECT_GT(check.contents.size(), 6u);

    GDALAllRegister();
    const GDALDatasetUniquePtr pSource(GDALDataset::Open(strLayer.c_str(), GDAL_OF_VECTOR));
    ASSERT_NE(pSource, nullptr);
    std::size_t nSource = 0;
    for (auto& pFeature : *pSource->GetLayer(0)) {
        const bool bAfrica = std::string(pFeature->GetFieldAsString("continent")) == "Africa";
        for (int nLayer = 0; nLayer < (bAfrica ? 2 : 1); ++nLayer) {
            ++nSource;
            const std::pair<int, long long> key{nLayer, pFeature->GetFID()};
            ASSERT_EQ(check.labels.count(key), 1u) << key.first << " " << key.second;
            EXPECT_EQ(check.labels[key], pFeature->GetFieldAsString("name"));
            EXPECT_EQ(check.density[key], pFeature->GetFieldAsDouble("pop_density"));
        }
    }
    EXPECT_EQ(check.labels.size(), nSource);
    EXPECT_GT(nSource, 177u);

    check.contents.push_back("tileset.json");
    for (const std::string& strFile : check.contents)
        EXPECT_TRUE(ReadFile(Path("one/" + strFile)) == ReadFile(Path("two/" + strFile)))
            << strFile;
    EXPECT_EQ(List(Path("one/tiles")).size(), check.contents.size() - 1);
}

// Two layers as one .glb: one property table (a client picks through one table a model), whose
// rows are the layers' features in order, with a layer column, each layer's fields (empty in the
// other's rows) and where each layer's rows start; the feature IDs of the merged meshes point at
// those rows. One legend of both, labels that say their layer, --origin as the frame. The .gltf
// is the same document but for its buffer, which names the .bin beside it (percent-encoded)
// holding the bytes of the GLB's binary chunk.
TEST_F(Theme3dTool, LayersOfOneSceneShareOneTableByRows) {
    RunOk("unique " + Data("points.geojson") + " --field kind -o " + Path("u.xml"));
    RunOk("label " + Data("points.geojson") + " --field kind -o " + Path("lp.xml"));
    RunOk("classify " + Data("polygons.geojson") + " --field value --classes 2 -o " +
          Path("r.xml"));
    RunOk("label " + Data("polygons.geojson") + " --field name -o " + Path("l.xml"));
    const std::string strLayers = Data("points.geojson") + " --theme " + Path("u.xml") +
                                  " --theme " + Path("lp.xml") + " " + Data("polygons.geojson") +
                                  " --where \"value > 15\" --theme " + Path("r.xml") + " --theme " +
                                  Path("l.xml") + " --origin 5,25";
    RunOk("render " + strLayers + " -o " + Path("s.glb") + " --legend " + Path("s.svg"));
    RunOk("render " + strLayers + " -o '" + Path("a scene.gltf") + "'");
    ExpectValidGltf(Path("s.glb"));
    ExpectValidGltf(Path("a scene.gltf"));
    // The points alone, a node each (--nodes): values a and b in palette colours, the null value
    // in the default style; the label theme left out, so no labels.
    RunOk("render " + Data("points.geojson") + " --theme " + Path("u.xml") + " --nodes -o " +
          Path("nodes.glb"));
    EXPECT_EQ(Counts(glbtest::Glb(ReadFile(Path("nodes.glb"))).json),
              (std::vector<std::size_t>{5, 4, 3}));
    EXPECT_FALSE(std::filesystem::exists(Path("nodes.labels.geojson")));
    ExpectValidGltf(Path("nodes.glb"));

    const glbtest::Glb glb(ReadFile(Path("s.glb")));
    const nlohmann::json& json = glb.json;
    EXPECT_EQ(json["nodes"][0]["name"], "points + polygons");
    EXPECT_EQ(json["nodes"][0]["extras"]["origin"], nlohmann::json::parse("[5.0, 25.0]"));
    EXPECT_EQ(glb.Table()["extras"]["layerRows"], nlohmann::json::parse("[0, 4]"));
    EXPECT_EQ(glb.Strings("layer"),
              (std::vector<std::string>{"points", "points", "points", "points", "polygons"}));
    EXPECT_EQ(glb.Numbers<std::int64_t>("fid"), (std::vector<std::int64_t>{1, 2, 3, 4, 2}));
    EXPECT_EQ(glb.Strings("kind"), (std::vector<std::string>{"a", "b", "a", "", ""}));
    EXPECT_EQ(glb.Strings("name"), (std::vector<std::string>{"", "", "", "", "square"}));
    std::set<double> ids;
    for (const nlohmann::json& primitive : json["meshes"][0]["primitives"]) {
        const std::vector<double> some = glb.Accessor(primitive["attributes"]["_FEATURE_ID_0"]);
        ids.insert(some.begin(), some.end());
    }
    EXPECT_EQ(ids, (std::set<double>{0, 1, 2, 3, 4}));

    for (const char* szTitle : {">points: kind (unique)<", ">polygons: value (range)<"})
        EXPECT_TRUE(Has(ReadFile(Path("s.svg")), szTitle)) << szTitle;
    const nlohmann::json labels = nlohmann::json::parse(ReadFile(Path("s.labels.geojson")));
    ASSERT_EQ(labels["features"].size(), 5u); // four points and the square
    EXPECT_EQ(labels["features"][4]["properties"],
              nlohmann::json::parse(R"({"fid": 2, "label": "square", "layer": 1})"));

    nlohmann::json glbJson = json;
    const std::size_t nBytes = glbJson["buffers"][0]["byteLength"].get<std::size_t>();
    glbJson["buffers"][0]["uri"] = "a%20scene.bin";
    EXPECT_EQ(nlohmann::json::parse(ReadFile(Path("a scene.gltf"))), glbJson);
    EXPECT_EQ(ReadFile(Path("a scene.bin")), glb.bin.substr(0, nBytes));
}
