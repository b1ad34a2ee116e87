#include "read/GridLabels.h"

#include <cmath>

namespace valvix::read {

namespace {

// The values a label may stand for: as read, and negated when no sign was written (a
// minus lost in reading) and the value is not 0.
std::vector<double> Readings(const CurveLabel& label) {
    std::vector<double> values{label.volts};
    if (!label.signWritten && label.volts != 0) {
        values.push_back(-label.volts);
    }
    return values;
}

struct Family {
    double mostPositive;
    double step;
};

// How many labels the family agrees with, and how many of those only with a minus added.
std::pair<std::size_t, std::size_t> Agreeing(const std::vector<CurveLabelAt>& labels,
                                             const Family& family) {
    std::size_t agree = 0;
    std::size_t mended = 0;
    for (const CurveLabelAt& at : labels) {
        const double expected = family.mostPositive - family.step * double(at.curve);
        const double tolerance = 1e-6 * std::max(1.0, std::abs(expected));
        if (std::abs(at.label.volts - expected) <= tolerance) {
            ++agree;
        } else if (!at.label.signWritten && std::abs(-at.label.volts - expected) <= tolerance) {
            ++agree;
            ++mended;
        }
    }
    return {agree, mended};
}

} // namespace

GridVoltagesResult GridVoltagesOf(const std::vector<CurveLabelAt>& labels, std::size_t curves) {
    if (labels.size() < 2 || curves < 2) {
        return {std::nullopt, "fewer than two curve labels were read"};
    }
    std::optional<Family> best;
    std::pair<std::size_t, std::size_t> bestCount{0, 0};
    for (const CurveLabelAt& a : labels) {
        for (const CurveLabelAt& b : labels) {
            if (b.curve <= a.curve || b.curve >= curves) {
                continue;
            }
            for (const double va : Readings(a.label)) {
                for (const double vb : Readings(b.label)) {
                    const double step = (va - vb) / double(b.curve - a.curve);
                    if (!(step > 0)) {
                        continue;
                    }
                    const Family family{va + step * double(a.curve), step};
                    const auto count = Agreeing(labels, family);
                    // More agreeing labels win; then fewer mended ones.
                    if (count.first > bestCount.first ||
                        (count.first == bestCount.first && count.second < bestCount.second)) {
                        best = family;
                        bestCount = count;
                    }
                }
            }
        }
    }
    if (!best || bestCount.first < 2 || 5 * bestCount.first < 3 * labels.size()) {
        return {std::nullopt, "the curve labels read do not step evenly from curve to curve"};
    }
    GridVoltages grids;
    grids.mostPositive = best->mostPositive;
    grids.step = best->step;
    grids.mostNegative = best->mostPositive - best->step * double(curves - 1);
    grids.mended = bestCount.second;
    grids.setAside = labels.size() - bestCount.first;
    return {grids, {}};
}

} // namespace valvix::read
