// The command line where GIS users put things: common options after the subcommand, -l for the
// layer, --version.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <memory>
#include <ogrsf_frmts.h>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct Result {
    int nExit = -1;
    std::string strOut, strErr;
};

class CommandLine : public testing::Test {
protected:
    void SetUp() override {
        char szTemplate[] = "/tmp/theme3d-cli-XXXXXX";
        ASSERT_NE(mkdtemp(szTemplate), nullptr);
        dir = szTemplate;
    }
    void TearDown() override { fs::remove_all(dir); }

    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    Result Run(const std::string& strArgs) const {
        const std::string strCmd = std::string(THEME3D_EXE) + " " + strArgs + " >" +
                                   (dir / "out.txt").string() + " 2>" + (dir / "err.txt").string();
        const int nStatus = std::system(strCmd.c_str());
        return {WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1, Read(dir / "out.txt"),
                Read(dir / "err.txt")};
    }
    static std::string Points() { return std::string(TOOL_TEST_DATA) + "/points.geojson"; }

    fs::path dir;
};

} // namespace

TEST_F(CommandLine, VersionIsTheProjects) {
    const Result result = Run("--version");
    EXPECT_EQ(result.nExit, 0);
    EXPECT_EQ(result.strOut, "theme3d 6.0.0\n");
}

TEST_F(CommandLine, LayerIsTakenBeforeOrAfterTheSubcommandAndAsDashL) {
    const std::string strMissing =
        "theme3d: layer 'nope' not found in '" + Points() + "' (layers: points)\n";
    for (const std::string& strArgs :
         {"-l nope classify " + Points() + " --field count -o " + (dir / "r.xml").string(),
          "classify " + Points() + " -l nope --field count -o " + (dir / "r.xml").string(),
          "classify " + Points() + " --field count --layer nope -o " + (dir / "r.xml").string()}) {
        const Result result = Run(strArgs);
        EXPECT_EQ(result.nExit, 2) << strArgs;
        EXPECT_EQ(result.strErr, strMissing) << strArgs;
        EXPECT_FALSE(fs::exists(dir / "r.xml"));
    }
    const Result result = Run("unique " + Points() + " -l points --field kind --plugin " +
                              (dir / "none.t3d").string() + " -o " + (dir / "u.xml").string());
    // --plugin after the subcommand is the common option too.
    EXPECT_EQ(result.nExit, 2);
    EXPECT_EQ(result.strErr,
              "theme3d: plug-in '" + (dir / "none.t3d").string() + "' (from --plugin) not found\n");
    EXPECT_EQ(
        Run("unique " + Points() + " -l points --field kind -o " + (dir / "u.xml").string()).nExit,
        0);
    EXPECT_TRUE(fs::is_regular_file(dir / "u.xml"));
}

TEST_F(CommandLine, WhereKeepsOnlyTheMatchingFeatures) {
    // count > 5: features 2 (kind b) and 4 (kind null), so one value; without it, a and b.
    const std::string strOut = (dir / "u.xml").string();
    Result result = Run("unique " + Points() + " --field kind --where \"count > 5\" -o " + strOut);
    EXPECT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_EQ(result.strOut, "wrote " + strOut + ": unique theme on kind, 1 values\n");
    result = Run("unique " + Points() + " --field kind -o " + strOut);
    EXPECT_EQ(result.strOut, "wrote " + strOut + ": unique theme on kind, 2 values\n");
    // A range theme over count > 5 sees 7 and 12 only: equal intervals of 2.5 from 7.
    result = Run("classify " + Points() + " --where \"count > 5\" --field count --classes 2 -o " +
                 strOut);
    EXPECT_EQ(result.strOut,
              "wrote " + strOut + ": range theme on count (equal), 2 classes, breaks: 9.5\n");

    result = Run("unique " + Points() + " --field kind --where \"count ===\" -o " +
                 (dir / "bad.xml").string());
    EXPECT_EQ(result.nExit, 2);
    EXPECT_EQ(result.strErr.rfind("theme3d: --where 'count ===' on layer 'points': ", 0), 0u)
        << result.strErr;
    EXPECT_EQ(result.strErr.find('\n'), result.strErr.size() - 1); // one line
    EXPECT_FALSE(fs::exists(dir / "bad.xml"));
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
        const Result result = Run(c.strArgs);
        EXPECT_EQ(result.nExit, 0) << c.strArgs << ": " << result.strErr;
        EXPECT_EQ(result.strOut, c.strExpected) << c.strArgs;
    }
    const Result result = Run("info --plugin " + (dir / "none.t3d").string());
    EXPECT_EQ(result.nExit, 2); // the plug-in is described, so it must be found
    EXPECT_EQ(result.strErr,
              "theme3d: plug-in '" + (dir / "none.t3d").string() + "' (from --plugin) not found\n");
}

