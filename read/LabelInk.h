#pragma once

#include "fit/ChartPoint.h"
#include "read/LabelMarks.h"
#include "read/PlotBox.h"

#include <opencv2/core.hpp>

#include <vector>

namespace valvix::read {

// What is printed darker than the paper around it, as a mask.
cv::Mat1b InkOf(const cv::Mat1b& region);

// Dark marks on the paper, long straight grid and frame lines left out, and dashed or
// dotted ones along the box (of `box` pixels) too. Characters are `height` pixels high.
// The dots of those lines joined to characters (left in the marks) go to
// `dotsOnCharacters` where given.
cv::Mat1b MarksWithoutLines(const cv::Mat1b& region, double height, cv::Size box,
                            cv::Mat1b* dotsOnCharacters = nullptr);

// The plot box in the pixels of a region whose top left corner is `offset` in the picture.
cv::Rect2d InPixelsOf(const PlotBox& box, cv::Point offset);

// Takes the curves out of the marks: each polyline (in the box's pixels; `box` is the
// plot box in the marks' pixels) drawn over them in paper where it runs along ink. A
// stretch the digitizer bridged over a gap (a label's box of paper, say) cuts no label,
// and a run of the polyline between such stretches that spans less than a character is
// left too: that is a character the digitizer took for part of the curve. A curve that
// ends short of the box's right edge, where the digitizer leaves the edge's last pixels
// out, runs on to it along its last stretch.
void EraseCurves(cv::Mat1b& marks, const std::vector<fit::PrintedTrace>& curves,
                 const cv::Rect2d& box, double height);

// The marks the size of a character (a minus or a point too), or of a few characters run
// together along their line, as a mask; stretches of curve left over where the curves were
// taken out are left out.
cv::Mat1b CharacterSized(const cv::Mat1b& marks, double height);

} // namespace valvix::read
