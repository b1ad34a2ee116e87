#pragma once

#include "fit/ChartSpace.h"
#include "fit/FitToChart.h"
#include "fit/ModelCurve.h"

#include <string>
#include <string_view>
#include <vector>

namespace valvix::fit {

inline constexpr std::string_view kNoCurvesFound =
    "No printed curves were found inside the plot frame. Check that the frame lies on the "
    "chart's axes and that the picture shows the curves as dark lines on light paper.";

// What a fit works on: the points of the request in the space their distances are
// measured in, the family's grid voltages, and the reaches of the robust losses.
struct FitPoints {
    ChartSpace space;
    bool inPixels = false;
    std::vector<float> grids;
    std::vector<PrintedTrace> traces;
    std::vector<ChartPoint> clicked;
    std::vector<ChartPoint> measured;
    double reach = 1;      // a coarse miss: about a hundredth of the chart's size
    double leastReach = 1; // the least reach Huber's loss is given
    double fullScaleAmps = 0;
    std::size_t count = 0; // points above 0 V
};
FitPoints GatherPoints(const Design& design, const FitRequest& request, const ChartSpace& space,
                       bool inPixels, const std::vector<float>& grids);

// Why measured points cannot be the chart's, or nothing.
std::string CheckUnits(const Design& design, const std::vector<ChartPoint>& measured);

// The fitted parameters as the design keeps them, and how well the family lies on the
// points: every point given to its curve, stray ones (far beyond the spread of the
// others) set aside. Refuses a family whose grid voltages cannot be the chart's: many
// points beyond its ends, printed curves between its curves, or every other curve bare.
FitOutcome Report(const FitPoints& points, const LogParameters& p);

} // namespace valvix::fit
