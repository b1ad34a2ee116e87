#pragma once

#include "fit/ChartPoint.h"

#include <opencv2/core.hpp>

#include <optional>
#include <vector>

namespace valvix::read {

// Where the printed curves run near a point of the label area. Data sheets print many a
// curve's label along its curve, turned to its slope; such a label is best set level by
// the curve's turn, not by the shape of its ink (a stub of curve or of grid line joined to
// it, or a lone character, turns that).
class CurveHeadings final {
public:
    // `curves` as the digitizer gives them, in the box's pixels (across from its left edge,
    // up from its bottom); `box` the plot box in the area's pixels; characters `height` high.
    CurveHeadings(const std::vector<fit::PrintedTrace>& curves, const cv::Rect2d& box,
                  double height);

    // The turn, in degrees, that sets text printed along the curve beside `at` level: where
    // `at` lies inside the box, a curve passes within two character heights and runs more
    // steeply than level text's slack, and no curve passes within half a height (a mark
    // there is a stub of the curve itself).
    std::optional<double> besideAt(cv::Point2f at) const;

private:
    std::vector<std::vector<cv::Point2f>> m_curves; // in the area's pixels
    cv::Rect2d m_box;
    double m_height;
};

} // namespace valvix::read
