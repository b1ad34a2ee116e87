#include "fit/CurveAssignment.h"

#include "fit/Solver.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace valvix::fit {

namespace {

constexpr std::size_t kVoters = 40;

} // namespace

FamilyModel::FamilyModel(const LogParameters& p, const std::vector<float>& grids,
                         const ChartSpace& space)
    : m_model(p), m_grids(grids), m_space(space), m_inverseMu(std::exp(-p[MuAt])),
      m_exponent(std::exp(p[ExAt])), m_logKg1(p[Kg1At]), m_kp(std::exp(p[KpAt])),
      m_kvb(std::exp(p[KvbAt])) {}

double FamilyModel::gridThrough(double vp, double ip) const {
    if (!(ip > 0) || !(vp > 0)) {
        return -std::numeric_limits<double>::infinity();
    }
    // Ip = 2 E1^Ex / Kg1 and E1 = Vp / Kp ln(1 + e^a), a = Kp (1 / Mu + Vg / sqrt(Kvb + Vp^2)),
    // solved for Vg.
    const double e1 = std::exp((std::log(0.5 * ip) + m_logKg1) / m_exponent);
    const double softplus = e1 * m_kp / vp;
    const double a = softplus > 30 ? softplus : std::log(std::expm1(softplus));
    return (a / m_kp - m_inverseMu) * std::sqrt(m_kvb + vp * vp);
}

double FamilyModel::distance(double vp, double vg, double ip) const {
    return DistanceAcross(m_model, vp, vg, ip, m_space);
}

NearestFamilyCurve FamilyModel::nearest(double vp, double ip) const {
    NearestFamilyCurve nearest;
    if (m_grids.empty()) {
        return nearest;
    }
    const double through = gridThrough(vp, ip);
    const double step = m_grids.size() > 1 ? double(m_grids[0]) - m_grids[1] : 1.0;
    nearest.beyond =
        through > m_grids.front() + 0.5 * step || through < m_grids.back() - 0.5 * step;
    // The curves either side of the point; where it lies well towards one of them, that
    // one is the nearer across the curves too.
    const double place =
        std::clamp((m_grids.front() - through) / step, 0.0, double(m_grids.size() - 1));
    const auto above = std::size_t(std::floor(place));
    const std::size_t below = std::min(m_grids.size() - 1, above + 1);
    const double share = place - double(above);
    std::size_t first = share > 0.65 ? below : above;
    std::size_t last = share < 0.35 ? above : below;
    nearest.distance = std::numeric_limits<double>::infinity();
    for (std::size_t curve = first; curve <= last; ++curve) {
        const double d = distance(vp, m_grids[curve], ip);
        if (d < nearest.distance) {
            nearest.distance = d;
            nearest.curve = curve;
        }
    }
    return nearest;
}

std::vector<std::optional<std::size_t>> AssignTraces(const LogParameters& p,
                                                     const std::vector<float>& grids,
                                                     const std::vector<PrintedTrace>& traces,
                                                     const ChartSpace& space) {
    std::vector<std::optional<std::size_t>> assigned;
    std::vector<std::size_t> votes(grids.size() + 1);
    const FamilyModel family(p, grids, space);
    for (const PrintedTrace& trace : traces) {
        std::fill(votes.begin(), votes.end(), 0);
        // A few dozen points, spread along the trace, are enough to vote.
        const std::size_t stride = std::max<std::size_t>(1, trace.points.size() / kVoters);
        for (std::size_t i = 0; i < trace.points.size(); i += stride) {
            const ChartPoint& point = trace.points[i];
            const NearestFamilyCurve nearest = family.nearest(point.vp, point.ip);
            ++votes[nearest.beyond ? grids.size() : nearest.curve];
        }
        const auto most = std::max_element(votes.begin(), votes.end());
        const auto curve = std::size_t(most - votes.begin());
        assigned.push_back(curve < grids.size() && *most > 0 ? std::optional(curve) : std::nullopt);
    }
    return assigned;
}

} // namespace valvix::fit
