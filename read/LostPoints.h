#pragma once

#include "read/CurveLabels.h"

#include <cstddef>
#include <vector>

namespace valvix::read {

// Small print loses decimal points ("Vg = -1.0 V" read "Vg=-10V") and seldom gains one.
// Where this many labels show as many digits after their point, the chart prints that many:
// labels with more digits and no point lost theirs. A zero with a point ("0.0") says so alone.
constexpr std::size_t kLeastShowingTheirPoint = 2;

// The points the labels show.
struct PrintedPoints {
    int decimals = 0;        // digits after the point, where the labels agree
    std::size_t showing = 0; // labels showing that many
    bool fixed = false;      // a zero shows them: every label prints them
    bool allShown = true;    // no label is without a point
};
PrintedPoints PointsOf(const std::vector<FoundCurveLabel>& labels);

// The labels with the points they lost put back (`decimals` digits after them); a label
// with too few digits for them stays as read (the family it then makes is checked whole).
std::vector<FoundCurveLabel> PointsPutBack(std::vector<FoundCurveLabel> labels, int decimals);

} // namespace valvix::read
