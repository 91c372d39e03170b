// The theme3d program end to end: its command lines, outputs, counts and failures, on tiny
// hand-made layers and on the bundled world layer. Every scene written is also checked with the
// Khronos glTF validator when node and the validator are installed.
#include "GlbReader.h"

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <gdal_priv.h>
#include <gdal_utils.h>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <ogrsf_frmts.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct Result {
    int nExit = -1;
    std::string strOut, strErr;
};

std::string ReadFile(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::string& strPath) {
    struct stat st {};
    return stat(strPath.c_str(), &st) == 0;
}

std::vector<std::string> List(const std::string& strDir) {
    std::vector<std::string> names;
    if (DIR* pDir = opendir(strDir.c_str())) {
        while (dirent* pEntry = readdir(pDir)) {
            const std::string strName = pEntry->d_name;
            if (strName != "." && strName != "..")
                names.push_back(strName);
        }
        closedir(pDir);
    }
    return names;
}

int Lines(const std::string& strText) {
    int n = 0;
    for (char ch : strText)
        n += ch == '\n' ? 1 : 0;
    return n;
}

// The JSON chunk of a binary glTF file.
nlohmann::json GlbJson(const std::string& strPath) {
    const std::string bytes = ReadFile(strPath);
    if (bytes.size() < 20 || bytes.compare(0, 4, "glTF") != 0)
        return nlohmann::json();
    std::uint32_t nLength = 0;
    std::memcpy(&nLength, bytes.data() + 12, 4);
    return nlohmann::json::parse(bytes.substr(20, nLength));
}

class Theme3dTool : public testing::Test {
protected:
    void SetUp() override {
        char szTemplate[] = "/tmp/theme3d-test-XXXXXX";
        ASSERT_NE(mkdtemp(szTemplate), nullptr);
        m_strDir = szTemplate;
    }
    void TearDown() override {
        if (!HasFailure())
            std::system(("rm -rf '" + m_strDir + "'").c_str());
    }

    std::string Path(const std::string& strName) const { return m_strDir + "/" + strName; }
    static std::string Data(const std::string& strName) {
        return std::string(TOOL_TEST_DATA) + "/" + strName;
    }

    Result Run(const std::string& strArgs, const std::string& strEnv = "") const {
        const std::string strCmd = strEnv + " " + THEME3D_EXE + " " + strArgs + " >" +
                                   Path("stdout.txt") + " 2>" + Path("stderr.txt");
        Result result;
        const int nStatus = std::system(strCmd.c_str());
        result.nExit = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
        result.strOut = ReadFile(Path("stdout.txt"));
        result.strErr = ReadFile(Path("stderr.txt"));
        std::remove(Path("stdout.txt").c_str());
        std::remove(Path("stderr.txt").c_str());
        return result;
    }

    void RunOk(const std::string& strArgs) const {
        const Result result = Run(strArgs);
        ASSERT_EQ(result.nExit, 0) << strArgs << "\n" << result.strErr;
        EXPECT_TRUE(result.strErr.empty()) << result.strErr;
    }

    // The Khronos validator reports no error for the scene.
    static void ExpectValidGltf(const std::string& strScene) {
        const std::string strNode = NODE_EXECUTABLE;
        if (strNode.empty() ||
            std::system((strNode +
                         " -e \"require(require('path').join(require('child_process')"
                         ".execSync('npm root -g').toString().trim(), 'gltf-validator'))\""
                         " >/dev/null 2>&1")
                            .c_str()) != 0) {
            GTEST_SKIP() << "gltf-validator is not installed (scripts/setup --tools)";
        }
        const std::string strCmd =
            strNode + " " + GLTF_VALIDATE_SCRIPT + " '" + strScene + "' >/dev/null 2>&1";
        EXPECT_EQ(std::system(strCmd.c_str()), 0) << "validator errors in " << strScene;
    }

