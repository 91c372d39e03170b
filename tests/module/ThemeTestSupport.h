// Small builders and readers shared by the theme tests.
#pragma once

#include "Theme3DBase/KrTheme3DItem.h"
#include "Theme3DBase/KrTheme3DRange.h"

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

inline TOVO::TovoArray<double> Array(const Doubles& values) {
    TOVO::TovoArray<double> arr;
    for (double d : values)
        arr.Add(d);
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
