#pragma once

#include "plot/ChartGeometry.h"
#include "state/Design.h"

#include <optional>
#include <string>
#include <vector>

namespace valvix::fit {

// The fit measures distances in a chart space: the picture's pixels when the chart
// picture is fitted (the picture lies stretched into the chart area, under the plot
// frame), or, for points without a picture, a square of 1000 x 1000 units over the full
// scales.
using valvix::ChartSpace;

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
