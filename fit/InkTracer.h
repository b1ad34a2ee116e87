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

// Looks across every computed curve of the family, at points about `spacing` apart
// inside the region, for the printed curve: a stroke darker than the stroke threshold,
// no wider than maxStroke, at most `reach` pixels away and never beyond halfway to a
// neighbouring computed curve; the stroke nearest the computed curve wins. Points that
// jump away from their neighbours along the curve (crossing lines, labels) are left
// out.
Trace TraceFamily(const InkMap& ink, const LogParameters& p, const std::vector<float>& grids,
                  const ChartSpace& space, const Region& region, double reach, double spacing,
                  double maxStroke);

} // namespace valvix::fit
