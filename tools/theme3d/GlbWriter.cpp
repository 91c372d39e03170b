#include "GlbWriter.h"

#include "CheckedFile.h"
#include "ToolError.h"

#include <cstdint>
#include <cstdio>

namespace theme3d {

namespace {

unsigned long long Padded(std::size_t n) {
    return (static_cast<unsigned long long>(n) + 3) / 4 * 4;
}

// Little-endian, as GLB stores every number.
void PutU32(CheckedFile& file, std::uint32_t n) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
        static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)};
    file.Write(bytes, 4);
}

} // namespace

unsigned long long GlbWriter::Size(std::size_t nJson, std::size_t nBin) {
    return 12 + 8 + Padded(nJson) + (nBin > 0 ? 8 + Padded(nBin) : 0);
}

void GlbWriter::CheckSize(unsigned long long nSize, const std::string& strTarget) {
    if (nSize <= kMaxSize)
        return;
    char sz[160];
    std::snprintf(sz, sizeof sz,
                  "scene too large for a GLB file: it would be %llu bytes (%.2f GiB); a GLB holds "
                  "at most 4 GiB",
                  nSize, static_cast<double>(nSize) / (1024.0 * 1024.0 * 1024.0));
    throw ToolError("cannot write '" + strTarget + "': " + sz);
}

void GlbWriter::Write(const std::string& strJson, const std::vector<unsigned char>& bin,
                      CheckedFile& file) {
    const unsigned long long nSize = Size(strJson.size(), bin.size());
    file.Write("glTF", 4);
    PutU32(file, 2);
    PutU32(file, static_cast<std::uint32_t>(nSize));
    PutU32(file, static_cast<std::uint32_t>(Padded(strJson.size())));
    PutU32(file, 0x4E4F534A); // "JSON"
    file.Write(strJson);
    file.Write("   ", Padded(strJson.size()) - strJson.size());
    if (bin.empty())
        return;
    PutU32(file, static_cast<std::uint32_t>(Padded(bin.size())));
    PutU32(file, 0x004E4942); // "BIN\0"
    file.Write(bin.data(), bin.size());
    file.Write("\0\0\0", Padded(bin.size()) - bin.size());
}

} // namespace theme3d
