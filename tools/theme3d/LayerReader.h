// Reads one vector layer through GDAL/OGR (any format it reads: GeoJSON, Shapefile, GeoPackage,
// ...): its features' geometries in longitude and latitude (degrees, WGS 84) and the values of the
// fields the themes need, as the host's field values.
#pragma once

#include "VyBase600/TovoVariant.h"

#include <functional>
#include <iosfwd>
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
    // missing or unreadable file, or a missing layer. Features that OGR cannot read make every
    // pass over the layer fail with their count and the first error, unless bSkipFailures: then
    // the pass goes on without them and reports their count on standard error.
    // With strSql, the layer is the result of that query (OGR SQL, or strDialect such as
    // "SQLITE"), released when the reader goes; strLayer must then be empty.
    LayerReader(const std::string& strPath, const std::string& strLayer, bool bSkipFailures = false,
                const std::string& strSql = std::string(),
                const std::string& strDialect = std::string());
    ~LayerReader();
    LayerReader(const LayerReader&) = delete;
    LayerReader& operator=(const LayerReader&) = delete;

    // Keeps only the features that match an OGR attribute filter (an SQL WHERE clause such as
    // "pop_m > 50"); none when empty. Throws ToolError for a filter OGR refuses.
    void SetWhere(const std::string& strWhere);

    const std::string& GetPath() const { return m_strPath; }
    std::string GetLayerName() const;
    // The index of a field; throws ToolError naming the field and the layer when there is none.
    int FieldIndex(const std::string& strField) const;
    // Throws ToolError unless the field holds numbers (integers or reals).
    void RequireNumeric(int nField) const;
    std::vector<std::string> FieldNames() const;

    // Every feature, with the values of the given fields, geometries in longitude/latitude.
    std::vector<Feature> ReadAll(const std::vector<int>& fields);
    // The values of one numeric field, nulls skipped, sorted ascending. NaN and infinities are
    // left out too; nNonFinite tells how many.
    std::vector<double> SortedNumbers(int nField, std::size_t& nNonFinite);
    // Every feature in turn, read as ReadAll does but handed over one at a time, so a layer of
    // any size streams through.
    void ForEachFeature(const std::vector<int>& fields,
                        const std::function<void(Feature&&)>& visit);
    // True for a field of integers or reals.
    bool IsNumeric(int nField) const;

    // The host's field value of one field of an OGR feature, by the field's type.
    static TOVO::TovoVariant ToVariant(OGRFeature& feature, int nField);
    // The extent of the features' geometries; empty when none has a geometry.
    static GeoExtent Extent(const std::vector<Feature>& features);

    // The layers of the file and the layer read, as a GIS user's summary of them: feature count
    // (with --where), geometry type, CRS, extent in the layer's own coordinates, fields and types.
    void Describe(std::ostream& out) const;

private:
    void Close();
    std::string LayerNames() const;
    // Every feature OGR can read, in order; the failures as the constructor says.
    void ForEach(const std::function<void(OGRFeature&)>& visit);
    void ReportFailures(std::size_t nFailed, std::size_t nRead, const std::string& strFirst) const;

    std::string m_strPath;
    bool m_bSkipFailures = false;
    GDALDataset* m_pDataset = nullptr;
    OGRLayer* m_pLayer = nullptr;
    OGRLayer* m_pResult = nullptr; // the --sql result set, which the dataset must release
    std::unique_ptr<OGRCoordinateTransformation> m_pToLonLat;
};

} // namespace theme3d
