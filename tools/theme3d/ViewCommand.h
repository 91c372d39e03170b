// theme3d view: a web page next to a scene that shows it on a globe (the viewer bundled by the
// build from tools/viewer), and with --serve a small HTTP server for it on 127.0.0.1, because
// browsers refuse to run the page's workers and fetches from file:// addresses.
#pragma once

#include <atomic>
#include <functional>
#include <string>

namespace theme3d {

struct ViewOptions {
    std::string strScene;  // a .glb or .gltf, a tileset folder, or a folder holding one scene
    std::string strLegend; // the legend SVG; found beside the scene when empty
    bool bServe = false;
    int nPort = 0; // 0: any free port
};

// What the page shows and where it goes; paths of the scene files are relative to strDir.
struct ViewPlan {
    std::string strDir;    // the folder the page and its assets are written to
    std::string strPage;   // the page's file name in strDir
    std::string strType;   // "glb", "gltf" or "tileset"
    std::string strScene;  // the scene, relative to strDir
    std::string strLabels; // the labels GeoJSON, relative to strDir; empty when there is none
    std::string strLegend; // the legend SVG's path as given or found; empty when there is none
    std::string strTitle;
};

class ViewCommand {
public:
    static void Run(const ViewOptions& options);

    // Decides what the page shows. Throws ToolError for a scene that is missing, or a folder
    // with neither a tileset.json nor exactly one .glb or .gltf.
    static ViewPlan Plan(const std::string& strScene, const std::string& strLegend);

    // The page: the viewer's template with the configuration and the legend's SVG filled in.
    static std::string PageHtml(const std::string& strTemplate, const ViewPlan& plan,
                                const std::string& strLegendSvg);

    // Where the bundled viewer is: THEME3D_VIEWER, <exe>/viewer, <exe>/../share/theme3d/viewer,
    // the build tree's. Throws ToolError when it was never built.
    static std::string ViewerDir();

    // A relative path as a URL path: every byte outside the unreserved set and '/' escaped.
    static std::string UrlPath(const std::string& strPath);
};

// Serves the files under one folder to this machine only: GET and HEAD, one request per
// connection, nothing outside the folder.
class StaticServer {
public:
    explicit StaticServer(std::string strRoot);
    ~StaticServer();
    StaticServer(const StaticServer&) = delete;
    StaticServer& operator=(const StaticServer&) = delete;

    // Binds 127.0.0.1:nPort (0: a free port) and listens; returns the port. Throws ToolError.
    int Listen(int nPort);
    // Answers requests until bStop becomes true (checked at least every 200 ms).
    void Run(const std::atomic<bool>& bStop);

    // The file a request path names under the root, or empty when it names none there (a
    // ".." step, a NUL or a bad escape).
    static std::string Resolve(const std::string& strRoot, const std::string& strTarget);
    static const char* ContentType(const std::string& strPath);

private:
    void Answer(int nSocket) const;

    std::string m_strRoot;
    int m_nListen = -1;
};

} // namespace theme3d
