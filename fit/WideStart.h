#pragma once

#include "fit/CoarseSearch.h"
#include "fit/FitReport.h"

#include <vector>

namespace valvix::fit {

// Starts for a fit that has none: of a coarse grid over the ranges of real triodes (Mu
// from 2 to 120, small-signal to power triodes' Ex and Kp), each with the Kg1 that lays its
// most positive curve along the leftmost points, the best-scoring of each Mu, and of those
// the best `count`, best first.
std::vector<LogParameters> WideStarts(const FitPoints& points, const Score& score,
                                      std::size_t count);

} // namespace valvix::fit
