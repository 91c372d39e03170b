// What rendering one feature through every theme produced, ready for the scene writer.
#pragma once

#include "ChartTessellator.h"
#include "MeshData.h"
#include "Solids.h"

#include <string>
#include <vector>

namespace theme3d {

// What NaN or infinite values made the renderer leave out of one feature.
struct NonFinite {
    bool bClassValue = false; // a style theme's value, taken as null
    bool bChart = false;      // a chart value: the feature's charts are left out
    bool bLabel = false;      // the label value: no label
    bool bExtrude = false;    // the style's extrusion: none
    bool bGeometry = false;   // coordinates that come out non-finite: the body is left out
};

struct FeatureResult {
    long long nFid = 0;
    bool bHasLabel = false;
    std::string strLabel; // bytes as the label theme made them
    bool bHasAnchor = false;
    GeoPoint anchor; // where the label and the charts stand
    MeshData body;   // the feature itself, in its theme colours
    MeshData chart;  // the charts of the graph themes
    std::vector<ChartText> chartTexts;
    std::vector<BarInstance> bars; // when the renderer instances bars
    std::string strCaption;        // caption of the class that styled the feature; empty for none
    bool bUntriangulated = false;  // a polygon GEOS could not triangulate was left out
    NonFinite nonFinite;
};

} // namespace theme3d
