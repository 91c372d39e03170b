#include "MeshData.h"

#include <cmath>

namespace theme3d {

Primitive& MeshData::For(TOVO::TovoColor color, int nMode) {
    for (Primitive& primitive : primitives) {
        if (primitive.color == color && primitive.nMode == nMode)
            return primitive;
    }
    primitives.push_back(Primitive{});
    primitives.back().color = color;
    primitives.back().nMode = nMode;
    return primitives.back();
}

bool MeshData::IsEmpty() const {
    for (const Primitive& primitive : primitives) {
        if (!primitive.IsEmpty())
            return false;
    }
    return true;
}

bool MeshData::IsFinite() const {
    for (const Primitive& primitive : primitives) {
        for (float f : primitive.positions) {
            if (!std::isfinite(f))
                return false;
        }
    }
    return true;
}

} // namespace theme3d
