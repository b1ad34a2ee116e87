#pragma once

#include "fit/ChartPoint.h"
#include "fit/ChartSpace.h"

#include <vector>

namespace valvix::fit {

// The median distance, in chart-space units, from a trace's points with plate voltages
// from `from` to `to` to the polyline of another trace; 0 when none lies there.
double TracesApart(const PrintedTrace& trace, const PrintedTrace& other, double from, double to,
                   const ChartSpace& space);

// Joins the pieces of one printed curve that were found apart: pieces that run along
// each other (the two scans of one stroke), and a piece that begins within `reach`
// (chart-space units) of where another ends, on its course.
void JoinPieces(std::vector<PrintedTrace>& traces, const ChartSpace& space, double reach);

} // namespace valvix::fit
