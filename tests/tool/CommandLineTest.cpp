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

TEST_F(CommandLine, VersionIsTheProjects) {
    const Outcome result = Run("--version");
    EXPECT_EQ(result.nExit, 0);
    EXPECT_EQ(result.strOut, "theme3d 6.0.0\n");
}

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

TEST_F(CommandLine, WhereKeepsOnlyTheMatchingFeatures) {
    // count > 5: features 2 (kind b) and 4 (kind null), so one value; without it, a and b.
    const std::string strOut = Path("u.xml");
    Outcome result = Run("unique " + Points() + " --field kind --where \"count > 5\" -o " + strOut);
    EXPECT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_EQ(result.strOut, "wrote " + strOut + ": unique theme on kind, 1 values\n");
    result = Run("unique " + Points() + " --field kind -o " + strOut);
    EXPECT_EQ(result.strOut, "wrote " + strOut + ": unique theme on kind, 2 values\n");
    // A range theme over count > 5 sees 7 and 12 only: equal intervals of 2.5 from 7.
    result = Run("classify " + Points() + " --where \"count > 5\" --field count --classes 2 -o " +
                 strOut);
    EXPECT_EQ(result.strOut,
              "wrote " + strOut + ": range theme on count (equal), 2 classes, breaks: 9.5\n");

    result =
        Run("unique " + Points() + " --field kind --where \"count ===\" -o " + Path("bad.xml"));
    EXPECT_EQ(result.nExit, 2);
    EXPECT_EQ(result.strErr.rfind("theme3d: --where 'count ===' on layer 'points': ", 0), 0u)
        << result.strErr;
    EXPECT_EQ(result.strErr.find('\n'), result.strErr.size() - 1); // one line
    EXPECT_FALSE(fs::exists(Path("bad.xml")));
}

TEST_F(CommandLine, InfoDescribesALayerAndWithoutOneThePlugin) {
    const std::string strData = TOOL_TEST_DATA;
    const std::string strFields = "fields:\n  kind: String\n  count: Integer\n  when: Date\n";
    const std::string strAll = "extent: (10, 50) - (10.2, 50.1)\n";
    const auto describe = [&](const std::string& strPath, const std::string& strLayer,
                              const char* szCount, const std::string& strExtent) {
        return "file: " + strPath + "\nlayers: " + strLayer + " (Point)\nlayer: " + strLayer +
               "\ngeometry: Point\nfeatures: " + szCount + "\ncrs: WGS 84 (EPSG:4326)\n" +
               strExtent + strFields;
    };
    // The same layer read plainly, zipped, gzipped (named after the file inside), and filtered:
    // count > 5 keeps the points at (10.1, 50.05) and (10.05, 50.1), and the extent follows.
    const std::string strZip = "/vsizip/" + strData + "/points.zip/points.geojson";
    const std::string strGzip = "/vsigzip/" + strData + "/points.geojson.gz";
    const struct {
        std::string strArgs, strExpected;
    } cases[] = {
        {"info " + Points(), describe(Points(), "points", "4", strAll)},
        {"info " + strZip, describe(strZip, "points", "4", strAll)},
        {"info " + strGzip, describe(strGzip, "points.geojson", "4", strAll)},
        {"info " + Points() + " --where \"count > 5\"",
         describe(Points(), "points", "2", "extent: (10.05, 50.05) - (10.1, 50.1)\n")},
    };
    for (const auto& c : cases) {
        const Outcome result = Run(c.strArgs);
        EXPECT_EQ(result.nExit, 0) << c.strArgs << ": " << result.strErr;
        EXPECT_EQ(result.strOut, c.strExpected) << c.strArgs;
    }
    const Outcome result = Run("info --plugin " + Path("none.t3d"));
    EXPECT_EQ(result.nExit, 2); // the plug-in is described, so it must be found
    EXPECT_EQ(result.strErr,
              "theme3d: plug-in '" + Path("none.t3d") + "' (from --plugin) not found\n");
}

