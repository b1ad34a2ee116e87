#pragma once

#include "fit/ChartPoint.h"
#include "read/LabelMarks.h"
#include "read/PlotBox.h"

#include <opencv2/core.hpp>

#include <vector>

namespace valvix::read {

class TextReader;

// The labels printed across the box's top edge, its line running through them: labels at
// the ends of curves that leave the box through its top. Each is read whole, the line
// taken out of it but where a character's stroke crosses it; a minus lying along the line
// is lost. The strip read spans the label area's width (`area`); `curves` are the
// digitizer's, in the box's pixels. Placed in the picture.
std::vector<FoundCurveLabel> LabelsAcrossTheTop(const cv::Mat1b& level, const PlotBox& box,
                                                double height, const cv::Rect& area,
                                                const std::vector<fit::PrintedTrace>& curves,
                                                TextReader& reader);

} // namespace valvix::read
