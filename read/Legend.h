#pragma once

#include <opencv2/core.hpp>

#include <cstddef>
#include <vector>

namespace valvix::read {

// A legend as plotting programs print one: an entry per curve, one text line below
// another, their left ends in line (after each entry's sample of its curve's line) or
// their right ends (before it), and evenly spaced. Of the text lines given (their bounds,
// characters `height` high), those of the longest such column of three or more, top to
// bottom; none when there is none, or another column stands beside it (a legend of
// several columns).
std::vector<std::size_t> LegendColumn(const std::vector<cv::Rect>& lines, double height);

// Whether one of the lines stands where the column's next entry would, or the one after
// either, below its last and across it: an entry run into a curve, cut short or left
// unread, so that the column may not be the whole legend. (Above the first may stand the
// legend's title.)
bool ColumnRunsOn(const std::vector<cv::Rect>& lines, const std::vector<std::size_t>& column);

} // namespace valvix::read
