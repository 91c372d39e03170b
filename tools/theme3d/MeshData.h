// Tessellated geometry on its way into the scene: primitives of one colour each, in the scene's
// glTF coordinates.
#pragma once

#include "EnuFrame.h"
#include "VyBase600/TovoDefs.h"

#include <cstdint>
#include <vector>

namespace theme3d {

struct Primitive {
    enum Mode { Lines = 1, Triangles = 4 };
    TOVO::TovoColor color = 0;
    int nMode = Triangles;
    std::vector<float> positions; // x, y, z per vertex
    std::vector<std::uint32_t> indices;

    std::uint32_t AddVertex(const Vec3& v) {
        positions.push_back(static_cast<float>(v.x));
        positions.push_back(static_cast<float>(v.y));
        positions.push_back(static_cast<float>(v.z));
        return static_cast<std::uint32_t>(positions.size() / 3 - 1);
    }
    void AddTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        indices.insert(indices.end(), {a, b, c});
    }
    bool IsEmpty() const { return indices.empty(); }
};

struct MeshData {
    std::vector<Primitive> primitives;

    // The primitive of that colour and mode, made on first use (one primitive per colour keeps
    // the material count equal to the number of colours drawn).
    Primitive& For(TOVO::TovoColor color, int nMode);
    bool IsEmpty() const;
    // Every position is a finite number (an absurd input can make a float overflow).
    bool IsFinite() const;
};

} // namespace theme3d
