#pragma once

#include <optional>
#include <string>
#include <vector>

namespace valvix::read {

// A number read beside an axis and where it stands along the axis, in picture pixels
// (the centre of the text, across the axis's direction).
struct AxisLabel {
    double position = 0;
    double value = 0;
};

// The axis's scale: value = valueAtZero + valuePerPixel * position, from the labels that
// agree with it; the others were misread or are no axis numbers.
struct AxisScale {
    double valueAtZero = 0;
    double valuePerPixel = 0;
    double step = 0; // between neighbouring labels, as printed
    std::size_t used = 0;
    std::vector<AxisLabel> setAside;

    double valueAt(double position) const { return valueAtZero + valuePerPixel * position; }
    double positionOf(double value) const { return (value - valueAtZero) / valuePerPixel; }
};

struct AxisScaleResult {
    std::optional<AxisScale> scale;
    std::string problem; // why there is none, in plain words
};

// Fits the scale robustly: of every line through two labels, the one most labels lie on
// (within a tenth of the labels' spacing, and their values multiples of one step) wins,
// then a least-squares line through those. Needs three labels on one evenly stepped line;
// labels that are not (a log axis, contradicting numbers) give no scale and a problem.
AxisScaleResult FitAxisScale(const std::vector<AxisLabel>& labels);

// A value at an edge of the plot box, rounded to a tenth of the labels' step: a box ends
// on a grid line, and grid lines stand at a half, a fifth or a tenth of the step.
double SnappedValue(const AxisScale& scale, double position);

} // namespace valvix::read
