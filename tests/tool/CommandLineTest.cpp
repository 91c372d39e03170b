// The command line where GIS users put things: common options after the subcommand, -l for the
// layer, a scene's layers each with its own options, --version.
#include "Commands.h"
#include "ToolError.h"
#include "ToolRun.h"

#include <gdal_priv.h>
#include <memory>
#include <ogrsf_frmts.h>

using namespace tooltest;
namespace fs = std::filesystem;

namespace {

class CommandLine : public ToolTest {
protected:
    static std::string Points() { return Data("points.geojson"); }
};

} // namespace

TEST_F(CommandLine, LayerIsTakenBeforeOrAfterTheSubcommandAndAsDashL) {
    RunOk("unique " + Points() + " -l points --field kind -o " + Path("u.xml"));
    for (const std::string& strArgs :
         {"-l nope classify " + Points() + " --field count -o " + Path("r.xml"),
          "classify " + Points() + " -l nope --field count -o " + Path("r.xml"),
          "classify " + Points() + " --field count --layer nope -o " + Path("r.xml"),
          "render " + Points() + " --theme " + Path("u.xml") + " -o " + Path("r.glb") + " " +
              Points() + " --layer points --theme " + Path("u.xml") + " -l nope"})
        ExpectRefused(strArgs, "layer 'nope' not found in '" + Points() + "' (layers: points)");
    // --plugin after the subcommand is the common option too.
    ExpectRefused("unique " + Points() + " -l points --field kind --plugin " + Path("none.t3d") +
                      " -o " + Path("u.xml"),
                  "plug-in '" + Path("none.t3d") + "' (from --plugin) not found");
    EXPECT_EQ(List(m_strDir), std::vector<std::string>{"u.xml"});
}

