// The command line where GIS users put things: common options after the subcommand, -l for the
// layer, a scene's layers each with its own options; and every refusal of a command line.
#include "GlbReader.h"
#include "ToolRun.h"

using namespace tooltest;
namespace fs = std::filesystem;

namespace {

class CommandLine : public ToolTest {
protected:
    static std::string Points() { return Data("points.geojson"); }
};

} // namespace

// A refused command line exits with 2, says exactly one line and writes nothing.
TEST_F(CommandLine, RefusalsAreOneLineExitTwoAndWriteNothing) {
    const std::string p = Points(), u = Path("u.xml"), strR = " -o " + Path("r.xml");
    RunOk("unique " + p + " -l points --field kind -o " + u);
    const std::string strRender = "render " + p + " --theme " + u + " -o ";
    const std::string strNotNumeric = "field 'kind' of '" + p + "' is not numeric (String)";
    const std::string strNope = "layer 'nope' not found in '" + p + "' (layers: points)";
    const std::string strOrigin = "--origin must be LON,LAT in degrees, such as -73.98,40.75, not ";
    const std::string strOrder = "--chart-size must be MIN,MAX in metres with 0 < MIN <= MAX, not ";
    const std::string strForm =
        "--chart-size must be MIN,MAX in metres, such as 20000,200000, not ";
    const std::string strChart = "chart " + p + " --fields count" + strR + " --chart-size ";
    const auto noFolder = [&](const char* szOut) {
        return "cannot write '" + Path(szOut) + "': there is no folder '" + Path("no") + "'";
    };
    const struct {
        std::string strArgs, strMessage;
    } cases[] = {
        {"classify " + Data("missing.geojson") + " --field v" + strR,
         "layer file '" + Data("missing.geojson") + "' not found"},
        {"classify " + p + " --field size" + strR,
         "field 'size' not found in layer 'points' of '" + p + "' (fields: kind, count, when)"},
        {"classify " + p + " --field kind" + strR, strNotNumeric},
        {"chart " + p + " --fields count,kind" + strR, strNotNumeric},
        {"classify " + p + " --field count --method jenks" + strR,
         "unknown method 'jenks' (known: equal, interval, log, natural, quantile, sqrt, stdev)"},
        {"label " + p + " --field kind --format %q" + strR,
         "number format '%q' does not format a number"},
        // -l and --plugin before the subcommand, after it and for a render's second layer
        {"-l nope classify " + p + " --field count" + strR, strNope},
        {"classify " + p + " -l nope --field count" + strR, strNope},
        {strRender + Path("r.glb") + " " + p + " --layer points --theme " + u + " -l nope",
         strNope},
        {"unique " + p + " --field kind --plugin " + Path("none.t3d") + strR,
         "plug-in '" + Path("none.t3d") + "' (from --plugin) not found"},
        // themes and layers of a render
        {"render " + p + " --theme " + p + " -o " + Path("s.glb"),
         "unreadable theme '" + p + "': not a theme document"},
        {"render " + p + " --theme " + Path("none.xml") + " -o " + Path("s.glb"),
         "theme file '" + Path("none.xml") + "' not found"},
        {"render " + p + " -o " + Path("s.glb"), "render needs at least one --theme"},
        {"render " + p + " --where x --where y --theme " + u + " -o " + Path("s.glb"),
         "--where given twice for the layer " + p +
             " (a new LAYER file starts the next layer's options)"},
        {"render -l a -l b " + p + " --theme " + u + " -o " + Path("s.glb"),
         "render needs a LAYER file for the options given"},
        // outputs and their options
        {strRender + Path("s.obj"),
         "output '" + Path("s.obj") +
             "': unknown extension '.obj' (.glb or .gltf for a glTF scene, a folder or --format "
             "3dtiles for 3D Tiles)"},
        {strRender + Path("n.gltf") + " --nodes",
         "--nodes makes one .glb scene, not '" + Path("n.gltf") + "'"},
        {strRender + Path("n.glb") + " --nodes " + p + " --theme " + u,
         "--nodes draws one layer; leave it out for a scene of several"},
        {strRender + Path("o/") + " --origin 10,50",
         "--origin is for .glb and .gltf scenes: a tileset is placed on the globe by itself "
         "(leave --origin out)"},
        {strRender + Path("o.glb") + " --origin 10,95", strOrigin + "'10,95'"},
        {strRender + Path("o.glb") + " --origin 10", strOrigin + "'10'"},
        {strRender + Path("w.glb") + " --line-width -1", "--line-width must be 0 or more metres"},
        // a mistyped folder is named before any work, for every kind of output
        {strRender + Path("no/s.glb"), noFolder("no/s.glb")},
        {strRender + Path("no/t/"), noFolder("no/t/")},
        {strRender + Path("s.glb") + " --legend " + Path("no/l.svg"), noFolder("no/l.svg")},
        {"classify " + p + " --field count -o " + Path("no/r.xml"), noFolder("no/r.xml")},
        {strChart + "5000,1000", strOrder + "5000,1000"},
        {strChart + "0,10", strOrder + "0,10"},
        {strChart + "1e400,1e500", strOrder + "inf,inf"},
        {strChart + "1000", strForm + "'1000'"},
        {strChart + "ten,20", strForm + "'ten,20'"},
    };
    for (const auto& c : cases)
        ExpectRefused(c.strArgs, c.strMessage);
    // Where GDAL words the reason, only the start of the line is ours.
    const struct {
        std::string strArgs, strErrorStart;
    } gdal[] = {
        {"--where \"count ===\"", "theme3d: --where 'count ===' on layer 'points': "},
        {"--sql \"SELECT kind FROM nowhere\"",
         "theme3d: --sql 'SELECT kind FROM nowhere' on '" + p + "': "},
        {"--sql \"SELECT kind FROM points\" -l points",
         "theme3d: --sql and --layer together: the query names its layers"},
    };
    for (const auto& c : gdal) {
        const Outcome result = Run("unique " + p + " --field kind " + c.strArgs + strR);
        EXPECT_EQ(result.nExit, 2) << c.strArgs;
        EXPECT_EQ(result.strErr.rfind(c.strErrorStart, 0), 0u) << result.strErr;
        EXPECT_EQ(result.strErr.find('\n'), result.strErr.size() - 1) << result.strErr;
    }
    EXPECT_EQ(List(m_strDir), std::vector<std::string>{"u.xml"});
}

