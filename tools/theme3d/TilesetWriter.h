// tileset.json of a 3D Tiles 1.1 tileset whose tiles share one frame: the root's transform takes
// the layer's east-north-up frame (metres) to Earth-centred, Earth-fixed coordinates, so tilesets
// of different layers line up on a globe. Each tile's box holds its own content and its
// children's boxes; its geometric error is the size of the largest feature its descendants add
// (0 for a leaf), so a viewer draws the overview features of the upper tiles first and adds
// smaller features as it comes closer (refinement ADD: every feature is in exactly one tile).
#pragma once

#include "EnuFrame.h"
#include "TileBuilder.h"
#include "TileTree.h"

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace theme3d {

// What building one tile produced.
struct TileInfo {
    std::string strUri;    // relative to tileset.json; empty for a tile without content
    Box bounds;            // its content, in the scene's glTF coordinates
    double dLargest = 0.0; // the largest of its features, metres (diagonal of its box)
};

class TilesetWriter {
public:
    // The tileset of the tree's nodes with their tiles (same order and count as the nodes).
    static nlohmann::ordered_json Tileset(const std::vector<TreeNode>& nodes,
                                          const std::vector<TileInfo>& tiles,
                                          const EnuFrame& frame);

    // One tileset of several layers' tilesets (same frame): a root without content whose
    // children are their roots; a single tileset as it is.
    static nlohmann::ordered_json Join(const std::vector<nlohmann::ordered_json>& tilesets);

    // The 3D Tiles box (centre, three half axes) of a scene box, in the frame's east-north-up
    // axes (3D Tiles turns glTF's y-up content to z-up).
    static nlohmann::ordered_json BoxOf(const Box& box);

    // The column-major 4x4 matrix that takes east-north-up metres at the frame's origin to
    // Earth-centred, Earth-fixed metres.
    static std::vector<double> Transform(const EnuFrame& frame);
};

} // namespace theme3d
