// `theme3d view` end to end, without a browser: what it writes beside a scene. (The page itself
// is checked in a browser by tests/browser, what it shows by ViewCommandTest.)
#include "ToolRun.h"

using namespace tooltest;
namespace fs = std::filesystem;

using ViewTool = ToolTest;

TEST_F(ViewTool, WritesAPageWithItsAssetsBesideTheScene) {
    WriteFile(Path("scene/city.glb"), "glTF");
    WriteFile(Path("scene/legend.svg"),
              "<?xml version=\"1.0\"?>\n<svg width=\"20\"><rect fill=\"#FD8D3C\"/></svg>\n");
    const Outcome outcome = Run("view " + Path("scene/city.glb"));
    if (outcome.nExit == 2 && Has(outcome.strErr, "not built"))
        GTEST_SKIP() << "the web viewer is not built here: " << outcome.strErr;
    ASSERT_EQ(outcome.nExit, 0) << outcome.strErr;

    const std::string strPage = ReadFile(Path("scene/city.html"));
    EXPECT_TRUE(Has(strPage, "<svg width=\"20\"><rect fill=\"#FD8D3C\"/></svg>"));
    EXPECT_FALSE(Has(strPage, "<?xml"));
    // What the page loads is there, and only there: no stray temporary folder.
    for (const char* szFile : {"viewer.js", "viewer.css", "cesium/Widgets/widgets.css",
                               "cesium/Assets/approximateTerrainHeights.json"})
        EXPECT_TRUE(fs::is_regular_file(Path("scene/theme3d-viewer/") + szFile)) << szFile;
    EXPECT_FALSE(fs::is_empty(Path("scene/theme3d-viewer/cesium/Workers")));
    EXPECT_EQ(List(Path("scene")),
              (std::vector<std::string>{"city.glb", "city.html", "legend.svg", "theme3d-viewer"}));

    // Viewing again replaces the page and the assets in place.
    RunOk("view " + Path("scene"));
    EXPECT_TRUE(fs::is_regular_file(Path("scene/index.html")));
    EXPECT_TRUE(fs::is_regular_file(Path("scene/theme3d-viewer/viewer.js")));
}