// --where and --sql (either dialect) choose the features a theme is made from: count > 5 keeps
// points 2 (kind b) and 4 (kind null), so one value, and a range over 7 and 12 only.
TEST_F(CommandLine, WhereAndSqlKeepOnlyTheMatchingFeatures) {
    const std::string strOut = Path("t.xml"), strWrote = "wrote " + Path("t.xml") + ": ";
    const std::string strSql = " --sql \"SELECT kind FROM points WHERE count > 5\"";
    const struct {
        std::string strArgs, strOut;
    } cases[] = {
        {"unique " + Points() + " --field kind", strWrote + "unique theme on kind, 2 values\n"},
        {"unique " + Points() + " --field kind --where \"count > 5\"",
         strWrote + "unique theme on kind, 1 values\n"},
        {"unique " + Points() + " --field kind" + strSql,
         strWrote + "unique theme on kind, 1 values\n"},
        {"unique " + Points() + " --field kind --dialect SQLITE" + strSql,
         strWrote + "unique theme on kind, 1 values\n"},
        {"classify " + Points() + " --where \"count > 5\" --field count --classes 2",
         strWrote + "range theme on count (equal), 2 classes, breaks: 9.5\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunOk(c.strArgs + " -o " + strOut).strOut, c.strOut) << c.strArgs;
    const struct {
        std::string strArgs, strErrorStart;
    } refused[] = {
        {"--where \"count ===\"", "theme3d: --where 'count ===' on layer 'points': "},
        {"--sql \"SELECT kind FROM nowhere\"",
         "theme3d: --sql 'SELECT kind FROM nowhere' on '" + Points() + "': "},
        {"--sql \"SELECT kind FROM points\" -l points",
         "theme3d: --sql and --layer together: the query names its layers"},
    };
    for (const auto& c : refused) {
        const Outcome result =
            Run("unique " + Points() + " --field kind " + c.strArgs + " -o " + Path("bad.xml"));
        EXPECT_EQ(result.nExit, 2) << c.strArgs;
        EXPECT_EQ(result.strErr.rfind(c.strErrorStart, 0), 0u) << result.strErr;
        EXPECT_EQ(result.strErr.find('\n'), result.strErr.size() - 1) << result.strErr;
    }
    EXPECT_FALSE(fs::exists(Path("bad.xml")));
}

// info describes a layer read plainly, zipped, gzipped (named after the file inside), filtered
// (count > 5 keeps the points at (10.1, 50.05) and (10.05, 50.1), and the extent follows) or
// queried (only the fields selected).
TEST_F(CommandLine, InfoDescribesALayer) {
    const std::string strFields = "fields:\n  kind: String\n  count: Integer\n  when: Date\n";
    const std::string strAll = "extent: (10, 50) - (10.2, 50.1)\n";
    const auto describe = [&](const std::string& strPath, const std::string& strLayer,
                              const char* szCount, const std::string& strTail) {
        return "file: " + strPath + "\nlayers: " + strLayer + " (Point)\nlayer: " + strLayer +
               "\ngeometry: Point\nfeatures: " + szCount + "\ncrs: WGS 84 (EPSG:4326)\n" + strTail;
    };
    const std::string strZip = "/vsizip/" + Data("points.zip/points.geojson");
    const std::string strGzip = "/vsigzip/" + Data("points.geojson.gz");
    const struct {
        std::string strArgs, strExpected;
    } cases[] = {
        {Points(), describe(Points(), "points", "4", strAll + strFields)},
        {strZip, describe(strZip, "points", "4", strAll + strFields)},
        {strGzip, describe(strGzip, "points.geojson", "4", strAll + strFields)},
        {Points() + " --where \"count > 5\"",
         describe(Points(), "points", "2", "extent: (10.05, 50.05) - (10.1, 50.1)\n" + strFields)},
        {strZip + " --sql \"SELECT count FROM points WHERE kind = 'a'\"",
         describe(strZip, "points", "2",
                  "extent: (10, 50) - (10.2, 50)\nfields:\n  count: Integer\n")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunOk("info " + c.strArgs).strOut, c.strExpected) << c.strArgs;
}

TEST_F(CommandLine, OutputFollowsItsName) {
    const std::string strTheme = Path("u.xml");
    ASSERT_EQ(Run("unique " + Points() + " --field kind -o " + strTheme).nExit, 0);
    const std::string strRender = "render " + Points() + " --theme " + strTheme + " -o ";
    // Written: a .glb (any case) is one binary glTF file, a .gltf JSON glTF, a name without
    // extension a tileset, and --format overrides the name.
    const struct {
        const char* szName;
        const char* szWritten; // the file that must exist afterwards
        const char* szMagic;   // its first bytes
    } written[] = {
        {"s.glb", "s.glb", "glTF"},
        {"S.GLB", "S.GLB", "glTF"},
        {"s.gltf", "s.gltf", "{\"asset\":"},
        {"tiles", "tiles/tileset.json", "{"},
        {"t.obj --format 3dtiles", "t.obj/tileset.json", "{"},
    };
    for (const auto& c : written) {
        const Outcome result = Run(strRender + Path(c.szName));
        EXPECT_EQ(result.nExit, 0) << c.szName << ": " << result.strErr;
        EXPECT_EQ(ReadFile(Path(c.szWritten)).substr(0, std::string(c.szMagic).size()), c.szMagic)
            << c.szName;
    }
    const std::string strUnknown =
        "' (.glb or .gltf for a glTF scene, a folder or --format 3dtiles for 3D Tiles)";
    const struct {
        std::string strArgs, strError;
    } refused[] = {
        {Path("s.obj"), "output '" + Path("s.obj") + "': unknown extension '.obj" + strUnknown},
        {Path("s.b3dm"), "output '" + Path("s.b3dm") + "': unknown extension '.b3dm" + strUnknown},
        {Path("n.gltf") + " --nodes", "--nodes makes one .glb scene, not '" + Path("n.gltf") + "'"},
        {Path("o/") + " --origin 10,50",
         "--origin is for .glb and .gltf scenes: a tileset is placed on the globe by itself "
         "(leave --origin out)"},
        {Path("o.glb") + " --origin 10,95",
         "--origin must be LON,LAT in degrees, such as -73.98,40.75, not '10,95'"},
        {Path("o.glb") + " --origin 10",
         "--origin must be LON,LAT in degrees, such as -73.98,40.75, not '10'"},
        {Path("w.glb") + " --line-width -1", "--line-width must be 0 or more metres"},
        {Path("n.glb") + " --nodes " + Points() + " --theme " + strTheme,
         "--nodes draws one layer; leave it out for a scene of several"},
    };
    for (const auto& c : refused) {
        ExpectRefused(strRender + c.strArgs, c.strError);
        EXPECT_EQ(List(m_strDir).size(), 7u) << "u.xml and the six written above";
    }
}

// Each LAYER file starts a layer; the options after it are its own, and a second -l starts
// another layer of the same file; those before the subcommand apply to every layer.
TEST(LayerArgs, OptionsAfterALayerFileAreItsOwn) {
    using theme3d::LayerArgs;
    using theme3d::LayerSpec;
    theme3d::CommonOptions common;
    common.strWhere = "pop > 1";
    const std::vector<LayerArgs::Item> items = {
        {"theme", "a.xml"},  {"LAYER", "a.shp"},    {"where", "x = 1"}, {"LAYER", "b.gpkg"},
        {"layer", "roads"},  {"theme", "b.xml"},    {"theme", "c.xml"}, {"layer", "rivers"},
        {"sql", "SELECT 1"}, {"dialect", "SQLITE"}, {"theme", "d.xml"}, {"LAYER", "e.shp"}};
    // path | layer | where | sql | dialect | themes
    const std::vector<std::string> expected = {
        "a.shp||x = 1|||a.xml,", "b.gpkg|roads|pop > 1|||b.xml,c.xml,",
        "b.gpkg|rivers|pop > 1|SELECT 1|SQLITE|d.xml,", "e.shp||pop > 1|||"};
    std::vector<std::string> got;
    for (const LayerSpec& input : LayerArgs::Group(items, common)) {
        got.push_back(input.strPath + "|" + input.strLayer + "|" + input.strWhere + "|" +
                      input.strSql + "|" + input.strDialect + "|");
        for (const std::string& strTheme : input.arrThemes)
            got.back() += strTheme + ",";
    }
    EXPECT_EQ(got, expected);
    const struct {
        std::vector<LayerArgs::Item> items;
        const char* szError;
    } refused[] = {
        {{{"LAYER", "a.shp"}, {"where", "x"}, {"where", "y"}, {"theme", "t"}},
         "--where given twice for the layer a.shp (a new LAYER file starts the next layer's "
         "options)"},
        {{{"LAYER", "a.shp"}, {"LAYER", "b.shp"}}, "render needs at least one --theme"},
        {{{"theme", "t"}}, "render needs a LAYER file for the options given"},
    };
    for (const auto& c : refused) {
        try {
            LayerArgs::Group(c.items, theme3d::CommonOptions());
            ADD_FAILURE() << c.szError;
        } catch (const theme3d::ToolError& e) {
            EXPECT_STREQ(e.what(), c.szError);
        }
    }
}

TEST_F(CommandLine, ChartSizeIsTwoPositiveMetresInOrder) {
    const std::string strOut = Path("g.xml");
    EXPECT_EQ(
        Run("chart " + Points() + " --fields count --chart-size 1000,5000 -o " + strOut).nExit, 0);
    // The theme keeps the sizes as MIN and MAX (cx is cy times the square root of 2).
    EXPECT_NE(
        ReadFile(strOut).find("<dkm:MinSize><dkm:cx>1414.213562373095101</dkm:cx><dkm:cy>1000</"
                              "dkm:cy></dkm:MinSize><dkm:MaxSize><dkm:cx>7071.06781186547596</"
                              "dkm:cx><dkm:cy>5000</dkm:cy></dkm:MaxSize>"),
        std::string::npos);
    const std::string strOrder = "--chart-size must be MIN,MAX in metres with 0 < MIN <= MAX, not ";
    const std::string strForm =
        "--chart-size must be MIN,MAX in metres, such as 20000,200000, not '";
    for (const auto& [strSizes, strError] : {std::pair{"5000,1000", strOrder + "5000,1000"},
                                             {"0,10", strOrder + "0,10"},
                                             {"1e400,1e500", strOrder + "inf,inf"},
                                             {"1000", strForm + "1000'"},
                                             {"ten,20", strForm + "ten,20'"}})
        ExpectRefused("chart " + Points() + " --fields count --chart-size " + strSizes + " -o " +
                          Path("bad.xml"),
                      strError);
    EXPECT_FALSE(fs::exists(Path("bad.xml")));
}

// A GeoPackage of two layers: info lists both and describes the first, or the one -l names;
// render draws both into one scene when -l is given for each.
TEST_F(CommandLine, InfoListsTheLayersOfAGeoPackageAndRenderDrawsThoseChosen) {
    const std::string strPath = Convert(Points(), "GPKG", "two.gpkg");
    Convert(Data("polygons.geojson"), "GPKG", "two.gpkg");
    const std::string strHead =
        "file: " + strPath + "\nlayers: points (Point), polygons (Polygon)\nlayer: ";
    EXPECT_EQ(RunOk("info " + strPath).strOut.rfind(strHead + "points\ngeometry: Point\n", 0), 0u);
    EXPECT_EQ(RunOk("info " + strPath + " -l polygons").strOut.rfind(strHead + "polygons\n", 0),
              0u);
    RunOk("unique " + strPath + " --field kind -o " + Path("u.xml"));
    EXPECT_TRUE(Has(RunOk("render " + strPath + " -l points --theme " + Path("u.xml") +
                          " -l polygons -o " + Path("s.glb"))
                        .strOut,
                    "wrote " + Path("s.glb") + ": 7 features,"));
}
