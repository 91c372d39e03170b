// The factory as the module's own code sees it: new themes and deep copies by type code.
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

const char* const kValues[] = {"1", "2", "3"};
const char* const kCaptions[] = {"class 1", "class 2", "class 3"};
const unsigned char kVisible[] = {TRUE, FALSE, TRUE};
const TOVO::TovoColor kColours[] = {TOVORGB(0, 0, 0), TOVORGB(10, 20, 30), TOVORGB(20, 40, 60)};

std::unique_ptr<KrTheme3DUnique> RoadClasses() {
    auto theme = std::make_unique<KrTheme3DUnique>();
    theme->SetExpression("ROADCLASS");
    for (int i = 0; i < 3; ++i) {
        KrTheme3DItem item;
        item.m_strCaption = kCaptions[i];
        item.m_bVisible = kVisible[i];
        item.m_Style.SetFillColor(kColours[i]);
        EXPECT_TRUE(theme->Add(kValues[i], item));
    }
    return theme;
}

TEST(KrTheme3DBaseFactory, CloneOfAUniqueThemeIsDeepAndIndependent) {
    KrTheme3DBaseFactory factory;
    auto source = RoadClasses();
    std::unique_ptr<KrTheme3D> clone(factory.CloneTheme3D(source.get()));
    auto* copy = dynamic_cast<KrTheme3DUnique*>(clone.get());
    ASSERT_NE(copy, nullptr);
    source->SetCaptionAt(0, "changed");
    source->SetStyleAt(2, KrStyle());
    source->RemoveAt(1, 1);
    source.reset();
    ASSERT_EQ(copy->GetCount(), 3);
    EXPECT_EQ(copy->GetExpression(), "ROADCLASS");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(copy->GetValueAt(i), kValues[i]);
        EXPECT_EQ(copy->GetCaptionAt(i), kCaptions[i]);
        EXPECT_EQ(copy->IsVisibleAt(i), kVisible[i]);
        EXPECT_EQ(copy->GetStyleAt(i).GetFillColor(), kColours[i]);
    }
}

TEST(KrTheme3DBaseFactory, NewAndCloneDispatchOnTheTypeCode) {
    KrTheme3DBaseFactory factory;
    std::unique_ptr<KrTheme3D> range(factory.NewTheme3D(KrTheme3D::Range));
    ASSERT_NE(dynamic_cast<KrTheme3DRange*>(range.get()), nullptr);
    EXPECT_EQ(range->GetType(), 2);
    EXPECT_EQ(static_cast<KrTheme3DRange*>(range.get())->GetCount(), 0);
    KrTheme3DLabel label;
    KrTheme3DGraph graph;
    for (KrTheme3D* source :
         {range.get(), static_cast<KrTheme3D*>(&label), static_cast<KrTheme3D*>(&graph)}) {
        std::unique_ptr<KrTheme3D> copy(factory.CloneTheme3D(source));
        ASSERT_TRUE(copy);
        const KrTheme3D& made = *copy;
        EXPECT_EQ(typeid(made), typeid(*source));
    }
    KrTheme3D bare; // type code 0
    EXPECT_EQ(factory.CloneTheme3D(&bare), nullptr);
    EXPECT_EQ(factory.CloneTheme3D(nullptr), nullptr);
    KrTheme3DBaseFactory copy(factory); // a factory has nothing to copy
    copy = factory;
    TOVO::TovoArray<int> types;
    EXPECT_EQ(copy.GetSupportTheme3DType(types), 4);
}

// A graph theme reads documents of any theme type and takes their type code; copying it through
// the unique theme's assignment would read a graph theme as a unique one.
TEST(KrTheme3DBaseFactory, SourceOfAnotherClassThanItsCodeGetsItsBasePartCopied) {
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

} // namespace
