#include "TilesetWriter.h"

#include <algorithm>
#include <cmath>

namespace theme3d {

namespace {

using Json = nlohmann::ordered_json;

// A flat layer's tiles have no height; a little thickness keeps every box a proper volume.
constexpr double kMinHalf = 0.05;

struct Subtree {
    Box volume;
    double dError = 0.0;   // the tile's geometric error
    double dLargest = 0.0; // the largest feature in the tile or below it
};

Json TileJson(const std::vector<TreeNode>& nodes, const std::vector<TileInfo>& tiles,
              const std::vector<Subtree>& subtrees, std::size_t n) {
    Json tile;
    tile["boundingVolume"] = {{"box", TilesetWriter::BoxOf(subtrees[n].volume)}};
    tile["geometricError"] = subtrees[n].dError;
    if (!tiles[n].strUri.empty())
        tile["content"] = {{"uri", tiles[n].strUri}};
    for (std::size_t child : nodes[n].children)
        tile["children"].push_back(TileJson(nodes, tiles, subtrees, child));
    return tile;
}

} // namespace

Json TilesetWriter::BoxOf(const Box& box) {
    if (box.IsEmpty())
        return Json::array(
            {0.0, 0.0, 0.0, kMinHalf, 0.0, 0.0, 0.0, kMinHalf, 0.0, 0.0, 0.0, kMinHalf});
    // Scene (x east, y up, z south) to east, north, up.
    const double e0 = box.min[0], e1 = box.max[0];
    const double n0 = -box.max[2], n1 = -box.min[2];
    const double u0 = box.min[1], u1 = box.max[1];
    return Json::array(
        {(e0 + e1) / 2, (n0 + n1) / 2, (u0 + u1) / 2, std::max(kMinHalf, (e1 - e0) / 2), 0.0, 0.0,
         0.0, std::max(kMinHalf, (n1 - n0) / 2), 0.0, 0.0, 0.0, std::max(kMinHalf, (u1 - u0) / 2)});
}

std::vector<double> TilesetWriter::Transform(const EnuFrame& frame) {
    const Vec3 o = frame.ToEcef(frame.GetLon0(), frame.GetLat0(), 0.0);
    const LocalAxes a = frame.EcefAxes();
    return {a.east.x, a.east.y, a.east.z, 0.0, a.north.x, a.north.y, a.north.z, 0.0,
            a.up.x,   a.up.y,   a.up.z,   0.0, o.x,       o.y,       o.z,       1.0};
}

Json TilesetWriter::Tileset(const std::vector<TreeNode>& nodes, const std::vector<TileInfo>& tiles,
                            const EnuFrame& frame) {
    std::vector<Subtree> subtrees(nodes.size());
    // Children always come after their parent, so one backward sweep sees them first.
    for (std::size_t n = nodes.size(); n-- > 0;) {
        Subtree& s = subtrees[n];
        s.volume = tiles[n].bounds;
        s.dLargest = tiles[n].dLargest;
        for (std::size_t child : nodes[n].children) {
            s.volume.Add(subtrees[child].volume);
            s.dError = std::max(s.dError, subtrees[child].dLargest);
            s.dLargest = std::max(s.dLargest, subtrees[child].dLargest);
        }
    }
    Json tileset;
    tileset["asset"] = {{"version", "1.1"}, {"generator", "theme3d"}};
    double dRoot = 0.0;
    if (!nodes.empty() && !subtrees[0].volume.IsEmpty()) {
        const Box& v = subtrees[0].volume;
        dRoot = std::hypot(v.max[0] - v.min[0], v.max[1] - v.min[1], v.max[2] - v.min[2]);
    }
    tileset["geometricError"] = std::max({dRoot, nodes.empty() ? 0.0 : subtrees[0].dError, 1.0});
    Json root = nodes.empty()
                    ? Json{{"boundingVolume", {{"box", BoxOf(Box())}}}, {"geometricError", 0.0}}
                    : TileJson(nodes, tiles, subtrees, 0);
    Json ordered;
    ordered["transform"] = Transform(frame);
    ordered["refine"] = "ADD";
    for (auto& [key, value] : root.items())
        ordered[key] = value;
    tileset["root"] = ordered;
    return tileset;
}

Json TilesetWriter::Join(const std::vector<Json>& tilesets) {
    if (tilesets.size() == 1)
        return tilesets[0];
    Json tileset;
    tileset["asset"] = {{"version", "1.1"}, {"generator", "theme3d"}};
    double dError = 1.0;
    double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    Json children = Json::array();
    for (const Json& part : tilesets) {
        dError = std::max(dError, part["geometricError"].get<double>());
        const Json& box = part["root"]["boundingVolume"]["box"];
        // The boxes are axis-aligned in the shared frame: centre and half lengths on its axes.
        for (int i = 0; i < 3; ++i) {
            const double c = box[static_cast<std::size_t>(i)].get<double>();
            const double h = box[static_cast<std::size_t>(3 + 4 * i)].get<double>();
            lo[i] = std::min(lo[i], c - h);
            hi[i] = std::max(hi[i], c + h);
        }
        Json child;
        for (auto& [key, value] : part["root"].items()) {
            if (key != "transform" && key != "refine")
                child[key] = value;
        }
        children.push_back(child);
    }
    tileset["geometricError"] = dError;
    Json box = Json::array();
    for (int i = 0; i < 3; ++i)
        box.push_back((lo[i] + hi[i]) / 2);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            box.push_back(i == j ? (hi[i] - lo[i]) / 2 : 0.0);
    }
    Json root;
    root["transform"] = tilesets[0]["root"]["transform"];
    root["refine"] = "ADD";
    root["boundingVolume"] = {{"box", box}};
    root["geometricError"] = dError;
    root["children"] = children;
    tileset["root"] = root;
    return tileset;
}

} // namespace theme3d
