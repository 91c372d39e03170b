// The pieces of the merged-mesh and tileset writers: the spatial tree, the tileset's boxes,
// frame and errors, a tile's merged meshes, instances and property table read back by an
// independent reader, and the feature file between the layer pass and the tiles.
#include "FeatureSpill.h"
#include "GlbReader.h"
#include "TileBuilder.h"
#include "TileTree.h"
#include "TilesetWriter.h"

#include <cmath>
#include <gtest/gtest.h>
#include <ogr_geometry.h>
#include <random>
#include <set>

using namespace theme3d;

namespace {

std::vector<double> Doubles(const nlohmann::ordered_json& numbers) {
    return numbers.get<std::vector<double>>();
}

} // namespace

// 10 000 features, half of them in one small corner: every feature in exactly one tile, none
// overfull, a parent keeps the 50 largest of its subtree, and the splits at medians halve the
// rest until it fits (9 950, 2 487, 559 in quarters, then halves of 280): every leaf at depth 3.
TEST(TileTree, EveryFeatureOnceLargestFirstBalanced) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-10.0, 10.0);
    std::vector<TreeEntry> entries;
    for (std::uint32_t i = 0; i < 10000; ++i) {
        const double scale = i % 2 == 0 ? 1.0 : 0.01;
        entries.push_back(
            {coordinate(random) * scale, coordinate(random) * scale, float(i % 97), i});
    }
    const TileTree tree(entries, 300, 50);
    std::vector<int> seen(entries.size(), 0);
    const std::vector<TreeNode>& nodes = tree.GetNodes();
    // The sizes a node keeps, and the largest below it (children come after their parents).
    std::vector<float> smallest(nodes.size(), 1e9f), largest(nodes.size(), -1.0f),
        below(nodes.size(), -1.0f);
    for (std::size_t n = nodes.size(); n-- > 0;) {
        EXPECT_LE(nodes[n].features.size(), 300u);
        EXPECT_TRUE(std::is_sorted(nodes[n].features.begin(), nodes[n].features.end()));
        for (std::uint32_t i : nodes[n].features) {
            ++seen[i];
            smallest[n] = std::min(smallest[n], entries[i].fSize);
            largest[n] = std::max(largest[n], entries[i].fSize);
        }
        for (std::size_t child : nodes[n].children) {
            EXPECT_GT(child, n);
            EXPECT_EQ(nodes[child].nDepth, nodes[n].nDepth + 1);
            below[n] = std::max({below[n], below[child], largest[child]});
        }
        EXPECT_GE(smallest[n], below[n]) << "node " << n;
        if (nodes[n].children.empty())
            EXPECT_EQ(nodes[n].nDepth, 3) << "node " << n;
        else
            EXPECT_EQ(nodes[n].features.size(), 50u) << "node " << n;
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 10000);
}

// A root with two leaves at 0 E 0 N: the root's error is the largest feature its children add,
// leaves have none, the root's box holds both children, a flat box keeps a thickness, the
// tileset's error is the root box's diagonal, and the root's transform takes east, north and up
// (there ECEF y, z and x) to the earth-centred frame, the origin on the x axis at the equatorial
// radius.
TEST(TilesetWriter, ErrorsShrinkDownTheTreeBoxesNestAndTheRootIsPlaced) {
    std::vector<TreeNode> nodes(3);
    nodes[0].children = {1, 2};
    std::vector<TileInfo> tiles(3);
    tiles[0] = {"tiles/0.glb", {}, 50.0};
    tiles[0].bounds.Add(0, 0, 0);
    tiles[0].bounds.Add(10, 10, -10);
    tiles[1] = {"tiles/1.glb", {}, 3.0};
    tiles[1].bounds.Add(-20, 0, 0);
    tiles[1].bounds.Add(0, 4, 0);
    tiles[2] = {"", {}, 0.0};
    tiles[2].bounds.Add(0, 0, 0);
    tiles[2].bounds.Add(5, 0, 30);
    const nlohmann::ordered_json tileset = TilesetWriter::Tileset(nodes, tiles, EnuFrame(0, 0));
    const auto& root = tileset["root"];
    EXPECT_EQ(root["geometricError"].get<double>(), 3.0);
    EXPECT_EQ(root["content"]["uri"], "tiles/0.glb");
    // x -20..10, y 0..10, z -10..30: east -20..10, north -30..10, up 0..10.
    EXPECT_EQ(Doubles(root["boundingVolume"]["box"]),
              (std::vector<double>{-5, -10, 5, 15, 0, 0, 0, 20, 0, 0, 0, 5}));
    EXPECT_DOUBLE_EQ(tileset["geometricError"].get<double>(),
                     std::sqrt(30.0 * 30 + 10 * 10 + 40 * 40));
    ASSERT_EQ(root["children"].size(), 2u);
    EXPECT_EQ(root["children"][0]["geometricError"].get<double>(), 0.0);
    EXPECT_FALSE(root["children"][1].contains("content"));
    EXPECT_EQ(Doubles(root["children"][1]["boundingVolume"]["box"]),
              (std::vector<double>{2.5, -15, 0, 2.5, 0, 0, 0, 15, 0, 0, 0, 0.05}));
    EXPECT_EQ(Doubles(root["transform"]),
              (std::vector<double>{0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 6378137, 0, 0, 1}));
}

