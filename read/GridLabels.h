#pragma once

#include "read/LabelText.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace valvix::read {

// A curve label read, and which curve of the family it names: 0 for the curve of the most
// positive grid voltage (the leftmost at a given current), then one by one.
struct CurveLabelAt {
    std::size_t curve = 0;
    CurveLabel label;
};

// The family's grid voltages as the design holds them, and how many labels had to be
// mended (a minus lost in reading) or were set aside.
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

// The grid voltages of a family of `curves` curves from the labels read on some of them:
// the even step most labels agree with (at least two, and three in five of them), a
// label read without its minus taken as negative where that agrees, and curves without a
// label given the step's value.
GridVoltagesResult GridVoltagesOf(const std::vector<CurveLabelAt>& labels, std::size_t curves);

} // namespace valvix::read
