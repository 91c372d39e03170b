// Draws the chart records a graph theme returns (a compound of cylinders, pie slices and texts)
// from the parameters they were made with: positions in degrees, sizes in metres. A part is
// placed at its parameters plus its own shift plus the shifts of the compounds around it.
#pragma once

#include "MeshData.h"
#include "Solids.h"

#include <string>
#include <vector>

namespace KRS {
class KrGeometry;
}

namespace theme3d {

// An item text of a chart, at its place in the scene.
struct ChartText {
    std::string strText; // bytes as the theme made them
    Vec3 position;
};

// A full cylinder of a bar chart, kept as parameters so that a tile can draw every bar as an
// instance of one unit cylinder.
struct BarInstance {
    TOVO::TovoColor color = 0;
    GeoPoint base; // centre of the bottom
    double dRadiusX = 0.0, dRadiusY = 0.0, dHeight = 0.0;
};

class ChartTessellator {
public:
    // The colour of a part that has no style of its own.
    static constexpr TOVO::TovoColor kNoStyle = TOVO::TOVORGB(160, 160, 160);

    explicit ChartTessellator(const EnuFrame& frame) : m_frame(frame), m_solids(frame) {}

    // With pBars, full cylinders go there instead of into out.
    void Add(const KRS::KrGeometry& geometry, MeshData& out, std::vector<ChartText>& texts,
             std::vector<BarInstance>* pBars = nullptr) const;

private:
    void AddPart(const KRS::KrGeometry& geometry, double dx, double dy, MeshData& out,
                 std::vector<ChartText>& texts, std::vector<BarInstance>* pBars) const;

    const EnuFrame& m_frame;
    Solids m_solids;
};

} // namespace theme3d