    // The polygon layer converted by GDAL into the named driver's format.
    std::string Convert(const std::string& strSource, const char* szDriver, const char* szExt) {
        GDALAllRegister();
        const std::string strTarget = Path(std::string("layer.") + szExt);
        GDALDatasetH hSource =
            GDALOpenEx(strSource.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr);
        char* args[] = {const_cast<char*>("-f"), const_cast<char*>(szDriver), nullptr};
        GDALVectorTranslateOptions* pOptions = GDALVectorTranslateOptionsNew(args, nullptr);
        GDALDatasetH hTarget =
            GDALVectorTranslate(strTarget.c_str(), nullptr, 1, &hSource, pOptions, nullptr);
        GDALVectorTranslateOptionsFree(pOptions);
        GDALClose(hTarget);
        GDALClose(hSource);
        return strTarget;
    }

    std::string m_strDir;
};

} // namespace

TEST_F(Theme3dTool, InfoNamesThePlugInWhereItWasFoundAndItsTypes) {
    Result result = Run("info");
    ASSERT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_NE(result.strOut.find("found: next to the executable"), std::string::npos);
    EXPECT_NE(result.strOut.find("name: Vantrel BaseTheme3Ds"), std::string::npos);
    EXPECT_NE(result.strOut.find("theme types: 1 unique, 2 range, 3 label, 4 graph"),
              std::string::npos);

    const std::string strPlugin =
        std::string(THEME3D_EXE).substr(0, std::string(THEME3D_EXE).rfind('/')) +
        "/VyTheme3DBase600.t3d";
    result = Run("--plugin " + strPlugin + " info");
    EXPECT_NE(result.strOut.find("found: --plugin"), std::string::npos);
    result = Run("info", "THEME3D_PLUGIN=" + strPlugin);
    EXPECT_NE(result.strOut.find("found: THEME3D_PLUGIN"), std::string::npos);
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
    const std::string strLayer =
        Convert(Data("polygons.geojson"), GetParam().first, GetParam().second);
    RunOk("classify " + strLayer + " --field value --classes 2 -o " + Path("range.xml"));
    RunOk("chart " + strLayer + " --fields a,b --type bar --text caption -o " + Path("graph.xml"));
    RunOk("label " + strLayer + " --field name -o " + Path("label.xml"));
    RunOk("render " + strLayer + " --theme " + Path("range.xml") + " --theme " + Path("graph.xml") +
          " --theme " + Path("label.xml") + " -o " + Path("scene.glb") + " --legend " +
          Path("legend.svg"));

    const glbtest::Glb glb = glbtest::Glb::FromFile(Path("scene.glb"));
    EXPECT_EQ(glb.json["nodes"].size(), 4u);
    EXPECT_EQ(glb.json["meshes"].size(), 3u);
    EXPECT_EQ(glb.json["materials"].size(), 5u);
    EXPECT_EQ(glb.Strings("label"), (std::vector<std::string>{"holed", "square", "<NULL>"}));
    EXPECT_EQ(glb.Strings("class"), (std::vector<std::string>{"< 15", ">= 15", ""}));

    const nlohmann::json labels = nlohmann::json::parse(ReadFile(Path("scene.labels.geojson")));
    EXPECT_GE(labels["features"].size(), 2u);
    EXPECT_EQ(labels["features"][0]["properties"]["label"], "holed");
    const std::string strLegend = ReadFile(Path("legend.svg"));
    EXPECT_NE(strLegend.find(">&lt; 15<"), std::string::npos);
    EXPECT_NE(strLegend.find(">&gt;= 15<"), std::string::npos);
    ExpectValidGltf(Path("scene.glb"));
}

