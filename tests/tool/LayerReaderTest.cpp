#include "LayerReader.h"
#include "ToolRun.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <ogr_feature.h>
#include <ogr_geometry.h>

using theme3d::LayerReader;
using TOVO::TovoVariant;

// Each OGR field type becomes the host's field value of the matching type code.
TEST(LayerReader, FieldValuesByOgrType) {
    using V = TovoVariant;
    using Set = void (*)(OGRFeature&, int);
    const struct {
        OGRFieldType type;
        OGRFieldSubType sub;
        Set set;
        int nType;
        double dNumber; // the value read as a number (dates: day numbers; 2012-11-09 is day 41222)
    } fields[] = {
        // clang-format off
        {OFTInteger, OFSTNone, [](OGRFeature& f, int i) { f.SetField(i, 42); }, V::Int32, 42},
        {OFTInteger, OFSTBoolean, [](OGRFeature& f, int i) { f.SetField(i, 1); }, V::UInt8, 1},
        {OFTInteger, OFSTInt16, [](OGRFeature& f, int i) { f.SetField(i, -5); }, V::Int16, -5},
        {OFTInteger64, OFSTNone, [](OGRFeature& f, int i) { f.SetField(i, GIntBig(5000000000LL)); },
         V::Int64, 5e9},
        {OFTReal, OFSTNone, [](OGRFeature& f, int i) { f.SetField(i, 1.5); }, V::Double, 1.5},
        {OFTReal, OFSTFloat32, [](OGRFeature& f, int i) { f.SetField(i, 0.25); }, V::Float, 0.25},
        {OFTString, OFSTNone, [](OGRFeature& f, int i) { f.SetField(i, "caf\xC3\xA9"); }, V::Text, 0},
        {OFTDate, OFSTNone, [](OGRFeature& f, int i) { f.SetField(i, 2012, 11, 9); }, V::Date, 41222},
        {OFTTime, OFSTNone, [](OGRFeature& f, int i) { f.SetField(i, 0, 0, 0, 12); }, V::Time, 0.5},
        {OFTDateTime, OFSTNone, [](OGRFeature& f, int i) { f.SetField(i, 2012, 11, 9, 6); },
         V::DateTime, 41222.25},
        {OFTBinary, OFSTNone,
         [](OGRFeature& f, int i) { f.SetField(i, 3, reinterpret_cast<const GByte*>("\1\2\3")); },
         V::Binary, 0},
        {OFTInteger, OFSTNone, [](OGRFeature& f, int i) { f.SetFieldNull(i); }, V::Null, 0},
        // clang-format on
    };
    OGRFeatureDefn* pDefn = new OGRFeatureDefn("t");
    pDefn->Reference();
    for (const auto& f : fields) {
        OGRFieldDefn field(std::to_string(&f - fields).c_str(), f.type);
        field.SetSubType(f.sub);
        pDefn->AddFieldDefn(&field);
    }
    OGRFeature feature(pDefn);
    for (int i = 0; i < 12; ++i) {
        fields[i].set(feature, i);
        const TovoVariant value = LayerReader::ToVariant(feature, i);
        EXPECT_EQ(value.GetType(), fields[i].nType) << "field " << i;
        double d = 0.0;
        if (value.ToDouble(d)) {
            EXPECT_DOUBLE_EQ(d, fields[i].dNumber) << "field " << i;
        }
    }
    EXPECT_EQ(LayerReader::ToVariant(feature, 6).GetText().Str(), "caf\xC3\xA9");
    EXPECT_EQ(LayerReader::ToVariant(feature, 10).GetBinary(),
              (std::vector<std::uint8_t>{1, 2, 3}));
    pDefn->Release();
}

using LayerReaderTest = tooltest::ToolTest;

TEST_F(LayerReaderTest, ProjectedCoordinatesComeBackAsLongitudeLatitude) {
    const std::string strPath = Path("mercator.geojson");
    // One degree of longitude on the web-mercator sphere: 6378137 * pi / 180 = 111319.49 m.
    tooltest::WriteFile(
        strPath,
        "{\"type\":\"FeatureCollection\",\"crs\":{\"type\":\"name\",\"properties\":{\"name\":"
        "\"urn:ogc:def:crs:EPSG::3857\"}},\"features\":[{\"type\":\"Feature\",\"properties\":"
        "{\"v\":1},\"geometry\":{\"type\":\"Point\",\"coordinates\":[111319.49079327357,0]}}]}");
    LayerReader layer(strPath, "");
    const std::vector<theme3d::Feature> features = layer.ReadAll({layer.FieldIndex("v")});
    ASSERT_EQ(features.size(), 1u);
    const OGRPoint* pPoint = features[0].geometry->toPoint();
    EXPECT_NEAR(pPoint->getX(), 1.0, 1e-9);
    EXPECT_NEAR(pPoint->getY(), 0.0, 1e-9);
}
