#pragma once

#include "fit/ChartPoint.h"
#include "read/CurveLabels.h"
#include "read/GridLabels.h"
#include "read/PlotBox.h"

#include <opencv2/core.hpp>

#include <vector>

namespace valvix::read {

// How far along the family places lie, measured on the family's own shape. A triode's
// curves are much alike, each shifted right of the one before (exactly so under the
// three-halves law), so a place is measured by how far right it stands of the shape run
// through the box's bottom-left corner. The shape is how far the digitizer's curves run
// across per height, their median at each height. Labels at the curves' ends need it: on
// a chart wider than tall the more positive curves rise steeply and end high, so their
// labels stand further right than up and left would allow. Without curves enough to
// measure the shape, a place up and left by the box's proportions comes first.
class FamilyPlaces final {
public:
    FamilyPlaces(const PlotBox& box, const std::vector<fit::PrintedTrace>& curves);
    double at(const cv::Point2f& place) const;

private:
    PlotBox m_box;
    double m_layer = 1;          // the height of a layer of the shape, in box pixels
    std::vector<double> m_shape; // how far right it runs at each layer's foot; empty if unmeasured
};

// The grid voltages of the labels read, in the family's order, with the digitizer's curves
// (in the box's pixels: x right of its left edge, y up from its bottom edge) where labels
// are missing at the family's ends. Curves before the first label read (labels whose number
// was lost, or the digitizer's curves counted where that makes the family begin at 0 V)
// and the digitizer's curves after the last, spaced as the family is there, are given the
// step's values; curves after it spaced otherwise (a load line, say) leave the family's end
// unknown. height is the printed characters' height.
GridVoltagesResult FamilyOfLabels(const std::vector<FoundCurveLabel>& labels, const PlotBox& box,
                                  const std::vector<fit::PrintedTrace>& curves, double height);

// Whether a mark that read as no label (at `at`) stands apart from every label read and its
// pieces, a character or more away.
bool StandsApart(const std::vector<FoundCurveLabel>& labels, const cv::Point2f& at, double height);

// Whether a mark that read as no label (at `unread`) stands further along the family than
// the last label read, apart from every label read and its pieces: a label lost there
// would leave the family's most negative curve unknown.
bool UnreadPastTheLast(const std::vector<FoundCurveLabel>& labels,
                       const std::vector<cv::Point2f>& unread, const FamilyPlaces& places,
                       double height);

} // namespace valvix::read
