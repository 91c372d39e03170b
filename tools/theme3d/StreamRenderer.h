// The render command for layers of any size. One pass over the layer parks each feature on disk
// and keeps only where it stands; the themes are then applied per feature as a host does, into
// merged tiles: a single binary glTF file for -o scene.glb, or a 3D Tiles 1.1 tileset (a
// tileset.json and one .glb per tile) for -o FOLDER/. Tiles are built one at a time per worker,
// so memory holds a few tiles rather than the layer, and each worker draws with its own copies
// of the themes. The output does not depend on the number of workers.
#pragma once

#include "Renderer.h"

namespace theme3d {

class StreamRenderer {
public:
    // Several layers go into one scene: a root node and a property table each in a single
    // file, a subtree each in a tileset; all in one frame.
    static RenderSummary Run(PluginLoader& plugin, std::vector<RenderLayer>& layers,
                             const RenderOptions& options, OutputFiles& outputs);

    // True when the options ask for a tileset rather than one file.
    static bool WantsTileset(const RenderOptions& options);
    // True for a single scene written as JSON glTF (a .gltf name): its buffer goes beside it.
    static bool IsGltf(const RenderOptions& options);
};

} // namespace theme3d
