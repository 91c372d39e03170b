#include "TileBuilder.h"

#include "GlbBuilder.h"
#include "ToolError.h"
#include "Utf8.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

namespace theme3d {

namespace {

using Json = nlohmann::ordered_json;

constexpr int kCylinderSegments = 48;

bool IsIdChar(char ch, bool bFirst) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || ch == '_' ||
           (!bFirst && ch >= '0' && ch <= '9');
}

// A rotation matrix (columns a, b, c) as a unit quaternion x, y, z, w.
void Quaternion(const Vec3& a, const Vec3& b, const Vec3& c, float q[4]) {
    const double m00 = a.x, m10 = a.y, m20 = a.z, m01 = b.x, m11 = b.y, m21 = b.z, m02 = c.x,
                 m12 = c.y, m22 = c.z;
    double x, y, z, w;
    const double trace = m00 + m11 + m22;
    if (trace > 0.0) {
        const double s = 0.5 / std::sqrt(trace + 1.0);
        w = 0.25 / s;
        x = (m21 - m12) * s;
        y = (m02 - m20) * s;
        z = (m10 - m01) * s;
    } else if (m00 > m11 && m00 > m22) {
        const double s = 2.0 * std::sqrt(1.0 + m00 - m11 - m22);
        w = (m21 - m12) / s;
        x = 0.25 * s;
        y = (m01 + m10) / s;
        z = (m02 + m20) / s;
    } else if (m11 > m22) {
        const double s = 2.0 * std::sqrt(1.0 + m11 - m00 - m22);
        w = (m02 - m20) / s;
        x = (m01 + m10) / s;
        y = 0.25 * s;
        z = (m12 + m21) / s;
    } else {
        const double s = 2.0 * std::sqrt(1.0 + m22 - m00 - m11);
        w = (m10 - m01) / s;
        x = (m02 + m20) / s;
        y = (m12 + m21) / s;
        z = 0.25 * s;
    }
    const double n = std::sqrt(x * x + y * y + z * z + w * w);
    q[0] = static_cast<float>(x / n);
    q[1] = static_cast<float>(y / n);
    q[2] = static_cast<float>(z / n);
    q[3] = static_cast<float>(w / n);
}

// The unit cylinder the bars are instances of, in a bar's own frame (x east, y up, z south):
// radius 1 around the y axis, from y = 0 to y = 1, wound to face outwards.
void UnitCylinder(std::vector<float>& positions, std::vector<std::uint16_t>& indices) {
    const int n = kCylinderSegments;
    for (int level = 0; level < 2; ++level) {
        for (int i = 0; i < n; ++i) {
            const double a = 2.0 * M_PI * i / n;
            positions.insert(positions.end(),
                             {static_cast<float>(std::cos(a)), static_cast<float>(level),
                              static_cast<float>(-std::sin(a))});
        }
    }
    positions.insert(positions.end(), {0.f, 0.f, 0.f, 0.f, 1.f, 0.f});
    const auto bottom = [](int i) { return static_cast<std::uint16_t>(i % kCylinderSegments); };
    const auto top = [](int i) {
        return static_cast<std::uint16_t>(kCylinderSegments + i % kCylinderSegments);
    };
    const std::uint16_t c0 = 2 * n, c1 = 2 * n + 1;
    for (int i = 0; i < n; ++i) {
        indices.insert(indices.end(), {bottom(i), bottom(i + 1), top(i + 1)});
        indices.insert(indices.end(), {bottom(i), top(i + 1), top(i)});
        indices.insert(indices.end(), {c0, bottom(i + 1), bottom(i)});
        indices.insert(indices.end(), {c1, top(i), top(i + 1)});
    }
}

// Feature ids as floats: vertex attributes need 4-byte elements anyway, and floats hold every
// id below 2^24 exactly (the tile writers keep tiles far smaller).
int AddIds(GlbBuilder& glb, const std::vector<std::uint32_t>& ids, GlbBuilder::Target target) {
    std::vector<float> wide(ids.begin(), ids.end());
    const int nView = glb.AddView(wide.data(), wide.size() * 4, target);
    return glb.AddAccessor(nView, GlbBuilder::Float, "SCALAR", ids.size());
}

template <typename T> int AddColumn(GlbBuilder& glb, const std::vector<T>& values) {
    return glb.AddView(values.data(), values.size() * sizeof(T));
}

Json StringColumn(GlbBuilder& glb, const std::vector<std::string>& values) {
    std::string bytes;
    std::vector<std::uint32_t> offsets{0};
    for (const std::string& str : values) {
        bytes += Utf8::Sanitize(str);
        offsets.push_back(static_cast<std::uint32_t>(bytes.size()));
    }
    return {{"values", glb.AddView(bytes.data(), bytes.size())},
            {"stringOffsets", AddColumn(glb, offsets)},
            {"stringOffsetType", "UINT32"}};
}

} // namespace

