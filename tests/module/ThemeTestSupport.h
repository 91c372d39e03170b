// Small builders and readers shared by the theme tests.
#pragma once

#include "Theme3DBase/KrTheme3DItem.h"
#include "Theme3DBase/KrTheme3DRange.h"
#include "VyToolkit600/KrLogFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace ThemeTest {

using Doubles = std::vector<double>;
using Strings = std::vector<std::string>;

// An item with a caption, a fill of the given red and a visibility.
inline KRS::KrTheme3DItem MakeItem(const char* szCaption, unsigned nRed, bool bVisible = true) {
    KRS::KrTheme3DItem item;
    item.m_strCaption = szCaption;
    item.m_Style.SetFillColor(TOVORGB(nRed, 0, 0));
    item.m_bVisible = bVisible ? TRUE : FALSE;
    return item;
}

inline std::string El(const std::string& name, const std::string& text) {
    return "<" + name + ">" + text + "</" + name + ">";
}

// The log's records as "level code source line|" each; the messages are left out.
inline std::string Logs() {
    std::string logs;
    for (const auto& record : KRS::KrLogFile::GetInstance(false).GetRecords())
        logs += std::to_string(record.nLevel) + " " + record.strCode.Str() + " " +
                record.strSource.Str() + " " + std::to_string(record.nLine) + "|";
    return logs;
}

inline std::string ModulePath(const std::string& name) {
    return std::string(VY_TEST_DATA_DIR) + "/../module/" + name;
}

// A file under tests/module, without the line end that closes it.
inline std::string ModuleFile(const std::string& name) {
    std::ifstream in(ModulePath(name), std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    return text.empty() || text.back() != '\n' ? text : text.substr(0, text.size() - 1);
}

// A written document against tests/module/expected/NAME.xml, byte for byte. VY_UPDATE_EXPECTED=1
// rewrites the file instead: read every rewritten file against the element order and texts the
// readers of these documents expect before committing it.
inline void ExpectDocument(const std::string& name, const TOVO::TovoMBString& strXML) {
    const char* szUpdate = std::getenv("VY_UPDATE_EXPECTED");
    if (szUpdate && std::string(szUpdate) == "1") {
        std::ofstream(ModulePath("expected/" + name + ".xml"), std::ios::binary)
            << strXML.Str() << '\n';
        return;
    }
    EXPECT_EQ(ModuleFile("expected/" + name + ".xml"), strXML.Str()) << name;
}

// An array of the values; of doubles unless told otherwise.
template <typename T = double> TOVO::TovoArray<T> Array(const std::vector<T>& values) {
    TOVO::TovoArray<T> arr;
    for (const T& value : values)
        arr.Add(value);
    return arr;
}

inline Doubles Values(const KRS::KrTheme3DRange& theme) {
    Doubles values;
    for (int i = 0; i < theme.GetValueCount(); ++i)
        values.push_back(theme.GetValueAt(i));
    return values;
}

inline Strings Captions(const KRS::KrTheme3DRange& theme) {
    Strings captions;
    for (int i = 0; i < theme.GetCount(); ++i)
        captions.push_back(theme.GetCaptionAt(i).Str());
    return captions;
}

} // namespace ThemeTest
