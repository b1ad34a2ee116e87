#include "read/AxisScale.h"

#include <algorithm>
#include <cmath>

namespace valvix::read {

namespace {

// A label lies on a line when it stands within this share of the line's label spacing
// of where the line puts its value.
constexpr double kReach = 0.1;
constexpr std::size_t kLeastLabels = 3;
// A label set aside stands at a labelled tick, and so contradicts the scale, when it lies
// within this share of the label spacing of one.
constexpr double kAtTick = 0.25;

struct Line {
    double valueAtZero;
    double valuePerPixel;
};

// The labels of the list on the line; their values must also step evenly by `step`.
std::vector<std::size_t> OnLine(const std::vector<AxisLabel>& labels, const Line& line,
                                double step) {
    std::vector<std::size_t> on;
    const double spacing = std::abs(step / line.valuePerPixel);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const double expected = (labels[i].value - line.valueAtZero) / line.valuePerPixel;
        const double steps = labels[i].value / step;
        const bool whole =
            std::abs(steps - std::round(steps)) < 1e-6 * std::max(1.0, std::abs(steps));
        if (whole && std::abs(expected - labels[i].position) <= kReach * spacing) {
            on.push_back(i);
        }
    }
    return on;
}

Line LeastSquares(const std::vector<AxisLabel>& labels, const std::vector<std::size_t>& on) {
    double sx = 0;
    double sy = 0;
    double sxx = 0;
    double sxy = 0;
    const auto n = static_cast<double>(on.size());
    for (const std::size_t i : on) {
        sx += labels[i].position;
        sy += labels[i].value;
        sxx += labels[i].position * labels[i].position;
        sxy += labels[i].position * labels[i].value;
    }
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    return {(sy - slope * sx) / n, slope};
}

// How many of the places where only labels set aside stand lie where the scale puts a
// label of another value. (A number may be given as several readings at one place, one of
// them used.) As many as the scale used, and the numbers contradict each other rather than
// one being misread.
std::size_t Contradicting(const std::vector<AxisLabel>& labels,
                          const std::vector<std::size_t>& used, const AxisScale& scale) {
    std::vector<double> places;
    for (const AxisLabel& label : scale.setAside) {
        const auto here = [&](double position) { return position == label.position; };
        const double ticks = scale.valueAt(label.position) / scale.step;
        if (std::abs(ticks - std::round(ticks)) <= kAtTick && std::ranges::none_of(places, here) &&
            std::ranges::none_of(used, [&](std::size_t i) { return here(labels[i].position); })) {
            places.push_back(label.position);
        }
    }
    return places.size();
}

} // namespace

AxisScaleResult FitAxisScale(const std::vector<AxisLabel>& labels) {
    std::vector<std::size_t> best;
    double bestStep = 0;
    for (std::size_t a = 0; a < labels.size(); ++a) {
        for (std::size_t b = a + 1; b < labels.size(); ++b) {
            const double span = labels[b].position - labels[a].position;
            const double rise = labels[b].value - labels[a].value;
            if (std::abs(span) < 1 || rise == 0) {
                continue;
            }
            // The step between the two, as if they were neighbours or further apart.
            for (int gaps = 1; gaps <= 10; ++gaps) {
                const double step = std::abs(rise) / gaps;
                std::vector<std::size_t> on =
                    OnLine(labels,
                           {labels[a].value - rise / span * labels[a].position, rise / span}, step);
                if (on.size() > best.size() || (on.size() == best.size() && step > bestStep)) {
                    best = std::move(on);
                    bestStep = step;
                }
            }
        }
    }
    if (best.size() < kLeastLabels) {
        return {std::nullopt, labels.size() < kLeastLabels
                                  ? "fewer than three numbers were read"
                                  : "the numbers read do not step evenly along the axis"};
    }
    AxisScale scale;
    const Line line = LeastSquares(labels, best);
    scale.valueAtZero = line.valueAtZero;
    scale.valuePerPixel = line.valuePerPixel;
    scale.used = best.size();
    // The printed step: the least difference between neighbouring used values.
    std::vector<double> values;
    values.reserve(best.size());
    for (const std::size_t i : best) {
        values.push_back(labels[i].value);
    }
    std::sort(values.begin(), values.end());
    scale.step = bestStep;
    for (std::size_t i = 1; i < values.size(); ++i) {
        if (values[i] > values[i - 1]) {
            scale.step = std::min(scale.step, values[i] - values[i - 1]);
        }
    }
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (std::find(best.begin(), best.end(), i) == best.end()) {
            scale.setAside.push_back(labels[i]);
        }
    }
    if (Contradicting(labels, best, scale) >= scale.used) {
        return {std::nullopt, "the numbers read contradict each other"};
    }
    return {scale, {}};
}

double SnappedValue(const AxisScale& scale, double position) {
    const double tenth = scale.step / 10;
    return std::round(scale.valueAt(position) / tenth) * tenth;
}

} // namespace valvix::read
