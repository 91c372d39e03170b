// Reads one vector layer through GDAL/OGR (any format it reads: GeoJSON, Shapefile, GeoPackage,
// ...): its features' geometries in longitude and latitude (degrees, WGS 84) and the values of the
// fields the themes need, as the host's field values.
#pragma once

#include "VyBase600/TovoVariant.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class GDALDataset;
class OGRLayer;
class OGRGeometry;
class OGRFeature;
class OGRCoordinateTransformation;

namespace theme3d {

// One feature: its id, its geometry (may be null) and the requested field values in order.
struct Feature {
    long long nFid = 0;
    std::shared_ptr<const OGRGeometry> geometry;
    std::vector<TOVO::TovoVariant> values;
};

struct GeoExtent {
    double xmin = 0.0, ymin = 0.0, xmax = 0.0, ymax = 0.0;
    bool IsEmpty() const { return xmin > xmax; }
};

class LayerReader {
public:
    // Opens the file and its layer strLayer (the first layer when empty). Throws ToolError for a
    // missing or unreadable file, or a missing layer.
    LayerReader(const std::string& strPath, const std::string& strLayer);
    ~LayerReader();
    LayerReader(const LayerReader&) = delete;
    LayerReader& operator=(const LayerReader&) = delete;

    const std::string& GetPath() const { return m_strPath; }
    std::string GetLayerName() const;
    // The index of a field; throws ToolError naming the field and the layer when there is none.
    int FieldIndex(const std::string& strField) const;
    // Throws ToolError unless the field holds numbers (integers or reals).
    void RequireNumeric(int nField) const;
    std::vector<std::string> FieldNames() const;

    // Every feature, with the values of the given fields, geometries in longitude/latitude.
    std::vector<Feature> ReadAll(const std::vector<int>& fields);
    // Every feature in turn, handed over one at a time, so a layer of any size streams through.
    void ForEach(const std::vector<int>& fields, const std::function<void(Feature&&)>& visit);
    // True for a field of integers or reals.
    bool IsNumeric(int nField) const;
    // The values of one numeric field, nulls skipped, sorted ascending.
    std::vector<double> SortedNumbers(int nField);

    // The host's field value of one field of an OGR feature, by the field's type.
    static TOVO::TovoVariant ToVariant(OGRFeature& feature, int nField);
    // The extent of the features' geometries; empty when none has a geometry.
    static GeoExtent Extent(const std::vector<Feature>& features);

private:
    std::string m_strPath;
    GDALDataset* m_pDataset = nullptr;
    OGRLayer* m_pLayer = nullptr;
    std::unique_ptr<OGRCoordinateTransformation> m_pToLonLat;
};

} // namespace theme3d