// Four points through a unique theme on a text field, one node each (--nodes): values a and b
// get palette colours, the null value the default style.
TEST_F(Theme3dTool, RendersPointsAsMarkersInUniqueColours) {
    RunOk("unique " + Data("points.geojson") + " --field kind -o " + Path("unique.xml"));
    RunOk("render " + Data("points.geojson") + " --theme " + Path("unique.xml") + " --nodes -o " +
          Path("points.glb"));
    const nlohmann::json gltf = GlbJson(Path("points.glb"));
    EXPECT_EQ(gltf["nodes"].size(), 5u);
    EXPECT_EQ(gltf["meshes"].size(), 4u);
    EXPECT_EQ(gltf["materials"].size(), 3u);
    EXPECT_FALSE(Exists(Path("points.labels.geojson"))); // no label theme, no sidecar
    ExpectValidGltf(Path("points.glb"));
}

TEST_F(Theme3dTool, NaturalBreaksOfAKnownSet) {
    // The published example of optimal one-dimensional k-means: breaks 2 and 4.
    std::ofstream(Path("known.geojson"))
        << "{\"type\":\"FeatureCollection\",\"features\":["
        << "{\"type\":\"Feature\",\"properties\":{\"v\":-1},\"geometry\":null},"
        << "{\"type\":\"Feature\",\"properties\":{\"v\":2},\"geometry\":null},"
        << "{\"type\":\"Feature\",\"properties\":{\"v\":-1},\"geometry\":null},"
        << "{\"type\":\"Feature\",\"properties\":{\"v\":2},\"geometry\":null},"
        << "{\"type\":\"Feature\",\"properties\":{\"v\":4},\"geometry\":null},"
        << "{\"type\":\"Feature\",\"properties\":{\"v\":5},\"geometry\":null},"
        << "{\"type\":\"Feature\",\"properties\":{\"v\":6},\"geometry\":null},"
        << "{\"type\":\"Feature\",\"properties\":{\"v\":-1},\"geometry\":null},"
        << "{\"type\":\"Feature\",\"properties\":{\"v\":2},\"geometry\":null},"
        << "{\"type\":\"Feature\",\"properties\":{\"v\":-1},\"geometry\":null}]}";
    const Result result = Run("classify " + Path("known.geojson") +
                              " --field v --method natural --classes 3 -o " + Path("r.xml"));
    ASSERT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_NE(result.strOut.find("3 classes, breaks: 2 4\n"), std::string::npos) << result.strOut;
}

struct FailureCase {
    const char* szArgs; // {data} is the test data folder, {out} the output folder
    const char* szMessage;
};

class Failures : public Theme3dTool, public testing::WithParamInterface<FailureCase> {};

INSTANTIATE_TEST_SUITE_P(
    Theme3dTool, Failures,
    testing::Values(
        FailureCase{"classify {data}/missing.geojson --field v -o {out}/r.xml",
                    "layer file '{data}/missing.geojson' not found"},
        FailureCase{"--layer nope classify {data}/points.geojson --field count -o {out}/r.xml",
                    "layer 'nope' not found in '{data}/points.geojson' (layers: points)"},
        FailureCase{"classify {data}/points.geojson --field size -o {out}/r.xml",
                    "field 'size' not found in layer 'points'"},
        FailureCase{"classify {data}/points.geojson --field kind -o {out}/r.xml",
                    "field 'kind' of '{data}/points.geojson' is not numeric (String)"},
        FailureCase{"chart {data}/points.geojson --fields count,kind -o {out}/r.xml",
                    "field 'kind' of '{data}/points.geojson' is not numeric (String)"},
        FailureCase{"render {data}/points.geojson --theme {data}/points.geojson -o {out}/s.glb",
                    "unreadable theme '{data}/points.geojson': not a theme document"},
        FailureCase{"render {data}/points.geojson --theme {out}/none.xml -o {out}/s.glb",
                    "theme file '{out}/none.xml' not found"},
        FailureCase{"--plugin {out}/none.t3d info",
                    "plug-in '{out}/none.t3d' (from --plugin) not found"},
        FailureCase{"classify {data}/points.geojson --field count --method jenks -o {out}/r.xml",
                    "unknown method 'jenks'"},
        FailureCase{"label {data}/points.geojson --field kind --format %q -o {out}/r.xml",
                    "number format '%q' does not format a number"}));

