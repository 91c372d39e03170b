#include "ViewCommand.h"

#include "OutputFiles.h"
#include "PluginLoader.h"
#include "SignalCleanup.h"
#include "ToolError.h"
#include "Utf8.h"

#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <netinet/in.h>
#include <nlohmann/json.hpp>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#ifndef THEME3D_VIEWER_BUILDDIR
#define THEME3D_VIEWER_BUILDDIR ""
#endif
#ifndef THEME3D_INSTALL_DATADIR
#define THEME3D_INSTALL_DATADIR "/usr/local/share/theme3d"
#endif

namespace fs = std::filesystem;

namespace theme3d {

namespace {

constexpr const char* kAssets = "theme3d-viewer";
constexpr const char* kTemplate = "page.html";

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ToolError("cannot read '" + path.string() + "'");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool EndsWith(const std::string& str, const std::string& strEnd) {
    return str.size() >= strEnd.size() &&
           str.compare(str.size() - strEnd.size(), strEnd.size(), strEnd) == 0;
}

std::string FirstExisting(const fs::path& dir, const std::vector<std::string>& names) {
    std::error_code ec;
    for (const std::string& strName : names) {
        if (fs::is_regular_file(dir / strName, ec))
            return strName;
    }
    return {};
}

// The legend's <svg> element alone, ready to stand inside the page.
std::string InlineSvg(const std::string& strSvg) {
    const std::size_t start = strSvg.find("<svg");
    const std::size_t end = strSvg.rfind("</svg>");
    if (start == std::string::npos || end == std::string::npos || end < start)
        return {};
    return strSvg.substr(start, end + 6 - start);
}

void ReplaceOnce(std::string& str, const std::string& strSlot, const std::string& strValue) {
    const std::size_t at = str.find(strSlot);
    if (at == std::string::npos)
        throw ToolError(std::string("the viewer's page has no slot ") + strSlot);
    str.replace(at, strSlot.size(), strValue);
}

// Copies the viewer's assets beside the page, replacing an older copy only once the new one is
// whole.
void CopyAssets(const fs::path& from, const fs::path& dir) {
    const fs::path target = dir / kAssets;
    int nSlot = -1;
    const fs::path temp(SignalCleanup::MakeTempFolder(target.string(), nSlot));
    std::error_code ec;
    fs::copy(from, temp, fs::copy_options::recursive, ec);
    if (!ec) {
        fs::remove_all(target, ec);
        if (!ec)
            fs::rename(temp, target, ec);
    }
    if (ec) {
        std::error_code ignored;
        fs::remove_all(temp, ignored);
    }
    SignalCleanup::Forget(nSlot);
    if (ec)
        throw ToolError("cannot write '" + target.string() + "': " + ec.message());
}

bool SendAll(int nSocket, const char* p, std::size_t n) {
    while (n > 0) {
        const ssize_t sent = send(nSocket, p, n, MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        p += sent;
        n -= static_cast<std::size_t>(sent);
    }
    return true;
}

void SendStatus(int nSocket, const char* szStatus) {
    const std::string strBody = std::string(szStatus) + "\n";
    const std::string strHead =
        std::string("HTTP/1.1 ") + szStatus +
        "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(strBody.size()) +
        "\r\nConnection: close\r\n\r\n";
    SendAll(nSocket, strHead.data(), strHead.size());
    SendAll(nSocket, strBody.data(), strBody.size());
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::atomic<bool> g_bInterrupted{false};

extern "C" void OnInterrupt(int) {
    g_bInterrupted = true;
}

} // namespace

std::string ViewCommand::UrlPath(const std::string& strPath) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string strOut;
    for (const char c : strPath) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) != 0 || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            strOut += c;
        } else {
            strOut += '%';
            strOut += kHex[u >> 4];
            strOut += kHex[u & 15];
        }
    }
    return strOut;
}

