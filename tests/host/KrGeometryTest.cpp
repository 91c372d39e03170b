// The geometry records: creation by code, recorded parameters, shifts, styles and ownership.
#include "VyGeometry600/KrGeoCompound.h"
#include "VyGeometry600/KrGeoCylinder.h"
#include "VyGeometry600/KrGeoPieCylinder.h"
#include "VyGeometry600/KrGeoText3D.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

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

TEST(KrGeoCylinderTest, RecordsParametersAndAddsShiftsOnlyWhenPlaced) {
    KrGeoCylinder cylinder;
    EXPECT_EQ(cylinder.Make(TovoPoint3D(10.5, 20.25, 3.0), 4.0, 5.0, 12.0), TRUE);
    cylinder.Offset(-1.5, 0.0);
    cylinder.Offset(-0.5, 2.0);
    EXPECT_EQ(cylinder.GetPlacedCentre(), TovoPoint3D(8.5, 22.25, 3.0));
    // An undrawable one is kept as given, but refused.
    EXPECT_EQ(cylinder.Make(TovoPoint3D(), 1.0, 2.0, -3.0), FALSE);
    EXPECT_EQ(
        (std::vector<double>{cylinder.GetRadiusX(), cylinder.GetRadiusY(), cylinder.GetHeight()}),
        (std::vector<double>{1.0, 2.0, -3.0}));

    KrGeoPieCylinder pie;
    EXPECT_EQ(pie.Make(TovoPoint3D(1, 2, 3), 7.0, 8.0, 178.0, 30.0, 208.0, 3.5), TRUE);
    pie.Offset(0.25, 0.0);
    EXPECT_EQ((std::vector<double>{pie.GetRadiusX(), pie.GetRadiusY(), pie.GetSweep(),
                                   pie.GetStartAngle(), pie.GetEndAngle(), pie.GetHeight()}),
              (std::vector<double>{7.0, 8.0, 178.0, 30.0, 208.0, 3.5}));
    EXPECT_EQ(pie.GetPlacedCentre(), TovoPoint3D(1.25, 2, 3));
    EXPECT_EQ(pie.Make(TovoPoint3D(), 1.0, 1.0, -1.0, 0.0, -1.0, 0.5), FALSE);
}

TEST(KrGeoCompoundTest, DeletesOwnedPartsOnceAndRefusesNullDuplicatesAndCycles) {
    int nDeleted = 0;
    CountedPart borrowed(nDeleted);
    auto* outer = new KrGeoCompound;
    auto* inner = new KrGeoCompound;
    auto* part = new CountedPart(nDeleted);
    // In order: owned, borrowed, the same again, null, itself, nested, and a cycle.
    const std::vector<int> added = {
        inner->AddCompound(part, TRUE),  inner->AddCompound(&borrowed, FALSE),
        inner->AddCompound(part, TRUE),  outer->AddCompound(nullptr, TRUE),
        outer->AddCompound(outer, TRUE), outer->AddCompound(inner, TRUE),
        inner->AddCompound(outer, TRUE)};
    EXPECT_EQ(added, (std::vector<int>{TRUE, TRUE, FALSE, FALSE, FALSE, TRUE, FALSE}));
    ASSERT_EQ(inner->GetCount(), 2);
    EXPECT_EQ((std::vector<const KrGeometry*>{inner->GetAt(0), inner->GetAt(1), inner->GetAt(2)}),
              (std::vector<const KrGeometry*>{part, &borrowed, nullptr}));
    EXPECT_EQ(inner->IsOwnerAt(1), FALSE);
    EXPECT_TRUE(outer->Contains(part));
    delete outer; // deletes inner and, through it, part, exactly once; borrowed stays
    EXPECT_EQ(nDeleted, 1);

    KrGeoCompound many; // duplicates are refused however many parts there are
    std::vector<CountedPart*> parts;
    for (int i = 0; i < 40; ++i) {
        parts.push_back(new CountedPart(nDeleted));
        ASSERT_EQ(many.AddCompound(parts.back(), TRUE), TRUE);
    }
    EXPECT_EQ(many.AddCompound(parts[3], TRUE) + many.AddCompound(parts[39], TRUE), FALSE);
}

TEST(KrGeoText3DTest, MakeCopiesStylePointsAndTextsOrChangesNothing) {
    KrTextStyle style;
    style.SetHeight(8.0);
    TovoPoint3D points[2] = {TovoPoint3D(1, 2, 3), TovoPoint3D(4, 5, 6)};
    KrSubText3D texts[2] = {KrSubText3D("25.0%"), KrSubText3D("A 12.5")};
    KrGeoText3D text;
    EXPECT_EQ(KrGeoText3D().GetGeometryType(), 1301);
    ASSERT_EQ(text.Make(style, points, texts, 2), TRUE);
    style.SetHeight(1.0);
    texts[1].SetText("changed");
    points[1].x = 0.0;
    EXPECT_EQ(text.GetTextStyle().GetHeight(), 8.0);
    EXPECT_EQ(text.GetPointAt(1), TovoPoint3D(4, 5, 6));
    EXPECT_EQ(text.GetSubTextAt(1).GetText(), "A 12.5");
    EXPECT_THROW(text.GetPointAt(2), std::out_of_range);
    EXPECT_EQ(text.Make(style, points, texts, -1), FALSE);
    EXPECT_EQ(text.Make(style, nullptr, texts, 1), FALSE);
    EXPECT_EQ(text.GetCount(), 2);
    EXPECT_EQ(text.Make(style, nullptr, nullptr, 0), TRUE);
    EXPECT_EQ(text.GetCount(), 0);
}

} // namespace