TEST(TileSchema, ColumnIdsAreValidAndUnique) {
    const std::vector<FieldColumn> columns =
        TileSchema::Columns({"name", "2nd", "a b", "fid", "name", ""}, {false, true});
    std::vector<std::string> ids;
    for (const FieldColumn& column : columns)
        ids.push_back(column.strId);
    EXPECT_EQ(ids, (std::vector<std::string>{"name", "_2nd", "a_b", "fid_2", "name_2", "_"}));
    EXPECT_EQ(columns[2].strName, "a b");
    EXPECT_TRUE(columns[1].bNumber);
    EXPECT_FALSE(columns[2].bNumber);
}

class TileBuilderTest : public testing::Test {
protected:
    static constexpr TOVO::TovoColor kRed = TOVO::TOVORGB(255, 0, 0);
    static constexpr TOVO::TovoColor kGreen = TOVO::TOVORGB(0, 255, 0);

    static FeatureResult Triangle(long long nFid, TOVO::TovoColor color, float dx) {
        FeatureResult result;
        result.nFid = nFid;
        Primitive& p = result.body.For(color, Primitive::Triangles);
        p.AddTriangle(p.AddVertex({dx, 0, 0}), p.AddVertex({dx + 1, 0, 0}),
                      p.AddVertex({dx, 0, -1}));
        return result;
    }

    EnuFrame frame{5.0, 45.0};
};

// Two features: the first red, the second red and green with a bar at the frame's origin. The
// red primitive holds both (ids 0 0 0 1 1 1), the green one the second; the bar is an instance of
// the unit cylinder standing upright there (no rotation) scaled by its radii and height; the
// table has a row per feature in order.
TEST_F(TileBuilderTest, MergesByColourWithFeatureIdsInstancesAndATable) {
    TileSchema schema;
    schema.bLabel = true;
    schema.bCaption = true;
    schema.bChartText = true;
    schema.fields = TileSchema::Columns({"value", "kind"}, {true, false});
    TileBuilder builder(schema, frame);
    FeatureResult a = Triangle(7, kRed, 0.0f);
    a.bHasLabel = true;
    a.strLabel = "first \xff";
    a.strCaption = "low";
    builder.Add(a, {TOVO::TovoVariant(10.5), TOVO::TovoVariant("x")});
    FeatureResult b = Triangle(9, kRed, 5.0f);
    b.body.For(kGreen, Primitive::Triangles) = Triangle(9, kGreen, 10.0f).body.primitives[0];
    b.bars.push_back({kGreen, {5.0, 45.0, 0.0}, 2.0, 3.0, 10.0});
    b.chartTexts = {{"40%", {}}, {"60%", {}}};
    builder.Add(b, {TOVO::TovoVariant(), TOVO::TovoVariant(std::int32_t(4))});
    EXPECT_EQ(builder.GetFeatureCount(), 2u);
    const Box& box = builder.GetBounds(); // the bar's radii and height count
    const double got[] = {box.min[0], box.max[0], box.max[1], box.min[2], box.max[2]},
                 want[] = {-2, 11, 10, -3, 3};
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(got[i], want[i], 1e-6) << i;

    const glbtest::Glb glb(builder.ToGlb("layer"));
    ASSERT_TRUE(glb.ok);
    const auto& nodes = glb.json["nodes"];
    ASSERT_EQ(nodes.size(), 3u); // root, merged features, green bars
    const auto& primitives = glb.json["meshes"][nodes[1]["mesh"].get<int>()]["primitives"];
    ASSERT_EQ(primitives.size(), 2u);
    std::map<double, std::vector<double>> idsByRed;
    for (const auto& primitive : primitives) {
        const auto& material = glb.json["materials"][primitive["material"].get<int>()];
        const double red = material["pbrMetallicRoughness"]["baseColorFactor"][0];
        idsByRed[red] = glb.Accessor(primitive["attributes"]["_FEATURE_ID_0"].get<int>());
        const auto& ids = primitive["extensions"]["EXT_mesh_features"]["featureIds"][0];
        EXPECT_EQ(ids["featureCount"], red == 1.0 ? 2 : 1);
        EXPECT_EQ(ids["propertyTable"], 0);
    }
    EXPECT_EQ(idsByRed[1.0], (std::vector<double>{0, 0, 0, 1, 1, 1}));
    EXPECT_EQ(idsByRed[0.0], (std::vector<double>{1, 1, 1}));

    const auto& instancing = nodes[2]["extensions"]["EXT_mesh_gpu_instancing"]["attributes"];
    EXPECT_EQ(glb.Accessor(instancing["TRANSLATION"].get<int>()), (std::vector<double>{0, 0, 0}));
    const std::vector<double> rotation = glb.Accessor(instancing["ROTATION"].get<int>());
    ASSERT_EQ(rotation.size(), 4u);
    EXPECT_NEAR(rotation[3], 1.0, 1e-6);
    EXPECT_EQ(glb.Accessor(instancing["SCALE"].get<int>()), (std::vector<double>{2, 10, 3}));
    EXPECT_EQ(glb.Accessor(instancing["_FEATURE_ID_0"].get<int>()), (std::vector<double>{1}));
    EXPECT_EQ(nodes[2]["extensions"]["EXT_instance_features"]["featureIds"][0]["propertyTable"], 0);

    EXPECT_EQ(glb.Table()["count"], 2);
    EXPECT_EQ(glb.Numbers<std::int64_t>("fid"), (std::vector<std::int64_t>{7, 9}));
    EXPECT_EQ(glb.Strings("label"), (std::vector<std::string>{"first \xef\xbf\xbd", ""}));
    EXPECT_EQ(glb.Strings("class"), (std::vector<std::string>{"low", ""}));
    EXPECT_EQ(glb.Strings("chart_text"), (std::vector<std::string>{"", "40%\n60%"}));
    const std::vector<double> values = glb.Numbers<double>("value");
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0], 10.5);
    EXPECT_TRUE(std::isnan(values[1]));
    EXPECT_EQ(glb.Strings("kind"), (std::vector<std::string>{"x", "4"}));
}

