#include "fit/FitToChart.h"

#include "fit/CoarseSearch.h"
#include "fit/CurveAssignment.h"
#include "fit/FitReport.h"
#include "fit/Solver.h"
#include "fit/Spread.h"
#include "fit/WideStart.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace valvix::fit {

namespace {

constexpr std::size_t kMostCurves = 60;
constexpr std::size_t kLeastPoints = 5;
// Points scored by the coarse search, and fitted by the solver, at the most: the
// traces' points are thinned evenly beyond that.
constexpr std::size_t kScoredPoints = 300;
constexpr std::size_t kSolvedPoints = 600;
constexpr std::size_t kMostRounds = 5;
// A fit from no start is run from this many of the best wide starts.
constexpr std::size_t kWideStarts = 3;
constexpr double kSettled = 1e-4; // largest parameter change (as a share) that ends it
// Huber's reach, in spreads of the distances (1.4826 median absolute distances).
constexpr double kHuberSpreads = 2.5;
// Clicked points count as this share of the traced ones, however few they are.
constexpr double kClickedShare = 0.25;

FitOutcome Failure(std::string message) {
    FitOutcome outcome;
    outcome.message = std::move(message);
    return outcome;
}

std::string CheckStart(const Design& design, const std::vector<float>& grids,
                       bool withoutStart = false) {
    for (const float value : {design.Mu, design.Ex, design.Kg1, design.Kp, design.Kvb}) {
        if (!withoutStart && (!(value > 0) || !std::isfinite(value))) {
            return "The five model parameters must be numbers above 0 to start a fit from.";
        }
    }
    if (grids.empty()) {
        return "The grid voltages give no curves to fit.";
    }
    if (grids.size() > kMostCurves) {
        return "The grid voltages give more than 60 curves; a fit takes at most 60.";
    }
    return {};
}

// Every n-th point, so that at most `most` are kept.
template <class T> std::vector<T> Thinned(const std::vector<T>& all, std::size_t most) {
    if (all.size() <= most) {
        return all;
    }
    std::vector<T> kept;
    for (std::size_t i = 0; i < most; ++i) {
        kept.push_back(all[i * all.size() / most]);
    }
    return kept;
}

// A trace's point with the trace it comes from.
struct TracePoint {
    ChartPoint point;
    std::size_t trace;
};

class FamilyFit {
public:
    explicit FamilyFit(const FitPoints& points) : m_points(points) {
        std::vector<TracePoint> all;
        for (std::size_t t = 0; t < points.traces.size(); ++t) {
            for (const ChartPoint& point : points.traces[t].points) {
                if (point.vp > 0) {
                    all.push_back({point, t});
                }
            }
        }
        m_scored = Thinned(all, kScoredPoints);
        m_solved = Thinned(all, kSolvedPoints);
    }

    FitOutcome run(LogParameters start, bool withoutStart) {
        if (withoutStart) {
            // A wide start is far from the end, and the fit from the best one may settle
            // where a parameter no longer moves it (Kvb at its least, say), or with the
            // family squeezed past the printed one (curves traced in part): the fits from
            // the best few are compared.
            const auto score = [this](const LogParameters& q) { return Score(q); };
            std::optional<std::pair<double, LogParameters>> best;
            for (const LogParameters& wide : WideStarts(m_points, score, kWideStarts)) {
                const LogParameters end = SearchAndRefine(wide);
                const double value = Score(end);
                if (!best || value < best->first) {
                    best = {value, end};
                }
            }
            return Report(m_points, best->second);
        }
        return Report(m_points, SearchAndRefine(start));
    }

private:
    // The coarse search around the start, then each of its ends refined: the best of them.
    LogParameters SearchAndRefine(const LogParameters& start) const {
        const auto score = [this](const LogParameters& q) { return Score(q); };
        std::vector<LogParameters> ends = CoarseSearch(start, score, score);
        if (Score(start) < Score(ends.back())) {
            ends.back() = start; // where the coarse search's grid misleads, the start may not
        }
        LogParameters best = start;
        double bestScore = std::numeric_limits<double>::infinity();
        for (const LogParameters& end : ends) {
            const LogParameters refined = Refine(end);
            const double value = Score(refined);
            if (value < bestScore) {
                bestScore = value;
                best = refined;
            }
        }
        return best;
    }

    // How far the points lie from the family, each from the curve nearest it (or its
    // own for a measured point), misses beyond the reach counting less and less.
    double Score(const LogParameters& p) const {
        const double reach = m_points.reach;
        const FamilyModel family(p, m_points.grids, m_points.space);
        double sum = 0;
        const auto add = [&](double distance) {
            sum += std::log1p(distance * distance / (reach * reach));
        };
        for (const TracePoint& t : m_scored) {
            add(family.nearest(t.point.vp, t.point.ip).distance);
        }
        for (const ChartPoint& point : m_points.clicked) {
            add(family.nearest(point.vp, point.ip).distance);
        }
        for (const ChartPoint& point : m_points.measured) {
            add(family.distance(point.vp, point.vg, point.ip));
        }
        return sum;
    }

