#pragma once

#include <vector>

namespace valvix::fit {

// A point a curve of the family passes through: plate voltage and grid voltage in
// volts, plate current in amperes.
struct ChartPoint {
    double vp = 0;
    double vg = 0;
    double ip = 0;
};

// A printed stroke that may be part of a plate curve, followed through crossings, gaps
// and dashes: its points in order of growing plate voltage (their vg not known yet).
struct PrintedTrace {
    std::vector<ChartPoint> points;
};

} // namespace valvix::fit