ViewPlan ViewCommand::Plan(const std::string& strScene, const std::string& strLegend) {
    std::error_code ec;
    fs::path scene(strScene);
    ViewPlan plan;
    if (fs::is_directory(scene, ec)) {
        plan.strDir = scene.string();
        plan.strPage = "index.html";
        if (fs::is_regular_file(scene / "tileset.json", ec)) {
            plan.strType = "tileset";
            plan.strScene = "tileset.json";
            plan.strLabels = FirstExisting(scene, {"tileset.labels.geojson", "labels.geojson"});
        } else {
            std::vector<std::string> glbs;
            for (const fs::directory_entry& entry : fs::directory_iterator(scene, ec)) {
                const std::string strName = entry.path().filename().string();
                if (entry.is_regular_file(ec) &&
                    (EndsWith(strName, ".glb") || EndsWith(strName, ".gltf")))
                    glbs.push_back(strName);
            }
            if (glbs.size() != 1)
                throw ToolError("'" + strScene + "' holds " +
                                (glbs.empty() ? std::string("no tileset.json and no .glb")
                                              : std::to_string(glbs.size()) + " glTF scenes") +
                                "; name the scene to view");
            plan.strType = EndsWith(glbs.front(), ".gltf") ? "gltf" : "glb";
            plan.strScene = glbs.front();
        }
    } else if (fs::is_regular_file(scene, ec) && (EndsWith(scene.filename().string(), ".glb") ||
                                                  EndsWith(scene.filename().string(), ".gltf"))) {
        plan.strDir = scene.has_parent_path() ? scene.parent_path().string() : ".";
        plan.strType = EndsWith(scene.filename().string(), ".gltf") ? "gltf" : "glb";
        plan.strScene = scene.filename().string();
        plan.strPage = scene.stem().string() + ".html";
    } else if (fs::is_regular_file(scene, ec) && scene.filename() == "tileset.json") {
        return Plan(scene.has_parent_path() ? scene.parent_path().string() : ".", strLegend);
    } else {
        throw ToolError("'" + strScene +
                        "' is not a .glb, a .gltf, a tileset folder or a folder holding a scene");
    }
    const fs::path dir(plan.strDir);
    std::string strBase = plan.strScene;
    if (EndsWith(strBase, ".glb"))
        strBase.resize(strBase.size() - 4);
    else if (EndsWith(strBase, ".gltf"))
        strBase.resize(strBase.size() - 5);
    if (plan.strType != "tileset")
        plan.strLabels = FirstExisting(dir, {strBase + ".labels.geojson"});
    if (!strLegend.empty()) {
        if (!fs::is_regular_file(strLegend, ec))
            throw ToolError("legend '" + strLegend + "' not found");
        plan.strLegend = strLegend;
    } else {
        const std::string strFound =
            FirstExisting(dir, {strBase + ".legend.svg", strBase + ".svg", "legend.svg"});
        if (!strFound.empty())
            plan.strLegend = (dir / strFound).string();
    }
    plan.strTitle =
        plan.strType == "tileset" ? fs::absolute(dir, ec).filename().string() : plan.strScene;
    if (plan.strTitle.empty())
        plan.strTitle = plan.strScene;
    return plan;
}

std::string ViewCommand::PageHtml(const std::string& strTemplate, const ViewPlan& plan,
                                  const std::string& strLegendSvg) {
    nlohmann::ordered_json config = {{"type", plan.strType},
                                     {"scene", UrlPath(plan.strScene)},
                                     {"title", Utf8::Sanitize(plan.strTitle) + " - theme3d"}};
    if (!plan.strLabels.empty())
        config["labels"] = UrlPath(plan.strLabels);
    // Inside <script> a "</" would end the block whatever JSON means by it.
    std::string strJson;
    for (const char c : config.dump()) {
        if (c == '<')
            strJson += "\\u003c";
        else
            strJson += c;
    }
    std::string strPage = strTemplate;
    ReplaceOnce(strPage, "<!--THEME3D_CONFIG-->", strJson);
    ReplaceOnce(strPage, "<!--THEME3D_LEGEND-->", InlineSvg(strLegendSvg));
    return strPage;
}

