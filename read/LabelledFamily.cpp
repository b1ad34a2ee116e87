#include "read/LabelledFamily.h"

#include "fit/Spread.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace valvix::read {

namespace {

// Where a stretch of curve from a to b crosses the height `up` (box pixels), if it does.
std::optional<double> AcrossAt(const fit::ChartPoint& a, const fit::ChartPoint& b, double up) {
    if ((a.ip - up) * (b.ip - up) > 0 || a.ip == b.ip) {
        return std::nullopt;
    }
    return a.vp + (up - a.ip) * (b.vp - a.vp) / (b.ip - a.ip);
}

// How far a point of a curve (in the box's pixels) lies from a label's rectangle: a long
// label at a curve's end stands with its centre well away from it.
double FromTheLabel(const fit::ChartPoint& point, const cv::RotatedRect& at, const PlotBox& box) {
    const double dx = box.left + point.vp - at.center.x;
    const double dy = box.bottom - point.ip - at.center.y;
    const double turn = at.angle * CV_PI / 180;
    const double along = std::abs(dx * std::cos(turn) + dy * std::sin(turn)) - at.size.width / 2;
    const double across = std::abs(dy * std::cos(turn) - dx * std::sin(turn)) - at.size.height / 2;
    return std::hypot(std::max(0.0, along), std::max(0.0, across));
}

// Where the digitizer's curves cross the height at which a label stands (in the box's
// pixels, as the curves are), each curve once, and where the label's own curve does: the
// one passing nearest its centre. Nothing when no curve passes near the label.
struct Crossings {
    std::vector<double> at; // left to right
    double own = 0;
    double up = 0; // the height they are measured at
};
std::optional<Crossings> CrossingsAt(const FoundCurveLabel& label, const PlotBox& box,
                                     const std::vector<fit::PrintedTrace>& curves, double height) {
    const double x = label.at.center.x - box.left;
    const double y = box.bottom - label.at.center.y;
    std::optional<fit::ChartPoint> nearest;
    double nearestDistance = HUGE_VAL;
    for (const fit::PrintedTrace& curve : curves) {
        for (const fit::ChartPoint& point : curve.points) {
            if (const double d = std::hypot(point.vp - x, point.ip - y); d < nearestDistance) {
                nearestDistance = d;
                nearest = point;
            }
        }
    }
    if (!nearest || FromTheLabel(*nearest, label.at, box) >= 3 * height) {
        return std::nullopt;
    }
    std::vector<double> all;
    for (const fit::PrintedTrace& curve : curves) {
        for (std::size_t i = 1; i < curve.points.size(); ++i) {
            const fit::ChartPoint& a = curve.points[i - 1];
            const fit::ChartPoint& b = curve.points[i];
            const std::optional<double> across = AcrossAt(a, b, nearest->ip);
            if (across && std::hypot(b.vp - a.vp, b.ip - a.ip) <= 2 * height) {
                all.push_back(*across);
            }
        }
    }
    std::sort(all.begin(), all.end());
    Crossings crossings{{}, nearest->vp, nearest->ip};
    for (const double at : all) {
        if (crossings.at.empty() || at - crossings.at.back() > height) {
            crossings.at.push_back(at);
        }
    }
    return crossings;
}

// Lines besides the family's curves that may cross a label's height: a load line and the
// dissipation limit.
constexpr double kOtherLines = 2;

// Whether curves whose labels were all lost, every other one say, leave the family too short
// for the curves crossing a label's height (`crossings` at most), a load line and the
// dissipation limit allowed for.
bool TooShortForTheCurves(const GridVoltages& family, std::size_t crossings) {
    const double curves = std::round((family.mostPositive - family.mostNegative) / family.step) + 1;
    return static_cast<double>(crossings) > curves + kOtherLines;
}

// How many curves pass left of a label's own: the more positive ones, whose labels may
// be lost.
std::size_t CurvesBefore(const Crossings& crossings, double height) {
    return static_cast<std::size_t>(
        std::count_if(crossings.at.begin(), crossings.at.end(),
                      [&](double at) { return at < crossings.own - height; }));
}

// The family's spacing before the last label is measured over this many gaps.
constexpr std::size_t kGapsForSpacing = 3;

// The family's spacing at a label's height: the middle of the last gaps between the curves
// left of its own and its own, as a load line crossing just before the label's own curve
// leaves one gap short. Nothing where no curve passes left of its own.
std::optional<double> SpacingBefore(const Crossings& crossings, double height) {
    std::vector<double> before;
    for (const double at : crossings.at) {
        if (at < crossings.own - height) {
            before.push_back(at);
        }
    }
    if (before.empty()) {
        return std::nullopt;
    }
    before.push_back(crossings.own);
    std::vector<double> gaps;
    for (std::size_t i = before.size() - 1; i > 0 && gaps.size() < kGapsForSpacing; --i) {
        gaps.push_back(before[i] - before[i - 1]);
    }
    return fit::Median(std::move(gaps));
}

// How many curves pass right of the last label's own (crossings within two characters of
// it taken as its own, which a label along it may hide in part), spaced as the family is
// there: the more negative ones left without a label. Nothing when they stand as no
// family would (a load line, say), which leaves the family's end unknown.
std::optional<std::size_t> CurvesAfter(const Crossings& crossings, double height) {
    std::vector<double> after;
    for (const double at : crossings.at) {
        if (at > crossings.own + 2 * height) {
            after.push_back(at);
        }
    }
    if (after.empty()) {
        return 0;
    }
    const std::optional<double> spacing = SpacingBefore(crossings, height);
    if (!spacing) {
        return std::nullopt;
    }
    double last = crossings.own;
    for (const double at : after) {
        if (at - last < 0.4 * *spacing || at - last > 2.5 * *spacing) {
            return std::nullopt;
        }
        last = at;
    }
    return after.size();
}

// A curve traced from this many character heights above the x axis or lower starts near it
// (the digitizer loses the curves' feet in the axis's line).
constexpr double kNearTheAxis = 4;

// Whether any of the digitizer's curves leaves the box through its right edge (its highest
// point within a character of it) without crossing the last label's height: below it (a
// character allowed), or above it, traced from near the axis past the label's own curve
// where that label stands lower still, by the axis (a curve's own trace resumes above its
// label, higher up). Such a curve crosses no height the curves after the label are counted
// at, and lies past the label's own (a more positive curve lies above and left of it
// everywhere). It is left unlabelled and uncounted.
bool UncountedPastTheLast(const Crossings& crossings, const PlotBox& box,
                          const std::vector<fit::PrintedTrace>& curves, double height) {
    const auto byAmps = [](const fit::ChartPoint& a, const fit::ChartPoint& b) {
        return a.ip < b.ip;
    };
    return std::any_of(curves.begin(), curves.end(), [&](const fit::PrintedTrace& curve) {
        if (curve.points.empty()) {
            return false;
        }
        const auto [lowest, top] =
            std::minmax_element(curve.points.begin(), curve.points.end(), byAmps);
        const bool below = top->ip < crossings.up - height;
        const bool abovePast = lowest->ip > crossings.up && lowest->ip < kNearTheAxis * height &&
                               curve.points.front().vp > crossings.own + 2 * height;
        return top->vp >= box.right - box.left - height && (below || abovePast);
    });
}

// The curve of the family a label stands for, counted from the most positive: as read, or
// with the minus a reading lost. Nothing when it stands for none.
std::optional<double> CurveNumber(const CurveLabel& label, const GridVoltages& family) {
    for (const double volts : {label.volts, label.signWritten ? label.volts : -label.volts}) {
        const double number = (family.mostPositive - volts) / family.step;
        const double count = (family.mostPositive - family.mostNegative) / family.step;
        if (std::abs(number - std::round(number)) < 1e-6 && number >= 0 && number <= count + 1e-6) {
            return std::round(number);
        }
    }
    return std::nullopt;
}

// Whether the digitizer's curves between labels say the step is smaller than the family
// read: as a rule more than one curve between labels a step apart (a load line may add one
// now and then). A family whose every other label was lost would otherwise be read with
// twice its step. `before` holds how many curves pass left of each label's own.
bool StepSkipsCurves(const std::vector<CurveLabel>& ordered,
                     const std::vector<std::optional<std::size_t>>& before,
                     const GridVoltages& family) {
    std::vector<double> curvesPerStep;
    std::optional<std::pair<double, double>> previous; // curve number, curves before
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        const std::optional<double> number = CurveNumber(ordered[i], family);
        if (!before[i] || !number) {
            continue;
        }
        const double counted = static_cast<double>(*before[i]);
        if (previous && *number > previous->first) {
            curvesPerStep.push_back((counted - previous->second) / (*number - previous->first));
        }
        previous = std::pair(*number, counted);
    }
    if (curvesPerStep.empty()) {
        return false;
    }
    std::sort(curvesPerStep.begin(), curvesPerStep.end());
    // One step measured alone must skip two curves or more, which a load line cannot make.
    return curvesPerStep[(curvesPerStep.size() - 1) / 2] > (curvesPerStep.size() < 2 ? 2.5 : 1.5);
}

