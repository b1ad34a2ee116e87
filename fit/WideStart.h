#pragma once

#include "fit/CoarseSearch.h"
#include "fit/FitReport.h"

namespace valvix::fit {

// A start for a fit that has none: the best-scoring of a coarse grid over the ranges of
// real triodes (Mu from 2 to 120, small-signal to power triodes' Ex and Kp), each with
// the Kg1 that lays its most positive curve along the leftmost points.
LogParameters WideStart(const FitPoints& points, const Score& score);

} // namespace valvix::fit