std::vector<FieldColumn> TileSchema::Columns(const std::vector<std::string>& names,
                                             const std::vector<bool>& numbers) {
    std::set<std::string> taken{"fid", "label", "class", "chart_text"};
    std::vector<FieldColumn> columns;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string strId;
        for (char ch : names[i])
            strId.push_back(IsIdChar(ch, false) ? ch : '_');
        if (strId.empty() || !IsIdChar(strId[0], true))
            strId.insert(0, "_");
        std::string strUnique = strId;
        for (int n = 2; taken.count(strUnique) != 0; ++n)
            strUnique = strId + "_" + std::to_string(n);
        taken.insert(strUnique);
        columns.push_back({strUnique, Utf8::Sanitize(names[i]), i < numbers.size() && numbers[i]});
    }
    return columns;
}

void Box::Add(double x, double y, double z) {
    const double p[3] = {x, y, z};
    for (int i = 0; i < 3; ++i) {
        if (IsEmpty() || p[i] < min[i])
            min[i] = p[i];
    }
    for (int i = 0; i < 3; ++i) {
        if (min[0] > max[0] && i == 0) {
            max[0] = p[0];
            max[1] = p[1];
            max[2] = p[2];
            return;
        }
        max[i] = std::max(max[i], p[i]);
    }
}

void Box::Add(const Box& other) {
    if (other.IsEmpty())
        return;
    Add(other.min[0], other.min[1], other.min[2]);
    Add(other.max[0], other.max[1], other.max[2]);
}

bool Box::Contains(const Box& other, double dTolerance) const {
    if (other.IsEmpty())
        return true;
    if (IsEmpty())
        return false;
    for (int i = 0; i < 3; ++i) {
        if (other.min[i] < min[i] - dTolerance || other.max[i] > max[i] + dTolerance)
            return false;
    }
    return true;
}

TileBuilder::TileBuilder(const TileSchema& schema, const EnuFrame& frame)
    : m_schema(schema), m_frame(frame), m_numbers(schema.fields.size()),
      m_texts(schema.fields.size()) {}

void TileBuilder::Add(const FeatureResult& result, const std::vector<TOVO::TovoVariant>& values) {
    const auto nId = static_cast<std::uint32_t>(m_fids.size());
    m_fids.push_back(result.nFid);
    if (m_schema.bLabel)
        m_labels.push_back(result.bHasLabel ? result.strLabel : std::string());
    if (m_schema.bCaption)
        m_captions.push_back(result.strCaption);
    if (m_schema.bChartText) {
        // Item texts in chart order, one per line (glTF has no text to place them with).
        std::string strTexts;
        for (const ChartText& text : result.chartTexts)
            strTexts += (strTexts.empty() ? "" : "\n") + text.strText;
        m_chartTexts.push_back(strTexts);
    }
    for (std::size_t i = 0; i < m_schema.fields.size(); ++i) {
        const TOVO::TovoVariant* pValue = i < values.size() ? &values[i] : nullptr;
        if (m_schema.fields[i].bNumber) {
            double d = std::numeric_limits<double>::quiet_NaN();
            if (pValue != nullptr && !pValue->IsNull() && !pValue->ToDouble(d))
                d = std::numeric_limits<double>::quiet_NaN();
            m_numbers[i].push_back(d);
        } else {
            m_texts[i].push_back(pValue != nullptr ? pValue->ToString().Str() : std::string());
        }
    }
    Box box;
    AddMesh(result.body, nId, box);
    AddMesh(result.chart, nId, box);
    for (const BarInstance& bar : result.bars)
        AddBar(bar, nId, box);
    if (!box.IsEmpty()) {
        m_bounds.Add(box);
        m_dLargest =
            std::max(m_dLargest, std::hypot(box.max[0] - box.min[0], box.max[1] - box.min[1],
                                            box.max[2] - box.min[2]));
    }
}

