#include "export/Schematic.h"
#include "export/Subcircuit.h"
#include "platform/Canvas.h"
#include "platform/CanvasView.h"
#include "plot/ExamineChart.h"

#include <benchmark/benchmark.h>

using namespace valvix;

namespace {

// A 12AX7 fit shown over 300 V and 4 mA with 20 curves (0 to -9.5 V) and a 1 W limit.
DesignState Fitted() {
    DesignState d;
    d.Xleft = 1108;
    d.Xright = 5526;
    d.Ytop = 315;
    d.Ybottom = 3355;
    d.Mu = 100;
    d.Ex = 1.4f;
    d.Kg1 = 1060;
    d.Kp = 600;
    d.Kvb = 300;
    d.Dissipation = 1;
    d.ExamineVoltsFullscale = 300;
    d.ExamineVoltsStep = 50;
    d.ExamineAmpsFullscale = 0.004f;
    d.ExamineAmpsStep = 0.0005f;
    d.ExamineGridMostPos = 0;
    d.ExamineGridMostNeg = -9.5f;
    d.ExamineGridStep = 0.5f;
    d.LabelGridVoltages = 1;
    return d;
}

// The Examine chart drawn into the window's image, as "Plot/refresh" does.
void BM_ExamineChart(benchmark::State& state) {
    DesignState design = Fitted();
    Canvas canvas(CanvasView::PreferredSize(), Qt::white);
    for (auto _ : state) {
        EnforceMinimumSteps(design);
        canvas.clear();
        DrawExamineChart(canvas, design);
    }
}
BENCHMARK(BM_ExamineChart)->Unit(benchmark::kMillisecond);

void BM_SubcircuitText(benchmark::State& state) {
    const DesignState design = Fitted();
    for (auto _ : state) {
        benchmark::DoNotOptimize(SubcircuitText(design, "12AX7"));
    }
}
BENCHMARK(BM_SubcircuitText)->Unit(benchmark::kMicrosecond);

void BM_SchematicText(benchmark::State& state) {
    const DesignState design = Fitted();
    for (auto _ : state) {
        benchmark::DoNotOptimize(SchematicText(design, "12AX7"));
    }
}
BENCHMARK(BM_SchematicText)->Unit(benchmark::kMicrosecond);

} // namespace