std::string ViewCommand::ViewerDir() {
    std::vector<std::string> candidates{PluginLoader::ExecutableDir() + "/viewer",
                                        PluginLoader::ExecutableDir() + "/../share/theme3d/viewer"};
    if (*THEME3D_VIEWER_BUILDDIR != '\0')
        candidates.emplace_back(THEME3D_VIEWER_BUILDDIR);
    candidates.push_back(std::string(THEME3D_INSTALL_DATADIR) + "/viewer");
    return PluginLoader::FindFolder(
        "THEME3D_VIEWER", candidates,
        [](const std::string& strDir) {
            std::error_code ec;
            return fs::is_regular_file(fs::path(strDir) / kTemplate, ec) &&
                   fs::is_directory(fs::path(strDir) / kAssets, ec);
        },
        "the web viewer was not built",
        "run scripts/setup --tools, then build again, or set THEME3D_VIEWER");
}

void ViewCommand::Run(const ViewOptions& options) {
    const ViewPlan plan = Plan(options.strScene, options.strLegend);
    const fs::path viewer(ViewerDir());
    const std::string strLegendSvg = plan.strLegend.empty() ? "" : ReadText(plan.strLegend);
    const std::string strPage = PageHtml(ReadText(viewer / kTemplate), plan, strLegendSvg);
    const fs::path dir(plan.strDir);
    CopyAssets(viewer / kAssets, dir);
    OutputFiles outputs;
    outputs.Write((dir / plan.strPage).string(), strPage);
    outputs.Commit();
    std::cout << "wrote " << (dir / plan.strPage).string() << " and " << (dir / kAssets).string()
              << "/: " << plan.strType << " " << plan.strScene
              << (plan.strLabels.empty() ? "" : ", labels " + plan.strLabels)
              << (plan.strLegend.empty() ? "" : ", legend " + plan.strLegend) << '\n';
    if (!options.bServe) {
        std::cout << "serve the folder over HTTP to open it (browsers do not run it from a file):"
                     " theme3d view --serve "
                  << options.strScene << '\n';
        return;
    }
    StaticServer server(plan.strDir);
    const int nPort = server.Listen(options.nPort);
    std::cout << "serving http://127.0.0.1:" << nPort << "/" << UrlPath(plan.strPage)
              << " (Ctrl-C stops)" << std::endl;
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    server.Run(g_bInterrupted);
}

StaticServer::StaticServer(std::string strRoot) : m_strRoot(std::move(strRoot)) {}

StaticServer::~StaticServer() {
    if (m_nListen >= 0)
        close(m_nListen);
}

int StaticServer::Listen(int nPort) {
    if (nPort < 0 || nPort > 65535)
        throw ToolError("--port must be between 0 and 65535");
    m_nListen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_nListen < 0)
        throw ToolError(std::string("cannot open a socket: ") + std::strerror(errno));
    const int nYes = 1;
    setsockopt(m_nListen, SOL_SOCKET, SO_REUSEADDR, &nYes, sizeof nYes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(nPort));
    if (bind(m_nListen, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_nListen, 64) != 0)
        throw ToolError("cannot listen on 127.0.0.1:" + std::to_string(nPort) + ": " +
                        std::strerror(errno));
    socklen_t nLength = sizeof address;
    getsockname(m_nListen, reinterpret_cast<sockaddr*>(&address), &nLength);
    return ntohs(address.sin_port);
}