void TileBuilder::AddMesh(const MeshData& mesh, std::uint32_t nId, Box& box) {
    for (const Primitive& primitive : mesh.primitives) {
        if (primitive.IsEmpty())
            continue;
        Batch& batch = m_batches[{primitive.color, primitive.nMode}];
        if (batch.ids.empty() || batch.ids.back() != nId)
            ++batch.nFeatures;
        const auto nBase = static_cast<std::uint32_t>(batch.positions.size() / 3);
        batch.positions.insert(batch.positions.end(), primitive.positions.begin(),
                               primitive.positions.end());
        batch.ids.insert(batch.ids.end(), primitive.positions.size() / 3, nId);
        for (std::uint32_t n : primitive.indices)
            batch.indices.push_back(nBase + n);
        for (std::size_t i = 0; i + 2 < primitive.positions.size(); i += 3)
            box.Add(primitive.positions[i], primitive.positions[i + 1], primitive.positions[i + 2]);
    }
}

void TileBuilder::AddBar(const BarInstance& bar, std::uint32_t nId, Box& box) {
    const LocalAxes axes = m_frame.AxesAt(bar.base.lon, bar.base.lat);
    const Vec3 base = m_frame.ToScene(bar.base.lon, bar.base.lat, bar.base.z);
    const Vec3 south = axes.north * -1.0;
    Instance instance{};
    instance.t[0] = static_cast<float>(base.x);
    instance.t[1] = static_cast<float>(base.y);
    instance.t[2] = static_cast<float>(base.z);
    Quaternion(axes.east, axes.up, south, instance.r);
    instance.s[0] = static_cast<float>(bar.dRadiusX);
    instance.s[1] = static_cast<float>(bar.dHeight);
    instance.s[2] = static_cast<float>(bar.dRadiusY);
    instance.nId = nId;
    m_bars[bar.color].push_back(instance);
    for (double ex : {-1.0, 1.0}) {
        for (double ey : {0.0, 1.0}) {
            for (double ez : {-1.0, 1.0}) {
                const Vec3 p = base + axes.east * (ex * bar.dRadiusX) +
                               axes.up * (ey * bar.dHeight) + south * (ez * bar.dRadiusY);
                box.Add(p.x, p.y, p.z);
            }
        }
    }
}

std::string TileBuilder::ToGlb(const std::string& strName) const {
    GlbBuilder glb;
    Build(strName, 0, glb);
    return glb.ToGlb();
}

void TileBuilder::WriteGlb(const std::string& strName, CheckedFile& file,
                           const std::string& strTarget, std::size_t nLayer) const {
    GlbBuilder glb;
    Build(strName, nLayer, glb);
    glb.Write(file, strTarget);
}

void TileBuilder::WriteGltf(const std::string& strName, OutputFiles& outputs,
                            const std::string& strTarget) const {
    GlbBuilder glb;
    Build(strName, 0, glb);
    glb.WriteGltf(outputs, strTarget);
}

