// Turns a feature's geometry (longitude/latitude) into scene primitives: polygons filled by GEOS's
// constrained Delaunay triangulation with their holes kept (and extruded when the style asks),
// lines as line segments or flat ribbons, points as markers. One tessellator per thread: it owns a
// GEOS context.
#pragma once

#include "MeshData.h"
#include "Solids.h"

#include <map>
#include <utility>
#include <vector>

class OGRGeometry;
class OGRPolygon;
class OGRLineString;

namespace theme3d {

struct FeatureLook {
    TOVO::TovoColor fill = 0;
    TOVO::TovoColor line = 0;
    double dExtrude = 0.0;   // metres; 0 draws polygons flat
    double dMarker = 1.0;    // point marker size in metres
    double dLineWidth = 0.0; // lines as ribbons this wide (metres); 0: glTF lines
    double dLineLift = 0.0;  // lines this high above the ellipsoid (metres)
};

class FeatureTessellator {
public:
    explicit FeatureTessellator(const EnuFrame& frame);
    ~FeatureTessellator();
    FeatureTessellator(const FeatureTessellator&) = delete;
    FeatureTessellator& operator=(const FeatureTessellator&) = delete;

    // False when a polygon could not be triangulated (it is then left out).
    bool Add(const OGRGeometry& geometry, const FeatureLook& look, MeshData& out);

    // A ground surface over the longitude/latitude box, dHeight metres above the ellipsoid,
    // looking up.
    void Ground(double xmin, double ymin, double xmax, double ymax, double dHeight, Primitive& out);

    // The point charts and labels stand on: the point itself, else a point on the surface (on
    // the line, for lines). False for an empty geometry.
    bool PointOnSurface(const OGRGeometry& geometry, double& dLon, double& dLat);

    // Triangles (three longitude/latitude points each) covering the polygon without its holes;
    // empty when GEOS cannot triangulate it, even after making it valid.
    std::vector<double> Triangulate(const OGRPolygon& polygon);

    // Triangles longer than this many degrees along an edge are split, so that large polygons
    // follow the curve of the ellipsoid instead of cutting below it.
    static constexpr double kMaxEdgeDegrees = 2.0;

private:
    bool AddPolygon(const OGRPolygon& polygon, const FeatureLook& look, MeshData& out);
    void AddLine(const OGRLineString& line, const FeatureLook& look, MeshData& out);
    void AddRibbon(const std::vector<Vec3>& points, const std::vector<Vec3>& ups,
                   const FeatureLook& look, MeshData& out);
    void AddWalls(const OGRPolygon& polygon, const FeatureLook& look, Primitive& out);
    // Shared vertices of one polygon's faces, by longitude and latitude.
    using VertexCache = std::map<std::pair<double, double>, std::uint32_t>;
    std::uint32_t Vertex(const double* p, double dHeight, Primitive& out, VertexCache& cache);
    void Emit(const double* tri, double dHeight, int nDepth, Primitive& out, VertexCache& cache);

    const EnuFrame& m_frame;
    Solids m_solids;
    void* m_hGeos; // GEOSContextHandle_t, kept out of the header
};

} // namespace theme3d
