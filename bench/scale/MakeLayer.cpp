// Writes a synthetic layer through GDAL: N polygons (squares of about 40 m on a jittered grid
// over a city-sized area) or points, each with a name, a value for a range theme and two values
// a, b for bar charts. The same N gives the same layer.
// Usage: theme3d-make-layer polygons|points N OUT.gpkg
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <random>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4 ||
        (std::strcmp(argv[1], "polygons") != 0 && std::strcmp(argv[1], "points") != 0)) {
        std::fprintf(stderr, "usage: %s polygons|points N OUT.gpkg\n", argv[0]);
        return 2;
    }
    const bool bPoints = std::strcmp(argv[1], "points") == 0;
    const long long n = std::atoll(argv[2]);
    GDALAllRegister();
    GDALDriver* pDriver = GetGDALDriverManager()->GetDriverByName("GPKG");
    std::remove(argv[3]);
    GDALDataset* pDataset = pDriver->Create(argv[3], 0, 0, 0, GDT_Unknown, nullptr);
    if (pDataset == nullptr)
        return 2;
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    // No spatial index: theme3d reads the layer in order, and the index costs most of the time.
    char* options[] = {const_cast<char*>("SPATIAL_INDEX=NO"), nullptr};
    OGRLayer* pLayer =
        pDataset->CreateLayer(argv[1], &wgs84, bPoints ? wkbPoint : wkbPolygon, options);
    OGRFieldDefn name("name", OFTString), value("value", OFTReal), a("a", OFTInteger),
        b("b", OFTInteger);
    for (OGRFieldDefn* pField : {&name, &value, &a, &b})
        pLayer->CreateField(pField);
    std::mt19937 random(42);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const long long side = static_cast<long long>(std::sqrt(double(n))) + 1;
    const double step = 0.0006, lon0 = 8.0, lat0 = 47.0; // about 50 m between cells
    if (pLayer->StartTransaction() != OGRERR_NONE)
        return 2;
    for (long long i = 0; i < n; ++i) {
        if (i % 100000 == 99999) {
            if (pLayer->CommitTransaction() != OGRERR_NONE ||
                pLayer->StartTransaction() != OGRERR_NONE)
                return 2;
        }
        const double x = lon0 + (i % side) * step + unit(random) * step * 0.2;
        const double y = lat0 + (i / side) * step + unit(random) * step * 0.2;
        OGRFeature feature(pLayer->GetLayerDefn());
        feature.SetField("name", ("f" + std::to_string(i)).c_str());
        feature.SetField("value", std::floor(unit(random) * 1000) / 10);
        feature.SetField("a", static_cast<int>(unit(random) * 500));
        feature.SetField("b", static_cast<int>(unit(random) * 500));
        if (bPoints) {
            feature.SetGeometryDirectly(new OGRPoint(x, y));
        } else {
            const double d = step * 0.7;
            auto* pRing = new OGRLinearRing();
            pRing->addPoint(x, y);
            pRing->addPoint(x + d, y);
            pRing->addPoint(x + d, y + d);
            pRing->addPoint(x, y + d);
            pRing->addPoint(x, y);
            auto* pPolygon = new OGRPolygon();
            pPolygon->addRingDirectly(pRing);
            feature.SetGeometryDirectly(pPolygon);
        }
        if (pLayer->CreateFeature(&feature) != OGRERR_NONE)
            return 2;
    }
    const bool bOk = pLayer->CommitTransaction() == OGRERR_NONE;
    GDALClose(pDataset);
    return bOk ? 0 : 2;
}