std::string Fill(std::string strText, const std::string& strData, const std::string& strOut) {
    for (std::size_t pos; (pos = strText.find("{data}")) != std::string::npos;)
        strText.replace(pos, 6, strData);
    for (std::size_t pos; (pos = strText.find("{out}")) != std::string::npos;)
        strText.replace(pos, 5, strOut);
    return strText;
}

TEST_P(Failures, OneLineExitTwoAndNoOutput) {
    const Result result = Run(Fill(GetParam().szArgs, TOOL_TEST_DATA, m_strDir));
    EXPECT_EQ(result.nExit, 2);
    EXPECT_EQ(Lines(result.strErr), 1) << result.strErr;
    EXPECT_EQ(result.strErr.rfind("theme3d: ", 0), 0u) << result.strErr;
    EXPECT_NE(result.strErr.find(Fill(GetParam().szMessage, TOOL_TEST_DATA, m_strDir)),
              std::string::npos)
        << result.strErr;
    EXPECT_TRUE(result.strOut.empty()) << result.strOut;
    EXPECT_TRUE(List(m_strDir).empty()) << "left behind: " << List(m_strDir).front();
}

TEST_F(Theme3dTool, AFailingRenderLeavesNoPartOfItsOutput) {
    // The first theme is good, the second unreadable: neither the scene nor its sidecar appear.
    RunOk("label " + Data("points.geojson") + " --field kind -o " + Path("label.xml"));
    std::ofstream(Path("bad.xml")) << "<dkm:Theme3D><dkm:ThemeType>2</dkm:ThemeType>";
    const Result result = Run("render " + Data("points.geojson") + " --theme " + Path("label.xml") +
                              " --theme " + Path("bad.xml") + " -o " + Path("s.glb"));
    EXPECT_EQ(result.nExit, 2);
    EXPECT_EQ(List(m_strDir).size(), 2u); // label.xml and bad.xml only
}

TEST_F(Theme3dTool, ParallelWorkersWriteTheSameScene) {
    const std::string strLayer = std::string(THEME3D_SOURCE_DATA) + "/ne_110m_countries.gpkg";
    RunOk("classify " + strLayer + " --field pop_density --method quantile --classes 4 -o " +
          Path("r.xml"));
    RunOk("chart " + strLayer + " --fields pop_m,gdp_bn --type pie --text percent -o " +
          Path("g.xml"));
    RunOk("label " + strLayer + " --field name -o " + Path("l.xml"));
    const std::string strThemes =
        " --theme " + Path("r.xml") + " --theme " + Path("g.xml") + " --theme " + Path("l.xml");
    RunOk("render " + strLayer + strThemes + " --jobs 1 -o " + Path("one.glb"));
    RunOk("render " + strLayer + strThemes + " --jobs 3 -o " + Path("three.glb"));
    const std::string one = ReadFile(Path("one.glb"));
    EXPECT_GT(one.size(), 1000u);
    EXPECT_TRUE(one == ReadFile(Path("three.glb")));
    EXPECT_TRUE(ReadFile(Path("one.labels.geojson")) == ReadFile(Path("three.labels.geojson")));
    ExpectValidGltf(Path("one.glb"));
}

// The demo: 177 countries over a ground, each with a bar chart, merged into one node besides the
// ground's; five density classes, two bar colours and the ground's colour.
TEST_F(Theme3dTool, DemoWritesAValidSceneWithLegendAndThemes) {
    const Result result = Run("demo -o " + Path("demo"));
    ASSERT_EQ(result.nExit, 0) << result.strErr;
    for (const char* szName :
         {"range.xml", "graph.xml", "label.xml", "legend.svg", "demo.labels.geojson"})
        EXPECT_TRUE(Exists(Path("demo/") + szName)) << szName;
    const nlohmann::json gltf = GlbJson(Path("demo/demo.glb"));
    EXPECT_EQ(gltf["nodes"].size(), 3u);
    EXPECT_EQ(gltf["materials"].size(), 5u + 2u + 1u);
    const std::string strLegend = ReadFile(Path("demo/legend.svg"));
    std::size_t nSwatches = 0;
    for (std::size_t pos = 0; (pos = strLegend.find("<rect x=", pos)) != std::string::npos; ++pos)
        ++nSwatches;
    EXPECT_EQ(nSwatches, 5u + 2u);
    ExpectValidGltf(Path("demo/demo.glb"));
}

