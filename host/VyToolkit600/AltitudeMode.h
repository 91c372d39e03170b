// How a geometry's heights relate to the ground.
#pragma once

namespace KRS {

enum AltitudeMode {
    AltitudeClampToGround = 0,    // heights ignored, drawn on the terrain
    AltitudeRelativeToGround = 1, // heights above the terrain
    AltitudeAbsolute = 2          // heights above the ellipsoid
};

} // namespace KRS