    // The points with the curves they are given at p, each reaching `reach`.
    std::vector<Observation> Observe(const LogParameters& p, double reach) const {
        const auto assigned = AssignTraces(p, m_points.grids, m_points.traces, m_points.space);
        std::vector<Observation> observations;
        for (const TracePoint& t : m_solved) {
            if (assigned[t.trace]) {
                observations.push_back(
                    {t.point.vp, m_points.grids[*assigned[t.trace]], t.point.ip, 1, reach});
            }
        }
        const double weight =
            std::sqrt(std::max(1.0, kClickedShare * double(observations.size()) /
                                        double(std::max<std::size_t>(1, m_points.clicked.size()))));
        const FamilyModel family(p, m_points.grids, m_points.space);
        for (const ChartPoint& point : m_points.clicked) {
            const NearestFamilyCurve nearest = family.nearest(point.vp, point.ip);
            observations.push_back(
                {point.vp, m_points.grids[nearest.curve], point.ip, weight, reach});
        }
        for (const ChartPoint& point : m_points.measured) {
            if (point.vp > 0) {
                observations.push_back({point.vp, point.vg, point.ip, 1, reach});
            }
        }
        return observations;
    }

    // Assigns and solves until the parameters settle: first with Cauchy's loss at the
    // coarse reach, then with Huber's at a reach taken from the spread of the distances.
    LogParameters Refine(LogParameters p) const {
        double reach = m_points.reach;
        for (std::size_t round = 0; round < kMostRounds; ++round) {
            const std::vector<Observation> observations = Observe(p, reach);
            const RobustLoss loss = round == 0 ? RobustLoss::Cauchy : RobustLoss::Huber;
            const LogParameters next = Solve(p, observations, m_points.space, loss);
            double change = 0;
            for (std::size_t i = 0; i < p.size(); ++i) {
                change = std::max(change, std::abs(next[i] - p[i]));
            }
            p = next;
            reach = std::max(m_points.leastReach, kHuberSpreads * SpreadAt(p, observations));
            if (round > 0 && change < kSettled) {
                break;
            }
        }
        return p;
    }

    double SpreadAt(const LogParameters& p, const std::vector<Observation>& observations) const {
        std::vector<double> distances;
        distances.reserve(observations.size());
        for (const Observation& o : observations) {
            distances.push_back(DistanceAcross(p, o, m_points.space));
        }
        return Spread(std::move(distances));
    }

    const FitPoints& m_points;
    std::vector<TracePoint> m_scored;
    std::vector<TracePoint> m_solved;
};

// The picture's pixels where traces or clicked points lie on it, else the full scales.
std::optional<ChartSpace> ChartSpaceOf(const Design& design, const Picture* picture,
                                       const FitRequest& request, bool& inPixels,
                                       std::string& message) {
    inPixels = !request.traces.empty() || (!request.clicked.empty() && picture != nullptr);
    if (!inPixels) {
        return FullScaleSpace(design);
    }
    if (picture == nullptr || picture->width() <= 0 || picture->height() <= 0) {
        message = "There is no chart picture to fit to: choose one first.";
        return std::nullopt;
    }
    ChartSpaceResult space = PictureSpace(design, picture->width(), picture->height());
    message = space.message;
    return space.space;
}

} // namespace

FitOutcome FitToChart(const Design& design, const Picture* chartPicture,
                      const FitRequest& request) {
    const std::vector<float> grids = FamilyGrids(design);
    if (const std::string problem = CheckStart(design, grids, request.withoutStart);
        !problem.empty()) {
        return Failure(problem);
    }
    std::string message;
    bool inPixels = false;
    const std::optional<ChartSpace> space =
        ChartSpaceOf(design, chartPicture, request, inPixels, message);
    if (!space) {
        return Failure(message);
    }
    const FitPoints points = GatherPoints(design, request, *space, inPixels, grids);
    if (points.count < kLeastPoints) {
        return Failure(request.traces.empty() && request.clicked.empty()
                           ? "At least 5 points above 0 V are needed to fit the five parameters."
                           : std::string(kNoCurvesFound));
    }
    if (!points.measured.empty() && points.traces.empty() && points.clicked.empty()) {
        if (const std::string problem = CheckUnits(design, points.measured); !problem.empty()) {
            return Failure(problem);
        }
    }
    return FamilyFit(points).run(
        request.withoutStart ? LogParameters{} : ToLog(ParametersOf(design)), request.withoutStart);
}

std::optional<float> CurveThrough(const Design& design, double volts, double amps) {
    const std::vector<float> grids = FamilyGrids(design);
    if (!CheckStart(design, grids).empty() || !(design.PlateVoltageFullscale > 0) ||
        !(design.PlateCurrentFullscale > 0)) {
        return std::nullopt;
    }
    const ChartSpace layout = LayoutSpace(design);
    if (!(volts > 0) || !(layout.perVolt > 0) || !(layout.perAmp > 0)) {
        return std::nullopt;
    }
    return NearestCurve(ToLog(ParametersOf(design)), grids, volts, amps, layout);
}

} // namespace valvix::fit