namespace {

// An axis-aligned 3D Tiles box as min and max corners.
struct Aabb {
    double min[3], max[3];
    explicit Aabb(const nlohmann::json& box) {
        for (int i = 0; i < 3; ++i) {
            const double half = box[static_cast<std::size_t>(3 + 4 * i)].get<double>();
            min[i] = box[static_cast<std::size_t>(i)].get<double>() - half;
            max[i] = box[static_cast<std::size_t>(i)].get<double>() + half;
        }
    }
    bool Contains(const Aabb& o) const {
        for (int i = 0; i < 3; ++i) {
            if (o.min[i] < min[i] - 1e-3 || o.max[i] > max[i] + 1e-3)
                return false;
        }
        return true;
    }
};

struct TilesetCheck {
    std::string strDir;
    std::vector<std::string> contents;
    std::map<long long, std::string> labels;
    std::map<long long, double> density;
    std::size_t nTiles = 0;

    // Walks a tile: its box holds its children's and its content's, errors do not grow, the
    // content exists and its rows are collected.
    void Walk(const nlohmann::json& tile, double dParentError) {
        const Aabb box(tile["boundingVolume"]["box"]);
        const double dError = tile["geometricError"].get<double>();
        EXPECT_LE(dError, dParentError);
        if (tile.contains("content")) {
            const std::string strUri = tile["content"]["uri"];
            contents.push_back(strUri);
            const glbtest::Glb glb = glbtest::Glb::FromFile(strDir + "/" + strUri);
            ASSERT_TRUE(glb.ok) << strUri;
            ++nTiles;
            // The merged mesh's extent (glTF x east, y up, z south) lies in the box.
            for (const auto& node : glb.json["nodes"]) {
                if (!node.contains("mesh") || node.contains("extensions"))
                    continue;
                for (const auto& primitive :
                     glb.json["meshes"][node["mesh"].get<int>()]["primitives"]) {
                    const auto& position =
                        glb.json["accessors"][primitive["attributes"]["POSITION"].get<int>()];
                    Aabb content(nlohmann::json::array({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
                    content.min[0] = position["min"][0];
                    content.max[0] = position["max"][0];
                    content.min[1] = -position["max"][2].get<double>();
                    content.max[1] = -position["min"][2].get<double>();
                    content.min[2] = position["min"][1];
                    content.max[2] = position["max"][1];
                    EXPECT_TRUE(box.Contains(content)) << strUri;
                }
            }
            const std::vector<std::int64_t> fids = glb.Numbers<std::int64_t>("fid");
            const std::vector<std::string> names = glb.Strings("label");
            const std::vector<double> values = glb.Numbers<double>("pop_density");
            EXPECT_EQ(glb.Table()["count"].get<std::size_t>(), fids.size());
            for (std::size_t i = 0; i < fids.size() && i < names.size() && i < values.size(); ++i) {
                EXPECT_EQ(labels.count(fids[i]), 0u) << "feature " << fids[i] << " twice";
                labels[fids[i]] = names[i];
                density[fids[i]] = values[i];
            }
        }
        for (const auto& child : tile.value("children", nlohmann::json::array())) {
            EXPECT_TRUE(box.Contains(Aabb(child["boundingVolume"]["box"])));
            Walk(child, dError);
        }
    }
};

} // namespace

// The countries as a tileset of at most 40 features a tile, with density classes, bars and
// labels: the tileset follows the rules, every tile validates, every country is in exactly one
// tile with its name and density as the layer has them, and two workers write the same bytes.
TEST_F(Theme3dTool, TilesetFollowsTheRulesAndHoldsTheLayer) {
    const std::string strLayer = std::string(THEME3D_SOURCE_DATA) + "/ne_110m_countries.gpkg";
    RunOk("classify " + strLayer + " --field pop_density --classes 4 -o " + Path("r.xml"));
    RunOk("chart " + strLayer + " --fields pop_m,gdp_bn --type bar -o " + Path("g.xml"));
    RunOk("label " + strLayer + " --field name -o " + Path("l.xml"));
    const std::string strThemes =
        " --theme " + Path("r.xml") + " --theme " + Path("g.xml") + " --theme " + Path("l.xml");
    RunOk("render " + strLayer + strThemes + " --tile-size 40 --jobs 1 -o " + Path("one/"));
    RunOk("render " + strLayer + strThemes + " --tile-size 40 --jobs 2 --format 3dtiles -o " +
          Path("two"));

    const nlohmann::json tileset = nlohmann::json::parse(ReadFile(Path("one/tileset.json")));
    EXPECT_EQ(tileset["asset"]["version"], "1.1");
    EXPECT_EQ(tileset["root"]["refine"], "ADD");
    EXPECT_EQ(tileset["root"]["transform"].size(), 16u);
    TilesetCheck check;
    check.strDir = Path("one");
    check.Walk(tileset["root"], tileset["geometricError"].get<double>());
    EXPECT_GT(check.nTiles, 4u);
    EXPECT_TRUE(tileset["root"].contains("content")); // the overview

    GDALAllRegister();
    GDALDataset* pSource = static_cast<GDALDataset*>(
        GDALOpenEx(strLayer.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr));
    ASSERT_NE(pSource, nullptr);
    OGRLayer* pLayer = pSource->GetLayer(0);
    std::size_t nSource = 0;
    for (auto& pFeature : *pLayer) {
        ++nSource;
        const long long nFid = pFeature->GetFID();
        ASSERT_EQ(check.labels.count(nFid), 1u) << nFid;
        EXPECT_EQ(check.labels[nFid], pFeature->GetFieldAsString("name"));
        EXPECT_EQ(check.density[nFid], pFeature->GetFieldAsDouble("pop_density"));
    }
    GDALClose(pSource);
    EXPECT_EQ(check.labels.size(), nSource);

    std::vector<std::string> files{"tileset.json"};
    for (const std::string& strUri : check.contents) {
        files.push_back(strUri);
        ExpectValidGltf(Path("one/" + strUri));
    }
    for (const std::string& strFile : files)
        EXPECT_TRUE(ReadFile(Path("one/" + strFile)) == ReadFile(Path("two/" + strFile)))
            << strFile;
    EXPECT_EQ(List(Path("one/tiles")).size(), check.contents.size());
}

// A second run replaces a tileset; a folder holding anything else is refused and kept.
TEST_F(Theme3dTool, TilesetReplacesOnlyATileset) {
    RunOk("unique " + Data("points.geojson") + " --field kind -o " + Path("u.xml"));
    RunOk("render " + Data("points.geojson") + " --theme " + Path("u.xml") + " -o " + Path("t/"));
    RunOk("render " + Data("points.geojson") + " --theme " + Path("u.xml") + " -o " + Path("t/"));
    EXPECT_TRUE(Exists(Path("t/tileset.json")));
    std::system(
        ("mkdir '" + Path("other") + "' && touch '" + Path("other/keep.txt") + "'").c_str());
    const Result result = Run("render " + Data("points.geojson") + " --theme " + Path("u.xml") +
                              " -o " + Path("other/"));
    EXPECT_EQ(result.nExit, 2);
    EXPECT_NE(result.strErr.find("holds other files"), std::string::npos) << result.strErr;
    EXPECT_EQ(List(Path("other")), std::vector<std::string>{"keep.txt"});
    std::vector<std::string> names = List(m_strDir);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"other", "t", "u.xml"}));
}