// The shape is measured in this many layers of the box's height, each where at least
// kLeastCurves of the digitizer's curves cross it from foot to top.
constexpr int kLayers = 40;
constexpr std::size_t kLeastCurves = 3;

// How far right a curve stands where it first rises through each layer's foot.
std::vector<std::optional<double>> AcrossAtLayers(const fit::PrintedTrace& curve, double layer) {
    std::vector<std::optional<double>> across(kLayers + 1);
    for (std::size_t i = 1; i < curve.points.size(); ++i) {
        const fit::ChartPoint& a = curve.points[i - 1];
        const fit::ChartPoint& b = curve.points[i];
        for (int k = 0; k <= kLayers; ++k) {
            if (!across[k]) {
                across[k] = AcrossAt(a, b, k * layer);
            }
        }
    }
    return across;
}

// The median run across per pixel up in each layer (never leftwards: the curves rise to
// the right), nothing where too few curves cross it.
std::vector<std::optional<double>> LayerSlopes(const std::vector<fit::PrintedTrace>& curves,
                                               double layer) {
    std::vector<std::vector<double>> runs(kLayers);
    for (const fit::PrintedTrace& curve : curves) {
        const auto across = AcrossAtLayers(curve, layer);
        for (int k = 0; k < kLayers; ++k) {
            if (across[k] && across[k + 1]) {
                runs[k].push_back((*across[k + 1] - *across[k]) / layer);
            }
        }
    }
    std::vector<std::optional<double>> slopes(kLayers);
    for (int k = 0; k < kLayers; ++k) {
        if (runs[k].size() >= kLeastCurves) {
            const auto middle = runs[k].begin() + static_cast<std::ptrdiff_t>(runs[k].size() / 2);
            std::nth_element(runs[k].begin(), middle, runs[k].end());
            slopes[k] = std::max(0.0, *middle);
        }
    }
    return slopes;
}

