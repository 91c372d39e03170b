// Assembles the glTF 2.0 scene: one root node for the layer (its frame in the extras), one child
// node per feature (named by its label, or "feature <fid>"), with the chart as the feature node's
// child. Materials are shared: one per colour drawn.
#pragma once

#include "EnuFrame.h"
#include "FeatureResult.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tinygltf {
class Model;
}

namespace theme3d {

class OutputFiles;

class SceneWriter {
public:
    SceneWriter(const std::string& strLayerName, const EnuFrame& frame);
    ~SceneWriter();
    SceneWriter(const SceneWriter&) = delete;
    SceneWriter& operator=(const SceneWriter&) = delete;

    struct Counts {
        std::size_t nNodes, nMeshes, nMaterials;
    };

    void AddFeature(const FeatureResult& result);
    // A node named "ground" with the mesh.
    void AddGround(const MeshData& mesh);
    Counts GetCounts() const;
    // The scene's glTF JSON text, its buffer holding the binary chunk.
    std::string ToJson();
    // Writes the scene as a binary glTF file for strTarget into outputs (checked, in pieces;
    // refused before writing when it would exceed what a GLB can hold).
    void WriteGlb(OutputFiles& outputs, const std::string& strTarget);

private:
    int AddMesh(const MeshData& mesh, const std::string& strName);
    int AddPrimitiveData(const Primitive& primitive, int& nIndices);
    int Material(TOVO::TovoColor color);
    int AddAccessor(const void* pData, std::size_t nBytes, int nTarget, int nComponent, int nType,
                    std::size_t nCount);

    std::unique_ptr<tinygltf::Model> m_pModel;
    std::map<TOVO::TovoColor, int> m_materials;
    // The binary chunk, kept beside the model so that it is never copied into a stream.
    std::vector<unsigned char> m_bin;
};

} // namespace theme3d