// --chart-size puts the smallest layer sum at MIN metres and the largest at MAX, and the render
// keeps those sizes. The counts are 3, 7, 12 and null (a sum of 0, so the smallest): stacked
// bars of constant graduation are 1000 + 4000 * count / 12 metres high.
TEST_F(Theme3dTool, ChartSizeSetsTheSmallestAndLargestChart) {
    RunOk("chart " + Data("points.geojson") +
          " --fields count --type stacked --chart-size 1000,5000 -o " + Path("graph.xml"));
    RunOk("render " + Data("points.geojson") + " --theme " + Path("graph.xml") + " --nodes -o " +
          Path("charts.glb"));
    const nlohmann::json gltf = GlbJson(Path("charts.glb"));
    const std::map<std::string, double> expected = {
        {"chart 1", 2000.0}, {"chart 2", 3333.333}, {"chart 4", 5000.0}};
    std::map<std::string, double> heights;
    for (const nlohmann::json& node : gltf["nodes"]) {
        const std::string strName = node.value("name", "");
        if (strName.rfind("chart ", 0) != 0)
            continue;
        const nlohmann::json& mesh = gltf["meshes"][node["mesh"].get<std::size_t>()];
        const nlohmann::json& positions =
            gltf["accessors"][mesh["primitives"][0]["attributes"]["POSITION"].get<std::size_t>()];
        // glTF's y is up; the frame's tangent plane bends below the outer points by a few metres.
        heights[strName] = positions["max"][1].get<double>() - positions["min"][1].get<double>();
    }
    ASSERT_EQ(heights.size(), expected.size());
    for (const auto& [strName, dHeight] : expected)
        EXPECT_NEAR(heights[strName], dHeight, 1.0) << strName;
}

