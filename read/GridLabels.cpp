#include "read/GridLabels.h"

#include <algorithm>
#include <cmath>

namespace valvix::read {

namespace {

// Labelled curves may stand this many curves apart at the most (two unlabelled between:
// labels misread beside a lost one).
constexpr long kLargestGap = 3;
// Fewer labels than this agreeing on a step may be chance.
constexpr std::size_t kLeastAgreeing = 3;
// More labels than this are not taken: every pair of them is tried for the step.
constexpr std::size_t kMostLabels = 40;

// The values a label may stand for: as read, and negated when no sign was written (a
// minus lost in reading) and the value is not 0; then a tenth of those where its point
// may have been lost. Fewer mendings come first. A number with neither sign nor the grid's
// name is taken for a negative grid voltage alone: charts write the plus sign of positive
// grids, and a stroke of curve read as a digit would lengthen the family past 0 V.
std::vector<double> Readings(const CurveLabel& label) {
    const bool minusLost = !label.signWritten && label.volts != 0;
    const bool asRead = !minusLost || label.gridNamed;
    std::vector<double> values;
    if (asRead) {
        values.push_back(label.volts);
    }
    if (minusLost) {
        values.push_back(-label.volts);
    }
    if (label.pointMayBeLost) {
        if (asRead) {
            values.push_back(label.volts / 10);
        }
        if (minusLost) {
            values.push_back(-label.volts / 10);
        }
    }
    return values;
}

// A digit from 1 to 9 with neither sign nor the grid's name.
bool IsLoneDigit(const CurveLabel& label) {
    return !label.signWritten && !label.gridNamed && label.volts >= 1 && label.volts <= 9 &&
           label.volts == std::floor(label.volts);
}

// A chain of labels that agree with one family: how many, how many mended, and the
// curves of its first and last label counted from the family's anchor.
struct Chain {
    std::size_t length = 0;
    std::size_t mended = 0;
    long first = 0;
    long last = 0;
    long unlabelled = 0; // curves between its labels that have none

