#pragma once

#include "read/LabelMarks.h"

#include <opencv2/core.hpp>

#include <vector>

namespace valvix::read {

// Marks join across gaps narrower than a character (only along the line, where `level`),
// but never across the box's right or top edge (at `edges` in the marks' pixels): a label
// beyond the box stands apart from the stubs of curves that end at its edge.
std::vector<Mark> Groups(const cv::Mat1b& characters, double height, cv::Point edges,
                         bool level = false);

} // namespace valvix::read
