#pragma once

#include "fit/ChartPoint.h"
#include "fit/ChartSpace.h"
#include "fit/ModelCurve.h"

#include <optional>
#include <vector>

namespace valvix::fit {

// Where a point lies against the family's curves: the curve nearest it, distance taken
// across the curves in chart-space units, and whether it lies more than half a step
// beyond the family's ends.
struct NearestFamilyCurve {
    std::size_t curve = 0;
    double distance = 0;
    bool beyond = false;
};

// The family's curves at one set of parameters (grids most positive first, evenly
// stepped), worked out once for measuring many points against.
class FamilyModel final {
public:
    FamilyModel(const LogParameters& p, const std::vector<float>& grids, const ChartSpace& space);

    // The grid voltage whose computed curve passes exactly through a point (above 0 V
    // and 0 A); minus infinity for a point at or below 0 A.
    double gridThrough(double vp, double ip) const;
    // The distance across the curve of grid voltage vg.
    double distance(double vp, double vg, double ip) const;
    NearestFamilyCurve nearest(double vp, double ip) const;

private:
    Model m_model;
    const std::vector<float>& m_grids;
    const ChartSpace& m_space;
    double m_inverseMu;
    double m_exponent;
    double m_logKg1;
    double m_kp;
    double m_kvb;
};

// The curve each trace belongs to: the one most of its points lie nearest; nothing for a
// trace most of whose points lie beyond the family.
std::vector<std::optional<std::size_t>> AssignTraces(const LogParameters& p,
                                                     const std::vector<float>& grids,
                                                     const std::vector<PrintedTrace>& traces,
                                                     const ChartSpace& space);

} // namespace valvix::fit