// How far along the family a place lies, unmeasured: the curves of more positive grid
// voltages run above and left of the others, so a place up and left comes first, in shares
// of the box's width and height.
double FamilyPlace(const cv::Point2f& at, const PlotBox& box) {
    return (at.x - box.left) / (box.right - box.left) +
           (at.y - box.bottom) / (box.bottom - box.top);
}

// Half the labels' usual spacing along the family: a label lost past the last one read
// would name a curve at least that much further along.
double HalfTheSpacing(const std::vector<FoundCurveLabel>& labels, const FamilyPlaces& places) {
    std::vector<double> gaps;
    std::optional<double> previous;
    for (const FoundCurveLabel& label : labels) {
        if (label.numberLost) {
            continue;
        }
        const double place = places.at(label.at.center);
        if (previous && place > *previous) {
            gaps.push_back(place - *previous);
        }
        previous = place;
    }
    return gaps.empty() ? 0 : fit::Median(std::move(gaps)) / 2;
}

} // namespace

FamilyPlaces::FamilyPlaces(const PlotBox& box, const std::vector<fit::PrintedTrace>& curves)
    : m_box(box), m_layer((box.bottom - box.top) / kLayers) {
    if (!(m_layer > 0)) {
        return;
    }
    const std::vector<std::optional<double>> slopes = LayerSlopes(curves, m_layer);
    if (std::none_of(slopes.begin(), slopes.end(), [](const auto& s) { return s.has_value(); })) {
        return;
    }
    // A layer too few curves cross takes the slope of the nearest one measured.
    m_shape.push_back(0);
    for (int k = 0; k < kLayers; ++k) {
        int nearest = k;
        for (int d = 0; !slopes[nearest]; ++d) {
            nearest = (k - d >= 0 && slopes[k - d]) ? k - d : std::min(k + d, kLayers - 1);
        }
        m_shape.push_back(m_shape.back() + *slopes[nearest] * m_layer);
    }
}

