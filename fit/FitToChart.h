#pragma once

#include "model/Triode.h"
#include "state/DesignState.h"

#include <optional>
#include <string>
#include <vector>

namespace valvix::fit {

// A point a curve of the family passes through: plate voltage and grid voltage in
// volts, plate current in amperes.
struct ChartPoint {
    double vp = 0;
    double vg = 0;
    double ip = 0;
};

// What to fit to: the ink of the design's chart picture (CurveGraphic, whatever picture
// it holds), points the user clicked on it, and points measured or digitized elsewhere.
// A clicked point belongs to whichever curve passes nearest it as the fit goes (its vg
// is not used); a measured point keeps its grid voltage.
struct FitRequest {
    bool traceChart = false;
    std::vector<ChartPoint> clicked;
    std::vector<ChartPoint> measured;
};

struct FitOutcome {
    bool ok = false;
    std::string message; // why nothing was fitted
    TriodeParameters parameters;
    std::size_t points = 0; // observations the last solve used
    bool inPixels = false;  // distances are picture pixels (else thousandths of full scale)
    double rmsDistance = 0; // across the curves
    double largestDistance = 0;
    double rmsAmps = 0; // plate-current misses
    double largestAmps = 0;
};

// Fits the five model parameters of the design to what the request names, starting
// from the design's own. The design's frame, scales and grid voltages must be those
// the Adjust window accepts. Changes nothing; on failure says why in plain words.
FitOutcome FitToChart(const DesignState& design, const FitRequest& request);

// The grid voltage of the family curve that passes nearest a point of the chart given
// in layout units, the distance taken across the curves; nothing when the design's
// frame, scales, family or parameters draw no curves there.
std::optional<float> CurveThrough(const DesignState& design, float x, float y);

// One line for the Adjust window: the points used and the RMS and largest errors.
std::string DescribeFit(const FitOutcome& outcome);

} // namespace valvix::fit
