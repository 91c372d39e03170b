#include "GlbBuilder.h"

#include "CheckedFile.h"
#include "GlbWriter.h"
#include "OutputFiles.h"
#include "ToolError.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace theme3d {

namespace {

// glTF colour factors are linear; the themes' colours are sRGB.
double Linear(unsigned c) {
    const double s = c / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

void PutU32(std::string& out, std::uint32_t n) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
}

} // namespace

GlbBuilder::GlbBuilder() {
    m_json["asset"] = {{"version", "2.0"}, {"generator", "theme3d"}};
}

int GlbBuilder::AddView(const void* pData, std::size_t nBytes, Target target) {
    m_bin.resize(m_bin.size() + (8 - m_bin.size() % 8) % 8, 0);
    // glTF forbids empty views, yet a column of empty texts still needs one: it gets a zero
    // byte that no offset reaches.
    static const unsigned char kZero = 0;
    if (nBytes == 0) {
        pData = &kZero;
        nBytes = 1;
    }
    nlohmann::ordered_json view = {
        {"buffer", 0}, {"byteOffset", m_bin.size()}, {"byteLength", nBytes}};
    if (target != NoTarget)
        view["target"] = static_cast<int>(target);
    const auto* pBytes = static_cast<const unsigned char*>(pData);
    m_bin.insert(m_bin.end(), pBytes, pBytes + nBytes);
    nlohmann::ordered_json& views = m_json["bufferViews"];
    views.push_back(view);
    return static_cast<int>(views.size() - 1);
}

int GlbBuilder::AddAccessor(int nView, Component component, const char* szType, std::size_t nCount,
                            const std::vector<double>& min, const std::vector<double>& max) {
    nlohmann::ordered_json accessor = {{"bufferView", nView},
                                       {"componentType", static_cast<int>(component)},
                                       {"count", nCount},
                                       {"type", szType}};
    if (!min.empty()) {
        accessor["min"] = min;
        accessor["max"] = max;
    }
    nlohmann::ordered_json& accessors = m_json["accessors"];
    accessors.push_back(accessor);
    return static_cast<int>(accessors.size() - 1);
}

int GlbBuilder::Material(TOVO::TovoColor color) {
    const auto it = m_materials.find(color);
    if (it != m_materials.end())
        return it->second;
    char szName[16];
    std::snprintf(szName, sizeof szName, "#%02X%02X%02X", TOVO::TovoGetRValue(color),
                  TOVO::TovoGetGValue(color), TOVO::TovoGetBValue(color));
    nlohmann::ordered_json material = {
        {"name", szName},
        {"pbrMetallicRoughness",
         {{"baseColorFactor",
           {Linear(TOVO::TovoGetRValue(color)), Linear(TOVO::TovoGetGValue(color)),
            Linear(TOVO::TovoGetBValue(color)), TOVO::TovoGetAValue(color) / 255.0}},
          {"metallicFactor", 0.0},
          {"roughnessFactor", 0.9}}}};
    // One-sided: every face is wound to look outwards, so the far side of a globe-sized layer
    // is culled instead of showing through.
    if (TOVO::TovoGetAValue(color) < 255)
        material["alphaMode"] = "BLEND";
    nlohmann::ordered_json& materials = m_json["materials"];
    materials.push_back(material);
    const int nMaterial = static_cast<int>(materials.size() - 1);
    m_materials[color] = nMaterial;
    return nMaterial;
}

void GlbBuilder::UseExtension(const std::string& strName) {
    nlohmann::ordered_json& used = m_json["extensionsUsed"];
    for (const auto& name : used) {
        if (name == strName)
            return;
    }
    used.push_back(strName);
}

std::string GlbBuilder::JsonText(const std::string& strBinUri) const {
    nlohmann::ordered_json json = m_json;
    // glTF forbids an empty buffer: a scene with no geometry has none.
    if (!m_bin.empty() && strBinUri.empty())
        json["buffers"] = {{{"byteLength", m_bin.size()}}};
    else if (!m_bin.empty())
        json["buffers"] = {{{"uri", strBinUri}, {"byteLength", m_bin.size()}}};
    return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string GlbBuilder::ToGlb() const {
    std::string strJson = JsonText();
    GlbWriter::CheckSize(GlbWriter::Size(strJson.size(), m_bin.size()), "scene");
    strJson.append((4 - strJson.size() % 4) % 4, ' ');
    const std::size_t nBin = m_bin.size() + (4 - m_bin.size() % 4) % 4;
    const std::size_t nTotal = 12 + 8 + strJson.size() + (m_bin.empty() ? 0 : 8 + nBin);
    std::string out;
    out.reserve(nTotal);
    out.append("glTF");
    PutU32(out, 2);
    PutU32(out, static_cast<std::uint32_t>(nTotal));
    PutU32(out, static_cast<std::uint32_t>(strJson.size()));
    out.append("JSON");
    out.append(strJson);
    if (!m_bin.empty()) {
        PutU32(out, static_cast<std::uint32_t>(nBin));
        out.append("BIN", 3);
        out.push_back('\0');
        out.append(m_bin.begin(), m_bin.end());
        out.append(nBin - m_bin.size(), '\0');
    }
    return out;
}

void GlbBuilder::Write(CheckedFile& file, const std::string& strTarget) const {
    const std::string strJson = JsonText();
    GlbWriter::CheckSize(GlbWriter::Size(strJson.size(), m_bin.size()), strTarget);
    GlbWriter::Write(strJson, m_bin, file);
}

std::string GlbBuilder::BinPath(const std::string& strTarget) {
    const std::size_t nDot = strTarget.rfind('.');
    return (nDot == std::string::npos ? strTarget : strTarget.substr(0, nDot)) + ".bin";
}

void GlbBuilder::WriteGltf(OutputFiles& outputs, const std::string& strTarget) const {
    const std::string strBin = BinPath(strTarget);
    // The document names its buffer by a relative URI: the file name, percent-encoded.
    std::string strUri;
    for (const char c : strBin.substr(strBin.rfind('/') + 1)) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (std::isalnum(u) != 0 || c == '-' || c == '.' || c == '_' || c == '~') {
            strUri += c;
        } else {
            static const char kHex[] = "0123456789ABCDEF";
            strUri += '%';
            strUri += kHex[u >> 4];
            strUri += kHex[u & 0xF];
        }
    }
    const std::unique_ptr<CheckedFile> pFile = outputs.Open(strTarget);
    pFile->Write(JsonText(m_bin.empty() ? std::string() : strUri));
    pFile->Close();
    if (m_bin.empty())
        return;
    const std::unique_ptr<CheckedFile> pBin = outputs.Open(strBin);
    pBin->Write(m_bin.data(), m_bin.size());
    pBin->Close();
}

} // namespace theme3d
