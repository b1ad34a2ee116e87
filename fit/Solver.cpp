#include "fit/Solver.h"

#include "state/ValueRules.h"

#include <ceres/ceres.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>

namespace valvix::fit {

namespace {

// The foot of an observation on its curve stays above this share of its plate voltage.
constexpr double kLeastFoot = 0.05;

// The least value the fit gives a parameter whose accepted range is open at 0 (Kvb): a
// thousandth, since the fit works in logarithms.
constexpr float kLeastValue = 0.001f;

// The ends of the Adjust window's accepted ranges of the five parameters, in logarithms.
LogParameters RangeEnds(bool high) {
    Design ends;
    for (const ValueRule& rule : ValueRules()) {
        if (IsModelParameter(rule)) {
            ends.*rule.field = high ? rule.high : std::max(rule.low, kLeastValue);
        }
    }
    return ToLog(ParametersOf(ends));
}

// The miss of an observation, in chart-space units, as the step from it to the point of
// the computed curve across from it: the foot of the perpendicular on the curve's tangent
// at the observation's plate voltage, carried onto the curve. Near the curve its length
// is the distance across; far off it never counts less than the way to a point that
// really lies on the curve, however steep the curve runs there.
struct Across {
    Observation o;
    double perVolt;
    double perAmp;

    template <class T> bool operator()(const T* p, T* residual) const {
        using ceres::isfinite;
        using std::isfinite;
        const ModelPoint<T> at = ModelAt(p, o.vp, o.vg);
        const T rise = at.slope * (perAmp / perVolt);
        const T below = perAmp * (at.amps - o.ip);
        T footVolts = o.vp - below * rise / (1.0 + rise * rise) / perVolt;
        if (footVolts < kLeastFoot * o.vp) {
            footVolts = T(kLeastFoot * o.vp);
        }
        const ModelPoint<T> foot = ModelAt(p, footVolts, o.vg);
        residual[0] = o.weight * perVolt * (footVolts - o.vp);
        residual[1] = o.weight * perAmp * (foot.amps - o.ip);
        // An overflowing step (a huge Ex, say) is refused quietly; the solver tries a shorter one.
        return isfinite(residual[0]) && isfinite(residual[1]);
    }
};

} // namespace

double LowerBound(int parameter) {
    static const LogParameters lower = RangeEnds(false);
    return lower[static_cast<std::size_t>(parameter)];
}

double UpperBound(int parameter) {
    static const LogParameters upper = RangeEnds(true);
    return upper[static_cast<std::size_t>(parameter)];
}

double DistanceAcross(const LogParameters& p, const Observation& o, const ChartSpace& space) {
    double residual[2] = {0, 0};
    Across{o, space.perVolt, space.perAmp}(p.data(), residual);
    return std::sqrt(residual[0] * residual[0] + residual[1] * residual[1]) / o.weight;
}

double DistanceAcross(const Model& model, double vp, double vg, double ip,
                      const ChartSpace& space) {
    const ModelPoint<double> at = model.at(vp, vg);
    const double rise = at.slope * (space.perAmp / space.perVolt);
    const double below = space.perAmp * (at.amps - ip);
    const double footVolts =
        std::max(kLeastFoot * vp, vp - below * rise / (1.0 + rise * rise) / space.perVolt);
    const double across = space.perVolt * (footVolts - vp);
    const double up = space.perAmp * (model.amps(footVolts, vg) - ip);
    return std::sqrt(across * across + up * up);
}

float NearestCurve(const LogParameters& p, const std::vector<float>& grids, double vp, double ip,
                   const ChartSpace& space) {
    float nearest = grids.empty() ? 0.0f : grids.front();
    double best = std::numeric_limits<double>::infinity();
    for (const float grid : grids) {
        const double distance = DistanceAcross(p, {vp, grid, ip}, space);
        if (distance < best) {
            best = distance;
            nearest = grid;
        }
    }
    return nearest;
}

LogParameters Solve(const LogParameters& start, const std::vector<Observation>& observations,
                    const ChartSpace& space, RobustLoss loss) {
    LogParameters p = start;
    ceres::Problem::Options options;
    options.enable_fast_removal = false;
    ceres::Problem problem(options);
    for (const Observation& o : observations) {
        if (!(o.vp > 0)) {
            continue; // every curve passes through 0 V, 0 A: nothing to learn there
        }
        auto* cost = new ceres::AutoDiffCostFunction<Across, 2, 5>(
            new Across{o, space.perVolt, space.perAmp});
        ceres::LossFunction* robust =
            loss == RobustLoss::Huber
                ? static_cast<ceres::LossFunction*>(new ceres::HuberLoss(o.reach))
                : new ceres::CauchyLoss(o.reach);
        problem.AddResidualBlock(cost, robust, p.data());
    }
    if (problem.NumResidualBlocks() == 0) {
        return start;
    }
    for (int i = 0; i < 5; ++i) {
        problem.SetParameterLowerBound(p.data(), i, LowerBound(i));
        problem.SetParameterUpperBound(p.data(), i, UpperBound(i));
    }
    ceres::Solver::Options solverOptions;
    solverOptions.linear_solver_type = ceres::DENSE_QR;
    solverOptions.max_num_iterations = 30;
    solverOptions.function_tolerance = 1e-7;
    solverOptions.parameter_tolerance = 1e-7;
    solverOptions.logging_type = ceres::SILENT;
    ceres::Solver::Summary summary;
    ceres::Solve(solverOptions, &problem, &summary);
    for (const double value : p) {
        if (!std::isfinite(value)) {
            return start;
        }
    }
    return p;
}

} // namespace valvix::fit
