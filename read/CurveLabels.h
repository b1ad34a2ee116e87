#pragma once

#include "fit/ChartPoint.h"
#include "read/GridLabels.h"
#include "read/PlotBox.h"

#include <opencv2/core.hpp>

#include <cstddef>
#include <string>
#include <vector>

namespace valvix::read {

class TextReader;

// A curve label found on the chart: where it stands in the levelled picture (turned as
// it was printed), what the reader gave and the grid voltage it names.
struct FoundCurveLabel {
    cv::RotatedRect at;
    std::string text;
    CurveLabel label;
    int confidence = 0;      // the reader's, 0 to 100
    bool numberLost = false; // a grid's name alone: a curve whose value was not read
};

struct CurveLabels {
    // In the family's order, most positive first. A label whose number was lost before
    // every label read adds a curve at the positive end.
    std::vector<FoundCurveLabel> labels;
    std::size_t setAside = 0; // text-like marks that named no grid voltage
    GridVoltagesResult grids;
};

// Finds the curve labels inside the box and beside its right and top edges (at the
// curves' ends, along them, turned with them, or in boxes of paper over them), reads
// each as one line and gives the family's grid voltages. Labels stand in the family's
// order as the curves do: a more positive curve lies above and left of a more negative
// one. characterHeight is the height of the chart's printed digits (0 when unknown).
// The curves the digitizer found are taken out first, so that a label touching its
// curve reads alone; their points are in the box's pixels (x right of its left edge, y
// up from its bottom edge). Where those labels give no family, a legend in the box that
// lists every curve's grid voltage may; `coloured` marks the level picture's strongly
// coloured pixels (empty for a picture without colour).
CurveLabels ReadCurveLabels(const cv::Mat1b& level, const cv::Mat1b& coloured, const PlotBox& box,
                            double characterHeight, const std::vector<fit::PrintedTrace>& curves,
                            TextReader& reader);

} // namespace valvix::read
