#include "LegendWriter.h"

#include "Utf8.h"

#include <algorithm>
#include <cstdio>

namespace theme3d {

namespace {

constexpr int kRow = 22;
constexpr int kMargin = 12;

std::string Hex(TOVO::TovoColor color) {
    char sz[8];
    std::snprintf(sz, sizeof sz, "#%02X%02X%02X", TOVO::TovoGetRValue(color),
                  TOVO::TovoGetGValue(color), TOVO::TovoGetBValue(color));
    return sz;
}

std::string Text(int x, int y, const std::string& strBytes, bool bBold) {
    return "<text x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\"" +
           (bBold ? " font-weight=\"bold\"" : "") + ">" + Utf8::XmlEscape(strBytes) + "</text>\n";
}

} // namespace

std::string LegendWriter::ToSvg(const std::vector<LegendBlock>& blocks) {
    std::string strBody;
    int y = kMargin;
    std::size_t nWidest = 10;
    for (const LegendBlock& block : blocks) {
        y += kRow;
        strBody += Text(kMargin, y - 6, block.strTitle, true);
        nWidest = std::max(nWidest, block.strTitle.size());
        for (const LegendRow& row : block.rows) {
            const TOVO::TovoColor fill = row.style.GetFillColor();
            strBody += "<rect x=\"" + std::to_string(kMargin) + "\" y=\"" + std::to_string(y) +
                       "\" width=\"28\" height=\"16\" fill=\"" + Hex(fill) + "\" fill-opacity=\"" +
                       std::to_string(TOVO::TovoGetAValue(fill) / 255.0) +
                       "\" stroke=\"#444444\" stroke-width=\"0.5\"/>\n";
            std::string strCaption = row.strCaption.Str();
            if (!row.bVisible)
                strCaption += " (hidden)";
            strBody += Text(kMargin + 38, y + 13, strCaption, false);
            nWidest = std::max(nWidest, strCaption.size() + 6);
            y += kRow;
        }
        y += kRow / 2;
    }
    const int width = 2 * kMargin + 8 * static_cast<int>(nWidest);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) +
           "\" height=\"" + std::to_string(y + kMargin) +
           "\" font-family=\"sans-serif\" font-size=\"13\">\n<rect width=\"100%\" "
           "height=\"100%\" fill=\"white\"/>\n" +
           strBody + "</svg>\n";
}

} // namespace theme3d
