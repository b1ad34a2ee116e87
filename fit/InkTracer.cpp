#include "fit/InkTracer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace valvix::fit {

namespace {

constexpr double kStep = 0.5;       // between profile samples, pixels
constexpr double kLeastReach = 1.0; // closer curves are not told apart
constexpr int kAlong = 4;           // neighbours either side in the continuity test
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// How far across the computed curve the next computed curves lie, in pixels.
double NeighbourGap(const CurveSample& s, const Model& model, const std::vector<float>& grids,
                    const ChartSpace& space) {
    double gap = std::numeric_limits<double>::infinity();
    for (const int other : {s.curve - 1, s.curve + 1}) {
        if (other >= 0 && other < static_cast<int>(grids.size())) {
            const double y = space.Y(model.amps(s.vp, grids[static_cast<std::size_t>(other)]));
            gap = std::min(gap, std::abs(y - s.y) * std::abs(s.ny));
        }
    }
    return gap;
}

// The offset along the normal of the stroke centre nearest the computed curve, or NaN.
class Profile {
public:
    Profile(const InkMap& ink, const CurveSample& s, double reach, double maxStroke)
        : m_reach(reach), m_maxStroke(maxStroke), m_threshold(ink.strokeThreshold()) {
        // Beyond the reach the profile runs on for a stroke's width, to measure it.
        m_border = static_cast<int>(std::ceil(maxStroke / kStep));
        const int half = static_cast<int>(std::ceil(reach / kStep)) + m_border;
        m_centre = half;
        m_dark.resize(2 * static_cast<std::size_t>(half) + 1);
        for (std::size_t at = 0; at < m_dark.size(); ++at) {
            const double t = (static_cast<double>(at) - half) * kStep;
            m_dark[at] = ink.darkness(s.x + t * s.nx, s.y + t * s.ny);
        }
    }

    double nearestStroke() const {
        double best = kNaN;
        const int last = static_cast<int>(m_dark.size()) - 1 - m_border;
        for (int i = m_border; i <= last; ++i) {
            if (!isPeak(i)) {
                continue;
            }
            const double centre = strokeCentre(i);
            if (std::abs(centre) <= m_reach && !(std::abs(centre) >= std::abs(best))) {
                best = centre;
            }
        }
        return best;
    }

private:
    double at(int i) const { return m_dark[static_cast<std::size_t>(i)]; }
    bool isPeak(int i) const {
        return at(i) >= m_threshold && at(i) >= at(i - 1) && at(i) > at(i + 1);
    }

    // The darkness-weighted middle of the stroke above half the peak's darkness, as an
    // offset from the computed curve; NaN for a stroke too wide or cut off.
    double strokeCentre(int peak) const {
        const double half = at(peak) / 2;
        int from = peak;
        int to = peak;
        while (from > 0 && at(from - 1) >= half) {
            --from;
        }
        while (to + 1 < static_cast<int>(m_dark.size()) && at(to + 1) >= half) {
            ++to;
        }
        if (from == 0 || to + 1 == static_cast<int>(m_dark.size()) ||
            (to - from) * kStep > m_maxStroke) {
            return kNaN;
        }
        double weight = 0;
        double moment = 0;
        for (int i = from; i <= to; ++i) {
            weight += at(i) - half;
            moment += (at(i) - half) * (i - m_centre) * kStep;
        }
        return weight > 0 ? moment / weight : kNaN;
    }

    double m_reach;
    double m_maxStroke;
    double m_threshold;
    int m_border = 0;
    int m_centre = 0;
    std::vector<double> m_dark;
};

// Leaves out offsets that differ from the median of their neighbours along the curve.
void KeepContinuous(std::vector<double>& offsets, const std::vector<int>& curves,
                    double tolerance) {
    const std::vector<double> found = offsets;
    std::vector<double> near;
    const int n = static_cast<int>(found.size());
    for (int i = 0; i < n; ++i) {
        if (std::isnan(found[static_cast<std::size_t>(i)])) {
            continue;
        }
        near.clear();
        for (int j = std::max(0, i - kAlong); j <= std::min(n - 1, i + kAlong); ++j) {
            const auto k = static_cast<std::size_t>(j);
            if (curves[k] == curves[static_cast<std::size_t>(i)] && !std::isnan(found[k])) {
                near.push_back(found[k]);
            }
        }
        const auto middle = near.begin() + static_cast<std::ptrdiff_t>(near.size() / 2);
        std::nth_element(near.begin(), middle, near.end());
        if (near.size() < 3 || std::abs(found[static_cast<std::size_t>(i)] - *middle) > tolerance) {
            offsets[static_cast<std::size_t>(i)] = kNaN;
        }
    }
}

} // namespace

Trace TraceFamily(const InkMap& ink, const LogParameters& p, const std::vector<float>& grids,
                  const ChartSpace& space, const Region& region, const TraceWindow& window) {
    std::vector<CurveSample> samples;
    SampleFamily(p, grids, space, region, window.spacing, samples);
    const Model model(p);
    std::vector<double> offsets(samples.size(), kNaN);
    std::vector<int> curves(samples.size());
    Trace trace;
    trace.searched.assign(grids.size(), 0);
    trace.found.assign(grids.size(), 0);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const CurveSample& s = samples[i];
        curves[i] = s.curve;
        const double here =
            std::min(window.reach, window.neighbourShare * NeighbourGap(s, model, grids, space));
        if (here >= kLeastReach) {
            ++trace.searched[static_cast<std::size_t>(s.curve)];
            offsets[i] = Profile(ink, s, here, window.maxStroke).nearestStroke();
        }
    }
    KeepContinuous(offsets, curves, std::max(0.8, 0.25 * window.reach));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (!std::isnan(offsets[i])) {
            const CurveSample& s = samples[i];
            const double x = s.x + offsets[i] * s.nx;
            const double y = s.y + offsets[i] * s.ny;
            const auto curve = static_cast<std::size_t>(s.curve);
            trace.points.push_back({space.Volts(x), double(grids[curve]), space.Amps(y), s.curve});
            ++trace.found[curve];
        }
    }
    return trace;
}

} // namespace valvix::fit
