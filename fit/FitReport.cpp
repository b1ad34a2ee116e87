#include "fit/FitReport.h"

#include "fit/CurveAssignment.h"
#include "fit/PrintedTraces.h"
#include "fit/Solver.h"
#include "fit/Spread.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace valvix::fit {

namespace {

// A point farther than this many spreads of the distances (and than the coarse reach)
// is stray: a label, a stroke of another line.
constexpr double kStraySpreads = 4;
// Points of traces beyond the family, and of traces that share a curve with another
// over the same plate voltages, beyond these shares of all: the grid voltages are not
// the chart's.
constexpr double kMostBeyond = 0.25;
constexpr double kMostBetween = 0.2;
constexpr double kSharedSpan = 0.3;
// Traces further apart than this share of the coarse reach are not the same curve.
constexpr double kApart = 0.5;
// A curve missed by more than this share of full scale is named in the result line.
constexpr double kMissedShare = 0.03;
constexpr std::size_t kMostNamed = 3;

FitOutcome Failure(std::string message) {
    FitOutcome outcome;
    outcome.message = std::move(message);
    return outcome;
}

// The Singles of the fitted parameters, each kept inside its accepted range.
TriodeParameters Settle(const LogParameters& p) {
    TriodeParameters fitted = FromLog(p);
    float* values[] = {&fitted.Mu, &fitted.Ex, &fitted.Kg1, &fitted.Kp, &fitted.Kvb};
    for (int i = 0; i < 5; ++i) {
        *values[i] = std::clamp(*values[i], float(std::exp(LowerBound(i))) * (1 + 1e-6f),
                                float(std::exp(UpperBound(i))) * (1 - 1e-6f));
    }
    return fitted;
}

// Points of traces that share their curve with another trace over much the same plate
// voltages but lie well apart from it: one of the two runs between the computed curves.
std::size_t PointsBetween(const FitPoints& points,
                          const std::vector<std::optional<std::size_t>>& assigned) {
    const std::vector<PrintedTrace>& traces = points.traces;
    std::size_t between = 0;
    for (std::size_t a = 0; a < traces.size(); ++a) {
        for (std::size_t b = a + 1; b < traces.size(); ++b) {
            const auto& pa = traces[a].points;
            const auto& pb = traces[b].points;
            if (!assigned[a] || assigned[a] != assigned[b] || pa.empty() || pb.empty()) {
                continue;
            }
            const double from = std::max(pa.front().vp, pb.front().vp);
            const double to = std::min(pa.back().vp, pb.back().vp);
            const double shorter =
                std::min(pa.back().vp - pa.front().vp, pb.back().vp - pb.front().vp);
            const bool aShorter = pa.size() < pb.size();
            if (shorter > 0 && to - from > kSharedSpan * shorter &&
                TracesApart(traces[aShorter ? a : b], traces[aShorter ? b : a], from, to,
                            points.space) > kApart * points.reach) {
                between += std::min(pa.size(), pb.size());
            }
        }
    }
    return between;
}

// Whether two or more inner curves have no traces while both their neighbours have.
bool EveryOtherBare(const std::vector<std::optional<std::size_t>>& assigned, std::size_t curves) {
    std::vector<bool> traced(curves);
    for (const auto& curve : assigned) {
        if (curve) {
            traced[*curve] = true;
        }
    }
    std::size_t bare = 0;
    for (std::size_t k = 1; k + 1 < curves; ++k) {
        bare += !traced[k] && traced[k - 1] && traced[k + 1];
    }
    return bare >= 2;
}

std::string CheckFamily(const FitPoints& points,
                        const std::vector<std::optional<std::size_t>>& assigned) {
    std::size_t all = 0;
    std::size_t beyond = 0;
    for (std::size_t t = 0; t < points.traces.size(); ++t) {
        all += points.traces[t].points.size();
        beyond += assigned[t] ? 0 : points.traces[t].points.size();
    }
    if (double(beyond) > kMostBeyond * double(all)) {
        return "Many printed points lie beyond the grid voltages given (above the most "
               "positive or below the most negative curve): check the grid voltages, then "
               "fit again.";
    }
    if (double(PointsBetween(points, assigned)) > kMostBetween * double(all) ||
        EveryOtherBare(assigned, points.grids.size())) {
        return "Printed curves run between the computed ones, or every other computed curve "
               "has none: check the grid-voltage step (is it the chart's?), then fit again.";
    }
    return {};
}

} // namespace

FitPoints GatherPoints(const Design& design, const FitRequest& request, const ChartSpace& space,
                       bool inPixels, const std::vector<float>& grids) {
    FitPoints points{
        space, inPixels, grids, {}, request.clicked, {}, 20, 0.3, design.PlateCurrentFullscale, 0};
    if (inPixels) {
        points.reach = 0.012 * std::hypot(space.right - space.left, space.bottom - space.top);
    }
    for (const PrintedTrace& trace : request.traces) {
        PrintedTrace& kept = points.traces.emplace_back();
        for (const ChartPoint& point : trace.points) {
            if (point.vp > 0 && std::isfinite(point.vp) && std::isfinite(point.ip)) {
                kept.points.push_back(point);
            }
        }
        points.count += kept.points.size();
    }
    for (const ChartPoint& point : request.measured) {
        if (point.vp > 0) {
            points.measured.push_back(point);
        }
    }
    points.count += points.measured.size() + points.clicked.size();
    return points;
}

