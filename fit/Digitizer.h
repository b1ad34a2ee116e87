#pragma once

#include "fit/ChartPoint.h"
#include "fit/ChartSpace.h"
#include "state/Design.h"
#include "state/Picture.h"

#include <cstddef>
#include <string>
#include <vector>

namespace valvix::fit {

// What the digitizer left out, for a report.
struct SetAside {
    std::size_t lines = 0;   // rows and columns of grid and frame lines
    std::size_t strokes = 0; // short, ragged or falling strokes: text, speckle, load lines
};

struct DigitizedChart {
    std::vector<PrintedTrace> traces;
    SetAside setAside;
};

// Finds the strokes of the printed curves inside the plot frame of a chart picture
// from the picture alone: the paper's level is taken out, the grid, frame and text set
// aside, and what is left followed into traces. The model is not asked where to look.
DigitizedChart DigitizeChart(const GreyLevels& grey, const ChartSpace& space);

// The same for a design's chart picture, inside the design's frame and scales.
// On failure, says why in plain words and gives no traces.
struct DigitizeOutcome {
    bool ok = false;
    std::string message;
    DigitizedChart chart;
};
DigitizeOutcome DigitizeDesignChart(const Design& design, const Picture* chartPicture);

} // namespace valvix::fit
