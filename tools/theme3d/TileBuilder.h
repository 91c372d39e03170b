// The content of one tile (or of a whole single-file scene): features batched into one primitive
// per colour and mode, every vertex carrying its feature's index in the tile (_FEATURE_ID_0,
// EXT_mesh_features); bars drawn as instances of one unit cylinder (EXT_mesh_gpu_instancing,
// with instance feature IDs by EXT_instance_features), and a property table per tile
// (EXT_structural_metadata) holding each feature's id, label text, class caption and the field
// values the themes read. Feature index i of the tile is row i of the table.
#pragma once

#include "EnuFrame.h"
#include "FeatureResult.h"
#include "VyBase600/TovoVariant.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace theme3d {

class CheckedFile;
class GlbBuilder;
class OutputFiles;

// One column of the property table for a field of the layer.
struct FieldColumn {
    std::string strId;   // property id: letters, digits and '_', not starting with a digit
    std::string strName; // the field's name as the layer has it (UTF-8)
    bool bNumber = false;
};

struct TileSchema {
    bool bLabel = false;     // a label theme gives texts
    bool bCaption = false;   // a style theme gives class captions
    bool bChartText = false; // a graph theme may give item texts
    std::vector<FieldColumn> fields;

    // Columns for the layer's field names, ids made unique and valid.
    static std::vector<FieldColumn> Columns(const std::vector<std::string>& names,
                                            const std::vector<bool>& numbers);
};

// An axis-aligned box in the scene's glTF coordinates; empty while min > max.
struct Box {
    double min[3] = {1.0, 1.0, 1.0}, max[3] = {-1.0, -1.0, -1.0};
    bool IsEmpty() const { return min[0] > max[0]; }
    void Add(double x, double y, double z);
    void Add(const Box& other);
    bool Contains(const Box& other, double dTolerance) const;
};

class TileBuilder {
public:
    TileBuilder(const TileSchema& schema, const EnuFrame& frame);

    // The features added from now on are the next layer's (a scene of several layers records
    // where each layer's rows start).
    void StartLayer() { m_layerRows.push_back(m_fids.size()); }
    // Adds a feature as the next row; values are the layer's values in schema.fields order.
    void Add(const FeatureResult& result, const std::vector<TOVO::TovoVariant>& values);

    // A surface under the features that belongs to none of them (a node named "ground").
    void SetGround(const MeshData& ground) { m_ground = ground; }

    std::size_t GetFeatureCount() const { return m_fids.size(); }
    // What the geometry covers, in the scene's coordinates.
    const Box& GetBounds() const { return m_bounds; }
    // The diagonal of the largest feature's box, metres.
    double GetLargest() const { return m_dLargest; }
    std::size_t GetPrimitiveCount() const { return m_batches.size() + m_bars.size(); }

    // The binary glTF: one root node (named strName, the frame in its extras) whose children
    // hold the merged mesh and the bar instances.
    std::string ToGlb(const std::string& strName) const;
    // The same written into a checked file (which the caller closes), as the content of the
    // scene's layer nLayer.
    void WriteGlb(const std::string& strName, CheckedFile& file, const std::string& strTarget,
                  std::size_t nLayer = 0) const;
    // The same as JSON glTF with its buffer beside it (see GlbBuilder::WriteGltf).
    void WriteGltf(const std::string& strName, OutputFiles& outputs,
                   const std::string& strTarget) const;

private:
    struct Batch {
        std::vector<float> positions;
        std::vector<std::uint32_t> indices, ids;
        std::uint32_t nFeatures = 0; // distinct feature ids, which arrive in runs
    };
    struct Instance {
        float t[3], r[4], s[3];
        std::uint32_t nId;
    };
    // The glTF of this content into glb; nLayer is the scene's layer a tile holds.
    void Build(const std::string& strName, std::size_t nLayer, GlbBuilder& glb) const;
    void AddMesh(const MeshData& mesh, std::uint32_t nId, Box& box);
    void AddBar(const BarInstance& bar, std::uint32_t nId, Box& box);

    const TileSchema& m_schema;
    const EnuFrame& m_frame;
    std::map<std::pair<TOVO::TovoColor, int>, Batch> m_batches;
    std::map<TOVO::TovoColor, std::vector<Instance>> m_bars;
    std::vector<long long> m_fids;
    std::vector<std::string> m_labels, m_captions, m_chartTexts;
    std::vector<std::vector<double>> m_numbers;    // per field column (empty for text columns)
    std::vector<std::vector<std::string>> m_texts; // per field column (empty for numbers)
    Box m_bounds;
    double m_dLargest = 0.0;
    MeshData m_ground;
    std::vector<std::size_t> m_layerRows;
};

} // namespace theme3d