TEST_F(CommandLine, SqlReadsAQueryResultInEitherDialect) {
    const std::string strOut = (dir / "u.xml").string();
    // count > 5 keeps features 2 (kind b) and 4 (kind null): one value, as --where does.
    for (const std::string& strSql :
         {std::string("--sql \"SELECT kind FROM points WHERE count > 5\""),
          std::string("--sql \"SELECT kind FROM points WHERE count > 5\" --dialect SQLITE")}) {
        const Result result =
            Run("unique " + Points() + " --field kind " + strSql + " -o " + strOut);
        EXPECT_EQ(result.nExit, 0) << strSql << ": " << result.strErr;
        EXPECT_EQ(result.strOut, "wrote " + strOut + ": unique theme on kind, 1 values\n")
            << strSql;
    }
    // A query on a zipped layer; its result has only the fields it selects.
    Result result = Run("info /vsizip/" + std::string(TOOL_TEST_DATA) +
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
        result = Run("unique " + Points() + " --field kind " + c.strArgs + " -o " +
                     (dir / "bad.xml").string());
        EXPECT_EQ(result.nExit, 2) << c.strArgs;
        EXPECT_EQ(result.strErr.rfind(c.strErrorStart, 0), 0u) << result.strErr;
        EXPECT_EQ(result.strErr.find('\n'), result.strErr.size() - 1) << result.strErr;
        EXPECT_FALSE(fs::exists(dir / "bad.xml"));
    }
}

TEST_F(CommandLine, OutputFollowsItsName) {
    const std::string strTheme = (dir / "u.xml").string();
    ASSERT_EQ(Run("unique " + Points() + " --field kind -o " + strTheme).nExit, 0);
    const std::string strRender = "render " + Points() + " --theme " + strTheme + " -o ";
    // Written: a .glb (any case) is one binary glTF file, a .gltf JSON glTF, a name without
    // extension a tileset.
    const struct {
        const char* szName;
        const char* szWritten; // the file that must exist afterwards
        const char* szMagic;   // its first bytes
    } written[] = {
        {"s.glb", "s.glb", "glTF"},
        {"S.GLB", "S.GLB", "glTF"},
        {"s.gltf", "s.gltf", "{\"asset\":"},
        {"tiles", "tiles/tileset.json", "{"},
    };
    for (const auto& c : written) {
        const Result result = Run(strRender + (dir / c.szName).string());
        EXPECT_EQ(result.nExit, 0) << c.szName << ": " << result.strErr;
        EXPECT_EQ(Read(dir / c.szWritten).substr(0, std::string(c.szMagic).size()), c.szMagic)
            << c.szName;
    }
    const struct {
        const char* szName;
        const char* szError; // after "theme3d: output '<path>': "
    } refused[] = {
        {"s.obj", "unknown extension '.obj' (.glb or .gltf for a glTF scene, a folder or --format "
                  "3dtiles for 3D Tiles)"},
        {"s.b3dm", "unknown extension '.b3dm' (.glb or .gltf for a glTF scene, a folder or "
                   "--format 3dtiles for 3D Tiles)"},
    };
    for (const auto& c : refused) {
        const std::string strPath = (dir / c.szName).string();
        const Result result = Run(strRender + strPath);
        EXPECT_EQ(result.nExit, 2) << c.szName;
        EXPECT_EQ(result.strErr, "theme3d: output '" + strPath + "': " + c.szError + "\n");
        EXPECT_FALSE(fs::exists(strPath));
    }
    // --format overrides the name.
    EXPECT_EQ(Run(strRender + (dir / "t.obj").string() + " --format 3dtiles").nExit, 0);
    EXPECT_TRUE(fs::is_regular_file(dir / "t.obj" / "tileset.json"));
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
        const Result result = Run(c.szCommand);
        EXPECT_EQ(result.nExit, 0) << c.szCommand;
        EXPECT_NE(result.strOut.find(c.szNames), std::string::npos) << result.strOut;
    }
}

TEST_F(CommandLine, ChartSizeIsTwoPositiveMetresInOrder) {
    const std::string strOut = (dir / "g.xml").string();
    EXPECT_EQ(
        Run("chart " + Points() + " --fields count --chart-size 1000,5000 -o " + strOut).nExit, 0);
    // The theme keeps the sizes as MIN and MAX (cx is cy times the square root of 2).
    EXPECT_NE(Read(strOut).find("<dkm:MinSize><dkm:cx>1414.213562373095101</dkm:cx><dkm:cy>1000</"
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
        {"-1,5", strOrder + "-1,5\n"},           {"1e400,1e500", strOrder + "inf,inf\n"},
        {"1000", strForm + "1000'\n"},           {"10,20,30", strForm + "10,20,30'\n"},
        {"ten,20", strForm + "ten,20'\n"},
    };
    for (const auto& c : refused) {
        const Result result = Run("chart " + Points() + " --fields count --chart-size " +
                                  c.szSizes + " -o " + (dir / "bad.xml").string());
        EXPECT_EQ(result.nExit, 2) << c.szSizes;
        EXPECT_EQ(result.strErr, c.strError);
        EXPECT_FALSE(fs::exists(dir / "bad.xml"));
    }
}

TEST_F(CommandLine, InfoListsTheLayersOfAGeoPackageAndDescribesTheOneChosen) {
    const std::string strPath = (dir / "two.gpkg").string();
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
        const Result result = Run(c.strArgs);
        EXPECT_EQ(result.nExit, 0) << c.strArgs << ": " << result.strErr;
        EXPECT_EQ(result.strOut, c.strExpected) << c.strArgs;
    }
}
