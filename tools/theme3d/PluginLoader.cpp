#include "PluginLoader.h"

#include "ToolError.h"
#include "VyScene600/KrTheme3D.h"
#include "VyScene600/KrTheme3DFactory.h"

#include <cstdlib>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#ifndef THEME3D_INSTALL_LIBDIR
#define THEME3D_INSTALL_LIBDIR "/usr/local/lib"
#endif

namespace theme3d {

namespace {

constexpr const char* kBridgeFile = "theme3d-bridge.so";

bool IsFile(const std::string& strPath) {
    struct stat st {};
    return stat(strPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string LastDlError() {
    const char* sz = dlerror();
    return sz ? sz : "unknown error";
}

} // namespace

PluginLoader::PluginLoader(const std::string& strExplicit) {
    const char* szEnv = std::getenv(kEnvironment);
    const std::string strBesideExe = ExecutableDir() + "/" + kFileName;
    const std::string strInstalled = std::string(THEME3D_INSTALL_LIBDIR) + "/" + kFileName;
    if (!strExplicit.empty()) {
        m_strPath = strExplicit;
        m_strSource = "--plugin";
    } else if (szEnv != nullptr && *szEnv != '\0') {
        m_strPath = szEnv;
        m_strSource = kEnvironment;
    } else if (IsFile(strBesideExe)) {
        m_strPath = strBesideExe;
        m_strSource = "next to the executable";
    } else if (IsFile(strInstalled)) {
        m_strPath = strInstalled;
        m_strSource = "install folder";
    } else {
        throw ToolError(std::string("plug-in ") + kFileName +
                        " not found: give --plugin PATH or set " + kEnvironment + " (looked in " +
                        ExecutableDir() + " and " + THEME3D_INSTALL_LIBDIR + ")");
    }
    Load();
}

PluginLoader::~PluginLoader() {
    // The factory goes back to the plug-in's own destructor. The library stays loaded: themes
    // and geometry the process still holds may point into it until exit.
    delete m_pFactory;
}

void PluginLoader::Load() {
    if (!IsFile(m_strPath))
        throw ToolError("plug-in '" + m_strPath + "' (from " + m_strSource + ") not found");
    // RTLD_GLOBAL: the companion library binds the theme classes' symbols to this module.
    m_hModule = dlopen(m_strPath.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (m_hModule == nullptr)
        throw ToolError("cannot load plug-in '" + m_strPath + "': " + LastDlError());
    auto pfnCreate =
        reinterpret_cast<KRS::PFN_CreateTheme3DFactory>(dlsym(m_hModule, "CreateTheme3DFactory"));
    if (pfnCreate == nullptr)
        throw ToolError("'" + m_strPath + "' is not a theme plug-in: no CreateTheme3DFactory");
    m_pFactory = pfnCreate();
    if (m_pFactory == nullptr)
        throw ToolError("plug-in '" + m_strPath + "' made no factory");
}

const ThemeBridge& PluginLoader::GetBridge() {
    if (m_pBridge != nullptr)
        return *m_pBridge;
    std::string strPath = ExecutableDir() + "/" + kBridgeFile;
    if (!IsFile(strPath))
        strPath = std::string(THEME3D_INSTALL_LIBDIR) + "/theme3d/" + kBridgeFile;
    if (!IsFile(strPath))
        throw ToolError(std::string("companion library ") + kBridgeFile + " not found in " +
                        ExecutableDir() + " or " + THEME3D_INSTALL_LIBDIR + "/theme3d");
    void* hBridge = dlopen(strPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (hBridge == nullptr)
        throw ToolError("plug-in '" + m_strPath +
                        "' lacks the theme classes the tool needs: " + LastDlError());
    auto pfnBridge = reinterpret_cast<PFN_Theme3DToolBridge>(dlsym(hBridge, "Theme3DToolBridge"));
    if (pfnBridge == nullptr || pfnBridge()->nVersion != kThemeBridgeVersion)
        throw ToolError("companion library '" + strPath + "' does not fit this tool");
    m_pBridge = pfnBridge();
    return *m_pBridge;
}

std::unique_ptr<KRS::KrTheme3D> PluginLoader::NewTheme(int nType) const {
    std::unique_ptr<KRS::KrTheme3D> pTheme(m_pFactory->NewTheme3D(nType));
    if (!pTheme)
        throw ToolError("plug-in '" + m_strPath + "' does not make themes of type " +
                        std::to_string(nType));
    return pTheme;
}

std::unique_ptr<KRS::KrTheme3D> PluginLoader::CloneTheme(KRS::KrTheme3D& source) const {
    std::unique_ptr<KRS::KrTheme3D> pTheme(m_pFactory->CloneTheme3D(&source));
    if (!pTheme)
        throw ToolError("plug-in '" + m_strPath + "' cannot copy a theme of type " +
                        std::to_string(source.GetType()));
    return pTheme;
}

std::string PluginLoader::ExecutableDir() {
    std::vector<char> buffer(4096);
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return ".";
    std::string strExe(buffer.data(), static_cast<std::size_t>(n));
    const std::size_t slash = strExe.rfind('/');
    return slash == std::string::npos ? "." : strExe.substr(0, slash);
}

std::string PluginLoader::FindFolder(const char* szEnv, const std::vector<std::string>& candidates,
                                     const std::function<bool(const std::string&)>& holds,
                                     const std::string& strWhat, const std::string& strHint) {
    std::vector<std::string> folders;
    if (const char* sz = std::getenv(szEnv); sz != nullptr && *sz != '\0')
        folders.emplace_back(sz);
    folders.insert(folders.end(), candidates.begin(), candidates.end());
    std::string strLooked;
    for (const std::string& strDir : folders) {
        if (holds(strDir))
            return strDir;
        strLooked += (strLooked.empty() ? "" : ", ") + strDir;
    }
    throw ToolError(strWhat + " (looked in " + strLooked + "; " + strHint + ")");
}

} // namespace theme3d
