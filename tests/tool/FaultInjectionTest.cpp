// theme3d under faults: a full disk (file size limit), a memory limit, SIGINT and SIGTERM while
// its outputs are written, NaN and infinite values, a damaged shapefile, absurd class requests.
// Each case checks the exit status, the message, and that neither an output nor a temporary file
// is left behind; every scene that is written must pass the Khronos validator.
#include "ToolRun.h"

#include <csignal>
#include <sys/stat.h>

using namespace tooltest;

namespace {

class FaultInjection : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        mkdir(Out("").c_str(), 0777);
    }
    // Outputs go to their own folder, so that whatever is left there is a leftover.
    std::string Out(const std::string& strName) const { return m_strDir + "/out/" + strName; }
    void ExpectNoLeftovers() const {
        EXPECT_EQ(List(Out("")), std::vector<std::string>()) << "left behind in " << Out("");
    }
    // Starts a command that holds its written outputs before renaming them, and interrupts it
    // with the signal once they are all written.
    void Interrupt(const std::string& strArgs, int nSignal, std::size_t nTemporary) {
        const pid_t pid =
            Start(strArgs, RLIM_INFINITY, RLIM_INFINITY, "THEME3D_TEST_HOLD_BEFORE_RENAME=30");
        for (int i = 0; i < 2000 && !Has(ReadFile(Path(".err")), "holding"); ++i)
            usleep(10000);
        EXPECT_EQ(List(Out("")).size(), nTemporary) << "the temporary outputs";
        kill(pid, nSignal);
        EXPECT_EQ(Wait(pid).nSignal, nSignal); // the shell shows 130 / 143
        ExpectNoLeftovers();
    }

    // A GeoJSON layer of n polygons (small squares on a grid) with a field v = i % 7.
    std::string GridLayer(int n) const {
        const std::string strPath = Path("grid.geojson");
        std::ofstream out(strPath);
        out << "{\"type\":\"FeatureCollection\",\"features\":[\n";
        for (int i = 0; i < n; ++i) {
            const double x = (i % 100) * 0.01, y = (i / 100) * 0.01;
            out << (i ? ",\n" : "") << "{\"type\":\"Feature\",\"properties\":{\"v\":" << i % 7
                << ",\"w\":" << i << "},\"geometry\":{\"type\":\"Polygon\",\"coordinates\":[[[" << x
                << "," << y << "],[" << x + 0.008 << "," << y << "],[" << x + 0.008 << ","
                << y + 0.008 << "],[" << x << "," << y + 0.008 << "],[" << x << "," << y << "]]]}}";
        }
        out << "\n]}\n";
        return strPath;
    }

    // A GeoJSON layer of points along a parallel, one for each properties text ("v":1,...).
    std::string PointLayer(const std::string& strName,
                           const std::vector<std::string>& properties) const {
        std::ofstream out(Path(strName));
        out << "{\"type\":\"FeatureCollection\",\"features\":[\n";
        for (std::size_t i = 0; i < properties.size(); ++i)
            out << (i ? ",\n" : "") << "{\"type\":\"Feature\",\"properties\":{" << properties[i]
                << "},\"geometry\":{\"type\":\"Point\",\"coordinates\":[" << 10 + 0.1 * i
                << ",50]}}";
        out << "\n]}\n";
        return Path(strName);
    }

    std::string RangeTheme(const std::string& strLayer) const {
        const Outcome made = Run("classify " + strLayer +
                                 " --field v --classes 3 --extrude 100 -o " + Path("range.xml"));
        EXPECT_EQ(made.nExit, 0) << made.strErr;
        return Path("range.xml");
    }
};

} // namespace

// RLIMIT_FSIZE makes a write beyond the limit fail (EFBIG) as a full disk would (ENOSPC).
TEST_F(FaultInjection, AFullDiskFailsTheCommandAndLeavesNothing) {
    const std::string strLayer = GridLayer(2000);
    const std::string strTheme = RangeTheme(strLayer);
    const std::string strRender =
        "render " + strLayer + " --theme " + strTheme + " -o " + Out("s.glb");
    const struct {
        std::string strArgs;
        rlim_t nLimit;
    } cases[] = {
        {strRender, 64 * 1024},
        {strRender + " --legend " + Out("legend.svg"), 512 * 1024},
        {"classify " + strLayer + " --field v -o " + Out("range.xml"), 100},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Run(c.strArgs, c.nLimit);
        EXPECT_EQ(outcome.nSignal, 0) << c.strArgs;
        EXPECT_EQ(outcome.nExit, 2) << c.strArgs;
        EXPECT_TRUE(Has(outcome.strErr, "theme3d: cannot write '" + Out(""))) << outcome.strErr;
        EXPECT_TRUE(Has(outcome.strErr, "File too large")) << outcome.strErr;
        ExpectNoLeftovers();
    }
}

