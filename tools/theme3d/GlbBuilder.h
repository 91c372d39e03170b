// A binary glTF (.glb) under construction: the JSON document and one binary buffer. Unlike a
// general glTF model it writes exactly what the tile writers put in (extensions included) and
// keeps every buffer view aligned to 8 bytes, which the metadata tables need.
#pragma once

#include "VyBase600/TovoDefs.h"

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace theme3d {

class CheckedFile;
class OutputFiles;

class GlbBuilder {
public:
    enum Component {
        Byte = 5120,
        UByte = 5121,
        Short = 5122,
        UShort = 5123,
        UInt = 5125,
        Float = 5126
    };
    enum Target { NoTarget = 0, ArrayBuffer = 34962, ElementArrayBuffer = 34963 };

    GlbBuilder();

    nlohmann::ordered_json& Json() { return m_json; }

    // A buffer view over a copy of the bytes, starting on an 8-byte boundary (one zero byte for
    // none).
    int AddView(const void* pData, std::size_t nBytes, Target target = NoTarget);
    // An accessor of a whole view; min and max are written when given (POSITION needs them).
    int AddAccessor(int nView, Component component, const char* szType, std::size_t nCount,
                    const std::vector<double>& min = {}, const std::vector<double>& max = {});
    // The material of a colour, made on first use (sRGB colour in, linear factors out).
    int Material(TOVO::TovoColor color);
    // Adds the name to extensionsUsed once.
    void UseExtension(const std::string& strName);

    std::size_t GetBinarySize() const { return m_bin.size(); }
    // The file: header, JSON chunk, binary chunk. Throws ToolError past glTF's 4 GiB limit.
    std::string ToGlb() const;
    // The same file written into a checked file (which the caller closes).
    void Write(CheckedFile& file, const std::string& strTarget) const;

    // The same scene as JSON glTF (strTarget ends in .gltf): the document, and its buffer in
    // a file beside it named like it with .bin (none for a scene without geometry), both
    // through outputs.
    void WriteGltf(OutputFiles& outputs, const std::string& strTarget) const;
    // The buffer file of a .gltf target: the same name with .bin.
    static std::string BinPath(const std::string& strTarget);

private:
    std::string JsonText(const std::string& strBinUri = std::string()) const;

    nlohmann::ordered_json m_json;
    std::vector<unsigned char> m_bin;
    std::map<TOVO::TovoColor, int> m_materials;
};

} // namespace theme3d
