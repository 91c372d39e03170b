#include "TileTree.h"

#include <algorithm>

namespace theme3d {

namespace {

using Iter = std::vector<TreeEntry>::iterator;

// Splits [first, last) at the median along x or y; returns the middle.
Iter SplitAt(Iter first, Iter last, bool bX) {
    const Iter mid = first + (last - first) / 2;
    std::nth_element(first, mid, last, [bX](const TreeEntry& a, const TreeEntry& b) {
        const double da = bX ? a.x : a.y, db = bX ? b.x : b.y;
        return da != db ? da < db : a.nIndex < b.nIndex;
    });
    return mid;
}

bool Wider(Iter first, Iter last) {
    double x0 = first->x, x1 = first->x, y0 = first->y, y1 = first->y;
    for (Iter it = first; it != last; ++it) {
        x0 = std::min(x0, it->x);
        x1 = std::max(x1, it->x);
        y0 = std::min(y0, it->y);
        y1 = std::max(y1, it->y);
    }
    return x1 - x0 >= y1 - y0;
}

} // namespace

TileTree::TileTree(std::vector<TreeEntry> entries, std::size_t nPerTile, std::size_t nOverview)
    : m_nPerTile(std::max<std::size_t>(1, nPerTile)),
      m_nOverview(std::min(nOverview, std::max<std::size_t>(1, nPerTile))) {
    Build(entries.begin(), entries.end(), 0);
}

std::size_t TileTree::Build(Iter first, Iter last, int nDepth) {
    const std::size_t nNode = m_nodes.size();
    m_nodes.emplace_back();
    m_nodes[nNode].nDepth = nDepth;
    const std::size_t nCount = static_cast<std::size_t>(last - first);
    std::vector<std::uint32_t> own;
    if (nCount <= m_nPerTile) {
        for (Iter it = first; it != last; ++it)
            own.push_back(it->nIndex);
        first = last;
    } else if (m_nOverview > 0) {
        // The largest features (ties by index) stay here; they are moved to the front.
        const Iter keep = first + static_cast<std::ptrdiff_t>(m_nOverview);
        std::nth_element(first, keep, last, [](const TreeEntry& a, const TreeEntry& b) {
            return a.fSize != b.fSize ? a.fSize > b.fSize : a.nIndex < b.nIndex;
        });
        for (Iter it = first; it != keep; ++it)
            own.push_back(it->nIndex);
        first = keep;
    }
    std::sort(own.begin(), own.end());
    m_nodes[nNode].features = std::move(own);
    if (first == last)
        return nNode;
    const bool bX = Wider(first, last);
    const Iter mid = SplitAt(first, last, bX);
    std::vector<std::pair<Iter, Iter>> parts;
    for (auto [a, b] : {std::make_pair(first, mid), std::make_pair(mid, last)}) {
        if (static_cast<std::size_t>(b - a) <= m_nPerTile) {
            parts.emplace_back(a, b);
            continue;
        }
        const Iter m = SplitAt(a, b, !bX);
        parts.emplace_back(a, m);
        parts.emplace_back(m, b);
    }
    for (auto [a, b] : parts) {
        if (a == b)
            continue;
        const std::size_t nChild = Build(a, b, nDepth + 1);
        m_nodes[nNode].children.push_back(nChild);
    }
    return nNode;
}

} // namespace theme3d
