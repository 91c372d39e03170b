#include "RenderPlan.h"

#include "ToolError.h"
#include "VyBase600/TovoArray.h"
#include "VyScene600/KrTheme3D.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace theme3d {

namespace {

// "EXPR as ALIAS<n>", as a graph theme lists its query fields: the expression and n - 1.
bool SplitQueryField(const std::string& strEntry, std::string& strExpression, int& nItem) {
    const std::size_t pos = strEntry.rfind(" as ");
    if (pos == std::string::npos)
        return false;
    std::size_t digits = strEntry.size();
    while (digits > pos + 4 && std::isdigit(static_cast<unsigned char>(strEntry[digits - 1])))
        --digits;
    if (digits == strEntry.size())
        return false;
    strExpression = strEntry.substr(0, pos);
    nItem = std::stoi(strEntry.substr(digits)) - 1;
    return true;
}

} // namespace

RenderPlan::RenderPlan(const std::vector<KRS::KrTheme3D*>& themes, const LayerReader& layer) {
    for (KRS::KrTheme3D* pTheme : themes) {
        const int nType = pTheme->GetType();
        if (nType == KRS::KrTheme3D::Graph) {
            m_arrUses.push_back(GraphUse(*pTheme, layer));
            continue;
        }
        ThemeUse use;
        use.nType = nType;
        use.strTitle = pTheme->GetExpression().Str();
        use.slots.push_back(Slot(layer, use.strTitle));
        m_arrUses.push_back(use);
    }
}

int RenderPlan::Slot(const LayerReader& layer, const std::string& strField) {
    const int nField = layer.FieldIndex(strField);
    const auto it = std::find(m_arrFields.begin(), m_arrFields.end(), nField);
    if (it != m_arrFields.end())
        return static_cast<int>(it - m_arrFields.begin());
    m_arrFields.push_back(nField);
    return static_cast<int>(m_arrFields.size() - 1);
}

ThemeUse RenderPlan::GraphUse(KRS::KrTheme3D& theme, const LayerReader& layer) {
    ThemeUse use;
    use.nType = KRS::KrTheme3D::Graph;
    TOVO::TovoArray<TOVO::TovoMBString> aliases, fields;
    theme.GetThemeQueryDef(aliases, FALSE); // one alias per chart item
    theme.GetThemeQueryDef(fields, TRUE);   // the field items' expressions
    use.slots.assign(static_cast<std::size_t>(aliases.GetSize()), -1);
    for (int i = 0; i < fields.GetSize(); ++i) {
        std::string strExpression;
        int nItem = -1;
        if (!SplitQueryField(fields[i].Str(), strExpression, nItem) || nItem < 0 ||
            nItem >= aliases.GetSize())
            continue;
        const int nSlot = Slot(layer, strExpression);
        layer.RequireNumeric(m_arrFields[static_cast<std::size_t>(nSlot)]);
        use.slots[static_cast<std::size_t>(nItem)] = nSlot;
        use.strTitle += (use.strTitle.empty() ? "" : ", ") + strExpression;
    }
    return use;
}

std::vector<double> RenderPlan::GraphValues(KRS::KrTheme3D& theme, const ThemeUse& use,
                                            const Feature& feature) {
    std::vector<double> values(use.slots.size(), 0.0);
    for (std::size_t i = 0; i < use.slots.size(); ++i) {
        const int nSlot = use.slots[i];
        if (nSlot >= 0) {
            if (!KRS::KrTheme3D::Variant2Double(feature.values[static_cast<std::size_t>(nSlot)],
                                                values[i]))
                values[i] = 0.0;
        } else if (theme.GetThemeGraphItemType(static_cast<int>(i)) == 2)
            theme.GetThemeGraphValues(values[i], static_cast<int>(i),
                                      static_cast<int>(feature.nFid));
    }
    return values;
}

bool RenderPlan::AllFinite(const std::vector<double>& values) {
    double dSum = 0.0;
    for (double d : values) {
        if (!std::isfinite(d))
            return false;
        dSum += d;
    }
    return std::isfinite(dSum);
}

bool RenderPlan::ChartSum(KRS::KrTheme3D& theme, const ThemeUse& use, const Feature& feature,
                          double& dSum) {
    const std::vector<double> values = GraphValues(theme, use, feature);
    if (!AllFinite(values))
        return false;
    dSum = 0.0;
    for (double d : values)
        dSum += d;
    return true;
}

} // namespace theme3d
