#pragma once

#include "read/AxisNumbers.h"
#include "read/CurveLabels.h"
#include "read/PlotBox.h"
#include "state/Design.h"
#include "state/Picture.h"

#include <optional>
#include <string>
#include <vector>

namespace valvix::read {

class TextReader;

// What was read from a chart picture alone, and what could not be.
struct ChartReading {
    std::optional<PlotBox> box;
    // Where the frame goes (with a box): on the box, but from an axis's 0 to its last step
    // inside the box where a plotting program left a margin between the data and the box.
    PlotBox frame;
    GreyLevels levelled;    // the picture turned level by the box's lean
    GreyLevels levelledInk; // its ink levels turned level likewise; empty where none were given
    AxisNumbers numbers;
    std::optional<double> voltsFullscale; // volts at the frame's right edge
    std::optional<double> ampsFullscale;  // amperes at its top edge
    bool ampsInMilliamps = false;         // how the current axis is numbered
    bool ampsUnitFromTitle = false;       // as its title says, else by the numbers' size
    CurveLabels curveLabels;              // with the grid voltages they give
    // What could not be read, one plain sentence each.
    std::vector<std::string> missing;
    // How something read was taken that the user would not expect, one plain sentence each.
    std::vector<std::string> remarks;
};

// Finds the plot box and its lean, turns the picture level, reads the axis numbers and
// sets the full scales at the frame's edges, and reads the curve labels for the grid
// voltages. The axes must start at 0 at the box's
// bottom-left corner, or a little inside it (a plotting program's margin); where one does
// not, its full scale is left unread. The text of a big
// scan is read on its levelled picture shrunk to an ordinary chart's size; every position
// given is in the levelled picture's own pixels. Ink levels given (`Picture::ink`) are turned
// level likewise, for the curves to be found in and fitted.
ChartReading ReadChart(const GreyLevels& grey, const GreyLevels& ink, TextReader& reader);
ChartReading ReadChart(const GreyLevels& grey, TextReader& reader);

// Puts what was read into the design as if typed: the frame where it was read (in layout units,
// over the picture as turned level), the full scales and the grid voltages. What was not read is
// left as it was.
void ApplyReading(const ChartReading& reading, int pictureWidth, int pictureHeight, Design& design);

} // namespace valvix::read
