#include "ChartTessellator.h"

#include "VyGeometry600/KrGeoCompound.h"
#include "VyGeometry600/KrGeoCylinder.h"
#include "VyGeometry600/KrGeoPieCylinder.h"
#include "VyGeometry600/KrGeoText3D.h"

namespace theme3d {

namespace {

TOVO::TovoColor ColorOf(const KRS::KrGeometry& geometry) {
    const KRS::KrStyle* pStyle = geometry.GetStyle();
    return pStyle ? pStyle->GetFillColor() : ChartTessellator::kNoStyle;
}

} // namespace

void ChartTessellator::Add(const KRS::KrGeometry& geometry, MeshData& out,
                           std::vector<ChartText>& texts, std::vector<BarInstance>* pBars) const {
    AddPart(geometry, 0.0, 0.0, out, texts, pBars);
}

void ChartTessellator::AddPart(const KRS::KrGeometry& geometry, double dx, double dy, MeshData& out,
                               std::vector<ChartText>& texts,
                               std::vector<BarInstance>* pBars) const {
    const auto* p3D = dynamic_cast<const KRS::KrGeometry3D*>(&geometry);
    if (p3D != nullptr) {
        dx += p3D->GetOffsetX();
        dy += p3D->GetOffsetY();
    }
    switch (geometry.GetGeometryType()) {
    case KRS::KrGeometry::GeoCompound: {
        const auto& compound = static_cast<const KRS::KrGeoCompound&>(geometry);
        for (int i = 0; i < compound.GetCount(); ++i) {
            if (const KRS::KrGeometry* pPart = compound.GetAt(i))
                AddPart(*pPart, dx, dy, out, texts, pBars);
        }
        break;
    }
    case KRS::KrGeometry::GeoCylinder: {
        const auto& cyl = static_cast<const KRS::KrGeoCylinder&>(geometry);
        const TOVO::TovoPoint3D& c = cyl.GetCentre();
        if (pBars != nullptr) {
            pBars->push_back({ColorOf(geometry),
                              {c.x + dx, c.y + dy, c.z},
                              cyl.GetRadiusX(),
                              cyl.GetRadiusY(),
                              cyl.GetHeight()});
            break;
        }
        m_solids.Cylinder({c.x + dx, c.y + dy, c.z}, cyl.GetRadiusX(), cyl.GetRadiusY(),
                          cyl.GetHeight(), out.For(ColorOf(geometry), Primitive::Triangles));
        break;
    }
    case KRS::KrGeometry::GeoPieCylinder: {
        const auto& pie = static_cast<const KRS::KrGeoPieCylinder&>(geometry);
        const TOVO::TovoPoint3D& c = pie.GetCentre();
        m_solids.PieSlice({c.x + dx, c.y + dy, c.z}, pie.GetRadiusX(), pie.GetRadiusY(),
                          pie.GetStartAngle(), pie.GetStartAngle() + pie.GetSweep(),
                          pie.GetHeight(), out.For(ColorOf(geometry), Primitive::Triangles));
        break;
    }
    case KRS::KrGeometry::GeoText3D: {
        const auto& text = static_cast<const KRS::KrGeoText3D&>(geometry);
        for (int i = 0; i < text.GetCount(); ++i) {
            const TOVO::TovoPoint3D& p = text.GetPointAt(i);
            texts.push_back(
                {text.GetSubTextAt(i).GetText().Str(), m_frame.ToScene(p.x + dx, p.y + dy, p.z)});
        }
        break;
    }
    default:
        break;
    }
}

} // namespace theme3d
