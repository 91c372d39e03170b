#include "LegendWriter.h"

#include <gtest/gtest.h>

using namespace theme3d;

TEST(LegendWriter, OneSwatchPerRowInItsColourWithItsCaption) {
    LegendBlock block;
    block.strTitle = "pop (range)";
    KRS::KrStyle red, blue;
    red.SetFillColor(TOVO::TOVORGB(255, 0, 0));
    blue.SetFillColor(TOVO::TOVORGBA(0, 0, 255, 51));
    block.rows.push_back({TOVO::TovoMBString("< 15"), red, true});
    block.rows.push_back({TOVO::TovoMBString("a & b"), blue, false});
    const std::string svg = LegendWriter::ToSvg({block});
    EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\"", 0), 0u);
    EXPECT_NE(svg.find(">pop (range)</text>"), std::string::npos);
    EXPECT_NE(svg.find("fill=\"#FF0000\" fill-opacity=\"1.000000\""), std::string::npos);
    EXPECT_NE(svg.find("fill=\"#0000FF\" fill-opacity=\"0.200000\""), std::string::npos);
    EXPECT_NE(svg.find(">&lt; 15</text>"), std::string::npos);
    EXPECT_NE(svg.find(">a &amp; b (hidden)</text>"), std::string::npos);
}
