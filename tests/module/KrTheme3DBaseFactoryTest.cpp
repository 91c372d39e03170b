// The factory as the module's own code sees it: deep copies by type code.
#include "Theme3DBase/KrTheme3DBaseFactory.h"
#include "Theme3DBase/KrTheme3DGraph.h"
#include "Theme3DBase/KrTheme3DLabel.h"
#include "Theme3DBase/KrTheme3DRange.h"
#include "Theme3DBase/KrTheme3DUnique.h"

#include <gtest/gtest.h>

#include <memory>

using namespace KRS;
using TOVO::TovoMBString;

namespace {

std::unique_ptr<KrTheme3DUnique> RoadClasses() {
    auto theme = std::make_unique<KrTheme3DUnique>();
    theme->SetExpression("ROADCLASS");
    const char* values[] = {"1", "2", "3"};
    for (int i = 0; i < 3; ++i) {
        KrTheme3DItem item;
        item.m_strCaption = TovoMBString("class ") + values[i];
        item.m_bVisible = i != 1;
        item.m_Style.SetFillColor(TOVORGB(10 * i, 20 * i, 30 * i));
        EXPECT_TRUE(theme->Add(values[i], item));
    }
    return theme;
}

TEST(KrTheme3DBaseFactory, CloneOfAUniqueThemeIsDeepAndIndependent) {
    KrTheme3DBaseFactory factory;
    auto source = RoadClasses();
    std::unique_ptr<KrTheme3D> clone(factory.CloneTheme3D(source.get()));
    auto* copy = dynamic_cast<KrTheme3DUnique*>(clone.get());
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(copy->GetValueAt(i), source->GetValueAt(i));
        EXPECT_EQ(copy->GetCaptionAt(i), source->GetCaptionAt(i));
        EXPECT_EQ(copy->IsVisibleAt(i), source->IsVisibleAt(i));
        EXPECT_EQ(copy->GetStyleAt(i), source->GetStyleAt(i));
    }
    // Changing, then destroying the source leaves the copy as it was.
    source->SetCaptionAt(0, "changed");
    source->RemoveAt(1, 1);
    EXPECT_EQ(copy->GetCaptionAt(0), "class 1");
    source.reset();
    EXPECT_EQ(copy->GetCount(), 3);
    EXPECT_EQ(copy->GetCaptionAt(2), "class 3");
    EXPECT_FALSE(copy->IsVisibleAt(1));
}

TEST(KrTheme3DBaseFactory, CloneDispatchesOnTheTypeCode) {
    KrTheme3DBaseFactory factory;
    KrTheme3DRange range;
    KrTheme3DLabel label;
    KrTheme3DGraph graph;
    KrTheme3D* sources[] = {&range, &label, &graph};
    for (KrTheme3D* source : sources) {
        std::unique_ptr<KrTheme3D> copy(factory.CloneTheme3D(source));
        ASSERT_TRUE(copy);
        EXPECT_EQ(copy->GetType(), source->GetType());
        EXPECT_EQ(typeid(*copy), typeid(*source));
    }
    KrTheme3D bare; // type code 0
    EXPECT_EQ(factory.CloneTheme3D(&bare), nullptr);
}

TEST(KrTheme3DBaseFactory, SourceOfAnotherClassThanItsCodeGetsItsBasePartCopied) {
    // A graph theme reads documents of any theme type and takes their type code.
    auto unique = RoadClasses();
    unique->SetAliasSuffix("_1");
    KrTheme3DGraph graph;
    ASSERT_TRUE(graph.FromXML(unique->ToXML(0, ""), 0, ""));
    ASSERT_EQ(graph.GetType(), KrTheme3D::Unique);

    KrTheme3DBaseFactory factory;
    std::unique_ptr<KrTheme3D> copy(factory.CloneTheme3D(&graph));
    auto* asUnique = dynamic_cast<KrTheme3DUnique*>(copy.get());
    ASSERT_NE(asUnique, nullptr);
    EXPECT_EQ(asUnique->GetCount(), 0);
    EXPECT_EQ(asUnique->GetAliasSuffix(), "_1");
}

TEST(KrTheme3DBaseFactory, CopiesOfTheFactoryCarryNothing) {
    KrTheme3DBaseFactory first;
    KrTheme3DBaseFactory second(first);
    second = first;
    TOVO::TovoArray<int> types;
    EXPECT_EQ(second.GetSupportTheme3DType(types), 4);
    std::unique_ptr<KrTheme3DFactory> fromEntry(CreateTheme3DFactory());
    ASSERT_TRUE(fromEntry);
    EXPECT_EQ(fromEntry->GetName(), "Vantrel BaseTheme3Ds");
}

} // namespace
