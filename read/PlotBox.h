#pragma once

#include "state/Picture.h"

#include <opencv2/core.hpp>

#include <optional>
#include <string>

namespace valvix::read {

// The plot box of a chart picture: the frame its curves are drawn in, in picture pixels
// (continuous: pixel i covers [i, i + 1)), as it stands once the picture is turned level
// about its centre by `tilt` degrees (clockwise on the screen, the picture's y running
// downward: a positive tilt means the printed x axis falls to the right).
struct PlotBox {
    double left = 0;
    double right = 0;
    double top = 0;
    double bottom = 0;
    double tilt = 0;
    // No line stands at the right or the top edge: the box ends where the axes' lines do (a
    // chart drawn with its two axes only), or where lines along them, such as curves run
    // flat along the x axis, end.
    bool open = false;
};

struct PlotBoxResult {
    std::optional<PlotBox> box;
    std::string problem; // why there is none, in plain words
};

// The grey picture turned level by `tilt` degrees about its centre, as "Straighten" turns
// it, smoothly resampled at its own size; white where no part of the picture lands.
cv::Mat1b LevelledGrey(const GreyLevels& grey, double tilt);
// The same as grey levels, for the digitizer and the fit to measure in.
GreyLevels LevelledLevels(const GreyLevels& grey, double tilt);

// Finds the box from its long lines: the picture's lean is measured from the long
// horizontal lines (up to two degrees either way), then the outermost lines that run
// along most of the picture's width and height are the box's edges. A chart drawn with
// its two axes only is boxed where they end, where they meet at its corner. Dark lines
// are looked for first; where they close no box, a grey panel's edges (where the panel
// fills the box they make), then faint grey lines.
PlotBoxResult FindPlotBox(const GreyLevels& grey);

} // namespace valvix::read
