// The spatial tree of a tileset, built from one small entry per feature (where it stands and how
// big it is) before any feature is drawn. A node whose subtree holds more features than a tile
// should keeps the largest ones for itself, as the coarse overview a viewer draws first, and
// splits the rest at the median of its longer side, then of each half's other side, into up to
// four children (a k-d split by feature count, so dense areas get small tiles). Every feature
// lands in exactly one node; viewers add the children's features when they come closer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace theme3d {

struct TreeEntry {
    double x = 0.0, y = 0.0; // where the feature stands (longitude, latitude)
    float fSize = 0.0f;      // how large it is (its envelope's diagonal, degrees)
    std::uint32_t nIndex = 0;
};

struct TreeNode {
    std::vector<std::uint32_t> features; // indices of the features drawn in this node's tile
    std::vector<std::size_t> children;   // node indices
    int nDepth = 0;
};

class TileTree {
public:
    // nPerTile: most features in one tile (at least 1); nOverview: features an inner node keeps.
    TileTree(std::vector<TreeEntry> entries, std::size_t nPerTile, std::size_t nOverview);

    // Nodes in depth-first order; node 0 is the root. Within a node, features keep the order of
    // their indices, so a tile's content does not depend on how the tree was built.
    const std::vector<TreeNode>& GetNodes() const { return m_nodes; }

private:
    std::size_t Build(std::vector<TreeEntry>::iterator first, std::vector<TreeEntry>::iterator last,
                      int nDepth);

    std::size_t m_nPerTile, m_nOverview;
    std::vector<TreeNode> m_nodes;
};

} // namespace theme3d
