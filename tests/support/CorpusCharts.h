#pragma once

// Plate-curve charts whose curves depart from the fitted model as real tubes do (mu rising
// with the current, grid steps bunched towards cut-off and uneven, remote cut-off tails, curves
// bending over at high current, hand-drawn wobbles and splines through hand-read points), so
// that even the best fit misses them by a few pixels; drawn with the clutter of real data
// sheets: heavy grids, labels, limit and load lines, stamps, poor scans, skew. The digitizer
// and the fit are tested on them, as nothing can match them exactly.

#include "model/Triode.h"
#include "state/Design.h"

#include <QImage>
#include <QPointF>

#include <cstddef>
#include <string>
#include <vector>

namespace valvix::corpus {

struct CorpusChart {
    std::string name; // what the chart shows
    QImage picture;   // Format_RGB32 or Grayscale8
    // The plot frame as a user lines it up, in picture pixels (pixel i covers [i, i + 1)):
    // the axes' edges, or on a skewed picture the axis-aligned box through where the
    // origin corner and the far corner landed.
    double left = 0, right = 0, top = 0, bottom = 0;
    float voltsFullscale = 0, ampsFullscale = 0; // volts at the right edge, amperes at the top
    float gridMostPos = 0, gridMostNeg = 0, gridStep = 1;
    float plateWatts = 0;   // the dissipation limit drawn on the chart; 0 when none
    double skewDegrees = 0; // how far the finished picture was turned, clockwise on screen
    // Per grid voltage, most positive first: the printed curve about 1 px apart, only where
    // it shows inside the frame (not under label boxes, not merged into the x axis).
    std::vector<std::vector<QPointF>> truth;
};

// The corpus: eight charts of about 1000 x 700 pixels, each a different mix.
std::vector<CorpusChart> Corpus();
std::size_t CorpusCount();

// One of them drawn at any size (say 6000 x 4500, a 600 dpi scan).
CorpusChart CorpusChartAt(std::size_t index, int width, int height);

// A design lined up with the chart: frame, scales, grid voltages, dissipation and the given
// model parameters. The caller sets CurveGraphic.
Design CorpusDesign(const CorpusChart& chart, const TriodeParameters& parameters);

} // namespace valvix::corpus
