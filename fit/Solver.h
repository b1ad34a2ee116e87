#pragma once

#include "fit/ChartSpace.h"
#include "fit/ModelCurve.h"

#include <vector>

namespace valvix::fit {

// A point the curves should pass through: its plate voltage, the grid voltage of its
// curve and its plate current; weight scales its distance, and distances beyond
// `reach` (chart-space units) count less and less.
struct Observation {
    double vp;
    double vg;
    double ip;
    double weight = 1;
    double reach = 1;
};

// The distance across the computed curve from an observation, in chart-space units:
// the vertical miss divided by the length of the curve's normal, so that steep and
// flat parts of a curve count alike.
double DistanceAcross(const LogParameters& p, const Observation& o, const ChartSpace& space);

// The grid voltage of the curve that passes nearest a point, distance taken across.
float NearestCurve(const LogParameters& p, const std::vector<float>& grids, double vp, double ip,
                   const ChartSpace& space);

// Refines the five parameters by robust non-linear least squares of the distances
// across the curves, keeping each within the range the Adjust window accepts.
LogParameters Solve(const LogParameters& start, const std::vector<Observation>& observations,
                    const ChartSpace& space);

// The range of each parameter (Mu, Ex, Kg1, Kp, Kvb) as logarithms.
double LowerBound(int parameter);
double UpperBound(int parameter);

} // namespace valvix::fit
