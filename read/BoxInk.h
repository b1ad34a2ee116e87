#pragma once

#include "state/Picture.h"

#include <opencv2/core.hpp>

namespace valvix::read {

// The picture at the size the plot box is looked for in: at most 1200 pixels on its
// longer side, scaled down by area averaging.
struct WorkingGrey {
    cv::Mat1b grey;
    double scale = 1; // working pixels per picture pixel
};
WorkingGrey WorkingGreyOf(const GreyLevels& grey);

// What a box's edges may be drawn as, in the order they are looked for: dark lines, as
// most charts draw them; the edges of a grey panel the curves are drawn on, as plotting
// programs' grey styles draw it (before faint lines: beside the light grid lines across
// such a panel, the panel itself stands faint against them); faint grey lines, as their
// light styles draw their frames and grids.
enum class BoxLines { Dark, PanelEdge, Faint };
inline constexpr BoxLines kBoxLinesTried[] = {BoxLines::Dark, BoxLines::PanelEdge, BoxLines::Faint};

// The ink such edges would be drawn in, white on black.
cv::Mat1b BoxInkOf(const cv::Mat1b& grey, BoxLines lines);

// Whether a box found from panel edges (working pixels) holds a panel: most of it darker
// than the paper.
bool PanelFills(const cv::Mat1b& grey, const cv::Rect& box);

} // namespace valvix::read
