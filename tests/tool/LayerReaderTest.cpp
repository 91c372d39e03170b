#include "LayerReader.h"
#include "ToolError.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <ogr_feature.h>
#include <ogr_geometry.h>

using theme3d::LayerReader;
using TOVO::TovoVariant;

// Each OGR field type becomes the host's field value of the matching type code.
TEST(LayerReader, FieldValuesByOgrType) {
    OGRFeatureDefn* pDefn = new OGRFeatureDefn("t");
    pDefn->Reference();
    const struct {
        const char* szName;
        OGRFieldType type;
        OGRFieldSubType sub;
    } fields[] = {{"i", OFTInteger, OFSTNone},    {"b", OFTInteger, OFSTBoolean},
                  {"s16", OFTInteger, OFSTInt16}, {"i64", OFTInteger64, OFSTNone},
                  {"r", OFTReal, OFSTNone},       {"f32", OFTReal, OFSTFloat32},
                  {"s", OFTString, OFSTNone},     {"d", OFTDate, OFSTNone},
                  {"t", OFTTime, OFSTNone},       {"dt", OFTDateTime, OFSTNone},
                  {"bin", OFTBinary, OFSTNone},   {"null", OFTInteger, OFSTNone}};
    for (const auto& f : fields) {
        OGRFieldDefn field(f.szName, f.type);
        field.SetSubType(f.sub);
        pDefn->AddFieldDefn(&field);
    }
    OGRFeature feature(pDefn);
    feature.SetField(0, 42);
    feature.SetField(1, 1);
    feature.SetField(2, -5);
    feature.SetField(3, static_cast<GIntBig>(5000000000LL));
    feature.SetField(4, 1.5);
    feature.SetField(5, 0.25);
    feature.SetField(6, "caf\xC3\xA9");
    feature.SetField(7, 2012, 11, 9);
    feature.SetField(8, 0, 0, 0, 12, 0, 0.0f);
    feature.SetField(9, 2012, 11, 9, 6, 0, 0.0f);
    const GByte bytes[] = {1, 2, 3};
    feature.SetField(10, 3, bytes);
    feature.SetFieldNull(11);

    const struct {
        int nType;
        double dNumber; // the value read as a number (dates: day numbers; 2012-11-09 is day 41222)
    } expected[] = {{TovoVariant::Int32, 42},   {TovoVariant::UInt8, 1},
                    {TovoVariant::Int16, -5},   {TovoVariant::Int64, 5000000000.0},
                    {TovoVariant::Double, 1.5}, {TovoVariant::Float, 0.25},
                    {TovoVariant::Text, 0},     {TovoVariant::Date, 41222.0},
                    {TovoVariant::Time, 0.5},   {TovoVariant::DateTime, 41222.25},
                    {TovoVariant::Binary, 0},   {TovoVariant::Null, 0}};
    for (int i = 0; i < 12; ++i) {
        const TovoVariant value = LayerReader::ToVariant(feature, i);
        EXPECT_EQ(value.GetType(), expected[i].nType) << "field " << i;
        double d = 0.0;
        if (value.ToDouble(d)) {
            EXPECT_DOUBLE_EQ(d, expected[i].dNumber) << "field " << i;
        }
    }
    EXPECT_EQ(LayerReader::ToVariant(feature, 6).GetText().Str(), "caf\xC3\xA9");
    EXPECT_EQ(LayerReader::ToVariant(feature, 10).GetBinary(),
              (std::vector<std::uint8_t>{1, 2, 3}));
    pDefn->Release();
}

TEST(LayerReader, ProjectedCoordinatesComeBackAsLongitudeLatitude) {
    const std::string strPath = testing::TempDir() + "theme3d-mercator.geojson";
    // One degree of longitude on the web-mercator sphere: 6378137 * pi / 180 = 111319.49 m.
    std::ofstream(strPath)
        << "{\"type\":\"FeatureCollection\",\"crs\":{\"type\":\"name\",\"properties\":{\"name\":"
           "\"urn:ogc:def:crs:EPSG::3857\"}},\"features\":[{\"type\":\"Feature\",\"properties\":"
           "{\"v\":1},\"geometry\":{\"type\":\"Point\",\"coordinates\":[111319.49079327357,0]}}]}";
    LayerReader layer(strPath, "");
    const std::vector<theme3d::Feature> features = layer.ReadAll({layer.FieldIndex("v")});
    ASSERT_EQ(features.size(), 1u);
    const OGRPoint* pPoint = features[0].geometry->toPoint();
    EXPECT_NEAR(pPoint->getX(), 1.0, 1e-9);
    EXPECT_NEAR(pPoint->getY(), 0.0, 1e-9);
    std::remove(strPath.c_str());
}

TEST(LayerReader, SortedNumbersSkipNulls) {
    LayerReader layer(std::string(TOOL_TEST_DATA) + "/points.geojson", "");
    std::size_t nNonFinite = 9;
    EXPECT_EQ(layer.SortedNumbers(layer.FieldIndex("count"), nNonFinite),
              (std::vector<double>{3, 7, 12}));
    EXPECT_EQ(nNonFinite, 0u);
    EXPECT_THROW(layer.SortedNumbers(layer.FieldIndex("kind"), nNonFinite), theme3d::ToolError);
}
