// Finds and loads the theme plug-in by file name, the way a host does, and keeps its factory.
// Places searched, in order: the --plugin path, the THEME3D_PLUGIN environment variable, the
// folder of the executable, the install folder. The first of them that is given (or, for the last
// two, that holds the file) is the one used; a plug-in that is found but cannot be loaded is an
// error, not a reason to try the next place.
#pragma once

#include "ThemeBridge.h"

#include <functional>
#include <memory>
#include <string>

namespace KRS {
class KrTheme3D;
class KrTheme3DFactory;
} // namespace KRS

namespace theme3d {

class PluginLoader {
public:
    static constexpr const char* kFileName = "VyTheme3DBase600.t3d";
    static constexpr const char* kEnvironment = "THEME3D_PLUGIN";

    // Loads the plug-in; strExplicit is the --plugin argument (empty when not given).
    // Throws ToolError when no plug-in is found or it cannot be loaded.
    explicit PluginLoader(const std::string& strExplicit);
    ~PluginLoader();
    PluginLoader(const PluginLoader&) = delete;
    PluginLoader& operator=(const PluginLoader&) = delete;

    KRS::KrTheme3DFactory& GetFactory() const { return *m_pFactory; }
    const std::string& GetPath() const { return m_strPath; }
    // Where the plug-in was found: "--plugin", "THEME3D_PLUGIN", "next to the executable" or
    // "install folder".
    const std::string& GetSource() const { return m_strSource; }

    // The table of the theme classes' own operations, from the companion library; loaded on first
    // use. Throws ToolError when the library is missing or does not fit.
    const ThemeBridge& GetBridge();

    // A new theme of the type from the factory; throws ToolError when the plug-in refuses it.
    std::unique_ptr<KRS::KrTheme3D> NewTheme(int nType) const;
    std::unique_ptr<KRS::KrTheme3D> CloneTheme(KRS::KrTheme3D& source) const;

    // The folder that holds the running executable.
    static std::string ExecutableDir();
    // The first of the folders that holds what the tool needs: the one the environment variable
    // szEnv names, if set, then the candidates. Throws ToolError "<strWhat> (looked in ...;
    // <strHint>)" when none does.
    static std::string FindFolder(const char* szEnv, const std::vector<std::string>& candidates,
                                  const std::function<bool(const std::string&)>& holds,
                                  const std::string& strWhat, const std::string& strHint);

private:
    void Load();

    std::string m_strPath;
    std::string m_strSource;
    void* m_hModule = nullptr;
    KRS::KrTheme3DFactory* m_pFactory = nullptr;
    const ThemeBridge* m_pBridge = nullptr;
};

} // namespace theme3d
