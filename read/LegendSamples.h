#pragma once

#include <opencv2/core.hpp>

#include <cstddef>
#include <vector>

namespace valvix::read {

// Samples of the curves' lines beside a legend's entries, as plotting programs draw them:
// a short level stroke, solid, dashed or dotted, just left or right of each entry's text
// (`greys` the label area's greys, `height` the characters' height).

// Whether a text line (its bounds in the greys) has a sample of a curve's line beside it.
bool SampleBeside(const cv::Mat1b& greys, const cv::Rect& line, double height);

// Whether the column's entries show samples of their curves' lines (half of them at least:
// a curve across an entry may cut it short of its sample), and one stands where the next
// entry's would as well: an entry there did not come out as a text line (a curve run through
// it joins it into one mark too large for a character).
bool SampleAfterTheLast(const cv::Mat1b& greys, const std::vector<cv::Rect>& bounds,
                        const std::vector<std::size_t>& column, double height);

} // namespace valvix::read
