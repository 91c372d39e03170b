// The binary glTF container written piece by piece into a checked file: header, JSON chunk,
// binary chunk. Its lengths are 32-bit, so a scene of 4 GiB or more cannot be a GLB: it is
// refused before anything is written, with the size it would have had.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace theme3d {

class CheckedFile;

class GlbWriter {
public:
    // The largest file a GLB header can describe.
    static constexpr unsigned long long kMaxSize = 0xFFFFFFFFull;

    // The size of the file for a JSON text and binary chunk of these lengths (chunks padded to
    // four bytes; no binary chunk when it is empty).
    static unsigned long long Size(std::size_t nJson, std::size_t nBin);
    // Throws ToolError when a file of nSize bytes would not fit a GLB.
    static void CheckSize(unsigned long long nSize, const std::string& strTarget);
    // Writes the container; the caller has checked the size and closes the file.
    static void Write(const std::string& strJson, const std::vector<unsigned char>& bin,
                      CheckedFile& file);
};

} // namespace theme3d
