#include "model/Triode.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace valvix;

namespace {

const TriodeParameters k12AX7{100, 1.4f, 1060, 600, 300};
// One family of 20 curves (0 to -9.5 V in 0.5 V steps) over 300 V: 20,000 samples.
const CurveFamily kFamily{300, 0, -9.5f, 0.5f};

// The plate and grid voltages the walk visits: its columns and its curves.
struct FamilyVoltages {
    std::vector<float> plate;
    std::vector<float> grid;
};

FamilyVoltages VoltagesOfFamily() {
    FamilyVoltages voltages;
    float lastGood = 0;
    CurveFamilyWalk(kFamily, k12AX7, lastGood, [&](const FamilySample& s) {
        if (voltages.plate.empty() || voltages.plate.back() != s.Vp) {
            voltages.plate.push_back(s.Vp);
        }
        if (voltages.plate.size() == 1) {
            voltages.grid.push_back(s.Vg);
        }
    });
    return voltages;
}

double Walk() {
    double sum = 0;
    float lastGood = 0;
    CurveFamilyWalk(kFamily, k12AX7, lastGood, [&](const FamilySample& s) { sum += s.Ip; });
    return sum;
}

// The equation written out in two plain loops over the same voltages, inlined, with the
// same Single roundings: no accumulated loop voltages, pens, overflow tests or
// failed-point rule. The compiler is free to lift what does not change in the inner loop.
double BareEquation(const FamilyVoltages& voltages) {
    const TriodeParameters& p = k12AX7;
    double sum = 0;
    for (const float plate : voltages.plate) {
        const double vp = plate;
        for (const float vg : voltages.grid) {
            const double s = std::sqrt(static_cast<double>(p.Kvb) + vp * vp);
            const double a = static_cast<double>(p.Kp) * (1.0 / p.Mu + vg / s);
            const float e1 = static_cast<float>(vp / p.Kp * std::log(1.0 + std::exp(a)));
            const double quotient =
                std::pow(static_cast<double>(e1), static_cast<double>(p.Ex)) / p.Kg1;
            sum += static_cast<float>(quotient + quotient);
        }
    }
    return sum;
}

void BM_CurveFamilyWalk20(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(Walk());
    }
    state.SetItemsProcessed(state.iterations() * 20000);
}
BENCHMARK(BM_CurveFamilyWalk20)->Unit(benchmark::kMicrosecond);

void BM_BareEquation20(benchmark::State& state) {
    const FamilyVoltages voltages = VoltagesOfFamily();
    for (auto _ : state) {
        benchmark::DoNotOptimize(BareEquation(voltages));
    }
    state.SetItemsProcessed(state.iterations() * 20000);
}
BENCHMARK(BM_BareEquation20)->Unit(benchmark::kMicrosecond);

// The processor time of this thread: other programs on the machine do not count.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The walk and the bare equation timed in turns within one run, so that both see the
// same machine; the label gives the ratio of their total processor times.
void BM_WalkOverBareEquation(benchmark::State& state) {
    const FamilyVoltages voltages = VoltagesOfFamily();
    double walk = 0;
    double bare = 0;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        benchmark::DoNotOptimize(Walk());
        const double t1 = ThreadSeconds();
        benchmark::DoNotOptimize(BareEquation(voltages));
        walk += t1 - t0;
        bare += ThreadSeconds() - t1;
    }
    char label[64];
    std::snprintf(label, sizeof label, "walk / bare = %.3f", walk / bare);
    state.SetLabel(label);
}
BENCHMARK(BM_WalkOverBareEquation)->Unit(benchmark::kMillisecond);

void BM_PlateCurrent(benchmark::State& state) {
    float lastGood = 0;
    float vp = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(PlateCurrent(vp, -2.5f, k12AX7, lastGood));
        vp = vp < 300 ? vp + 0.3f : 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlateCurrent);

void BM_DissipationWalk(benchmark::State& state) {
    for (auto _ : state) {
        double sum = 0;
        DissipationWalk(1.0f, 300, [&](const DissipationSample& s) { sum += s.Ip; });
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_DissipationWalk)->Unit(benchmark::kMicrosecond);

} // namespace
