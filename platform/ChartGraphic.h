#pragma once

#include "state/Picture.h"

#include <memory>
#include <string>

namespace valvix {

// How far the printed x axis of a chart picture is tilted, kept for the session only
// (never written to the design file), with the level picture made from it.
struct GraphicTilt {
    std::string fileName; // the chart picture the angle belongs to
    float degrees = 0;    // clockwise on the screen, the picture's y running downward
    // The level picture made once from `loaded` for `madeFor` degrees.
    std::shared_ptr<const Picture> loaded;
    float madeFor = 0;
    std::shared_ptr<const Picture> level;
};

// The chart picture of the design's GraphicFileName as every window shows it: turned
// level by the session's tilt, which is the CurveGraphic. Empty until loaded.
struct ChartGraphic {
    std::shared_ptr<const Picture> CurveGraphic;
    GraphicTilt CurveGraphicTilt;
};

} // namespace valvix