// A .gltf is the same scene as the .glb: the same document but for its buffer, which names the
// .bin beside it (percent-encoded), holding the bytes of the GLB's binary chunk.
TEST_F(Theme3dTool, GltfIsTheGlbSceneWithItsBufferBeside) {
    RunOk("unique " + Data("points.geojson") + " --field kind -o " + Path("u.xml"));
    RunOk("label " + Data("points.geojson") + " --field kind -o " + Path("l.xml"));
    const std::string strThemes = " --theme " + Path("u.xml") + " --theme " + Path("l.xml");
    RunOk("render " + Data("points.geojson") + strThemes + " -o " + Path("s.glb"));
    RunOk("render " + Data("points.geojson") + strThemes + " -o '" + Path("a scene.gltf") + "'");

    nlohmann::json glb = GlbJson(Path("s.glb"));
    nlohmann::json gltf = nlohmann::json::parse(ReadFile(Path("a scene.gltf")));
    const std::size_t nBytes = glb["buffers"][0]["byteLength"].get<std::size_t>();
    EXPECT_EQ(gltf["buffers"], nlohmann::json::parse(R"([{"uri":"a%20scene.bin","byteLength":)" +
                                                     std::to_string(nBytes) + "}]"));
    glb.erase("buffers");
    gltf.erase("buffers");
    EXPECT_EQ(gltf, glb);
    const std::string strGlb = ReadFile(Path("s.glb"));
    std::uint32_t nJson = 0;
    std::memcpy(&nJson, strGlb.data() + 12, 4);
    EXPECT_EQ(ReadFile(Path("a scene.bin")), strGlb.substr(20 + nJson + 8, nBytes));
    EXPECT_TRUE(Exists(Path("a scene.labels.geojson")));
    ExpectValidGltf(Path("a scene.gltf"));

    // One node per feature is written by another writer, which makes binary glTF only.
    const Result result =
        Run("render " + Data("points.geojson") + strThemes + " --nodes -o " + Path("n.gltf"));
    EXPECT_EQ(result.nExit, 2);
    EXPECT_EQ(result.strErr,
              "theme3d: --nodes makes one .glb scene, not '" + Path("n.gltf") + "'\n");
    EXPECT_FALSE(Exists(Path("n.gltf")));
    EXPECT_FALSE(Exists(Path("n.bin")));
}
