#pragma once

#include "fit/ChartSpace.h"
#include "fit/ModelCurve.h"

#include <vector>

namespace valvix::fit {

// A rectangle of the chart space; points on its edges count as inside.
struct Region {
    double left = 0;
    double right = 0;
    double top = 0;
    double bottom = 0;
    bool contains(double x, double y) const {
        return x >= left && x <= right && y >= top && y <= bottom;
    }
};

// A point of a computed curve in the chart space with the unit normal there.
struct CurveSample {
    double x;
    double y;
    double nx;
    double ny;
    double vp;
    int curve; // index of the curve's grid voltage
};

// Points of every curve of the family (one per grid voltage) inside the region, about
// `spacing` apart along each curve however steep it runs, curve after curve from the
// most positive grid voltage, each curve from low plate voltage up.
// The samples go into `out`, which is emptied first (its storage is kept).
void SampleFamily(const LogParameters& p, const std::vector<float>& grids, const ChartSpace& space,
                  const Region& region, double spacing, std::vector<CurveSample>& out);

} // namespace valvix::fit