void StaticServer::Run(const std::atomic<bool>& bStop) {
    while (!bStop) {
        pollfd fd{m_nListen, POLLIN, 0};
        if (poll(&fd, 1, 200) <= 0)
            continue;
        const int nSocket = accept4(m_nListen, nullptr, nullptr, SOCK_CLOEXEC);
        if (nSocket < 0)
            continue;
        // A browser opens several connections at once and may leave one idle: each gets its own
        // thread, and a client that says nothing for 10 s is dropped.
        std::thread([this, nSocket] {
            timeval timeout{10, 0};
            setsockopt(nSocket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
            setsockopt(nSocket, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
            Answer(nSocket);
            close(nSocket);
        }).detach();
    }
}

void StaticServer::Answer(int nSocket) const {
    std::string strRequest;
    char buffer[4096];
    while (strRequest.find("\r\n\r\n") == std::string::npos) {
        if (strRequest.size() > 65536) {
            SendStatus(nSocket, "431 Request Header Fields Too Large");
            return;
        }
        const ssize_t n = recv(nSocket, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        strRequest.append(buffer, static_cast<std::size_t>(n));
    }
    std::istringstream line(strRequest.substr(0, strRequest.find("\r\n")));
    std::string strMethod, strTarget, strVersion;
    line >> strMethod >> strTarget >> strVersion;
    if (strMethod != "GET" && strMethod != "HEAD") {
        SendStatus(nSocket, "405 Method Not Allowed");
        return;
    }
    const std::string strFile = Resolve(m_strRoot, strTarget);
    std::error_code ec;
    if (strFile.empty() || !fs::is_regular_file(strFile, ec)) {
        SendStatus(nSocket, "404 Not Found");
        return;
    }
    std::ifstream in(strFile, std::ios::binary);
    const auto nSize = fs::file_size(strFile, ec);
    if (!in || ec) {
        SendStatus(nSocket, "404 Not Found");
        return;
    }
    const std::string strHead = std::string("HTTP/1.1 200 OK\r\nContent-Type: ") +
                                ContentType(strFile) +
                                "\r\nContent-Length: " + std::to_string(nSize) +
                                "\r\nCache-Control: no-cache\r\nConnection: close\r\n\r\n";
    if (!SendAll(nSocket, strHead.data(), strHead.size()) || strMethod == "HEAD")
        return;
    std::vector<char> chunk(1 << 16);
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        if (in.gcount() > 0 &&
            !SendAll(nSocket, chunk.data(), static_cast<std::size_t>(in.gcount())))
            return;
    }
}

std::string StaticServer::Resolve(const std::string& strRoot, const std::string& strTarget) {
    std::string strPath = strTarget.substr(0, strTarget.find_first_of("?#"));
    if (strPath.empty() || strPath[0] != '/')
        return {};
    std::string strDecoded;
    for (std::size_t i = 0; i < strPath.size(); ++i) {
        if (strPath[i] != '%') {
            strDecoded += strPath[i];
            continue;
        }
        const int hi = i + 2 < strPath.size() ? HexDigit(strPath[i + 1]) : -1;
        const int lo = hi >= 0 ? HexDigit(strPath[i + 2]) : -1;
        if (lo < 0)
            return {};
        strDecoded += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    if (strDecoded.find('\0') != std::string::npos || strDecoded.find('\\') != std::string::npos)
        return {};
    std::string strOut = strRoot;
    std::size_t start = 1;
    while (start <= strDecoded.size()) {
        std::size_t slash = strDecoded.find('/', start);
        if (slash == std::string::npos)
            slash = strDecoded.size();
        const std::string strStep = strDecoded.substr(start, slash - start);
        if (strStep == "..")
            return {};
        if (!strStep.empty() && strStep != ".")
            strOut += "/" + strStep;
        start = slash + 1;
    }
    return strOut == strRoot ? strRoot + "/index.html" : strOut;
}

const char* StaticServer::ContentType(const std::string& strPath) {
    static const std::pair<const char*, const char*> kTypes[] = {
        {".html", "text/html; charset=utf-8"},
        {".js", "text/javascript; charset=utf-8"},
        {".mjs", "text/javascript; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},
        {".json", "application/json"},
        {".geojson", "application/geo+json"},
        {".glb", "model/gltf-binary"},
        {".gltf", "model/gltf+json"},
        {".bin", "application/octet-stream"},
        {".svg", "image/svg+xml"},
        {".png", "image/png"},
        {".jpg", "image/jpeg"},
        {".wasm", "application/wasm"},
        {".txt", "text/plain; charset=utf-8"},
    };
    for (const auto& [szEnd, szType] : kTypes) {
        if (EndsWith(strPath, szEnd))
            return szType;
    }
    return "application/octet-stream";
}

} // namespace theme3d
