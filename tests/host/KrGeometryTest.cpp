// The geometry records: creation by code, recorded parameters, shifts, styles and ownership.
#include "VyGeometry600/KrGeoCompound.h"
#include "VyGeometry600/KrGeoCylinder.h"
#include "VyGeometry600/KrGeoPieCylinder.h"
#include "VyGeometry600/KrGeoText3D.h"
#include "VyGeometry600/KrGeometryManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>

using namespace KRS;
using TOVO::TovoPoint3D;

namespace {

// A part that counts its destructions, to see who deletes what.
struct CountedPart : KrGeometry3D {
    explicit CountedPart(int& nDeleted) : m_nDeleted(nDeleted) {}
    ~CountedPart() override { ++m_nDeleted; }
    int GetGeometryType() const override { return 4242; }
    int& m_nDeleted;
};

TEST(KrGeometryManagerTest, CreatesTheRecordOfEachCode) {
    std::unique_ptr<KrGeometry> compound(KrGeometryManager::CreateGeometry(1000));
    std::unique_ptr<KrGeometry> cylinder(KrGeometryManager::CreateGeometry(1206));
    std::unique_ptr<KrGeometry> pie(KrGeometryManager::CreateGeometry(1211));
    ASSERT_NE(dynamic_cast<KrGeoCompound*>(compound.get()), nullptr);
    ASSERT_NE(dynamic_cast<KrGeoCylinder*>(cylinder.get()), nullptr);
    ASSERT_NE(dynamic_cast<KrGeoPieCylinder*>(pie.get()), nullptr);
    EXPECT_EQ(compound->GetGeometryType(), 1000);
    EXPECT_EQ(cylinder->GetGeometryType(), 1206);
    EXPECT_EQ(pie->GetGeometryType(), 1211);
    EXPECT_EQ(KrGeoText3D().GetGeometryType(), 1301);
}

TEST(KrGeometryManagerTest, UnknownCodesGiveNull) {
    for (int code : {0, -1, 999, 1001, 1205, 1207, 1210, 1212, 1301})
        EXPECT_EQ(KrGeometryManager::CreateGeometry(code), nullptr) << code;
}

TEST(KrGeoCylinderTest, KeepsItsParametersAndAddsTheShiftOnlyWhenPlaced) {
    KrGeoCylinder cylinder;
    EXPECT_EQ(cylinder.Make(TovoPoint3D(10.5, 20.25, 3.0), 4.0, 5.0, 12.0), TRUE);
    cylinder.Offset(-1.5, 0.0);
    cylinder.Offset(-0.5, 2.0);
    EXPECT_EQ(cylinder.GetCentre(), TovoPoint3D(10.5, 20.25, 3.0));
    EXPECT_DOUBLE_EQ(cylinder.GetRadiusX(), 4.0);
    EXPECT_DOUBLE_EQ(cylinder.GetRadiusY(), 5.0);
    EXPECT_DOUBLE_EQ(cylinder.GetHeight(), 12.0);
    EXPECT_DOUBLE_EQ(cylinder.GetOffsetX(), -2.0);
    EXPECT_DOUBLE_EQ(cylinder.GetOffsetY(), 2.0);
    EXPECT_EQ(cylinder.GetPlacedCentre(), TovoPoint3D(8.5, 22.25, 3.0));
}

TEST(KrGeoCylinderTest, UndrawableParametersAreKeptButReported) {
    KrGeoCylinder cylinder;
    EXPECT_EQ(cylinder.Make(TovoPoint3D(), 1.0, 1.0, -3.0), FALSE);
    EXPECT_DOUBLE_EQ(cylinder.GetHeight(), -3.0);
    EXPECT_EQ(cylinder.Make(TovoPoint3D(), 1.0, std::nan(""), 1.0), FALSE);
}

TEST(KrGeoPieCylinderTest, KeepsEveryParameter) {
    KrGeoPieCylinder pie;
    EXPECT_EQ(pie.Make(TovoPoint3D(1, 2, 3), 7.0, 8.0, 178.0, 30.0, 208.0, 3.5), TRUE);
    pie.Offset(0.25, 0.0);
    EXPECT_EQ(pie.GetCentre(), TovoPoint3D(1, 2, 3));
    EXPECT_DOUBLE_EQ(pie.GetRadiusX(), 7.0);
    EXPECT_DOUBLE_EQ(pie.GetRadiusY(), 8.0);
    EXPECT_DOUBLE_EQ(pie.GetSweep(), 178.0);
    EXPECT_DOUBLE_EQ(pie.GetStartAngle(), 30.0);
    EXPECT_DOUBLE_EQ(pie.GetEndAngle(), 208.0);
    EXPECT_DOUBLE_EQ(pie.GetHeight(), 3.5);
    EXPECT_EQ(pie.GetPlacedCentre(), TovoPoint3D(1.25, 2, 3));
    EXPECT_EQ(pie.Make(TovoPoint3D(), 1.0, 1.0, -1.0, 0.0, -1.0, 0.5), FALSE);
}

TEST(KrGeometryStyleTest, SetStyleKeepsACopyAndNullRemovesIt) {
    KrGeoCylinder cylinder;
    EXPECT_EQ(cylinder.GetStyle(), nullptr);
    KrStyle style;
    style.SetFillColor(TOVORGB(10, 20, 30));
    style.SetAltitudeMode(AltitudeRelativeToGround);
    cylinder.SetStyle(&style);
    style.SetFillColor(TOVORGB(1, 1, 1));
    ASSERT_NE(cylinder.GetStyle(), nullptr);
    EXPECT_NE(cylinder.GetStyle(), &style);
    EXPECT_EQ(cylinder.GetStyle()->GetFillColor(), TOVORGB(10, 20, 30));
    EXPECT_EQ(cylinder.GetStyle()->GetAltitudeMode(), AltitudeRelativeToGround);
    cylinder.SetStyle(nullptr);
    EXPECT_EQ(cylinder.GetStyle(), nullptr);
}

TEST(KrGeoCompoundTest, DeletesOwnedPartsOnlyAndKeepsTheirOrder) {
    int nDeleted = 0;
    CountedPart borrowed(nDeleted);
    {
        KrGeoCompound compound;
        auto* owned1 = new CountedPart(nDeleted);
        auto* owned2 = new CountedPart(nDeleted);
        EXPECT_EQ(compound.AddCompound(owned1, TRUE), TRUE);
        EXPECT_EQ(compound.AddCompound(&borrowed, FALSE), TRUE);
        EXPECT_EQ(compound.AddCompound(owned2, TRUE), TRUE);
        ASSERT_EQ(compound.GetCount(), 3);
        EXPECT_EQ(compound.GetAt(0), owned1);
        EXPECT_EQ(compound.GetAt(1), &borrowed);
        EXPECT_EQ(compound.GetAt(2), owned2);
        EXPECT_EQ(compound.IsOwnerAt(1), FALSE);
        EXPECT_EQ(compound.IsOwnerAt(2), TRUE);
        EXPECT_EQ(compound.GetAt(3), nullptr);
        EXPECT_EQ(compound.GetAt(-1), nullptr);
    }
    EXPECT_EQ(nDeleted, 2);
}

TEST(KrGeoCompoundTest, RefusesNullSelfDuplicatesAndCycles) {
    int nDeleted = 0;
    auto* outer = new KrGeoCompound;
    auto* inner = new KrGeoCompound;
    auto* part = new CountedPart(nDeleted);
    EXPECT_EQ(outer->AddCompound(nullptr, TRUE), FALSE);
    EXPECT_EQ(outer->AddCompound(outer, TRUE), FALSE);
    EXPECT_EQ(inner->AddCompound(part, TRUE), TRUE);
    EXPECT_EQ(inner->AddCompound(part, TRUE), FALSE);
    EXPECT_EQ(outer->AddCompound(inner, TRUE), TRUE);
    EXPECT_EQ(inner->AddCompound(outer, TRUE), FALSE); // would close a cycle
    EXPECT_TRUE(outer->Contains(part));
    EXPECT_EQ(inner->GetCount(), 1);
    delete outer; // deletes inner and, through it, part, exactly once
    EXPECT_EQ(nDeleted, 1);
}

TEST(KrGeoText3DTest, MakeCopiesStylePointsAndTexts) {
    KrTextStyle style;
    style.SetHeight(8.0);
    TovoPoint3D points[2] = {TovoPoint3D(1, 2, 3), TovoPoint3D(4, 5, 6)};
    KrSubText3D texts[2];
    texts[0].SetText("25.0%");
    texts[1].SetText("A 12.5");
    KrGeoText3D text;
    ASSERT_EQ(text.Make(style, points, texts, 2), TRUE);
    style.SetHeight(1.0);
    texts[0].SetText("changed");
    points[1].x = 0.0;
    EXPECT_DOUBLE_EQ(text.GetTextStyle().GetHeight(), 8.0);
    ASSERT_EQ(text.GetCount(), 2);
    EXPECT_EQ(text.GetPointAt(1), TovoPoint3D(4, 5, 6));
    EXPECT_EQ(text.GetSubTextAt(0).GetText(), "25.0%");
    EXPECT_EQ(text.GetSubTextAt(1).GetText(), "A 12.5");
    EXPECT_THROW(text.GetPointAt(2), std::out_of_range);
}

TEST(KrGeoText3DTest, BadCountsChangeNothing) {
    KrGeoText3D text;
    TovoPoint3D point(1, 1, 1);
    KrSubText3D sub("x");
    ASSERT_EQ(text.Make(KrTextStyle(), &point, &sub, 1), TRUE);
    EXPECT_EQ(text.Make(KrTextStyle(), &point, &sub, -1), FALSE);
    EXPECT_EQ(text.Make(KrTextStyle(), nullptr, &sub, 1), FALSE);
    EXPECT_EQ(text.GetCount(), 1);
    EXPECT_EQ(text.Make(KrTextStyle(), nullptr, nullptr, 0), TRUE);
    EXPECT_EQ(text.GetCount(), 0);
}

} // namespace
