#pragma once

#include <opencv2/core.hpp>

#include <cstddef>
#include <vector>

namespace valvix::read {

// A legend as plotting programs print one: an entry per curve, one text line below
// another, their left ends in line (after each entry's sample of its curve's line) and
// evenly spaced. Of the text lines given (their bounds, characters `height` high), those
// of the longest such column of three or more, top to bottom; none when there is none, or
// another column stands beside it (a legend of several columns).
std::vector<std::size_t> LegendColumn(const std::vector<cv::Rect>& lines, double height);

} // namespace valvix::read