TEST_F(CommandLine, SqlReadsAQueryResultInEitherDialect) {
    const std::string strOut = Path("u.xml");
    // count > 5 keeps features 2 (kind b) and 4 (kind null): one value, as --where does.
    for (const std::string& strSql :
         {std::string("--sql \"SELECT kind FROM points WHERE count > 5\""),
          std::string("--sql \"SELECT kind FROM points WHERE count > 5\" --dialect SQLITE")}) {
        const Outcome result =
            Run("unique " + Points() + " --field kind " + strSql + " -o " + strOut);
        EXPECT_EQ(result.nExit, 0) << strSql << ": " << result.strErr;
        EXPECT_EQ(result.strOut, "wrote " + strOut + ": unique theme on kind, 1 values\n")
            << strSql;
    }
    // A query on a zipped layer; its result has only the fields it selects.
    Outcome result = Run("info /vsizip/" + std::string(TOOL_TEST_DATA) +
                         "/points.zip/points.geojson --sql \"SELECT count FROM points WHERE "
                         "kind = 'a'\"");
    EXPECT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_NE(result.strOut.find("features: 2\n"), std::string::npos) << result.strOut;
    EXPECT_NE(result.strOut.find("fields:\n  count: Integer\n"), std::string::npos)
        << result.strOut;

    const struct {
        std::string strArgs, strErrorStart;
    } refused[] = {
        {"--sql \"SELECT kind FROM nowhere\"",
         "theme3d: --sql 'SELECT kind FROM nowhere' on '" + Points() + "': "},
        {"--sql \"SELECT kind FROM points\" -l points",
         "theme3d: --sql and --layer together: the query names its layers"},
    };
    for (const auto& c : refused) {
        result =
            Run("unique " + Points() + " --field kind " + c.strArgs + " -o " + Path("bad.xml"));
        EXPECT_EQ(result.nExit, 2) << c.strArgs;
        EXPECT_EQ(result.strErr.rfind(c.strErrorStart, 0), 0u) << result.strErr;
        EXPECT_EQ(result.strErr.find('\n'), result.strErr.size() - 1) << result.strErr;
        EXPECT_FALSE(fs::exists(Path("bad.xml")));
    }
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
    const std::vector<LayerSpec> inputs = LayerArgs::Group(items, common);
    const std::vector<std::vector<std::string>> expected = {
        {"a.shp", "", "x = 1", "", "", "a.xml"},
        {"b.gpkg", "roads", "pop > 1", "", "", "b.xml c.xml"},
        {"b.gpkg", "rivers", "pop > 1", "SELECT 1", "SQLITE", "d.xml"},
        {"e.shp", "", "pop > 1", "", "", ""}};
    ASSERT_EQ(inputs.size(), expected.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        std::string strThemes;
        for (const std::string& strTheme : inputs[i].arrThemes)
            strThemes += (strThemes.empty() ? "" : " ") + strTheme;
        EXPECT_EQ(
            (std::vector<std::string>{inputs[i].strPath, inputs[i].strLayer, inputs[i].strWhere,
                                      inputs[i].strSql, inputs[i].strDialect, strThemes}),
            expected[i])
            << i;
    }
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

TEST_F(CommandLine, HelpListsEveryRampAndPalette) {
    const struct {
        const char* szCommand;
        const char* szNames;
    } cases[] = {
        {"classify --help", "blues, greens, greys, purples, reds, spectral, viridis, ylorrd"},
        {"unique --help", "bold, dark, pastel"},
        {"chart --help", "bold, dark, pastel"},
    };
    for (const auto& c : cases) {
        const Outcome result = Run(c.szCommand);
        EXPECT_EQ(result.nExit, 0) << c.szCommand;
        EXPECT_NE(result.strOut.find(c.szNames), std::string::npos) << result.strOut;
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
    const std::string strOrder =
        "theme3d: --chart-size must be MIN,MAX in metres with 0 < MIN <= MAX, not ";
    const std::string strForm =
        "theme3d: --chart-size must be MIN,MAX in metres, such as 20000,200000, not '";
    const struct {
        const char* szSizes;
        std::string strError;
    } refused[] = {
        {"5000,1000", strOrder + "5000,1000\n"}, {"0,10", strOrder + "0,10\n"},
        {"1e400,1e500", strOrder + "inf,inf\n"}, {"1000", strForm + "1000'\n"},
        {"ten,20", strForm + "ten,20'\n"},
    };
    for (const auto& c : refused) {
        const Outcome result = Run("chart " + Points() + " --fields count --chart-size " +
                                   c.szSizes + " -o " + Path("bad.xml"));
        EXPECT_EQ(result.nExit, 2) << c.szSizes;
        EXPECT_EQ(result.strErr, c.strError);
        EXPECT_FALSE(fs::exists(Path("bad.xml")));
    }
}

TEST_F(CommandLine, InfoListsTheLayersOfAGeoPackageAndDescribesTheOneChosen) {
    const std::string strPath = Path("two.gpkg");
    {
        GDALAllRegister();
        GDALDriver* pDriver = GetGDALDriverManager()->GetDriverByName("GPKG");
        ASSERT_NE(pDriver, nullptr);
        std::unique_ptr<GDALDataset> pData(
            pDriver->Create(strPath.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
        ASSERT_NE(pData, nullptr);
        OGRSpatialReference wgs84;
        wgs84.importFromEPSG(4326);
        const struct {
            const char* szLayer;
            OGRwkbGeometryType type;
            const char* szField;
            OGRFieldType fieldType;
            const char* szWkt;
        } layers[] = {{"pts", wkbPoint, "n", OFTInteger, "POINT (5 6)"},
                      {"areas", wkbPolygon, "name", OFTString, "POLYGON ((0 0,2 0,2 1,0 1,0 0))"}};
        for (const auto& l : layers) {
            OGRLayer* pLayer = pData->CreateLayer(l.szLayer, &wgs84, l.type, nullptr);
            ASSERT_NE(pLayer, nullptr);
            OGRFieldDefn field(l.szField, l.fieldType);
            ASSERT_EQ(pLayer->CreateField(&field), OGRERR_NONE);
            OGRFeature feature(pLayer->GetLayerDefn());
            OGRGeometry* pGeometry = nullptr;
            ASSERT_EQ(OGRGeometryFactory::createFromWkt(l.szWkt, &wgs84, &pGeometry), OGRERR_NONE);
            feature.SetGeometryDirectly(pGeometry);
            ASSERT_EQ(pLayer->CreateFeature(&feature), OGRERR_NONE);
        }
    }
    const std::string strHead = "file: " + strPath + "\nlayers: pts (Point), areas (Polygon)\n";
    const struct {
        std::string strArgs, strExpected;
    } cases[] = {
        {"info " + strPath,
         strHead + "layer: pts\ngeometry: Point\nfeatures: 1\ncrs: WGS 84 (EPSG:4326)\n"
                   "extent: (5, 6) - (5, 6)\nfields:\n  n: Integer\n"},
        {"info " + strPath + " -l areas",
         strHead + "layer: areas\ngeometry: Polygon\nfeatures: 1\ncrs: WGS 84 (EPSG:4326)\n"
                   "extent: (0, 0) - (2, 1)\nfields:\n  name: String\n"},
    };
    for (const auto& c : cases) {
        const Outcome result = Run(c.strArgs);
        EXPECT_EQ(result.nExit, 0) << c.strArgs << ": " << result.strErr;
        EXPECT_EQ(result.strOut, c.strExpected) << c.strArgs;
    }
}
