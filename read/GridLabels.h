#pragma once

#include "read/LabelText.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace valvix::read {

// The family's grid voltages as the design holds them, and how many labels had to be
// mended (a minus or a point lost in reading) or were set aside.
struct GridVoltages {
    double mostPositive = 0;
    double mostNegative = 0;
    double step = 0;
    std::size_t mended = 0;
    std::size_t setAside = 0;
};

struct GridVoltagesResult {
    std::optional<GridVoltages> grids;
    std::string problem; // why there are none, in plain words
};

// The grid voltages of a family from the curve labels read, given in the family's order
// (most positive first): the even step that most labels agree with in that order, at
// least three and two in three of them, from 0 V or above to 0 V or below. A label read without
// its minus is taken as negative where that agrees; a curve between two labelled ones may lack its
// label; a label out of order or off the step is set aside, but not the last one (a last label
// off the step leaves the family's end unknown). Of steps that agree equally, the one with fewer
// unlabelled curves is taken, then the larger.
// unnamedFirst curves stand before the first label (labels whose number was lost), and
// unnamedLast after the last.
GridVoltagesResult GridVoltagesOf(const std::vector<CurveLabel>& ordered,
                                  std::size_t unnamedFirst = 0, std::size_t unnamedLast = 0);

// The grid voltage a label stands for in the family: as read, or mended (its minus or
// its point lost in reading) where only that lies on one of the family's curves.
double LabelValueIn(const CurveLabel& label, const GridVoltages& grids);

} // namespace valvix::read