// At every memory limit the command either writes a whole, valid scene or fails with exit 2,
// a message, and nothing written. The limits probed are those near the least that suffices,
// where the largest allocations fail.
TEST_F(FaultInjection, AMemoryLimitNeverGivesATruncatedScene) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit here";
#else
    const std::string strLayer = GridLayer(5000); // a scene of about 4.5 MB
    const std::string strTheme = RangeTheme(strLayer);
    const std::string strArgs =
        "render " + strLayer + " --theme " + strTheme + " -o " + Out("s.glb");
    rlim_t nLow = 16u << 20, nHigh = 2ull << 30;
    int nFailures = 0;
    while (nHigh - nLow > (256u << 10)) {
        const rlim_t nMid = nLow + (nHigh - nLow) / 2;
        const Outcome outcome = Run(strArgs, RLIM_INFINITY, nMid);
        ASSERT_EQ(outcome.nSignal, 0) << "limit " << nMid << "\n" << outcome.strErr;
        if (outcome.nExit == 0) {
            ExpectValidGltf(Out("s.glb"));
            std::remove(Out("s.glb").c_str());
            nHigh = nMid;
        } else if (outcome.nExit == 127) {
            nLow = nMid; // too little to load the program's libraries
        } else {
            ++nFailures;
            EXPECT_EQ(outcome.nExit, 2) << outcome.strErr;
            // Mostly "out of memory"; GDAL may also fail to read the layer first.
            EXPECT_EQ(outcome.strErr.rfind("theme3d: ", 0), 0u) << outcome.strErr;
            EXPECT_EQ(std::count(outcome.strErr.begin(), outcome.strErr.end(), '\n'), 1)
                << outcome.strErr;
            nLow = nMid;
        }
        ExpectNoLeftovers();
        if (HasFailure())
            break;
    }
    EXPECT_GT(nFailures, 0);
    EXPECT_LT(nHigh, 2ull << 30) << "no run succeeded";
#endif
}

// Outputs are written to temporary files (a tileset to a temporary folder of tiles) that an
// interrupt removes.
TEST_F(FaultInjection, SigintAndSigtermWhileWritingRemoveTheTemporaryFiles) {
    const std::string strLayer = GridLayer(200);
    const std::string strTheme = RangeTheme(strLayer);
    const std::string strRender = "render " + strLayer + " --theme " + strTheme;
    for (const int nSignal : {SIGINT, SIGTERM})
        Interrupt(strRender + " -o " + Out("s.glb") + " --legend " + Out("legend.svg"), nSignal, 2);
    Interrupt(strRender + " --tile-size 20 -o " + Out("tiles/"), SIGINT, 1);
}

