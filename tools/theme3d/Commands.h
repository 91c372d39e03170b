// The subcommands of theme3d. Each returns normally on success and throws ToolError on failure;
// main turns that into one line on standard error and exit status 2. Outputs of a command appear
// together at its end, or not at all.
#pragma once

#include "Renderer.h"
#include "ThemeMaker.h"

#include <string>
#include <vector>

namespace theme3d {

struct CommonOptions {
    std::string strPlugin;      // --plugin
    std::string strLayer;       // --layer: a layer inside the file (the first when empty)
    bool bSkipFailures = false; // --skip-failures: go on without features OGR cannot read
    std::string strWhere;       // --where: an OGR attribute filter (all features when empty)
    std::string strSql;         // --sql: the layer is this query's result (none when empty)
    std::string strDialect;     // --dialect: the query's dialect (OGR SQL when empty)
};

// One input of a scene: a layer and the themes that draw it.
struct LayerSpec {
    std::string strPath, strLayer, strWhere, strSql, strDialect;
    std::vector<std::string> arrThemes;
};

// The render command's inputs as given: each LAYER file starts an input, and the options after
// it (-l, --where, --sql, --dialect, --theme) are that input's. A second -l for the same input
// starts another input from the same file. Options before the first file belong to it. Those
// given before the subcommand (common) apply to every input that does not set its own. An input
// without --theme is drawn in the default colours; the scene needs at least one theme.
class LayerArgs {
public:
    // (option, value) in command-line order; the option is "LAYER" for a file, "layer",
    // "where", "sql", "dialect" or "theme".
    using Item = std::pair<std::string, std::string>;
    static std::vector<LayerSpec> Group(const std::vector<Item>& items,
                                        const CommonOptions& common);
};

class Commands {
public:
    static void Info(const CommonOptions& common);
    // Describes a layer file, its layers and the layer read (as --layer, --sql, --where say).
    static void InfoLayer(const CommonOptions& common, const std::string& strPath);
    static void Classify(const CommonOptions& common, const std::string& strPath,
                         const RangeOptions& options, const std::string& strOutput);
    static void Unique(const CommonOptions& common, const std::string& strPath,
                       const std::string& strField, const std::string& strPalette,
                       const std::string& strOutput);
    static void Label(const CommonOptions& common, const std::string& strPath,
                      const std::string& strField, const std::string& strFormat,
                      const std::string& strOutput);
    static void Chart(const CommonOptions& common, const std::string& strPath,
                      const GraphOptions& options, const std::string& strOutput);
    static void Render(const CommonOptions& common, const std::vector<LayerSpec>& inputs,
                       const RenderOptions& options);
    static void Demo(const CommonOptions& common, const std::string& strDir, int nJobs);

    // The folder of the bundled sample layers: THEME3D_DATA, <exe>/../share/theme3d, the
    // source tree's data folder, the install folder.
    static std::string DataDir();
    static constexpr const char* kDemoLayer = "ne_110m_countries.gpkg";
};

} // namespace theme3d
