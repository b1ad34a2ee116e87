#include "fit/WideStart.h"

#include "fit/ModelCurve.h"
#include "fit/Solver.h"
#include "fit/Spread.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace valvix::fit {

namespace {

constexpr double kLeastMu = 2;
constexpr double kMostMu = 120;
constexpr int kMuSteps = 18; // a step of about 27 %, within the coarse search's reach
constexpr std::array<double, 2> kExponents{1.3, 1.45};
constexpr std::array<double, 3> kKps{60, 250, 600};
constexpr double kKvb = 300;
// Points below this share of the full-scale current say little about Kg1.
constexpr double kLeastShare = 0.05;
// The share of traced points left of the most positive curve: stray marks and noise.
constexpr double kLeftOfFamily = 0.1;

// The Kg1 each point asks for to lie on the curve it is measured for or, for a traced or
// clicked point, on the most positive curve; Kg1 scales every curve's current alike.
double Kg1For(const LogParameters& p, const FitPoints& points) {
    const double top = points.grids.front();
    const double least = kLeastShare * points.fullScaleAmps;
    std::vector<double> traced;
    std::vector<double> measured;
    const auto ask = [&](const ChartPoint& point, double vg, std::vector<double>& into) {
        if (point.vp > 0 && point.ip > least) {
            into.push_back(ModelAmps(p, point.vp, vg) / point.ip);
        }
    };
    for (const PrintedTrace& trace : points.traces) {
        for (const ChartPoint& point : trace.points) {
            ask(point, top, traced);
        }
    }
    for (const ChartPoint& point : points.clicked) {
        ask(point, top, traced);
    }
    for (const ChartPoint& point : points.measured) {
        ask(point, point.vg, measured);
    }
    if (!measured.empty()) {
        return Median(std::move(measured));
    }
    if (traced.empty()) {
        return 1;
    }
    // A more negative curve's points ask for a larger Kg1 than the most positive one's.
    const auto at =
        traced.begin() + static_cast<std::ptrdiff_t>(kLeftOfFamily * double(traced.size()));
    std::nth_element(traced.begin(), at, traced.end());
    return *at;
}

} // namespace

std::vector<LogParameters> WideStarts(const FitPoints& points, const Score& score,
                                      std::size_t count) {
    // The best of each Mu's grid, then the best few Mus.
    std::vector<std::pair<double, LogParameters>> bestOfMu;
    for (int step = 0; step < kMuSteps; ++step) {
        const double mu = kLeastMu * std::pow(kMostMu / kLeastMu, step / double(kMuSteps - 1));
        std::pair<double, LogParameters> best{std::numeric_limits<double>::infinity(), {}};
        for (const double ex : kExponents) {
            for (const double kp : kKps) {
                LogParameters p{std::log(mu), std::log(ex), 0, std::log(kp), std::log(kKvb)};
                p[Kg1At] =
                    std::clamp(std::log(Kg1For(p, points)), LowerBound(Kg1At), UpperBound(Kg1At));
                const double value = score(p);
                if (value < best.first) {
                    best = {value, p};
                }
            }
        }
        bestOfMu.push_back(best);
    }
    std::stable_sort(bestOfMu.begin(), bestOfMu.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<LogParameters> starts;
    for (std::size_t i = 0; i < std::min(count, bestOfMu.size()); ++i) {
        starts.push_back(bestOfMu[i].second);
    }
    return starts;
}

} // namespace valvix::fit
