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

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#ifdef _WIN32
#include <thread>
#include <windows.h>
#else
#include <dlfcn.h>
#endif

using namespace KRS;
using TOVO::TovoArray;
using TOVO::TovoPoint3D;
using TOVO::TovoVariant;

namespace {

// The platform's loader, as a host uses it: the module by its file name, the entry point by name.
#ifdef _WIN32
using ModuleHandle = std::remove_pointer_t<HMODULE>;
ModuleHandle* LoadModule(const char* path) {
    return LoadLibraryA(path);
}
void* FindSymbol(ModuleHandle* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(module, name));
}
std::string LoadError() {
    return "error " + std::to_string(GetLastError());
}
struct ModuleCloser {
    void operator()(ModuleHandle* module) const { FreeLibrary(module); }
};
#else
using ModuleHandle = void;
ModuleHandle* LoadModule(const char* path) {
    return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}
void* FindSymbol(ModuleHandle* module, const char* name) {
    return dlsym(module, name);
}
std::string LoadError() {
    const char* error = dlerror();
    return error ? error : "";
}
struct ModuleCloser {
    void operator()(ModuleHandle* module) const { dlclose(module); }
};
#endif
using ThemePtr = std::unique_ptr<KrTheme3D>;
const char* const kDocuments[] = {"", "unique.xml", "range.xml", "label.xml", "graph.xml"};

std::string ReadData(const char* name) {
    std::ifstream in(std::string(VY_PLUGIN_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class PluginHost : public ::testing::Test {
protected:
    void SetUp() override {
        m_module.reset(LoadModule(VY_PLUGIN_PATH));
        ASSERT_TRUE(m_module) << LoadError();
        m_create = reinterpret_cast<PFN_CreateTheme3DFactory>(
            FindSymbol(m_module.get(), "CreateTheme3DFactory"));
        ASSERT_NE(m_create, nullptr) << LoadError();
        m_factory.reset(m_create());
        ASSERT_TRUE(m_factory);
    }
    void TearDown() override { m_factory.reset(); }

    // A theme of the type, filled from the sample document of that type.
    ThemePtr Load(int nType) {
        ThemePtr theme(m_factory->NewTheme3D(nType));
        if (!theme || !theme->FromXML(ReadData(kDocuments[nType]), 0, ""))
            ADD_FAILURE() << "type " << nType << " not loaded";
        return theme;
    }

    std::unique_ptr<ModuleHandle, ModuleCloser> m_module;
    PFN_CreateTheme3DFactory m_create = nullptr;
    std::unique_ptr<KrTheme3DFactory> m_factory;
};

TEST_F(PluginHost, FactoryNamesItselfAndItsTypes) {
    EXPECT_EQ(m_factory->GetName(), "Vantrel BaseTheme3Ds");
    TovoArray<int> types;
    types.Add(7);
    types.Add(8);
    EXPECT_EQ(m_factory->GetSupportTheme3DType(types), 6);
    EXPECT_EQ(std::vector<int>(types.begin(), types.end()), (std::vector<int>{7, 8, 1, 2, 3, 4}));
    for (int code : {0, 5}) {
        EXPECT_FALSE(m_factory->IsSupportTheme3D(code)) << code;
        EXPECT_EQ(m_factory->NewTheme3D(code), nullptr) << code;
    }
    for (int code = 1; code <= 4; ++code) {
        EXPECT_TRUE(m_factory->IsSupportTheme3D(code));
        ThemePtr theme(m_factory->NewTheme3D(code));
        EXPECT_EQ(theme->GetType(), code);
    }
}

// Each kind answers per value through the base class only: a unique value's style, a range
// class's, a label's text and text style.
TEST_F(PluginHost, StyleAndLabelThemesAnswerPerValue) {
    ThemePtr unique = Load(KrTheme3D::Unique), range = Load(KrTheme3D::Range);
    EXPECT_EQ(unique->FindStyle(TovoVariant(2.0))->GetFillColor(), TOVORGB(69, 123, 157));
    const KrStyle* style = range->FindStyle(TovoVariant(74.0));
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(style->GetFillColor(), TOVORGB(100, 100, 120));
    ThemePtr label = Load(KrTheme3D::Label);
    EXPECT_EQ(label->GetStringFromVariant(TovoVariant(2.5)), "2.50");
    EXPECT_EQ(label->GetTextStyle()->GetSize(), 20.0);
}

TEST_F(PluginHost, GraphThemeBuildsChartGeometry) {
    ThemePtr theme = Load(KrTheme3D::Graph);
    // Sums 10..110 map to sizes 10000..50000: a sum of 60 gives 30000, split 1:2:3 in the bars.
    double values[] = {10.0, 20.0, 30.0};
    std::unique_ptr<KrGeometry> chart(
        theme->ConvertToGeometry(values, 3, TovoPoint3D(10.0, 0.0, 0.0)));
    auto* compound = dynamic_cast<KrGeoCompound*>(chart.get());
    ASSERT_NE(compound, nullptr);
    ASSERT_EQ(compound->GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        auto* bar = dynamic_cast<const KrGeoCylinder*>(compound->GetAt(i));
        ASSERT_NE(bar, nullptr);
        EXPECT_NEAR(bar->GetHeight(), 5000.0 * (i + 1), 1e-9);
    }
}

TEST_F(PluginHost, ClonesAreDeepAndWriteTheDocumentRead) {
    for (int code = 1; code <= 4; ++code) {
        ThemePtr source = Load(code);
        ThemePtr copy(m_factory->CloneTheme3D(source.get()));
        source.reset(); // destroying the source leaves the copy whole
        ASSERT_TRUE(copy) << code;
        EXPECT_EQ(copy->ToXML(0, ""), ReadData(kDocuments[code])) << code;
    }
}

#ifdef _WIN32
// The load entry lets every load succeed (the fixture's load, and here a second one), and a
// thread started and ended while the module is loaded changes nothing. That it asks for no
// thread notifications shows in its imports (check_exports_dll.sh): the loader refuses the
// request for a MinGW image, whose runtime keeps a TLS directory for its own thread callbacks.
TEST_F(PluginHost, LoadEntryLetsEveryLoadSucceed) {
    std::thread([] {}).join();
    HMODULE again = LoadLibraryA(VY_PLUGIN_PATH);
    ASSERT_EQ(again, m_module.get()); // the same module, counted twice
    EXPECT_TRUE(FreeLibrary(again));
    std::unique_ptr<KrTheme3DFactory> factory(m_create());
    EXPECT_EQ(factory->GetName(), "Vantrel BaseTheme3Ds");
    // The module's own entry is not exported: nothing but the loader calls it.
    EXPECT_EQ(FindSymbol(m_module.get(), "DllMain"), nullptr);
}
#endif

} // namespace
