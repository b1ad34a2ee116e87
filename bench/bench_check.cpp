// The check in ngspice of a 20-curve family, end to end as the Subcircuit window runs it:
// planning, the two ngspice runs (the .CKT and the .lib, at once), reading their tables
// and comparing every point with the model. ngspice's own share is shown apart: the wall
// time of its longer run, and the processor time of both runs together.

#include "export/CheckReport.h"
#include "platform/NgspiceTask.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace valvix;

namespace {

double ChildProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_CheckTwentyCurves(benchmark::State& state) {
    Design design;
    design.Mu = 90, design.Ex = 1.3f, design.Kg1 = 1200, design.Kp = 500, design.Kvb = 300;
    design.PlateVoltageFullscale = 300, design.PlateCurrentFullscale = 0.004f;
    design.GridVoltageMostPos = 0, design.GridVoltageMostNeg = -9.5f, design.GridVoltageStep = 0.5f;
    double ngspiceWall = 0;
    const double processorBefore = ChildProcessorSeconds();
    for (auto _ : state) {
        const CheckPlan plan = *MakeCheckPlan(design, {}, "12AX7").plan;
        const CheckReport report = EvaluateCheck(plan, RunJobAndWait(plan.job));
        if (!report.failure.empty()) {
            state.SkipWithError(report.failure.c_str());
            break;
        }
        ngspiceWall += report.ngspiceSeconds;
        benchmark::DoNotOptimize(report.worstPercent());
    }
    state.counters["curves"] = 20;
    state.counters["ngspice_wall_s"] =
        benchmark::Counter(ngspiceWall, benchmark::Counter::kAvgIterations);
    state.counters["ngspice_cpu_s"] = benchmark::Counter(ChildProcessorSeconds() - processorBefore,
                                                         benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_CheckTwentyCurves)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace
