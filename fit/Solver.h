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

// The distance across the computed curve from an observation, in chart-space units, so
// that steep and flat parts of a curve count alike: the way from the observation to the
// curve's point at the foot of the perpendicular on its tangent (which near the curve is
// the distance to it, and never much less far off).
double DistanceAcross(const LogParameters& p, const Observation& o, const ChartSpace& space);
// The same with the model worked out once.
double DistanceAcross(const Model& model, double vp, double vg, double ip, const ChartSpace& space);

// The grid voltage of the curve that passes nearest a point, distance taken across.
float NearestCurve(const LogParameters& p, const std::vector<float>& grids, double vp, double ip,
                   const ChartSpace& space);

// How distances beyond an observation's reach count: Cauchy's loss lets them count less
// and less (for a start that may lie far off), Huber's counts them in proportion (once
// the reach is set from the spread of the distances, so that the model's own smooth
// misfit counts in full and only stray points count less).
enum class RobustLoss { Cauchy, Huber };

// Refines the five parameters by robust non-linear least squares of the distances
// across the curves, keeping each within the range the Adjust window accepts.
LogParameters Solve(const LogParameters& start, const std::vector<Observation>& observations,
                    const ChartSpace& space, RobustLoss loss = RobustLoss::Cauchy);

// The range of each parameter (Mu, Ex, Kg1, Kp, Kvb) as logarithms.
double LowerBound(int parameter);
double UpperBound(int parameter);

} // namespace valvix::fit
