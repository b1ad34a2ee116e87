#pragma once

#include "fit/ChartPoint.h"
#include "model/Triode.h"
#include "state/Design.h"
#include "state/Picture.h"

#include <optional>
#include <string>
#include <vector>

namespace valvix::fit {

// What to fit to: strokes digitized from the design's chart picture, points the user
// clicked on it, and points measured or digitized elsewhere. A trace or a clicked point
// belongs to whichever curve of the family passes nearest it, in grid-voltage order,
// as the fit goes; a measured point keeps its grid voltage.
struct FitRequest {
    std::vector<PrintedTrace> traces;
    std::vector<ChartPoint> clicked;
    std::vector<ChartPoint> measured;
    // The design's parameters are no start (a chart read from its picture alone): the
    // fit first searches the ranges of real triodes, small-signal to power ones.
    bool withoutStart = false;
};

// How far the fitted curve of one grid voltage lies from the points given to it.
struct CurveMiss {
    float vg = 0;
    std::size_t points = 0;
    double largestAmps = 0;
};

struct FitOutcome {
    bool ok = false;
    std::string message; // why nothing was fitted
    TriodeParameters parameters;
    // The grid voltage each trace of the request was given, or nothing where it was set
    // aside (it lies beyond the family or against the curves' order).
    std::vector<std::optional<float>> traceGrids;
    // Every point the fit used, with the grid voltage of its curve.
    std::vector<ChartPoint> fitted;
    std::size_t setAsidePoints = 0;
    // Distances across the curves: picture pixels when the chart's picture was fitted
    // (inPixels), else thousandths of the full scales.
    bool inPixels = false;
    double rmsDistance = 0;
    double largestDistance = 0;
    // The same distances told in amperes on the plate-current axis (so that a steep
    // stretch of curve does not turn a small sideways miss into a large current one),
    // and the full scale they are told against.
    double rmsAmps = 0;
    double largestAmps = 0;
    double fullScaleAmps = 0;
    std::vector<CurveMiss> curves; // most positive grid voltage first
};

// Fits the five model parameters of the design to what the request names, starting
// from the design's own (or from none, as the request says). The design's frame, scales and grid
// voltages must be those the Adjust window accepts. Changes nothing; on failure says why in plain
// words. Traces and clicked points are measured in the pixels of the chart picture the design's
// frame lies on.
FitOutcome FitToChart(const Design& design, const Picture* chartPicture, const FitRequest& request);

// The grid voltage of the family curve that passes nearest a point of the chart, the
// distance taken across the curves as the design's frame shows them; nothing when the
// design's frame, scales, family or parameters draw no curves there.
std::optional<float> CurveThrough(const Design& design, double volts, double amps);

// The result line: the points and curves used, the RMS and largest current misses in
// mA and in % of full scale, and the curves the model cannot follow.
std::string DescribeFit(const FitOutcome& outcome);

} // namespace valvix::fit
