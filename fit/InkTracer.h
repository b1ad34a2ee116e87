#pragma once

#include "fit/FamilyCurves.h"
#include "fit/InkMap.h"

#include <vector>

namespace valvix::fit {

// A point of printed ink found for one curve of the family: the centre of the stroke
// across the computed curve, in volts and amperes.
struct TracedPoint {
    double vp;
    double vg;
    double ip;
    int curve;
};

struct Trace {
    std::vector<TracedPoint> points;
    std::vector<std::size_t> searched; // places where ink was looked for, per curve
    std::vector<std::size_t> found;    // of them, places where ink was found
};

// How the tracer looks for a curve's ink; lengths in pixels.
struct TraceWindow {
    double reach;                 // either side of the computed curve
    double spacing;               // between the places searched along a curve
    double maxStroke;             // the widest stroke taken for a curve
    double neighbourShare = 0.45; // of the distance to the next computed curve, at most
};

// Looks across every computed curve of the family, at places `spacing` apart inside
// the region, for the printed curve: a stroke darker than the stroke threshold and no
// wider than maxStroke, within the reach and within the neighbour share of the way to
// a neighbouring computed curve; the stroke nearest the computed curve wins. Points
// that jump away from their neighbours along the curve (crossing lines, labels) are
// left out.
Trace TraceFamily(const InkMap& ink, const LogParameters& p, const std::vector<float>& grids,
                  const ChartSpace& space, const Region& region, const TraceWindow& window);

} // namespace valvix::fit
