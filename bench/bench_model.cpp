#include "model/Triode.h"

#include <benchmark/benchmark.h>

using namespace valvix;

namespace {

const TriodeParameters k12AX7{100, 1.4f, 1060, 600, 300};

// One family of 20 curves (0 to -9.5 V in 0.5 V steps) over 300 V: about 20,000 samples.
void BM_CurveFamilyWalk20(benchmark::State& state) {
    const CurveFamily family{300, 0, -9.5f, 0.5f};
    float lastGood = 0;
    for (auto _ : state) {
        double sum = 0;
        CurveFamilyWalk(family, k12AX7, lastGood, [&](const FamilySample& s) { sum += s.Ip; });
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 20000);
}
BENCHMARK(BM_CurveFamilyWalk20)->Unit(benchmark::kMicrosecond);

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
