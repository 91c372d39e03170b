#include "ThemeFile.h"

#include "OutputFiles.h"
#include "PluginLoader.h"
#include "ToolError.h"
#include "VyScene600/KrTheme3D.h"
#include "VyScene600/KrTheme3DFactory.h"

#include <fstream>
#include <sstream>

namespace theme3d {

std::unique_ptr<KRS::KrTheme3D> ThemeFile::Read(const PluginLoader& plugin,
                                                const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    if (!in)
        throw ToolError("theme file '" + strPath + "' not found");
    std::ostringstream text;
    text << in.rdbuf();
    const TOVO::TovoMBString strXml(text.str());

    KRS::KrTheme3D probe;
    if (!probe.FromXML(strXml, 0, TOVO::TovoMBString(strPath)))
        throw ToolError("unreadable theme '" + strPath + "': not a theme document");
    const int nType = probe.GetType();
    if (!plugin.GetFactory().IsSupportTheme3D(nType))
        throw ToolError("unreadable theme '" + strPath + "': the plug-in has no theme of type " +
                        std::to_string(nType));
    std::unique_ptr<KRS::KrTheme3D> pTheme = plugin.NewTheme(nType);
    if (!pTheme->FromXML(strXml, 0, TOVO::TovoMBString(strPath)))
        throw ToolError("unreadable theme '" + strPath + "': the " + TypeName(nType) +
                        " theme refused it");
    return pTheme;
}

void ThemeFile::Write(const KRS::KrTheme3D& theme, const std::string& strPath,
                      OutputFiles& outputs) {
    const TOVO::TovoMBString strXml = theme.ToXML(0, TOVO::TovoMBString(strPath));
    if (strXml.IsEmpty())
        throw ToolError(std::string("the ") + TypeName(theme.GetType()) +
                        " theme wrote no XML for '" + strPath + "'");
    outputs.Write(strPath, strXml.Str());
}

const char* ThemeFile::TypeName(int nType) {
    switch (nType) {
    case KRS::KrTheme3D::Unique:
        return "unique";
    case KRS::KrTheme3D::Range:
        return "range";
    case KRS::KrTheme3D::Label:
        return "label";
    case KRS::KrTheme3D::Graph:
        return "graph";
    default:
        return "unknown";
    }
}

} // namespace theme3d
