// Features parked on disk between reading the layer and drawing its tiles, so that memory holds
// one tile's features rather than the layer's. The file is unlinked as soon as it is made: it
// goes away with the process however that ends. Reads may come from several threads at once.
#pragma once

#include "LayerReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace theme3d {

class FeatureSpill {
public:
    // The file is made in strDir (the system's temporary folder when empty); errors name
    // strTarget, the output it is for.
    explicit FeatureSpill(const std::string& strDir = "", const std::string& strTarget = "");
    ~FeatureSpill();
    FeatureSpill(const FeatureSpill&) = delete;
    FeatureSpill& operator=(const FeatureSpill&) = delete;

    // Appends a feature; its number is the count before. Throws ToolError when the disk is full.
    std::uint32_t Append(const Feature& feature);
    // Makes everything appended readable.
    void Flush();
    std::size_t GetCount() const { return m_offsets.size() - 1; }
    // The feature of that number, as it was appended.
    Feature Read(std::uint32_t nFeature) const;

private:
    [[noreturn]] void Fail(const char* szWhat) const;

    std::string m_strTarget;
    int m_fd = -1;
    std::string m_buffer;
    std::vector<std::uint64_t> m_offsets{0};
};

} // namespace theme3d