    // More labels, each curve without one counting half a label against (else a smaller
    // step takes in a label off the step); then more labels; then fewer mended; then fewer
    // curves without a label.
    bool betterThan(const Chain& other) const {
        if (score() != other.score()) {
            return score() > other.score();
        }
        if (length != other.length) {
            return length > other.length;
        }
        return mended != other.mended ? mended < other.mended : unlabelled < other.unlabelled;
    }
    long score() const { return 2 * static_cast<long>(length) - unlabelled; }
};

// The curve a value lies on, counted from the anchor a whole number of steps down, or
// nothing when it lies between curves.
std::optional<long> CurveOf(double value, double anchor, double step) {
    const double steps = (anchor - value) / step;
    const double whole = std::round(steps);
    if (std::abs(steps - whole) > 1e-6 * std::max(1.0, std::abs(steps))) {
        return std::nullopt;
    }
    return static_cast<long>(whole);
}

// The longest chain of labels, in their order, whose curves follow one another at most
// kLargestGap apart; each label as read or mended.
Chain LongestChain(const std::vector<CurveLabel>& ordered, double anchor, double step) {
    struct Link {
        long curve;
        bool mended;
        Chain chain;
    };
    std::vector<Link> links;
    Chain best;
    for (const CurveLabel& label : ordered) {
        std::vector<Link> here;
        for (const double value : Readings(label)) {
            const auto curve = CurveOf(value, anchor, step);
            if (!curve) {
                continue;
            }
            const bool mended = value != label.volts;
            Link link{*curve, mended, {1, mended ? 1U : 0U, *curve, *curve, 0}};
            for (const Link& before : links) {
                const long gap = *curve - before.curve;
                Chain longer{before.chain.length + 1, before.chain.mended + (mended ? 1 : 0),
                             before.chain.first, *curve, before.chain.unlabelled + gap - 1};
                if (gap >= 1 && gap <= kLargestGap && longer.betterThan(link.chain)) {
                    link.chain = longer;
                }
            }
            best = link.chain.betterThan(best) ? link.chain : best;
            here.push_back(link);
        }
        links.insert(links.end(), here.begin(), here.end());
    }
    return best;
}

// The chain of labels the most agree with, and its family's anchor and step: every pair of
// labels, each as read or mended, tried as curves one to kLargestGap apart.
struct Family {
    Chain chain;
    double anchor = 0;
    double step = 0;
};
Family BestFamily(const std::vector<CurveLabel>& ordered) {
    Family best;
    for (std::size_t a = 0; a < ordered.size(); ++a) {
        for (std::size_t b = a + 1; b < ordered.size(); ++b) {
            for (const double va : Readings(ordered[a])) {
                for (const double vb : Readings(ordered[b])) {
                    for (long gap = 1; gap <= kLargestGap; ++gap) {
                        const double step = (va - vb) / double(gap);
                        if (!(step > 0)) {
                            continue;
                        }
                        const Chain chain = LongestChain(ordered, va, step);
                        // The better chain wins; of equal ones, the larger step.
                        if (chain.betterThan(best.chain) ||
                            (!best.chain.betterThan(chain) && step > best.step)) {
                            best = {chain, va, step};
                        }
                    }
                }
            }
        }
    }
    return best;
}

// The lone digits off the family (a chain from `anchor` down by `step`): each more often a
// stroke of curve read as a digit than a label misread, not counted against the family.
std::size_t StrokesOff(const std::vector<CurveLabel>& ordered, const Chain& family, double anchor,
                       double step) {
    const auto onTheFamily = [&](const CurveLabel& label) {
        const std::vector<double> values = Readings(label);
        return std::any_of(values.begin(), values.end(), [&](double value) {
            const std::optional<long> curve = CurveOf(value, anchor, step);
            return curve && *curve >= family.first && *curve <= family.last;
        });
    };
    return static_cast<std::size_t>(
        std::count_if(ordered.begin(), ordered.end(), [&](const CurveLabel& label) {
            return IsLoneDigit(label) && !onTheFamily(label);
        }));
}

} // namespace

GridVoltagesResult GridVoltagesOf(const std::vector<CurveLabel>& ordered, std::size_t unnamedFirst,
                                  std::size_t unnamedLast) {
    if (ordered.size() < kLeastAgreeing) {
        return {std::nullopt, "fewer than three curve labels were read"};
    }
    if (ordered.size() > kMostLabels) {
        return {std::nullopt, "more texts like curve labels were read than a chart has curves"};
    }
    Family found = BestFamily(ordered);
    Chain& best = found.chain;
    const double bestAnchor = found.anchor;
    const double bestStep = found.step;
    if (best.length < kLeastAgreeing ||
        3 * best.length < 2 * (ordered.size() - StrokesOff(ordered, best, bestAnchor, bestStep))) {
        return {std::nullopt, "the curve labels read do not step evenly from curve to curve"};
    }
    // A last label set aside leaves the family's end unknown: it may be misread, or the
    // labels before it.
    const auto onTheLastCurve = [&](const CurveLabel& label) {
        const std::vector<double> values = Readings(label);
        return std::any_of(values.begin(), values.end(), [&](double value) {
            return CurveOf(value, bestAnchor, bestStep) == best.last;
        });
    };
    // ...and so does a label before it that names the same curve.
    if (!onTheLastCurve(ordered.back()) ||
        std::any_of(ordered.begin(), ordered.end() - 1, onTheLastCurve)) {
        return {std::nullopt, "the last curve label read does not agree with the others"};
    }
    best.first -= static_cast<long>(unnamedFirst);
    best.last += static_cast<long>(unnamedLast);
    // Plate characteristics run through 0 V: a family that does not lacks a label at its
    // end, which the step cannot tell.
    if (bestAnchor - bestStep * double(best.first) < 0 ||
        bestAnchor - bestStep * double(best.last) > 0) {
        return {std::nullopt, "the curve labels read do not reach 0 V (a label may be missing)"};
    }
    GridVoltages grids;
    grids.mostPositive = bestAnchor - bestStep * double(best.first);
    grids.mostNegative = bestAnchor - bestStep * double(best.last);
    grids.step = bestStep;
    grids.mended = best.mended;
    grids.setAside = ordered.size() - best.length;
    return {grids, {}};
}

double LabelValueIn(const CurveLabel& label, const GridVoltages& grids) {
    for (const double value : Readings(label)) {
        const auto curve = CurveOf(value, grids.mostPositive, grids.step);
        if (curve && value >= grids.mostNegative - 1e-6 * grids.step && *curve >= 0) {
            return value;
        }
    }
    return label.volts;
}

} // namespace valvix::read
