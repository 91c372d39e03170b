// The table of theme operations that are not virtual (MakeDefault, SetStyleAt, CalExtremumvValue,
// ...). A program can only reach a non-virtual member function through its symbol, and the
// plug-in is loaded by file name, never linked. So these calls live in a small companion library
// that is compiled against the plug-in's headers but not linked to it: its references to the
// theme classes stay open until it is loaded, after the plug-in has been loaded with RTLD_GLOBAL,
// and then bind to the plug-in the user chose. The tool finds the table through one extern "C"
// symbol of that library.
#pragma once

#include "VyBase600/TovoGeometryTypes.h"
#include "VyBase600/TovoMBString.h"
#include "VyToolkit600/KrStyle.h"

#include <vector>

namespace KRS {
class KrTheme3D;
}

namespace theme3d {

// One row of a legend: a class of a style theme or an item of a graph theme.
struct LegendRow {
    TOVO::TovoMBString strCaption;
    KRS::KrStyle style;
    bool bVisible = true;
};

// Every function takes a theme made by the plug-in's factory; the caller has checked its type.
struct ThemeBridge {
    int nVersion; // kThemeBridgeVersion of the library that made the table

    // Range theme (type 2).
    void (*SetRangeExpression)(KRS::KrTheme3D* pTheme, const TOVO::TovoMBString& strExpression);
    unsigned char (*MakeDefault)(KRS::KrTheme3D* pTheme, int nMethod, int nCount,
                                 const std::vector<double>& values,
                                 const std::vector<double>& breaks, double dInterval);
    void (*GetBreaks)(const KRS::KrTheme3D* pTheme, std::vector<double>& breaks);
    void (*SetRangeItem)(KRS::KrTheme3D* pTheme, int nIndex, const KRS::KrStyle& style,
                         const TOVO::TovoMBString& strCaption, unsigned char bVisible);

    // Unique theme (type 1).
    void (*SetUniqueExpression)(KRS::KrTheme3D* pTheme, const TOVO::TovoMBString& strExpression,
                                const KRS::KrStyle& defaultStyle);
    unsigned char (*AddUniqueValue)(KRS::KrTheme3D* pTheme, const TOVO::TovoMBString& strValue,
                                    const KRS::KrStyle& style,
                                    const TOVO::TovoMBString& strCaption);

    // Label theme (type 3).
    void (*SetLabel)(KRS::KrTheme3D* pTheme, const TOVO::TovoMBString& strExpression,
                     const TOVO::TovoMBString& strNumFormat);

    // Graph theme (type 4).
    void (*SetGraph)(KRS::KrTheme3D* pTheme, int nGraphType, int nGraduatedMode,
                     int nItemTextFormat, unsigned char bShowItemText);
    void (*AddGraphItem)(KRS::KrTheme3D* pTheme, const TOVO::TovoMBString& strExpression,
                         const TOVO::TovoMBString& strCaption, const KRS::KrStyle& style);
    void (*CalExtremumvValue)(KRS::KrTheme3D* pTheme, double dMinSum, double dMaxSum,
                              const TOVO::TovoRect2D& bounds, int nCount);
    // The charts' sizes in metres at the smallest and the largest graduated sum, instead of the
    // sizes CalExtremumvValue chose from the layer's extent.
    void (*SetChartSizes)(KRS::KrTheme3D* pTheme, double dMinSize, double dMaxSize);

    // The legend rows of any theme: range and unique items, graph items; none for labels.
    void (*GetLegend)(const KRS::KrTheme3D* pTheme, std::vector<LegendRow>& rows);
};

constexpr int kThemeBridgeVersion = 3;

} // namespace theme3d

// The one symbol the tool looks up in the companion library.
extern "C" typedef const theme3d::ThemeBridge* (*PFN_Theme3DToolBridge)();
