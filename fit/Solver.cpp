#include "fit/Solver.h"

#include <ceres/ceres.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>

namespace valvix::fit {

namespace {

// The Adjust window's accepted ranges. Kvb must stay above 0; the fit keeps it at a
// thousandth of a volt squared or more.
constexpr std::array<double, 5> kLower{1, 1, 0.001, 1, 0.001};
constexpr std::array<double, 5> kUpper{100000, 100, 100000, 10000, 10000000};

struct Across {
    Observation o;
    double perVolt;
    double perAmp;

    template <class T> bool operator()(const T* p, T* residual) const {
        using std::sqrt;
        const ModelPoint<T> m = ModelAt(p, o.vp, o.vg);
        const T slope = m.slope * (perAmp / perVolt);
        residual[0] = o.weight * perAmp * (m.amps - o.ip) / sqrt(1.0 + slope * slope);
        return true;
    }
};

} // namespace

double LowerBound(int parameter) {
    return std::log(kLower[static_cast<std::size_t>(parameter)]);
}

double UpperBound(int parameter) {
    return std::log(kUpper[static_cast<std::size_t>(parameter)]);
}

double DistanceAcross(const LogParameters& p, const Observation& o, const ChartSpace& space) {
    double residual = 0;
    Across{o, space.perVolt, space.perAmp}(p.data(), &residual);
    return std::abs(residual / o.weight);
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
                    const ChartSpace& space) {
    LogParameters p = start;
    ceres::Problem::Options options;
    options.enable_fast_removal = false;
    ceres::Problem problem(options);
    for (const Observation& o : observations) {
        if (!(o.vp > 0)) {
            continue; // every curve passes through 0 V, 0 A: nothing to learn there
        }
        auto* cost = new ceres::AutoDiffCostFunction<Across, 1, 5>(
            new Across{o, space.perVolt, space.perAmp});
        problem.AddResidualBlock(cost, new ceres::CauchyLoss(o.reach), p.data());
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
