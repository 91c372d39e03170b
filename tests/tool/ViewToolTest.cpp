// `theme3d view` end to end, without a browser: what it writes beside a scene, and that a scene
// it cannot show leaves nothing behind. (The page itself is checked in a browser by tests/browser.)
#include "ToolRun.h"

using namespace tooltest;
namespace fs = std::filesystem;

namespace {

class ViewTool : public ToolTest {
protected:
    int Run(const std::string& strArgs, std::string& strOut, std::string& strErr) const {
        const Outcome outcome = ToolTest::Run(strArgs);
        strOut = outcome.strOut;
        strErr = outcome.strErr;
        return outcome.nExit;
    }
    fs::path dir{"."};
    void SetUp() override {
        ToolTest::SetUp();
        dir = m_strDir;
    }
};

} // namespace

TEST_F(ViewTool, WritesAPageWithItsAssetsBesideTheScene) {
    fs::create_directories(dir / "scene");
    std::ofstream(dir / "scene" / "city.glb") << "glTF";
    std::ofstream(dir / "scene" / "city.labels.geojson") << "{}";
    std::ofstream(dir / "scene" / "legend.svg")
        << "<?xml version=\"1.0\"?>\n<svg width=\"20\"><rect fill=\"#FD8D3C\"/></svg>\n";
    std::string strOut, strErr;
    const int nExit = Run("view " + (dir / "scene" / "city.glb").string(), strOut, strErr);
    if (nExit == 2 && strErr.find("not built") != std::string::npos)
        GTEST_SKIP() << "the web viewer is not built here: " << strErr;
    ASSERT_EQ(nExit, 0) << strErr;

    const std::string strPage = ReadFile((dir / "scene" / "city.html").string());
    EXPECT_NE(strPage.find("{\"type\":\"glb\",\"scene\":\"city.glb\",\"title\":\"city.glb - "
                           "theme3d\",\"labels\":\"city.labels.geojson\"}"),
              std::string::npos)
        << strPage;
    EXPECT_NE(strPage.find("<svg width=\"20\"><rect fill=\"#FD8D3C\"/></svg>"), std::string::npos);
    EXPECT_EQ(strPage.find("<?xml"), std::string::npos);
    EXPECT_EQ(strPage.find("<!--THEME3D_"), std::string::npos); // every slot filled
    // What the page loads is there, and only there: no stray temporary folder.
    for (const char* szFile : {"viewer.js", "viewer.css", "cesium/Widgets/widgets.css",
                               "cesium/Assets/approximateTerrainHeights.json"})
        EXPECT_TRUE(fs::is_regular_file(dir / "scene" / "theme3d-viewer" / szFile)) << szFile;
    EXPECT_FALSE(fs::is_empty(dir / "scene" / "theme3d-viewer" / "cesium" / "Workers"));
    int nEntries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir / "scene"))
        ++nEntries;
    EXPECT_EQ(nEntries, 5); // city.glb, its labels, legend.svg, city.html, theme3d-viewer/

    // Viewing again replaces the page and the assets in place.
    ASSERT_EQ(Run("view " + (dir / "scene").string(), strOut, strErr), 0) << strErr;
    EXPECT_TRUE(fs::is_regular_file(dir / "scene" / "index.html"));
    EXPECT_TRUE(fs::is_regular_file(dir / "scene" / "theme3d-viewer" / "viewer.js"));
}

TEST_F(ViewTool, ASceneItCannotShowFailsAndLeavesNothing) {
    fs::create_directories(dir / "two");
    std::ofstream(dir / "two" / "a.glb") << "glTF";
    std::ofstream(dir / "two" / "b.gltf") << "{}";
    std::string strOut, strErr;
    EXPECT_EQ(Run("view " + (dir / "two").string(), strOut, strErr), 2);
    EXPECT_EQ(strErr, "theme3d: '" + (dir / "two").string() +
                          "' holds 2 glTF scenes; name the scene to view\n");
    EXPECT_FALSE(fs::exists(dir / "two" / "index.html"));
    EXPECT_FALSE(fs::exists(dir / "two" / "theme3d-viewer"));

    EXPECT_EQ(Run("view " + (dir / "two" / "a.glb").string() + " --legend " +
                      (dir / "missing.svg").string(),
                  strOut, strErr),
              2);
    EXPECT_EQ(strErr, "theme3d: legend '" + (dir / "missing.svg").string() + "' not found\n");
    EXPECT_FALSE(fs::exists(dir / "two" / "a.html"));
}
