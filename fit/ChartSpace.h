#pragma once

#include "state/Design.h"

#include <optional>
#include <string>
#include <vector>

namespace valvix::fit {

// Where the fit measures distances: the picture's pixels when the chart picture is
// fitted (the picture lies stretched into the chart area, under the plot frame), or,
// for points without a picture, a square of 1000 x 1000 units over the full scales.
// x grows with the plate voltage, y downward as the current grows; pixel i covers
// [i, i + 1).
struct ChartSpace {
    double x0 = 0;      // x of 0 V
    double perVolt = 1; // x units per volt
    double y0 = 0;      // y of 0 A
    double perAmp = 1;  // y units per ampere (y = y0 - perAmp * amps)
    // The plot frame in these units.
    double left = 0;
    double right = 0;
    double top = 0;
    double bottom = 0;

    double X(double volts) const { return x0 + perVolt * volts; }
    double Y(double amps) const { return y0 - perAmp * amps; }
    double Volts(double x) const { return (x - x0) / perVolt; }
    double Amps(double y) const { return (y0 - y) / perAmp; }
};

// The picture space of a design's frame and scales over a picture of the given size,
// or a message saying why the frame or scales cannot be fitted in.
struct ChartSpaceResult {
    std::optional<ChartSpace> space;
    std::string message;
};
ChartSpaceResult PictureSpace(const Design& design, int pictureWidth, int pictureHeight);

// 1000 units per full scale, for points without a picture. The full scales must be
// positive and finite.
ChartSpace FullScaleSpace(const Design& design);

// The grid voltages of the design's family, most positive first, as the curve walk
// produces them; empty when the family cannot be walked.
std::vector<float> FamilyGrids(const Design& design);

} // namespace valvix::fit