double FamilyPlaces::at(const cv::Point2f& place) const {
    if (m_shape.empty()) {
        return FamilyPlace(place, m_box);
    }
    // Above the box the shape runs on as in its top layer.
    const double layers = std::max(0.0, (m_box.bottom - place.y) / m_layer);
    const int k = static_cast<int>(std::min(layers, kLayers - 1.0));
    const double shape = m_shape[k] + (layers - k) * (m_shape[k + 1] - m_shape[k]);
    return place.x - m_box.left - shape;
}

GridVoltagesResult FamilyOfLabels(const std::vector<FoundCurveLabel>& labels, const PlotBox& box,
                                  const std::vector<fit::PrintedTrace>& curves, double height) {
    std::vector<CurveLabel> ordered;
    std::vector<std::optional<std::size_t>> before; // of each label read, where crossed
    std::size_t lostFirst = 0;
    std::optional<Crossings> lastCrossings; // of the last label read
    std::size_t mostCrossings = 0;          // at any label read
    for (const FoundCurveLabel& label : labels) {
        if (label.numberLost) {
            lostFirst += ordered.empty() ? 1 : 0;
            continue;
        }
        lastCrossings = CrossingsAt(label, box, curves, height);
        mostCrossings = std::max(mostCrossings, lastCrossings ? lastCrossings->at.size() : 0);
        before.push_back(lastCrossings ? std::optional(CurvesBefore(*lastCrossings, height))
                                       : std::nullopt);
        ordered.push_back(label.label);
    }
    // Only the last label's curves after it can be unlabelled.
    const std::optional<std::size_t> curvesAfter =
        lastCrossings ? CurvesAfter(*lastCrossings, height) : 0;
    if (!curvesAfter ||
        (lastCrossings && UncountedPastTheLast(*lastCrossings, box, curves, height))) {
        return {std::nullopt, "curves past the last label read are not labelled"};
    }
    GridVoltagesResult family = GridVoltagesOf(ordered, lostFirst, *curvesAfter);
    // Counted curves are taken only where they carry the family to 0 V exactly: a curve
    // more may be a load line or the dissipation limit traced.
    if (!before.empty() && before.front() && *before.front() > lostFirst) {
        GridVoltagesResult counted = GridVoltagesOf(ordered, *before.front(), *curvesAfter);
        if (counted.grids && counted.grids->mostPositive == 0) {
            family = counted;
        }
    }
    if (family.grids && StepSkipsCurves(ordered, before, *family.grids)) {
        return {std::nullopt, "the digitizer finds more curves between the labels than their step"};
    }
    if (family.grids && TooShortForTheCurves(*family.grids, mostCrossings)) {
        return {std::nullopt, "the digitizer finds more curves than the labels' family has"};
    }
    return family;
}

bool StandsApart(const std::vector<FoundCurveLabel>& labels, const cv::Point2f& at, double height) {
    return std::none_of(labels.begin(), labels.end(), [&](const FoundCurveLabel& label) {
        const double halfLength = std::max(label.at.size.width, label.at.size.height) / 2;
        return cv::norm(label.at.center - at) < halfLength + height;
    });
}

bool UnreadPastTheLast(const std::vector<FoundCurveLabel>& labels,
                       const std::vector<cv::Point2f>& unread, const FamilyPlaces& places,
                       double height) {
    const auto last = std::find_if(labels.rbegin(), labels.rend(),
                                   [](const FoundCurveLabel& label) { return !label.numberLost; });
    if (last == labels.rend()) {
        return false;
    }
    const double lastPlace = places.at(last->at.center);
    const double margin = HalfTheSpacing(labels, places);
    return std::any_of(unread.begin(), unread.end(), [&](const cv::Point2f& at) {
        return StandsApart(labels, at, height) && places.at(at) > lastPlace + margin;
    });
}

} // namespace valvix::read
