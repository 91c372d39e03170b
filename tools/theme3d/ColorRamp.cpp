#include "ColorRamp.h"

#include "ToolError.h"

#include <cmath>
#include <cstdint>
#include <map>

namespace theme3d {

namespace {

using Stops = std::vector<std::uint32_t>; // 0xRRGGBB, evenly spaced

const std::map<std::string, Stops>& Ramps() {
    static const std::map<std::string, Stops> ramps = {
        {"viridis", {0x440154, 0x3B528B, 0x21918C, 0x5EC962, 0xFDE725}},
        {"ylorrd", {0xFFFFB2, 0xFECC5C, 0xFD8D3C, 0xF03B20, 0xBD0026}},
        {"blues", {0xEFF3FF, 0xBDD7E7, 0x6BAED6, 0x3182BD, 0x08519C}},
        {"greens", {0xEDF8E9, 0xBAE4B3, 0x74C476, 0x31A354, 0x006D2C}},
        {"reds", {0xFEE5D9, 0xFCAE91, 0xFB6A4A, 0xDE2D26, 0xA50F15}},
        {"purples", {0xF2F0F7, 0xCBC9E2, 0x9E9AC8, 0x756BB1, 0x54278F}},
        {"spectral", {0xD7191C, 0xFDAE61, 0xFFFFBF, 0xABDDA4, 0x2B83BA}},
        {"greys", {0xF7F7F7, 0xCCCCCC, 0x969696, 0x636363, 0x252525}},
    };
    return ramps;
}

// Twenty colours before a palette repeats, each far enough from the others and from the scene's
// ground colour (a slate blue) to be told apart on it.
const std::map<std::string, Stops>& Palettes() {
    static const std::map<std::string, Stops> palettes = {
        // Teal, green and purple first: a few chart items stay apart from the warm ramps
        // (ylorrd, reds) that classes are often drawn in.
        {"bold", {0x76B7B2, 0x59A14F, 0xB07AA1, 0xF28E2B, 0xE15759, 0xEDC948, 0xFF9DA7,
                  0x9C755F, 0xBAB0AC, 0x2CA02C, 0xD62728, 0x9467BD, 0xE377C2, 0x7F7F7F,
                  0xBCBD22, 0x17BECF, 0xA0CBE8, 0xFFBE7D, 0x8CD17D, 0xB6992D}},
        {"pastel", {0x8DD3C7, 0xFFFFB3, 0xBEBADA, 0xFB8072, 0x80B1D3, 0xFDB462, 0xB3DE69,
                    0xFCCDE5, 0xD9D9D9, 0xBC80BD, 0xCCEBC5, 0xFFED6F, 0xFBB4AE, 0xFED9A6,
                    0xB2DF8A, 0xC49C94, 0x957DAD, 0x77DD77, 0x84B6F4, 0xADD8E6}},
        {"dark", {0x1B9E77, 0xD95F02, 0x7570B3, 0xE7298A, 0x66A61E, 0xE6AB02, 0xA6761D,
                  0x1B7837, 0x762A83, 0xB2182B, 0x8C510A, 0x01665E, 0xD73027, 0xB35806,
                  0x35978F, 0x993404, 0x252525, 0x8E0152, 0x40004B, 0x003C30}},
    };
    return palettes;
}

TOVO::TovoColor ToColor(std::uint32_t rgb) {
    return TOVO::TOVORGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

unsigned Mix(unsigned a, unsigned b, double t) {
    return static_cast<unsigned>(std::lround(a + (static_cast<double>(b) - a) * t));
}

TOVO::TovoColor Interpolate(const Stops& stops, double t) {
    const double pos = t * static_cast<double>(stops.size() - 1);
    const std::size_t i = std::min(static_cast<std::size_t>(pos), stops.size() - 2);
    const double f = pos - static_cast<double>(i);
    const std::uint32_t a = stops[i], b = stops[i + 1];
    return TOVO::TOVORGB(Mix((a >> 16) & 0xFF, (b >> 16) & 0xFF, f),
                         Mix((a >> 8) & 0xFF, (b >> 8) & 0xFF, f), Mix(a & 0xFF, b & 0xFF, f));
}

std::string Known(const std::map<std::string, Stops>& table) {
    std::string strNames;
    for (const auto& entry : table)
        strNames += (strNames.empty() ? "" : ", ") + entry.first;
    return strNames;
}

} // namespace

std::vector<TOVO::TovoColor> ColorRamp::Sample(const std::string& strRamp, int n) {
    const auto it = Ramps().find(strRamp);
    if (it == Ramps().end())
        throw ToolError("unknown colour ramp '" + strRamp + "' (known: " + Known(Ramps()) + ")");
    std::vector<TOVO::TovoColor> colors;
    for (int i = 0; i < n; ++i)
        colors.push_back(Interpolate(it->second, n == 1 ? 0.5 : double(i) / double(n - 1)));
    return colors;
}

TOVO::TovoColor ColorRamp::PaletteColor(const std::string& strPalette, int i) {
    const auto it = Palettes().find(strPalette);
    if (it == Palettes().end())
        throw ToolError("unknown palette '" + strPalette + "' (known: " + Known(Palettes()) + ")");
    const Stops& stops = it->second;
    return ToColor(stops[static_cast<std::size_t>(i) % stops.size()]);
}

std::vector<std::string> ColorRamp::RampNames() {
    std::vector<std::string> names;
    for (const auto& entry : Ramps())
        names.push_back(entry.first);
    return names;
}

std::vector<std::string> ColorRamp::PaletteNames() {
    std::vector<std::string> names;
    for (const auto& entry : Palettes())
        names.push_back(entry.first);
    return names;
}

std::string ColorRamp::RampList() {
    return Known(Ramps());
}

std::string ColorRamp::PaletteList() {
    return Known(Palettes());
}

} // namespace theme3d
