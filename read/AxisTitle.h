#pragma once

#include "read/AxisNumbers.h"
#include "read/PlotBox.h"

#include <opencv2/core.hpp>

#include <optional>
#include <string>

namespace valvix::read {

class TextReader;

// The unit the plate current axis's title names: "PLATE MILLIAMPERES", "Ib (mA)" in mA,
// "PLATE AMPERES", "Ia (A)" in amperes; nothing for a title that names neither.
std::optional<bool> TitleInMilliamps(std::string_view title);

// Reads the title standing turned upright left of the current axis's numbers (its text
// running upward) and gives the unit it names, if any.
std::optional<bool> CurrentTitleInMilliamps(const cv::Mat1b& level, const PlotBox& box,
                                            const AxisNumbers& numbers, TextReader& reader);

} // namespace valvix::read
