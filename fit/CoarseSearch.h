#pragma once

#include "fit/ModelCurve.h"

#include <functional>
#include <vector>

namespace valvix::fit {

// Lower is better.
using Score = std::function<double(const LogParameters&)>;

// Looks for well-scoring parameters around the start before the fine fit: a grid over
// Mu, Ex and Kg1 that spans a quarter of each either way (a start that far off can put
// a computed curve nearer a neighbour's printed curve than its own), then a pattern
// search over all five from the best few grid points, within the parameters' ranges.
// Gives the searches' ends, best first.
// The grid is scored with gridScore, the pattern search with the finer patternScore.
std::vector<LogParameters> CoarseSearch(const LogParameters& start, const Score& gridScore,
                                        const Score& patternScore);

} // namespace valvix::fit
