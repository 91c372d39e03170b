// A small reader of what the tile writers produce, independent of them: the JSON and binary
// chunks of a .glb, accessors of tightly packed views, and property table columns.
#pragma once

#include <cstdint>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace glbtest {

struct Glb {
    nlohmann::json json;
    std::string bin;
    bool ok = false;

    explicit Glb(const std::string& bytes) {
        if (bytes.size() < 20 || bytes.compare(0, 4, "glTF") != 0)
            return;
        std::uint32_t nJson = 0;
        std::memcpy(&nJson, bytes.data() + 12, 4);
        json = nlohmann::json::parse(bytes.substr(20, nJson));
        const std::size_t nAt = 20 + nJson;
        if (bytes.size() >= nAt + 8) {
            std::uint32_t nBin = 0;
            std::memcpy(&nBin, bytes.data() + nAt, 4);
            bin = bytes.substr(nAt + 8, nBin);
        }
        ok = true;
    }

    std::string View(int nView) const {
        const auto& view = json["bufferViews"][static_cast<std::size_t>(nView)];
        return bin.substr(view["byteOffset"].get<std::size_t>(),
                          view["byteLength"].get<std::size_t>());
    }

    // The values of a float accessor as doubles (components in order).
    std::vector<double> Accessor(int nAccessor) const {
        const auto& accessor = json["accessors"][static_cast<std::size_t>(nAccessor)];
        const std::string bytes = View(accessor["bufferView"].get<int>());
        const std::string type = accessor["type"];
        const std::size_t nComponents = type == "SCALAR" ? 1
                                        : type == "VEC3" ? 3
                                        : type == "VEC4" ? 4
                                                         : 0;
        const std::size_t n = accessor["count"].get<std::size_t>() * nComponents;
        std::vector<double> values;
        const int nType = accessor["componentType"];
        for (std::size_t i = 0; i < n; ++i) {
            if (nType == 5126) { // the only component type the tests read
                float f;
                std::memcpy(&f, bytes.data() + 4 * i, 4);
                values.push_back(f);
            }
        }
        return values;
    }

    const nlohmann::json& Table() const {
        return json["extensions"]["EXT_structural_metadata"]["propertyTables"][0];
    }

    std::vector<std::string> Strings(const std::string& strProperty) const {
        const auto& column = Table()["properties"][strProperty];
        const std::string values = View(column["values"].get<int>());
        const std::string offsets = View(column["stringOffsets"].get<int>());
        std::vector<std::string> out;
        for (std::size_t i = 0; i + 8 <= offsets.size(); i += 4) {
            std::uint32_t a, b;
            std::memcpy(&a, offsets.data() + i, 4);
            std::memcpy(&b, offsets.data() + i + 4, 4);
            out.push_back(values.substr(a, b - a));
        }
        return out;
    }

    template <typename T> std::vector<T> Numbers(const std::string& strProperty) const {
        const std::string bytes = View(Table()["properties"][strProperty]["values"].get<int>());
        std::vector<T> out(bytes.size() / sizeof(T));
        std::memcpy(out.data(), bytes.data(), out.size() * sizeof(T));
        return out;
    }
};

} // namespace glbtest
