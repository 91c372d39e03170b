#include "ViewCommand.h"
#include "ToolError.h"
#include "ToolRun.h"

#include <filesystem>

using theme3d::StaticServer;
using theme3d::ToolError;
using theme3d::ViewCommand;
using theme3d::ViewPlan;

namespace fs = std::filesystem;

namespace {

class ViewCommandTest : public tooltest::ToolTest {
protected:
    void Touch(const std::string& strName) const { tooltest::WriteFile(dir + "/" + strName, "x"); }
    const std::string& dir = m_strDir;
};

} // namespace

TEST(StaticServerResolve, MapsRequestPathsInsideTheRootOnly) {
    const struct {
        const char* szTarget;
        const char* szExpected; // "" when refused
    } cases[] = {
        {"/index.html", "/srv/index.html"},
        {"/", "/srv/index.html"},
        {"/demo.glb?v=2#x", "/srv/demo.glb"},
        {"/a%20b%C3%A9.glb", "/srv/a b\xC3\xA9.glb"},
        {"/theme3d-viewer//cesium/./Workers/x.js", "/srv/theme3d-viewer/cesium/Workers/x.js"},
        {"/../etc/passwd", ""},
        {"/a/../../etc/passwd", ""},
        {"/a/..", ""},
        {"/%2e%2e/etc/passwd", ""},
        {"/%2E%2E%2Fetc", ""},
        {"/a%5c..%5cb", ""}, // a backslash
        {"/a%00.html", ""},
        {"/a%4", ""},
        {"/a%zz", ""},
        {"index.html", ""},
        {"http://example.org/x", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StaticServer::Resolve("/srv", c.szTarget), c.szExpected) << c.szTarget;
}

TEST(ViewCommandUrlPath, EscapesEverythingButUnreservedBytesAndSlashes) {
    EXPECT_EQ(ViewCommand::UrlPath("demo.glb"), "demo.glb");
    EXPECT_EQ(ViewCommand::UrlPath("tiles/0_0.glb"), "tiles/0_0.glb");
    EXPECT_EQ(ViewCommand::UrlPath("a b#?%.glb"), "a%20b%23%3F%25.glb");
    EXPECT_EQ(ViewCommand::UrlPath("caf\xC3\xA9~-_.glb"), "caf%C3%A9~-_.glb");
}

// A .glb or .gltf gets a page named after it, with the labels and legend named after it (before
// the folder's legend.svg); a folder with one scene (the demo's) gets index.html, and so does a
// tileset's folder, whose tile contents beside tileset.json do not make it a single scene.
TEST_F(ViewCommandTest, SceneFileOrFolderGetsItsPageLabelsAndLegend) {
    for (const char* szFile :
         {"world.glb", "world.labels.geojson", "legend.svg", "world.legend.svg", "city/city.gltf",
          "city/city.bin", "city/city.labels.geojson", "city/legend.svg", "city/range.xml",
          "tiles/tileset.json", "tiles/0/0.glb", "tiles/1.glb"})
        Touch(szFile);
    const struct {
        std::string strScene;
        std::vector<std::string> expected; // folder, page, type, scene, labels, legend, title
    } cases[] = {
        {dir + "/world.glb",
         {dir, "world.html", "glb", "world.glb", "world.labels.geojson", dir + "/world.legend.svg",
          "world.glb"}},
        {dir + "/city/city.gltf",
         {dir + "/city", "city.html", "gltf", "city.gltf", "city.labels.geojson",
          dir + "/city/legend.svg", "city.gltf"}},
        {dir + "/city",
         {dir + "/city", "index.html", "gltf", "city.gltf", "city.labels.geojson",
          dir + "/city/legend.svg", "city.gltf"}},
        {dir + "/tiles",
         {dir + "/tiles", "index.html", "tileset", "tileset.json", "", "", "tiles"}},
    };
    for (const auto& c : cases) {
        const ViewPlan plan = ViewCommand::Plan(c.strScene, "");
        EXPECT_EQ((std::vector<std::string>{plan.strDir, plan.strPage, plan.strType, plan.strScene,
                                            plan.strLabels, plan.strLegend, plan.strTitle}),
                  c.expected)
            << c.strScene;
    }
}

TEST_F(ViewCommandTest, RefusesWhatIsNoScene) {
    Touch("two/a.glb");
    Touch("two/b.gltf");
    fs::create_directories(dir + "/empty");
    Touch("scene.obj");
    Touch("one/a.glb");
    for (const std::string& strScene :
         {dir + "/two", dir + "/empty", dir + "/scene.obj", dir + "/missing.glb", dir + "/missing"})
        EXPECT_THROW(ViewCommand::Plan(strScene, ""), ToolError) << strScene;
    EXPECT_THROW(ViewCommand::Plan(dir + "/one", dir + "/no-legend.svg"), ToolError);
}

TEST(ViewCommandPage, FillsTheSlotsAndKeepsTheScriptBlockClosedOnlyByItself) {
    ViewPlan plan;
    plan.strType = "glb";
    plan.strScene = "a b.glb";
    plan.strLabels = "a b.labels.geojson";
    plan.strTitle = "</script><script>alert(1)</script>";
    const std::string strPage =
        ViewCommand::PageHtml("<script type=\"application/json\"><!--THEME3D_CONFIG--></script>"
                              "<div><!--THEME3D_LEGEND--></div>",
                              plan, "<?xml version=\"1.0\"?>\n<svg width=\"10\"><rect/></svg>\n");
    EXPECT_EQ(strPage,
              "<script type=\"application/json\">"
              "{\"type\":\"glb\",\"scene\":\"a%20b.glb\","
              "\"title\":\"\\u003c/script>\\u003cscript>alert(1)\\u003c/script> - theme3d\","
              "\"labels\":\"a%20b.labels.geojson\"}</script>"
              "<div><svg width=\"10\"><rect/></svg></div>");
    // No labels, and a legend file that holds no SVG: neither is named.
    plan.strLabels.clear();
    plan.strTitle = "t";
    EXPECT_EQ(ViewCommand::PageHtml("<!--THEME3D_CONFIG-->|<!--THEME3D_LEGEND-->", plan, "<html/>"),
              "{\"type\":\"glb\",\"scene\":\"a%20b.glb\",\"title\":\"t - theme3d\"}|");
    EXPECT_THROW(ViewCommand::PageHtml("<html/>", plan, ""), ToolError);
}