// Each command notes the values it cannot use; the render, once for each note.
TEST_F(FaultInjection, NanAndInfinityNeverReachAScene) {
    const std::string strLayer =
        PointLayer("nan.geojson", {"\"v\":1,\"w\":2", "\"v\":NaN,\"w\":2", "\"v\":Infinity,\"w\":2",
                                   "\"v\":3,\"w\":-Infinity", "\"v\":5,\"w\":1"});
    const std::string strRender = "render " + strLayer + " --theme " + Path("range.xml") +
                                  " --theme " + Path("graph.xml") + " --theme " +
                                  Path("label.xml") + " -o " + Out("s.glb");
    const struct {
        std::string strArgs, strNote;
    } cases[] = {
        {"classify " + strLayer + " --field v -o " + Path("range.xml"),
         "note: 2 values of 'v' are NaN or infinite"},
        {"chart " + strLayer + " --fields v,w -o " + Path("graph.xml"),
         "note: 3 features have NaN or infinite chart values"},
        {"unique " + strLayer + " --field v -o " + Path("unique.xml"),
         "note: 2 values of 'v' are NaN or infinite"},
        {"label " + strLayer + " --field v -o " + Path("label.xml"), ""},
        {strRender, "note: 2 features had a NaN or infinite class value, taken as null"},
        {strRender, "note: 3 features had NaN or infinite chart values; their charts are left out"},
        {strRender, "note: 2 features had a NaN or infinite label value"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Run(c.strArgs);
        ASSERT_EQ(outcome.nExit, 0) << outcome.strErr;
        EXPECT_TRUE(Has(outcome.strErr, c.strNote)) << outcome.strErr;
    }
    EXPECT_TRUE(Has(Run(cases[2].strArgs).strOut, "unique theme on v, 3 values"));
    ExpectValidGltf(Out("s.glb"));
}

// A shapefile whose .shp was cut short: its index still lists every record.
TEST_F(FaultInjection, ADamagedShapefileFailsUnlessFailuresAreSkipped) {
    const std::string strShp = Convert(GridLayer(100), "ESRI Shapefile", "cut.shp");
    const std::string strTheme = RangeTheme(strShp);
    ASSERT_EQ(truncate(strShp.c_str(), 2048), 0);

    const std::string strRender =
        "render " + strShp + " --theme " + strTheme + " -o " + Out("s.glb");
    Outcome outcome = Run(strRender);
    EXPECT_EQ(outcome.nExit, 2) << outcome.strErr;
    EXPECT_TRUE(Has(outcome.strErr, " of 100 features of '" + strShp + "' could not be read"))
        << outcome.strErr;
    EXPECT_TRUE(Has(outcome.strErr, "--skip-failures")) << outcome.strErr;
    ExpectNoLeftovers();

    outcome = Run("--skip-failures " + strRender);
    ASSERT_EQ(outcome.nExit, 0) << outcome.strErr;
    EXPECT_TRUE(Has(outcome.strErr, "left out (--skip-failures)")) << outcome.strErr;
    ExpectValidGltf(Out("s.glb"));
}

// Class requests that make no sense are refused (exit 2, nothing written); fewer classes than
// asked are always explained. The grid's v is 0 .. 6 (seven distinct values); the skewed layer
// 0 0 0 0 0 0 1 2 3 4 has quantiles 0, 0, 0.4 and 2.2 for five classes, and those on the
// smallest value would open an empty class; the constant layer is all 4.
TEST_F(FaultInjection, ClassRequestsAreRefusedOrExplained) {
    const std::string strGrid = GridLayer(100);
    const std::string strSkewed =
        PointLayer("skewed.geojson", {"\"v\":0", "\"v\":0", "\"v\":0", "\"v\":0", "\"v\":0",
                                      "\"v\":0", "\"v\":1", "\"v\":2", "\"v\":3", "\"v\":4"});
    const std::string strConstant = PointLayer("constant.geojson", {"\"v\":4", "\"v\":4"});
    const auto check = [&](const std::string& strLayer, const std::string& strOptions,
                           const std::string& strErr, const char* szOut) {
        const Outcome outcome =
            Run("classify " + strLayer + " --field v -o " + Out("r.xml") + " " + strOptions);
        EXPECT_EQ(outcome.nExit, szOut ? 0 : 2) << strOptions;
        EXPECT_TRUE(Has(outcome.strErr, strErr)) << outcome.strErr;
        EXPECT_TRUE(Has(outcome.strOut, szOut ? szOut : "")) << outcome.strOut;
        std::remove(Out("r.xml").c_str());
        if (!szOut)
            ExpectNoLeftovers(); // a refused request writes nothing
    };
    const struct {
        const char *szOptions, *szErr; // the options, and what standard error says
        const char* szOut;             // on standard output; none when refused
    } cases[] = {
        // clang-format off
        {"--classes 0", "--classes 0 makes no sense: give 1 to 10000", nullptr},
        {"--method quantile --classes 2147483647", "--classes 2147483647 makes no", nullptr},
        {"--classes 1000000", "(--classes-max allows more)", nullptr},
        {"--classes-max 0", "--classes-max must be at least 1", nullptr},
        {"--method interval --interval 0.0001",
         "--interval 0.0001 would make 60000 classes of 'v' (0 to 6); the most is 10000", nullptr},
        {"--method interval --interval 6", "--interval 6 is not smaller than the range", nullptr},
        {"--method equal --interval 2", "--interval applies only to --method interval", nullptr},
        {"--method stdev --classes 4", "--classes does not apply to --method stdev", nullptr},
        {"--extrude -5000", "--extrude -5000: give a height of 0 metres or more", nullptr},
        {"--method log", "method log needs values above 0: field 'v' has 15 values <= 0", nullptr},
        {"--method equal --classes 50", "--classes 50 reduced to 7", "7 classes"},
        {"--method quantile --classes 9", "--classes 9 reduced to 7",
         "7 classes, breaks: 0.142857 1 2 3 4 5\n"},
        {"--method natural --classes 9", "--classes 9 reduced to 7", "7 classes"},
        {"--method equal --classes 1000000 --classes-max 2000000",
         "--classes 1000000 reduced to 7", "7 classes"},
        {"--classes 1", "", "1 class"},
        // clang-format on
    };
    for (const auto& c : cases)
        check(strGrid, c.szOptions, c.szErr, c.szOut);
    check(strSkewed, "--method quantile --classes 5",
          "method quantile made 3 classes, not 5: quantiles that coincide, or fall on the "
          "smallest value",
          "3 classes, breaks: 0.4 2.2\n");
    for (const char* szMethod : {"equal", "sqrt", "log", "stdev", "quantile", "natural"})
        check(strConstant, std::string("--method ") + szMethod,
              "every value of 'v' is 4: one class", "1 class, breaks: 4");
}
