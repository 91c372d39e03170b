// The legend as an SVG picture: per theme a title, then a swatch in each class's colour with
// its caption.
#pragma once

#include "ThemeBridge.h"

#include <string>
#include <vector>

namespace theme3d {

struct LegendBlock {
    std::string strTitle;
    std::vector<LegendRow> rows;
};

class LegendWriter {
public:
    static std::string ToSvg(const std::vector<LegendBlock>& blocks);
};

} // namespace theme3d
