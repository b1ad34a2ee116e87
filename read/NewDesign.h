#pragma once

#include "fit/Digitizer.h"
#include "fit/FitToChart.h"
#include "read/ChartReader.h"

#include <string>

namespace valvix::read {

// A chart read from its picture alone and, where every value needed was read, fitted.
struct NewDesign {
    ChartReading reading;
    Design design; // the frame, scales and grid voltages read; the fitted parameters
    fit::DigitizedChart found;
    fit::FitOutcome fit;
    std::string problem; // why there is no fit, in plain words
};

// Reads the chart (plot box, lean, axis numbers, curve labels) into a copy of `design`,
// then finds the printed curves in the picture turned level and fits the five model
// parameters without a start. The frame lies on the picture as turned level by the
// box's lean. The curves are looked for in the ink levels (`Picture::ink`; in the grey
// levels where none are given).
NewDesign ReadAndFit(const GreyLevels& grey, const GreyLevels& ink, TextReader& reader,
                     const Design& design);
NewDesign ReadAndFit(const GreyLevels& grey, TextReader& reader, const Design& design);

} // namespace valvix::read
