// A host's view of the module: loaded by file name, driven only through the factory and the theme
// base class's virtual operations, filled from documents and asked per feature.
#include "VyBase600/TovoVariant.h"
#include "VyGeometry600/KrGeoCompound.h"
#include "VyGeometry600/KrGeoCylinder.h"
#include "VyScene600/KrTheme3D.h"
#include "VyScene600/KrTheme3DFactory.h"
#include "VyToolkit600/KrStyle.h"
#include "VyToolkit600/KrTextStyle.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

using namespace KRS;
using TOVO::TovoArray;
using TOVO::TovoMBString;
using TOVO::TovoPoint3D;
using TOVO::TovoVariant;

namespace {

struct ModuleCloser {
    void operator()(void* handle) const { dlclose(handle); }
};
using ThemePtr = std::unique_ptr<KrTheme3D>;

std::string ReadData(const char* name) {
    std::ifstream in(std::string(VY_PLUGIN_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class PluginHost : public ::testing::Test {
protected:
    void SetUp() override {
        m_module.reset(dlopen(VY_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL));
        ASSERT_TRUE(m_module) << dlerror();
        auto create = reinterpret_cast<PFN_CreateTheme3DFactory>(
            dlsym(m_module.get(), "CreateTheme3DFactory"));
        ASSERT_NE(create, nullptr) << dlerror();
        m_factory.reset(create());
        ASSERT_TRUE(m_factory);
    }
    void TearDown() override { m_factory.reset(); }

    // A theme of the type, filled from the sample document of that type.
    ThemePtr Load(int nType, const char* document) {
        ThemePtr theme(m_factory->NewTheme3D(nType));
        EXPECT_TRUE(theme);
        if (theme) {
            EXPECT_TRUE(theme->FromXML(ReadData(document), 0, ""));
        }
        return theme;
    }

    std::unique_ptr<void, ModuleCloser> m_module;
    std::unique_ptr<KrTheme3DFactory> m_factory;
};

TEST_F(PluginHost, FactoryNamesItselfAndItsTypes) {
    EXPECT_EQ(m_factory->GetName(), "Vantrel BaseTheme3Ds");
    TovoArray<int> types;
    types.Add(7);
    types.Add(8);
    EXPECT_EQ(m_factory->GetSupportTheme3DType(types), 6);
    const int expected[] = {7, 8, 1, 2, 3, 4};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(types[i], expected[i]);
    for (int code : {-1, 0, 5, 100}) {
        EXPECT_FALSE(m_factory->IsSupportTheme3D(code)) << code;
        EXPECT_EQ(m_factory->NewTheme3D(code), nullptr) << code;
    }
    for (int code = 1; code <= 4; ++code) {
        EXPECT_TRUE(m_factory->IsSupportTheme3D(code));
        ThemePtr theme(m_factory->NewTheme3D(code));
        ASSERT_TRUE(theme);
        EXPECT_EQ(theme->GetType(), code);
    }
    EXPECT_EQ(m_factory->CloneTheme3D(nullptr), nullptr);
}

TEST_F(PluginHost, EachCallMakesANewFactory) {
    auto create =
        reinterpret_cast<PFN_CreateTheme3DFactory>(dlsym(m_module.get(), "CreateTheme3DFactory"));
    std::unique_ptr<KrTheme3DFactory> second(create());
    EXPECT_NE(second.get(), m_factory.get());
}

TEST_F(PluginHost, UniqueThemeAnswersStylesByValue) {
    ThemePtr theme = Load(KrTheme3D::Unique, "unique.xml");
    EXPECT_EQ(theme->GetFieldName(TRUE), "ROADCLASS as Theme3DUnique");
    EXPECT_EQ(theme->GetExpression(), "ROADCLASS");
    const KrStyle* motorway = theme->FindStyle(TovoVariant("1"));
    ASSERT_NE(motorway, nullptr);
    EXPECT_EQ(motorway->GetFillColor(), TOVORGB(230, 57, 70));
    // A number matches its value text; a hidden item and an unknown value give the default style.
    EXPECT_EQ(theme->FindStyle(TovoVariant(2.0))->GetFillColor(), TOVORGB(69, 123, 157));
    EXPECT_EQ(theme->FindStyle(TovoVariant("3"))->GetFillColor(), TOVORGB(200, 200, 200));
    EXPECT_EQ(theme->FindStyle(TovoVariant("9"))->GetFillColor(), TOVORGB(200, 200, 200));
}

TEST_F(PluginHost, RangeThemeAnswersStylesByRange) {
    ThemePtr theme = Load(KrTheme3D::Range, "range.xml");
    EXPECT_EQ(theme->GetFieldName(TRUE), "POP_DENSITY as Theme3DRange");
    const struct {
        double value;
        TOVO::TovoColor colour;
    } cases[] = {{-5.0, TOVORGB(0, 100, 200)},  {24.999, TOVORGB(0, 100, 200)},
                 {25.0, TOVORGB(50, 100, 160)}, {74.0, TOVORGB(100, 100, 120)},
                 {75.0, TOVORGB(150, 100, 80)}, {1e9, TOVORGB(150, 100, 80)}};
    for (const auto& c : cases) {
        const KrStyle* style = theme->FindStyle(TovoVariant(c.value));
        ASSERT_NE(style, nullptr) << c.value;
        EXPECT_EQ(style->GetFillColor(), c.colour) << c.value;
    }
    EXPECT_EQ(theme->FindStyle(TovoVariant()), nullptr);
}

TEST_F(PluginHost, LabelThemeFormatsValues) {
    ThemePtr theme = Load(KrTheme3D::Label, "label.xml");
    EXPECT_EQ(theme->GetFieldName(TRUE), "NAME as Theme3DLabel");
    EXPECT_EQ(theme->GetStringFromVariant(TovoVariant(2.5)), "2.50");
    EXPECT_EQ(theme->GetStringFromVariant(TovoVariant("Lima  ")), "Lima");
    EXPECT_EQ(theme->GetStringFromVariant(TovoVariant()), "<NULL>");
    ASSERT_NE(theme->GetTextStyle(), nullptr);
    EXPECT_EQ(theme->GetTextStyle()->GetSize(), 20.0);
    EXPECT_FALSE(theme->IsAlonglineText());
    theme->SetAlonglineText(TRUE);
    EXPECT_TRUE(theme->IsAlonglineText());
}

TEST_F(PluginHost, GraphThemeBuildsChartGeometry) {
    ThemePtr theme = Load(KrTheme3D::Graph, "graph.xml");
    TovoArray<TovoMBString> fields;
    ASSERT_TRUE(theme->GetThemeQueryDef(fields, TRUE));
    ASSERT_EQ(fields.GetSize(), 3);
    EXPECT_EQ(theme->GetThemeGraphItemType(0), 1);

    // Sums 10..110 map to sizes 10000..50000: a sum of 60 gives 30000, split 1:2:3 between the
    // bars.
    double values[] = {10.0, 20.0, 30.0};
    std::unique_ptr<KrGeometry> chart(
        theme->ConvertToGeometry(values, 3, TovoPoint3D(10.0, 0.0, 0.0)));
    auto* compound = dynamic_cast<KrGeoCompound*>(chart.get());
    ASSERT_NE(compound, nullptr);
    ASSERT_EQ(compound->GetCount(), 3);
    const double heights[] = {5000.0, 10000.0, 15000.0};
    for (int i = 0; i < 3; ++i) {
        auto* bar = dynamic_cast<const KrGeoCylinder*>(compound->GetAt(i));
        ASSERT_NE(bar, nullptr);
        EXPECT_NEAR(bar->GetHeight(), heights[i], 1e-9);
        EXPECT_DOUBLE_EQ(bar->GetRadiusX(), 500.0);
    }
}

TEST_F(PluginHost, ClonesAreDeepAndWriteTheSameDocument) {
    const char* documents[] = {"unique.xml", "range.xml", "label.xml", "graph.xml"};
    for (int code = 1; code <= 4; ++code) {
        ThemePtr source = Load(code, documents[code - 1]);
        const TovoMBString written = source->ToXML(0, "");
        ASSERT_FALSE(written.IsEmpty()) << code;
        ThemePtr copy(m_factory->CloneTheme3D(source.get()));
        ASSERT_TRUE(copy) << code;
        EXPECT_EQ(copy->GetType(), code);
        EXPECT_EQ(copy->ToXML(0, ""), written) << code;
        // Destroying the source leaves the copy whole.
        source.reset();
        EXPECT_EQ(copy->ToXML(0, ""), written) << code;
        EXPECT_EQ(copy->ToXML(0, ""), ReadData(documents[code - 1])) << code;
    }
}

TEST_F(PluginHost, RefusesDocumentsOfAnotherKind) {
    ThemePtr unique(m_factory->NewTheme3D(KrTheme3D::Unique));
    EXPECT_FALSE(unique->FromXML(ReadData("range.xml"), 0, ""));
    EXPECT_FALSE(unique->FromXML("", 0, ""));
    EXPECT_FALSE(unique->FromXML("<not a document", 0, ""));
    ThemePtr range(m_factory->NewTheme3D(KrTheme3D::Range));
    EXPECT_FALSE(range->FromXML(ReadData("label.xml"), 0, ""));
}

} // namespace