void TileBuilder::Build(const std::string& strName, std::size_t nLayer, GlbBuilder& glb) const {
    Json& json = glb.Json();
    const std::size_t nFeatures = m_fids.size();
    if (nFeatures > (1u << 24))
        throw ToolError(
            "more than 16777216 features do not fit one binary glTF file; write 3D Tiles "
            "instead (-o FOLDER/)");
    json["scene"] = 0;
    json["scenes"] = Json::array({{{"name", Utf8::Sanitize(strName)}, {"nodes", {0}}}});
    Json root = {{"name", Utf8::Sanitize(strName)},
                 {"extras",
                  {{"frame", "east-north-up, metres; glTF x east, y up, z south"},
                   {"origin", {m_frame.GetLon0(), m_frame.GetLat0()}}}}};
    json["nodes"] = Json::array({root});
    auto addNode = [&json](Json node) {
        json["nodes"].push_back(std::move(node));
        json["nodes"][0]["children"].push_back(json["nodes"].size() - 1);
    };
    const Json featureIds = {
        {"featureIds", {{{"featureCount", 0}, {"attribute", 0}, {"propertyTable", 0}}}}};

    if (!m_batches.empty()) {
        Json mesh = {{"name", "features"}, {"primitives", Json::array()}};
        for (const auto& [key, batch] : m_batches) {
            const std::size_t nVertices = batch.positions.size() / 3;
            std::vector<double> min(3, HUGE_VAL), max(3, -HUGE_VAL);
            for (std::size_t i = 0; i < batch.positions.size(); ++i) {
                min[i % 3] = std::min(min[i % 3], double(batch.positions[i]));
                max[i % 3] = std::max(max[i % 3], double(batch.positions[i]));
            }
            const int nPosition =
                glb.AddAccessor(glb.AddView(batch.positions.data(), batch.positions.size() * 4,
                                            GlbBuilder::ArrayBuffer),
                                GlbBuilder::Float, "VEC3", nVertices, min, max);
            const int nIds = AddIds(glb, batch.ids, GlbBuilder::ArrayBuffer);
            int nIndices;
            // 65535 is the primitive restart value of 16-bit indices, so it may not be used.
            if (nVertices < 65535) {
                std::vector<std::uint16_t> narrow(batch.indices.begin(), batch.indices.end());
                nIndices = glb.AddAccessor(
                    glb.AddView(narrow.data(), narrow.size() * 2, GlbBuilder::ElementArrayBuffer),
                    GlbBuilder::UShort, "SCALAR", narrow.size());
            } else {
                nIndices =
                    glb.AddAccessor(glb.AddView(batch.indices.data(), batch.indices.size() * 4,
                                                GlbBuilder::ElementArrayBuffer),
                                    GlbBuilder::UInt, "SCALAR", batch.indices.size());
            }
            Json ids = featureIds;
            ids["featureIds"][0]["featureCount"] = batch.nFeatures;
            mesh["primitives"].push_back(
                {{"attributes", {{"POSITION", nPosition}, {"_FEATURE_ID_0", nIds}}},
                 {"indices", nIndices},
                 {"material", glb.Material(key.first)},
                 {"mode", key.second},
                 {"extensions", {{"EXT_mesh_features", ids}}}});
        }
        json["meshes"].push_back(mesh);
        addNode({{"name", "features"}, {"mesh", json["meshes"].size() - 1}});
        glb.UseExtension("EXT_mesh_features");
    }

    for (const Primitive& primitive : m_ground.primitives) {
        if (primitive.IsEmpty())
            continue;
        std::vector<double> min(3, HUGE_VAL), max(3, -HUGE_VAL);
        for (std::size_t i = 0; i < primitive.positions.size(); ++i) {
            min[i % 3] = std::min(min[i % 3], double(primitive.positions[i]));
            max[i % 3] = std::max(max[i % 3], double(primitive.positions[i]));
        }
        const int nPosition =
            glb.AddAccessor(glb.AddView(primitive.positions.data(), primitive.positions.size() * 4,
                                        GlbBuilder::ArrayBuffer),
                            GlbBuilder::Float, "VEC3", primitive.positions.size() / 3, min, max);
        const int nIndices =
            glb.AddAccessor(glb.AddView(primitive.indices.data(), primitive.indices.size() * 4,
                                        GlbBuilder::ElementArrayBuffer),
                            GlbBuilder::UInt, "SCALAR", primitive.indices.size());
        json["meshes"].push_back({{"name", "ground"},
                                  {"primitives",
                                   {{{"attributes", {{"POSITION", nPosition}}},
                                     {"indices", nIndices},
                                     {"material", glb.Material(primitive.color)},
                                     {"mode", primitive.nMode}}}}});
        addNode({{"name", "ground"}, {"mesh", json["meshes"].size() - 1}});
    }

    if (!m_bars.empty()) {
        std::vector<float> positions;
        std::vector<std::uint16_t> indices;
        UnitCylinder(positions, indices);
        const int nPosition = glb.AddAccessor(
            glb.AddView(positions.data(), positions.size() * 4, GlbBuilder::ArrayBuffer),
            GlbBuilder::Float, "VEC3", positions.size() / 3, {-1.0, 0.0, -1.0}, {1.0, 1.0, 1.0});
        const int nIndices = glb.AddAccessor(
            glb.AddView(indices.data(), indices.size() * 2, GlbBuilder::ElementArrayBuffer),
            GlbBuilder::UShort, "SCALAR", indices.size());
        for (const auto& [color, instances] : m_bars) {
            std::vector<float> t, r, s;
            std::vector<std::uint32_t> ids;
            std::set<std::uint32_t> distinct;
            for (const Instance& instance : instances) {
                t.insert(t.end(), instance.t, instance.t + 3);
                r.insert(r.end(), instance.r, instance.r + 4);
                s.insert(s.end(), instance.s, instance.s + 3);
                ids.push_back(instance.nId);
                distinct.insert(instance.nId);
            }
            const std::size_t n = instances.size();
            Json attributes = {{"TRANSLATION", glb.AddAccessor(glb.AddView(t.data(), t.size() * 4),
                                                               GlbBuilder::Float, "VEC3", n)},
                               {"ROTATION", glb.AddAccessor(glb.AddView(r.data(), r.size() * 4),
                                                            GlbBuilder::Float, "VEC4", n)},
                               {"SCALE", glb.AddAccessor(glb.AddView(s.data(), s.size() * 4),
                                                         GlbBuilder::Float, "VEC3", n)},
                               {"_FEATURE_ID_0", AddIds(glb, ids, GlbBuilder::NoTarget)}};
            json["meshes"].push_back({{"name", "bar"},
                                      {"primitives",
                                       {{{"attributes", {{"POSITION", nPosition}}},
                                         {"indices", nIndices},
                                         {"material", glb.Material(color)},
                                         {"mode", 4}}}}});
            Json ids2 = featureIds;
            ids2["featureIds"][0]["featureCount"] = distinct.size();
            addNode({{"name", "bars"},
                     {"mesh", json["meshes"].size() - 1},
                     {"extensions",
                      {{"EXT_mesh_gpu_instancing", {{"attributes", attributes}}},
                       {"EXT_instance_features", ids2}}}});
        }
        glb.UseExtension("EXT_mesh_gpu_instancing");
        glb.UseExtension("EXT_instance_features");
    }

    if (nFeatures > 0) {
        Json classProperties = {
            {"fid", {{"name", "feature id"}, {"type", "SCALAR"}, {"componentType", "INT64"}}}};
        std::vector<std::int64_t> fids(m_fids.begin(), m_fids.end());
        Json tableProperties = {{"fid", {{"values", AddColumn(glb, fids)}}}};
        if (m_schema.bLabel) {
            classProperties["label"] = {{"name", "label"}, {"type", "STRING"}};
            tableProperties["label"] = StringColumn(glb, m_labels);
        }
        if (m_schema.bCaption) {
            classProperties["class"] = {{"name", "class caption"}, {"type", "STRING"}};
            tableProperties["class"] = StringColumn(glb, m_captions);
        }
        if (m_schema.bChartText) {
            classProperties["chart_text"] = {{"name", "chart item texts"}, {"type", "STRING"}};
            tableProperties["chart_text"] = StringColumn(glb, m_chartTexts);
        }
        for (std::size_t i = 0; i < m_schema.fields.size(); ++i) {
            const FieldColumn& column = m_schema.fields[i];
            if (column.bNumber) {
                classProperties[column.strId] = {
                    {"name", column.strName}, {"type", "SCALAR"}, {"componentType", "FLOAT64"}};
                tableProperties[column.strId] = {{"values", AddColumn(glb, m_numbers[i])}};
            } else {
                classProperties[column.strId] = {{"name", column.strName}, {"type", "STRING"}};
                tableProperties[column.strId] = StringColumn(glb, m_texts[i]);
            }
        }
        Json table = {{"name", "features"},
                      {"class", "feature"},
                      {"count", nFeatures},
                      {"properties", tableProperties}};
        // Feature ids repeat across layers: the viewer tells features apart by their layer, the
        // tile's own or, in a scene of several, the one whose rows hold them.
        if (nLayer > 0)
            table["extras"] = {{"layer", nLayer}};
        if (m_layerRows.size() > 1)
            table["extras"] = {{"layerRows", m_layerRows}};
        json["extensions"]["EXT_structural_metadata"] = {
            {"schema",
             {{"id", "theme3d"},
              {"classes", {{"feature", {{"name", "feature"}, {"properties", classProperties}}}}}}},
            {"propertyTables", {table}}};
        glb.UseExtension("EXT_structural_metadata");
    }
}

} // namespace theme3d
