#include "ChartTessellator.h"

#include "VyGeometry600/KrGeoCompound.h"
#include "VyGeometry600/KrGeoCylinder.h"
#include "VyGeometry600/KrGeoText3D.h"
#include "VyGeometry600/KrGeometryManager.h"

#include <gtest/gtest.h>

using namespace theme3d;

namespace {

KRS::KrGeoCylinder* Cylinder(double x, TOVO::TovoColor color) {
    auto* p = static_cast<KRS::KrGeoCylinder*>(KRS::KrGeometryManager::CreateGeometry(1206));
    p->Make(TOVO::TovoPoint3D(x, 0.0, 0.0), 5.0, 5.0, 10.0);
    KRS::KrStyle style;
    style.SetFillColor(color);
    p->SetStyle(&style);
    return p;
}

double MeanX(const Primitive& p) {
    double sum = 0.0;
    for (std::size_t i = 0; i < p.positions.size(); i += 3)
        sum += p.positions[i];
    return sum / double(p.positions.size() / 3);
}

} // namespace

TEST(ChartTessellator, PlacesPartsAtTheirParametersPlusEveryShift) {
    const EnuFrame frame(0.0, 0.0);
    KRS::KrGeoCompound chart;
    KRS::KrGeoCylinder* pRed = Cylinder(0.001, TOVO::TOVORGB(255, 0, 0));
    pRed->Offset(-0.001, 0.0); // the part's own shift brings it back to the origin
    chart.AddCompound(pRed, TRUE);
    chart.AddCompound(Cylinder(0.002, TOVO::TOVORGB(0, 0, 255)), TRUE);
    chart.Offset(0.001, 0.0); // the compound's shift moves both
    KRS::KrGeoText3D* pText = new KRS::KrGeoText3D;
    const TOVO::TovoPoint3D at(0.0, 0.0, 12.0);
    const KRS::KrSubText3D text(TOVO::TovoMBString("25.0%"));
    pText->Make(KRS::KrTextStyle(), &at, &text, 1);
    chart.AddCompound(pText, TRUE);

    MeshData mesh;
    std::vector<ChartText> texts;
    ChartTessellator(frame).Add(chart, mesh, texts);
    ASSERT_EQ(mesh.primitives.size(), 2u); // one per colour
    // 0.001 degrees of longitude at the equator: 111.3 m east
    EXPECT_NEAR(MeanX(mesh.primitives[0]), 111.32, 0.05);
    EXPECT_NEAR(MeanX(mesh.primitives[1]), 3 * 111.32, 0.1);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].strText, "25.0%");
    EXPECT_NEAR(texts[0].position.x, 111.32, 0.05);
    EXPECT_NEAR(texts[0].position.y, 12.0, 0.01);
}
