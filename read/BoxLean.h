#pragma once

#include "read/PlotBox.h"

#include <opencv2/core.hpp>

#include <optional>

namespace valvix::read {

// The lean measured along the box's top line in the unturned ink (the box found in the ink
// turned by its tilt), or its bottom line when the top one is not clean (curves crowd along
// the bottom, so it is the second choice): a line fitted through the middles of the line's
// ink, column by column, twice (points more than a pixel off the first line left out of the
// second). In degrees clockwise; nothing with too few points.
std::optional<double> MeasuredLean(const cv::Mat1b& ink, const PlotBox& box);

} // namespace valvix::read
