// Theme XML documents on disk: read into a theme made by the plug-in's factory, and written from
// a theme's own ToXML.
#pragma once

#include <memory>
#include <string>

namespace KRS {
class KrTheme3D;
}

namespace theme3d {

class OutputFiles;
class PluginLoader;

class ThemeFile {
public:
    // Reads the document, learns the theme type from its common part (read by the host's base
    // class), and has a new theme of that type read it. Throws ToolError for a missing or
    // unreadable file.
    static std::unique_ptr<KRS::KrTheme3D> Read(const PluginLoader& plugin,
                                                const std::string& strPath);
    // Adds the theme's XML, written for strPath, to the outputs.
    static void Write(const KRS::KrTheme3D& theme, const std::string& strPath,
                      OutputFiles& outputs);

    static const char* TypeName(int nType);
};

} // namespace theme3d
