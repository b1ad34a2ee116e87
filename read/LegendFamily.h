#pragma once

#include "fit/ChartPoint.h"
#include "read/CurveLabels.h"
#include "read/PlotBox.h"

#include <opencv2/core.hpp>

#include <optional>
#include <vector>

namespace valvix::read {

class TextReader;

// The family a legend's entries give (top to bottom): in their order from the top, or from
// the bottom where the values rise downward, none set aside. Entries that lost their points
// in small print have them put back where two others, or a zero, show how many digits
// follow the point: as read first, unless a zero shows them. Nothing when they make none.
std::optional<CurveLabels> FamilyInOrder(std::vector<FoundCurveLabel> labels);

// Whether a family was read from labels one of which read "00": a 0.0 whose point was lost,
// as the others' may be ("-1.0" read "-10"). Where every other label shows its point, none
// was lost there.
bool ZeroReadWithoutItsPoint(const CurveLabels& found);

// The family a legend gives, read from the label area's greys (`region`, its top left
// corner at `offset` in the picture; characters `height` high): every entry of its column
// read as a curve label, in its order from the top, or from the bottom where the values
// rise downward, and none set aside. The legend stands in the box; where none does, it may
// stand right of the box, with a sample of its curve's line beside every entry (without,
// such a column is the curves' end labels). Nothing when an entry does not read, they make
// no family, or the column may run on. Where the entries as printed give none, they are
// read again with the `curves` (in the box's pixels) taken out, then from the darkest ink
// alone: curves cross a legend. Last, where `coloured` marks the region's strongly coloured
// pixels (it is empty for a picture without colour), from the rest alone: coloured curves cut
// across black entries.
std::optional<CurveLabels> LegendFamily(const cv::Mat1b& region, const cv::Mat1b& coloured,
                                        const PlotBox& box, double height, cv::Point offset,
                                        TextReader& reader,
                                        const std::vector<fit::PrintedTrace>& curves);

// Whether a legend's column stands right of the box, with a sample of its curve's line
// beside every entry: labels read there are its entries, not the curves' end labels.
bool SampledLegendBeyond(const cv::Mat1b& region, const PlotBox& box, double height,
                         cv::Point offset);

// The labels read in the box that stand as a legend's entries, top to bottom: three or more
// one below another, one end in line, evenly spaced. They name the curves in the legend's
// order, not by where they stand. The labels stand in the `level` picture's pixels.
struct LegendEntries {
    std::vector<FoundCurveLabel> entries;
    bool runsOn =
        false; // a label, or a sample of a curve's line, stands where an entry after the last would
};
LegendEntries LegendAmong(const std::vector<FoundCurveLabel>& labels, const PlotBox& box,
                          double height, const cv::Mat1b& level);

} // namespace valvix::read
