#include "fit/CoarseSearch.h"

#include "fit/Solver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace valvix::fit {

namespace {

// Shares of the start, as logarithms, that the grid tries: from 0.8 to 1.33 times the
// start (the true value of a parameter 25 % off lies there).
constexpr std::array<double, 7> kGrid{-0.223, -0.14, -0.07, 0.0, 0.08, 0.17, 0.288};
// Mu, which spaces the curves, more finely: a step moves the farthest curve of a long
// family by about one curve.
constexpr std::array<double, 10> kMuGrid{-0.223, -0.17, -0.115, -0.06, 0.0,
                                         0.055,  0.11,  0.17,   0.23,  0.288};
constexpr std::size_t kPatternStarts = 2;
constexpr double kFirstStep = 0.04;
constexpr double kLastStep = 0.015;

LogParameters Clamped(LogParameters p) {
    for (int i = 0; i < 5; ++i) {
        p[static_cast<std::size_t>(i)] =
            std::clamp(p[static_cast<std::size_t>(i)], LowerBound(i), UpperBound(i));
    }
    return p;
}

// Goes on along a move of parameter i that helped, doubling the step while that helps
// more, so that a parameter the points barely weigh (Kvb, where the curves hardly feel it)
// crosses its range in a few tries rather than hundreds.
double FurtherAlong(LogParameters& p, double best, std::size_t i, double move, const Score& score) {
    for (double further = 2 * move;; further *= 2) {
        LogParameters trial = p;
        trial[i] += further;
        trial = Clamped(trial);
        const double value = trial[i] == p[i] ? best : score(trial);
        if (!(value < best)) {
            return best;
        }
        best = value;
        p = trial;
    }
}

// Moves one parameter at a time either way while that scores better, halving the step
// when no move helps.
std::pair<double, LogParameters> PatternSearch(LogParameters p, double best, const Score& score) {
    for (double step = kFirstStep; step >= kLastStep;) {
        bool moved = false;
        for (std::size_t i = 0; i < p.size(); ++i) {
            for (const double sign : {1.0, -1.0}) {
                LogParameters trial = p;
                trial[i] += sign * step;
                trial = Clamped(trial);
                const double value = score(trial);
                if (value < best) {
                    p = trial;
                    best = FurtherAlong(p, value, i, sign * step, score);
                    moved = true;
                    break;
                }
            }
        }
        if (!moved) {
            step /= 2;
        }
    }
    return {best, p};
}

} // namespace

std::vector<LogParameters> CoarseSearch(const LogParameters& start, const Score& gridScore,
                                        const Score& patternScore) {
    std::vector<std::pair<double, LogParameters>> tried;
    for (const double mu : kMuGrid) {
        for (const double ex : kGrid) {
            for (const double kg1 : kGrid) {
                LogParameters p = start;
                p[MuAt] += mu;
                p[ExAt] += ex;
                p[Kg1At] += kg1;
                p = Clamped(p);
                tried.emplace_back(gridScore(p), p);
            }
        }
    }
    const auto firstAfter = tried.begin() + static_cast<std::ptrdiff_t>(kPatternStarts);
    std::partial_sort(tried.begin(), firstAfter, tried.end(),
                      [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::pair<double, LogParameters>> ends;
    for (auto it = tried.begin(); it != firstAfter; ++it) {
        ends.push_back(PatternSearch(it->second, patternScore(it->second), patternScore));
    }
    std::sort(ends.begin(), ends.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<LogParameters> best;
    best.reserve(ends.size());
    for (const auto& end : ends) {
        best.push_back(end.second);
    }
    return best;
}

} // namespace valvix::fit