// Away from the frame's origin a bar leans with the ground: its instance turns the unit
// cylinder's up (0, 1, 0) into the local up there. The feature has no label: a column of empty
// texts still has bytes behind it, as glTF forbids an empty buffer view.
TEST_F(TileBuilderTest, BarsAwayFromTheOriginTurnWithTheGround) {
    TileSchema schema;
    schema.bLabel = true;
    TileBuilder builder(schema, frame);
    FeatureResult result;
    result.bars.push_back({kRed, {35.0, 45.0, 0.0}, 1.0, 1.0, 100.0});
    builder.Add(result, {});
    const glbtest::Glb glb(builder.ToGlb("layer"));
    EXPECT_EQ(glb.Strings("label"), std::vector<std::string>{""});
    for (const auto& view : glb.json["bufferViews"])
        EXPECT_GT(view["byteLength"].get<std::size_t>(), 0u);
    const auto& attributes =
        glb.json["nodes"][1]["extensions"]["EXT_mesh_gpu_instancing"]["attributes"];
    const std::vector<double> q = glb.Accessor(attributes["ROTATION"].get<int>());
    // Rotating (0, 1, 0) by q.
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    const Vec3 up{2 * (x * y - w * z), 1 - 2 * (x * x + z * z), 2 * (y * z + w * x)};
    const Vec3 expected = frame.AxesAt(35.0, 45.0).up;
    EXPECT_NEAR(up.x, expected.x, 1e-6);
    EXPECT_NEAR(up.y, expected.y, 1e-6);
    EXPECT_NEAR(up.z, expected.z, 1e-6);
}

TEST(FeatureSpill, FeaturesReadBackAsTheyWereParked) {
    FeatureSpill spill;
    Feature a;
    a.nFid = -5;
    OGRGeometry* pGeometry = nullptr;
    const char* szWkt = "POLYGON ((0 0,1 0,1 1,0 0),(0.2 0.1,0.3 0.1,0.3 0.2,0.2 0.1))";
    OGRGeometryFactory::createFromWkt(szWkt, nullptr, &pGeometry);
    a.geometry.reset(pGeometry);
    a.values = {TOVO::TovoVariant(),
                TOVO::TovoVariant(std::uint8_t(200)),
                TOVO::TovoVariant(std::int16_t(-300)),
                TOVO::TovoVariant(std::int32_t(70000)),
                TOVO::TovoVariant(std::int64_t(1) << 40),
                TOVO::TovoVariant(1.5f),
                TOVO::TovoVariant(-2.25),
                TOVO::TovoVariant::FromDayNumber(45000.5, TOVO::TovoVariant::DateTime),
                TOVO::TovoVariant::FromBinary("\0\1\2", 3),
                TOVO::TovoVariant(std::string("caf\xe9\0x", 6))};
    Feature b;
    b.nFid = 1LL << 35;
    EXPECT_EQ(spill.Append(a), 0u);
    EXPECT_EQ(spill.Append(b), 1u);
    spill.Flush();
    const Feature a2 = spill.Read(0), b2 = spill.Read(1);
    EXPECT_EQ(a2.nFid, -5);
    ASSERT_TRUE(a2.geometry);
    char* szBack = nullptr;
    a2.geometry->exportToWkt(&szBack);
    EXPECT_STREQ(szBack, szWkt);
    CPLFree(szBack);
    ASSERT_EQ(a2.values.size(), a.values.size());
    for (std::size_t i = 0; i < a.values.size(); ++i) {
        EXPECT_EQ(a2.values[i].GetType(), a.values[i].GetType()) << i;
        EXPECT_TRUE(a2.values[i] == a.values[i]) << i;
    }
    EXPECT_EQ(b2.nFid, 1LL << 35);
    EXPECT_FALSE(b2.geometry);
    EXPECT_TRUE(b2.values.empty());
}
