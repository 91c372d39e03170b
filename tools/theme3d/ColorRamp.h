// Named colour ramps (for ordered classes) and palettes (for unordered values and chart items).
#pragma once

#include "VyBase600/TovoDefs.h"

#include <string>
#include <vector>

namespace theme3d {

class ColorRamp {
public:
    // The ground under a scene (--ground); no palette colour comes close to it.
    static constexpr TOVO::TovoColor kGround = TOVO::TOVORGB(62, 92, 122);

    // n colours spread evenly along the named ramp, first to last (one colour: the middle).
    // Throws ToolError for an unknown name.
    static std::vector<TOVO::TovoColor> Sample(const std::string& strRamp, int n);
    // Colour i of the named palette; the palette repeats. Throws ToolError for an unknown name.
    static TOVO::TovoColor PaletteColor(const std::string& strPalette, int i);

    static std::vector<std::string> RampNames();
    static std::vector<std::string> PaletteNames();
    // The names as one line for --help: "a, b, c".
    static std::string RampList();
    static std::string PaletteList();
};

} // namespace theme3d