std::string CheckUnits(const Design& design, const std::vector<ChartPoint>& measured) {
    std::size_t within = 0;
    for (const ChartPoint& point : measured) {
        within += point.vp <= 2.0 * design.PlateVoltageFullscale &&
                  point.ip <= 2.0 * design.PlateCurrentFullscale;
    }
    if (within * 2 < measured.size()) {
        return "Most of the points lie far beyond the chart's full scales: check the units "
               "named in the points file's header.";
    }
    return {};
}

FitOutcome Report(const FitPoints& points, const LogParameters& fitted) {
    FitOutcome outcome;
    outcome.parameters = Settle(fitted);
    const LogParameters p = ToLog(outcome.parameters);
    const auto assigned = AssignTraces(p, points.grids, points.traces, points.space);
    std::vector<ChartPoint> all;
    for (std::size_t t = 0; t < points.traces.size(); ++t) {
        outcome.traceGrids.push_back(assigned[t] ? std::optional(points.grids[*assigned[t]])
                                                 : std::nullopt);
        for (const ChartPoint& point : points.traces[t].points) {
            if (assigned[t]) {
                all.push_back({point.vp, points.grids[*assigned[t]], point.ip});
            } else {
                ++outcome.setAsidePoints;
            }
        }
    }
    const FamilyModel family(p, points.grids, points.space);
    for (const ChartPoint& point : points.clicked) {
        const std::size_t curve = family.nearest(point.vp, point.ip).curve;
        all.push_back({point.vp, points.grids[curve], point.ip});
    }
    all.insert(all.end(), points.measured.begin(), points.measured.end());
    std::vector<double> distances;
    distances.reserve(all.size());
    for (const ChartPoint& point : all) {
        distances.push_back(family.distance(point.vp, point.vg, point.ip));
    }
    const double strayAt = std::max(points.reach, kStraySpreads * Spread(distances));
    for (const float grid : points.grids) {
        outcome.curves.push_back({grid, 0, 0});
    }
    double squares = 0;
    double ampSquares = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (distances[i] > strayAt) {
            ++outcome.setAsidePoints;
            continue;
        }
        const ChartPoint& point = all[i];
        const double miss = distances[i] / points.space.perAmp;
        squares += distances[i] * distances[i];
        ampSquares += miss * miss;
        outcome.largestDistance = std::max(outcome.largestDistance, distances[i]);
        outcome.largestAmps = std::max(outcome.largestAmps, miss);
        const auto curve =
            std::find_if(outcome.curves.begin(), outcome.curves.end(),
                         [&](const CurveMiss& c) { return c.vg == float(point.vg); });
        if (curve != outcome.curves.end()) {
            ++curve->points;
            curve->largestAmps = std::max(curve->largestAmps, miss);
        }
        outcome.fitted.push_back(point);
    }
    if (const std::string problem = CheckFamily(points, assigned); !problem.empty()) {
        return Failure(problem);
    }
    const double n = std::max<double>(1, double(outcome.fitted.size()));
    outcome.ok = true;
    outcome.inPixels = points.inPixels;
    outcome.rmsDistance = std::sqrt(squares / n);
    outcome.rmsAmps = std::sqrt(ampSquares / n);
    outcome.fullScaleAmps = points.fullScaleAmps;
    return outcome;
}

std::string DescribeFit(const FitOutcome& outcome) {
    const double full = outcome.fullScaleAmps > 0 ? outcome.fullScaleAmps : 1.0;
    const auto curves = std::count_if(outcome.curves.begin(), outcome.curves.end(),
                                      [](const CurveMiss& c) { return c.points > 0; });
    char text[256];
    std::snprintf(text, sizeof text,
                  "Fitted to %zu points on %td curves: RMS miss %.3g mA (%.2f %% of full scale), "
                  "largest %.3g mA (%.2f %%).",
                  outcome.fitted.size(), curves, 1000 * outcome.rmsAmps,
                  100 * outcome.rmsAmps / full, 1000 * outcome.largestAmps,
                  100 * outcome.largestAmps / full);
    std::string line = text;
    if (outcome.setAsidePoints > 0) {
        // Appended piece by piece: GCC 12 at -O3 warns falsely on " " + std::string.
        line.append(" ")
            .append(std::to_string(outcome.setAsidePoints))
            .append(" stray points set aside.");
    }
    std::vector<CurveMiss> missed;
    std::copy_if(outcome.curves.begin(), outcome.curves.end(), std::back_inserter(missed),
                 [&](const CurveMiss& c) { return c.largestAmps > kMissedShare * full; });
    std::sort(missed.begin(), missed.end(),
              [](const CurveMiss& a, const CurveMiss& b) { return a.largestAmps > b.largestAmps; });
    std::string bare;
    for (const CurveMiss& c : outcome.curves) {
        if (c.points == 0) {
            std::snprintf(text, sizeof text, "%s%g", bare.empty() ? "" : ", ", double(c.vg));
            bare += text;
        }
    }
    if (!bare.empty()) {
        line += " No points lie on the " + bare + " V curve" +
                (bare.find(',') != std::string::npos ? "s." : ".");
    }
    for (std::size_t i = 0; i < std::min(missed.size(), kMostNamed); ++i) {
        std::snprintf(text, sizeof text, " The %g V curve is missed by up to %.2g mA.",
                      double(missed[i].vg), 1000 * missed[i].largestAmps);
        line += text;
    }
    return line;
}

} // namespace valvix::fit
