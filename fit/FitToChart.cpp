#include "fit/FitToChart.h"

#include "fit/CoarseSearch.h"
#include "fit/FamilyCurves.h"
#include "fit/InkTracer.h"
#include "fit/Solver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>

namespace valvix::fit {

namespace {

constexpr std::size_t kMostCurves = 60;
constexpr double kLeastInk = 48;         // darkness of the printed lines, grey levels
constexpr std::size_t kLeastTraced = 30; // points of ink for a fit
// Shares of the places searched along the curves where ink must be found: along the
// whole family, and along each curve searched at kLongCurve places or more. Below
// kSomeInk the curves have lost the printed ones.
constexpr double kLeastCoverage = 0.75;
constexpr double kLeastCurveShare = 0.4;
constexpr std::size_t kLongCurve = 12;
constexpr double kSomeInk = 0.2;
// The share of places halfway between the computed curves where ink may be found.
constexpr double kMostBetween = 0.5;
constexpr std::size_t kMostRounds = 8;
constexpr double kSettled = 1e-4; // largest parameter change (as a share) that ends it
// Clicked or measured points count as this share of the traced ones, however few they
// are; in the coarse search each counts as this many samples of a curve.
constexpr double kPointsShare = 0.25;
constexpr double kPointSamples = 10;

FitOutcome Failure(std::string message) {
    FitOutcome outcome;
    outcome.message = std::move(message);
    return outcome;
}

std::string CheckStart(const DesignState& design, const std::vector<float>& grids) {
    for (const float value : {design.Mu, design.Ex, design.Kg1, design.Kp, design.Kvb}) {
        if (!(value > 0) || !std::isfinite(value)) {
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

// The chart's frame and ink, worked out once for all the rounds of a fit.
struct ChartInk {
    ChartSpace space;
    std::optional<InkMap> ink;
    Region region; // where ink is looked for: the frame, off its axis lines
    double scale;  // pixels of the picture against a 300-pixel-high chart
};

std::optional<ChartInk> ReadChart(const DesignState& design, std::string& message) {
    const Picture* picture = design.CurveGraphic.get();
    if (picture == nullptr || picture->grey().empty()) {
        message = "There is no chart picture to fit to: choose one with \"Get graphic\".";
        return std::nullopt;
    }
    const GreyLevels& grey = picture->grey();
    ChartSpaceResult space = PictureSpace(design, grey.width, grey.height);
    if (!space.space) {
        message = space.message;
        return std::nullopt;
    }
    ChartInk chart{
        *space.space, std::nullopt, {}, std::max(1.0, std::min(grey.width, grey.height) / 300.0)};
    chart.ink.emplace(grey, chart.space, 16 * chart.scale);
    if (chart.ink->inkDarkness() < kLeastInk) {
        message = "The chart picture shows no printed curves to fit to.";
        return std::nullopt;
    }
    const double margin = 2.5 * chart.scale;
    const ChartSpace& s = chart.space;
    chart.region = {std::max(s.left, 0.0) + margin, std::min(s.right, double(grey.width)) - margin,
                    std::max(s.top, 0.0) + margin,
                    std::min(s.bottom, double(grey.height)) - margin};
    return chart;
}

std::vector<Observation> PointObservations(const std::vector<ChartPoint>& points, double weight,
                                           double reach) {
    std::vector<Observation> observations;
    for (const ChartPoint& point : points) {
        if (point.vp > 0) { // every curve passes through 0 V, 0 A: nothing to learn there
            observations.push_back({point.vp, point.vg, point.ip, weight, reach});
        }
    }
    return observations;
}

// The distances and current misses of the observations from the fitted curves.
void Measure(FitOutcome& outcome, const LogParameters& p,
             const std::vector<Observation>& observations, const ChartSpace& space) {
    double squares = 0;
    double ampSquares = 0;
    for (const Observation& o : observations) {
        const double distance = DistanceAcross(p, o, space);
        const double miss = std::abs(ModelAmps(p, o.vp, o.vg) - o.ip);
        squares += distance * distance;
        ampSquares += miss * miss;
        outcome.largestDistance = std::max(outcome.largestDistance, distance);
        outcome.largestAmps = std::max(outcome.largestAmps, miss);
    }
    const double n = std::max<double>(1, observations.size());
    outcome.points = observations.size();
    outcome.rmsDistance = std::sqrt(squares / n);
    outcome.rmsAmps = std::sqrt(ampSquares / n);
}

// Gives the Singles of the fitted parameters, each kept inside its accepted range.
TriodeParameters Settle(const LogParameters& p) {
    TriodeParameters fitted = FromLog(p);
    float* values[] = {&fitted.Mu, &fitted.Ex, &fitted.Kg1, &fitted.Kp, &fitted.Kvb};
    for (int i = 0; i < 5; ++i) {
        *values[i] = std::clamp(*values[i], float(std::exp(LowerBound(i))) * (1 + 1e-6f),
                                float(std::exp(UpperBound(i))) * (1 - 1e-6f));
    }
    return fitted;
}

// The end of the rounds of tracing and solving from one start.
struct Refined {
    LogParameters p;
    std::vector<Observation> observations;
    double coverage = 0;  // share of the searched places along the curves with ink found
    bool matches = false; // every curve lies on printed ink
};

// Whether the trace found ink along the family: enough points, most of the places
// searched, and a good part of every curve that was searched at length.
bool Matches(const Trace& trace, double& coverage) {
    std::size_t searched = 0;
    bool everyCurve = true;
    for (std::size_t curve = 0; curve < trace.searched.size(); ++curve) {
        searched += trace.searched[curve];
        everyCurve =
            everyCurve && (trace.searched[curve] < kLongCurve ||
                           trace.found[curve] >= kLeastCurveShare * double(trace.searched[curve]));
    }
    coverage = searched == 0 ? 0.0 : double(trace.points.size()) / double(searched);
    return everyCurve && trace.points.size() >= kLeastTraced && coverage >= kLeastCoverage;
}

class ChartFit {
public:
    ChartFit(const ChartInk& chart, const std::vector<float>& grids, const FitRequest& request)
        : m_chart(chart), m_grids(grids), m_clicked(request.clicked), m_measured(request.measured) {
    }

    FitOutcome run(const LogParameters& start) {
        double bestCoverage = 0;
        const double k = m_chart.scale;
        const auto onGrid = [this, k](const LogParameters& q) { return match(q, 14 * k, 5 * k); };
        const auto onPattern = [this, k](const LogParameters& q) { return match(q, 6 * k, 3 * k); };
        bool curvesBetween = false;
        for (const LogParameters& candidate : CoarseSearch(start, onGrid, onPattern)) {
            const Refined refined = refine(candidate);
            const bool between = refined.matches && CurvesBetween(refined.p);
            curvesBetween = curvesBetween || between;
            if (refined.matches && !between) {
                FitOutcome outcome;
                outcome.ok = true;
                outcome.inPixels = true;
                outcome.parameters = Settle(refined.p);
                Measure(outcome, ToLog(outcome.parameters), refined.observations, m_chart.space);
                return outcome;
            }
            bestCoverage = std::max(bestCoverage, refined.coverage);
        }
        if (curvesBetween) {
            return Failure("Printed curves run between the computed ones: check the grid "
                           "voltages (is the step the chart's?), then fit again.");
        }
        if (bestCoverage < kSomeInk) {
            return Failure("No printed curves were found along the computed ones. Bring the "
                           "curves nearer to them with Up and Down (or Shift+click a few points "
                           "on the printed curves), then fit again.");
        }
        return Failure("The computed curves could not all be laid on printed ones. Check the "
                       "frame and the grid voltages, bring the curves nearer with Up and Down "
                       "(or Shift+click a few points on the printed curves), then fit again.");
    }

private:
    double maxStroke() const { return 2 + 2.5 * m_chart.scale; }

    // Traces and solves with ever smaller search windows until the parameters settle.
    Refined refine(LogParameters p) const {
        const double k = m_chart.scale;
        const std::array<double, 3> reaches{5 * k, 2.5 * k, 1.6 * k};
        Refined refined;
        for (std::size_t round = 0; round < kMostRounds; ++round) {
            const bool last = round + 1 >= reaches.size();
            const double reach = reaches[std::min(round, reaches.size() - 1)];
            const Trace trace = TraceFamily(*m_chart.ink, p, m_grids, m_chart.space, m_chart.region,
                                            {reach, (last ? 2.0 : 3.0) * k, maxStroke()});
            refined.matches = Matches(trace, refined.coverage);
            if (round > 0 && refined.coverage < kSomeInk) {
                break; // lost: no use going on from here
            }
            refined.observations = withPoints(trace, reach, p);
            const LogParameters next = Solve(p, refined.observations, m_chart.space);
            double change = 0;
            for (std::size_t i = 0; i < p.size(); ++i) {
                change = std::max(change, std::abs(next[i] - p[i]));
            }
            p = next;
            if (last && change < kSettled) {
                break;
            }
        }
        refined.p = p;
        return refined;
    }

    // Whether printed curves run halfway between the computed ones, as when a fit lays
    // the family on every other printed curve.
    bool CurvesBetween(const LogParameters& p) const {
        std::vector<float> between;
        for (std::size_t i = 1; i < m_grids.size(); ++i) {
            between.push_back((m_grids[i - 1] + m_grids[i]) / 2);
        }
        const double k = m_chart.scale;
        const Trace trace = TraceFamily(*m_chart.ink, p, between, m_chart.space, m_chart.region,
                                        {2.5 * k, 3 * k, maxStroke(), 0.2});
        double coverage = 0;
        Matches(trace, coverage);
        return coverage > kMostBetween;
    }

    // How much of the family lies on printed ink: lower is better.
    // Samples spacing apart along the curves; misses count up to cap pixels.
    double match(const LogParameters& p, double spacing, double cap) const {
        SampleFamily(p, m_grids, m_chart.space, m_chart.region, spacing, m_samples);
        double score = 0;
        for (const CurveSample& s : m_samples) {
            const double d = std::min(m_chart.ink->distance(s.x, s.y), cap) / cap;
            score += d * d - 1;
        }
        // A point counts as much as a stretch of curve.
        for (const ChartPoint& point : points(p)) {
            const double d =
                std::min(DistanceAcross(p, {point.vp, point.vg, point.ip}, m_chart.space), cap) /
                cap;
            score += kPointSamples * (d * d - 1);
        }
        return score;
    }

    // The measured points, and the clicked ones on the curves passing nearest them.
    std::vector<ChartPoint> points(const LogParameters& p) const {
        std::vector<ChartPoint> all = m_measured;
        for (ChartPoint point : m_clicked) {
            point.vg = NearestCurve(p, m_grids, point.vp, point.ip, m_chart.space);
            all.push_back(point);
        }
        return all;
    }

    std::vector<Observation> withPoints(const Trace& trace, double reach,
                                        const LogParameters& p) const {
        std::vector<Observation> observations;
        for (const TracedPoint& t : trace.points) {
            observations.push_back({t.vp, t.vg, t.ip, 1.0, 0.5 * reach});
        }
        const std::vector<ChartPoint> given = points(p);
        if (!given.empty()) {
            const double weight = std::sqrt(
                std::max(1.0, kPointsShare * double(trace.points.size()) / double(given.size())));
            for (const Observation& o : PointObservations(given, weight, 2 * m_chart.scale)) {
                observations.push_back(o);
            }
        }
        return observations;
    }

    const ChartInk& m_chart;
    const std::vector<float>& m_grids;
    std::vector<ChartPoint> m_clicked;
    std::vector<ChartPoint> m_measured;
    mutable std::vector<CurveSample> m_samples; // kept between scores
};

// Measured points alone: the distances are thousandths of the full scales.
FitOutcome FitPoints(const DesignState& design, const LogParameters& start,
                     const std::vector<ChartPoint>& points) {
    const ChartSpace space = FullScaleSpace(design);
    std::size_t within = 0;
    for (const ChartPoint& point : points) {
        within += point.vp <= 2.0 * design.PlateVoltageFullscale &&
                  point.ip <= 2.0 * design.PlateCurrentFullscale;
    }
    if (within * 2 < points.size()) {
        return Failure("Most of the points lie far beyond the chart's full scales: check the "
                       "units named in the points file's header.");
    }
    constexpr double kReach = 20; // 2 % of full scale
    const std::vector<Observation> observations = PointObservations(points, 1.0, kReach);
    if (observations.size() < 5) {
        return Failure("At least 5 points above 0 V are needed to fit the five parameters.");
    }
    const auto score = [&](const LogParameters& q) {
        double sum = 0;
        for (const Observation& o : observations) {
            const double d = DistanceAcross(q, o, space) / kReach;
            sum += std::log1p(d * d);
        }
        return sum;
    };
    LogParameters p = Solve(CoarseSearch(start, score, score).front(), observations, space);
    p = Solve(p, observations, space);
    FitOutcome outcome;
    outcome.ok = true;
    outcome.parameters = Settle(p);
    Measure(outcome, ToLog(outcome.parameters), observations, space);
    return outcome;
}

} // namespace

FitOutcome FitToChart(const DesignState& design, const FitRequest& request) {
    const std::vector<float> grids = FamilyGrids(design);
    if (const std::string problem = CheckStart(design, grids); !problem.empty()) {
        return Failure(problem);
    }
    const LogParameters start = ToLog(ParametersOf(design));
    if (request.traceChart) {
        std::string message;
        const std::optional<ChartInk> chart = ReadChart(design, message);
        if (!chart) {
            return Failure(message);
        }
        return ChartFit(*chart, grids, request).run(start);
    }
    return FitPoints(design, start, request.measured);
}

std::optional<float> CurveThrough(const DesignState& design, float x, float y) {
    const std::vector<float> grids = FamilyGrids(design);
    const double fullV = design.PlateVoltageFullscale;
    const double fullI = design.PlateCurrentFullscale;
    if (!CheckStart(design, grids).empty() || !(fullV > 0) || !(fullI > 0)) {
        return std::nullopt;
    }
    ChartSpace layout;
    layout.x0 = design.Xleft;
    layout.perVolt = (double(design.Xright) - design.Xleft) / fullV;
    layout.y0 = design.Ybottom;
    layout.perAmp = (double(design.Ybottom) - design.Ytop) / fullI;
    const double vp = layout.Volts(x);
    if (!(vp > 0) || !(layout.perVolt > 0) || !(layout.perAmp > 0)) {
        return std::nullopt;
    }
    return NearestCurve(ToLog(ParametersOf(design)), grids, vp, layout.Amps(y), layout);
}

std::string DescribeFit(const FitOutcome& outcome) {
    char line[200];
    const char* unit = outcome.inPixels ? " px" : " % of full scale";
    const double k = outcome.inPixels ? 1.0 : 0.1;
    std::snprintf(
        line, sizeof line,
        "Fitted to %zu points: RMS %.2f%s, largest %.2f%s (RMS %.3g mA, largest %.3g mA).",
        outcome.points, k * outcome.rmsDistance, unit, k * outcome.largestDistance, unit,
        1000 * outcome.rmsAmps, 1000 * outcome.largestAmps);
    return line;
}

} // namespace valvix::fit
