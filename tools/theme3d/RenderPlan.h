// How the layer's fields feed the themes, worked out once before rendering: which fields to read
// (each once), and which of them each theme takes, the way a host asks a theme for its query
// fields. The tool evaluates plain field names; an expression that names no field of the layer
// is an error.
#pragma once

#include "LayerReader.h"

#include <string>
#include <vector>

namespace KRS {
class KrTheme3D;
}

namespace theme3d {

struct ThemeUse {
    int nType = 0;
    std::string strTitle;   // the expression(s), for the legend
    std::vector<int> slots; // positions in Feature::values; for graphs one per chart item, and
                            // -1 for an item whose values come from a list joined by key
};

class RenderPlan {
public:
    RenderPlan(const std::vector<KRS::KrTheme3D*>& themes, const LayerReader& layer);

    const std::vector<int>& GetFields() const { return m_arrFields; }
    const std::vector<ThemeUse>& GetUses() const { return m_arrUses; }

    // The values of one feature's chart items, in item order (a missing number counts as 0).
    static std::vector<double> GraphValues(KRS::KrTheme3D& theme, const ThemeUse& use,
                                           const Feature& feature);
    // Every value, and their sum, is a finite number.
    static bool AllFinite(const std::vector<double>& values);
    // The sum of one feature's chart values, which sizes its chart; false (no chart) when a
    // value or the sum is not finite.
    static bool ChartSum(KRS::KrTheme3D& theme, const ThemeUse& use, const Feature& feature,
                         double& dSum);

private:
    int Slot(const LayerReader& layer, const std::string& strField);
    ThemeUse GraphUse(KRS::KrTheme3D& theme, const LayerReader& layer);

    std::vector<int> m_arrFields;
    std::vector<ThemeUse> m_arrUses;
};

} // namespace theme3d