// --where and --sql (either dialect) choose the features a theme is made from: count > 5 keeps
// points 2 (kind b) and 4 (kind null), so one value, and a range over 7 and 12 only.
TEST_F(CommandLine, WhereAndSqlKeepOnlyTheMatchingFeatures) {
    const std::string strWrote = "wrote " + Path("t.xml") + ": ";
    const std::string strSql = " --sql \"SELECT kind FROM points WHERE count > 5\"";
    const struct {
        std::string strArgs, strOut;
    } cases[] = {
        {"--field kind", "unique theme on kind, 2 values\n"},
        {"--field kind --where \"count > 5\"", "unique theme on kind, 1 values\n"},
        {"--field kind" + strSql, "unique theme on kind, 1 values\n"},
        {"--field kind --dialect SQLITE" + strSql, "unique theme on kind, 1 values\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunOk("unique " + Points() + " " + c.strArgs + " -o " + Path("t.xml")).strOut,
                  strWrote + c.strOut)
            << c.strArgs;
    EXPECT_EQ(RunOk("classify " + Points() +
                    " --where \"count > 5\" --field count --classes 2 -o " + Path("t.xml"))
                  .strOut,
              strWrote + "range theme on count (equal), 2 classes, breaks: 9.5\n");
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

// A .glb (any case) is one binary glTF file, a name without extension a tileset, and --format
// overrides the name (a .gltf: LayersOfOneSceneShareOneTableByRows). Each LAYER file starts a
// layer and the options after it are its own, a second -l starts another layer of the same file,
// and those before the subcommand apply to every layer: count > 5 keeps two points, count = 3
// one; layers of one file are told apart by their place on the command line. A GeoPackage of two
// layers: info lists both and describes the first, or the one -l names; render draws both into
// one scene when -l is given for each.
TEST_F(CommandLine, OutputsAndLayersFollowTheCommandLine) {
    RunOk("unique " + Points() + " --field kind -o " + Path("u.xml"));
    const std::string strTheme = " --theme " + Path("u.xml") + " ";
    const struct {
        const char* szName;
        const char* szWritten; // the file that must exist afterwards
        const char* szMagic;   // its first bytes
    } cases[] = {
        {"S.GLB", "S.GLB", "glTF"},
        {"tiles", "tiles/tileset.json", "{"},
        {"t.obj --format 3dtiles", "t.obj/tileset.json", "{"},
    };
    for (const auto& c : cases) {
        RunOk("render " + Points() + strTheme + "-o " + Path(c.szName));
        EXPECT_EQ(ReadFile(Path(c.szWritten)).substr(0, std::string(c.szMagic).size()), c.szMagic)
            << c.szName;
    }
    const Outcome layers =
        RunOk("--where \"count > 5\" render" + strTheme + Points() + " " + Points() +
              " --where \"count = 3\"" + strTheme + Points() + " -l points" + strTheme + "-o " +
              Path("s.glb") + " --legend " + Path("s.svg"));
    EXPECT_TRUE(Has(layers.strOut, "wrote " + Path("s.glb") + ": 5 features,"));
    EXPECT_EQ(glbtest::Glb(ReadFile(Path("s.glb"))).Strings("layer")[0], "points #1");
    for (const char* szTitle : {">points #2: kind (unique)<", ">points #3: kind (unique)<"})
        EXPECT_TRUE(Has(ReadFile(Path("s.svg")), szTitle));

    const std::string strPath = Convert(Points(), "GPKG", "two.gpkg");
    Convert(Data("polygons.geojson"), "GPKG", "two.gpkg");
    const std::string strHead =
        "file: " + strPath + "\nlayers: points (Point), polygons (Polygon)\nlayer: ";
    EXPECT_EQ(RunOk("info " + strPath).strOut.rfind(strHead + "points\ngeometry: Point\n", 0), 0u);
    EXPECT_EQ(RunOk("info " + strPath + " -l polygons").strOut.rfind(strHead + "polygons\n", 0),
              0u);
    EXPECT_TRUE(
        Has(RunOk("render " + strPath + " -l points" + strTheme + "-l polygons -o " + Path("g.glb"))
                .strOut,
            "wrote " + Path("g.glb") + ": 7 features,"));
}

// The theme keeps the chart sizes as MIN and MAX (cx is cy times the square root of 2).
TEST_F(CommandLine, ChartSizeIsKeptAsTheSmallestAndLargest) {
    RunOk("chart " + Points() + " --fields count --chart-size 1000,5000 -o " + Path("g.xml"));
    EXPECT_TRUE(Has(ReadFile(Path("g.xml")),
                    "<dkm:MinSize><dkm:cx>1414.213562373095101</dkm:cx><dkm:cy>1000</dkm:cy></"
                    "dkm:MinSize><dkm:MaxSize><dkm:cx>7071.06781186547596</dkm:cx><dkm:cy>5000</"
                    "dkm:cy></dkm:MaxSize>"));
}
