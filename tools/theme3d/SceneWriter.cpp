#include "SceneWriter.h"

#include "GlbWriter.h"
#include "OutputFiles.h"
#include "ToolError.h"
#include "Utf8.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <tiny_gltf.h>

namespace theme3d {

namespace {

using tinygltf::Value;

// glTF colour factors are linear; the themes' colours are sRGB.
double Linear(unsigned c) {
    const double s = c / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

Value Point(const Vec3& v) {
    return Value(Value::Array{Value(v.x), Value(v.y), Value(v.z)});
}

} // namespace

SceneWriter::SceneWriter(const std::string& strLayerName, const EnuFrame& frame)
    : m_pModel(std::make_unique<tinygltf::Model>()) {
    tinygltf::Model& model = *m_pModel;
    model.asset.version = "2.0";
    model.asset.generator = "theme3d";
    model.buffers.emplace_back();
    tinygltf::Node root;
    root.name = Utf8::Sanitize(strLayerName);
    root.extras = Value(Value::Object{
        {"frame", Value(std::string("east-north-up, metres; glTF x east, y up, z south"))},
        {"origin", Value(Value::Array{Value(frame.GetLon0()), Value(frame.GetLat0())})}});
    model.nodes.push_back(root);
    tinygltf::Scene scene;
    scene.name = root.name;
    scene.nodes.push_back(0);
    model.scenes.push_back(scene);
    model.defaultScene = 0;
}

SceneWriter::~SceneWriter() = default;

void SceneWriter::AddFeature(const FeatureResult& result) {
    tinygltf::Model& model = *m_pModel;
    tinygltf::Node node;
    const std::string strFid = std::to_string(result.nFid);
    node.name = result.bHasLabel ? Utf8::Sanitize(result.strLabel) : "feature " + strFid;
    // Integers where they fit the writer's int; larger ids as numbers.
    const bool bSmall = result.nFid >= INT32_MIN && result.nFid <= INT32_MAX;
    Value::Object extras{{"fid", bSmall ? Value(static_cast<int>(result.nFid))
                                        : Value(static_cast<double>(result.nFid))}};
    if (result.bHasLabel)
        extras["label"] = Value(Utf8::Sanitize(result.strLabel));
    node.extras = Value(std::move(extras));
    if (!result.body.IsEmpty())
        node.mesh = AddMesh(result.body, "feature " + strFid);
    const int nNode = static_cast<int>(model.nodes.size());
    model.nodes.push_back(node);
    model.nodes[0].children.push_back(nNode);

    if (result.chart.IsEmpty() && result.chartTexts.empty())
        return;
    tinygltf::Node chart;
    chart.name = "chart " + strFid;
    if (!result.chart.IsEmpty())
        chart.mesh = AddMesh(result.chart, "chart " + strFid);
    Value::Array texts;
    for (const ChartText& text : result.chartTexts) {
        texts.push_back(Value(Value::Object{{"text", Value(Utf8::Sanitize(text.strText))},
                                            {"position", Point(text.position)}}));
    }
    if (!texts.empty())
        chart.extras = Value(Value::Object{{"texts", Value(std::move(texts))}});
    const int nChart = static_cast<int>(model.nodes.size());
    model.nodes.push_back(chart);
    model.nodes[static_cast<std::size_t>(nNode)].children.push_back(nChart);
}

void SceneWriter::AddGround(const MeshData& mesh) {
    tinygltf::Node node;
    node.name = "ground";
    node.mesh = AddMesh(mesh, "ground");
    m_pModel->nodes[0].children.push_back(static_cast<int>(m_pModel->nodes.size()));
    m_pModel->nodes.push_back(node);
}

int SceneWriter::AddMesh(const MeshData& mesh, const std::string& strName) {
    tinygltf::Mesh gltfMesh;
    gltfMesh.name = strName;
    for (const Primitive& primitive : mesh.primitives) {
        if (primitive.IsEmpty())
            continue;
        tinygltf::Primitive p;
        p.mode = primitive.nMode;
        p.material = Material(primitive.color);
        p.attributes["POSITION"] = AddPrimitiveData(primitive, p.indices);
        gltfMesh.primitives.push_back(p);
    }
    m_pModel->meshes.push_back(gltfMesh);
    return static_cast<int>(m_pModel->meshes.size() - 1);
}

int SceneWriter::AddPrimitiveData(const Primitive& primitive, int& nIndices) {
    const std::size_t nVertices = primitive.positions.size() / 3;
    const int nPositions = AddAccessor(
        primitive.positions.data(), primitive.positions.size() * sizeof(float),
        TINYGLTF_TARGET_ARRAY_BUFFER, TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3, nVertices);
    tinygltf::Accessor& positions = m_pModel->accessors[static_cast<std::size_t>(nPositions)];
    positions.minValues.assign(3, HUGE_VAL);
    positions.maxValues.assign(3, -HUGE_VAL);
    for (std::size_t i = 0; i < primitive.positions.size(); ++i) {
        positions.minValues[i % 3] =
            std::min(positions.minValues[i % 3], double(primitive.positions[i]));
        positions.maxValues[i % 3] =
            std::max(positions.maxValues[i % 3], double(primitive.positions[i]));
    }
    nIndices =
        AddAccessor(primitive.indices.data(), primitive.indices.size() * sizeof(std::uint32_t),
                    TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT,
                    TINYGLTF_TYPE_SCALAR, primitive.indices.size());
    return nPositions;
}

int SceneWriter::AddAccessor(const void* pData, std::size_t nBytes, int nTarget, int nComponent,
                             int nType, std::size_t nCount) {
    tinygltf::Model& model = *m_pModel;
    std::vector<unsigned char>& data = m_bin;
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = data.size();
    view.byteLength = nBytes;
    view.target = nTarget;
    const auto* pBytes = static_cast<const unsigned char*>(pData);
    data.insert(data.end(), pBytes, pBytes + nBytes);
    model.bufferViews.push_back(view);
    tinygltf::Accessor accessor;
    accessor.bufferView = static_cast<int>(model.bufferViews.size() - 1);
    accessor.componentType = nComponent;
    accessor.type = nType;
    accessor.count = nCount;
    model.accessors.push_back(accessor);
    return static_cast<int>(model.accessors.size() - 1);
}

int SceneWriter::Material(TOVO::TovoColor color) {
    const auto it = m_materials.find(color);
    if (it != m_materials.end())
        return it->second;
    tinygltf::Material material;
    char szName[16];
    std::snprintf(szName, sizeof szName, "#%02X%02X%02X", TOVO::TovoGetRValue(color),
                  TOVO::TovoGetGValue(color), TOVO::TovoGetBValue(color));
    material.name = szName;
    material.pbrMetallicRoughness.baseColorFactor = {
        Linear(TOVO::TovoGetRValue(color)), Linear(TOVO::TovoGetGValue(color)),
        Linear(TOVO::TovoGetBValue(color)), TOVO::TovoGetAValue(color) / 255.0};
    material.pbrMetallicRoughness.metallicFactor = 0.0;
    material.pbrMetallicRoughness.roughnessFactor = 0.9;
    // One-sided: every face is wound to look outwards, so the far side of a globe-sized layer
    // is culled instead of showing through.
    material.doubleSided = false;
    if (TOVO::TovoGetAValue(color) < 255)
        material.alphaMode = "BLEND";
    m_pModel->materials.push_back(material);
    const int nMaterial = static_cast<int>(m_pModel->materials.size() - 1);
    m_materials[color] = nMaterial;
    return nMaterial;
}

SceneWriter::Counts SceneWriter::GetCounts() const {
    return {m_pModel->nodes.size(), m_pModel->meshes.size(), m_pModel->materials.size()};
}

std::string SceneWriter::ToJson() {
    // A scene with no geometry has no binary data, and glTF forbids an empty buffer.
    if (m_bin.empty())
        m_pModel->buffers.clear();
    // The writer copies a buffer's bytes into its output; with an empty buffer it writes only
    // the JSON (as a GLB without a binary chunk), whose buffer length is then set here.
    tinygltf::TinyGLTF writer;
    std::ostringstream out;
    writer.WriteGltfSceneToStream(m_pModel.get(), out, false, true);
    if (!out) // the stream swallows a failed allocation
        throw std::bad_alloc();
    std::string strJson = out.str();
    out.str(std::string()); // one copy of a large text at a time
    std::uint32_t nLength = 0;
    for (int i = 3; i >= 0; --i)
        nLength =
            (nLength << 8) | static_cast<unsigned char>(strJson[12 + static_cast<unsigned>(i)]);
    strJson.resize(20 + std::size_t{nLength});
    strJson.erase(0, 20);
    strJson.erase(strJson.find_last_not_of(' ') + 1);
    if (m_bin.empty())
        return strJson;
    const std::string strEmpty = "\"buffers\":[{\"byteLength\":0}]";
    const std::size_t at = strJson.find(strEmpty);
    if (at == std::string::npos || strJson.find(strEmpty, at + 1) != std::string::npos)
        throw ToolError("internal error: the scene's buffer was not written as expected");
    strJson.replace(at, strEmpty.size(),
                    "\"buffers\":[{\"byteLength\":" + std::to_string(m_bin.size()) + "}]");
    return strJson;
}

void SceneWriter::WriteGlb(OutputFiles& outputs, const std::string& strTarget) {
    const std::string strJson = ToJson();
    GlbWriter::CheckSize(GlbWriter::Size(strJson.size(), m_bin.size()), strTarget);
    const std::unique_ptr<CheckedFile> pFile = outputs.Open(strTarget);
    GlbWriter::Write(strJson, m_bin, *pFile);
    pFile->Close();
}

} // namespace theme3d
