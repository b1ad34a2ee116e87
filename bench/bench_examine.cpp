#include "BenchSupport.h"
#include "export/Schematic.h"
#include "export/Subcircuit.h"
#include "platform/Canvas.h"
#include "platform/CanvasView.h"
#include "plot/ExamineChart.h"
#include "windows/frmExamine.h"

#include <QPushButton>

#include <benchmark/benchmark.h>

using namespace valvix;
using namespace valvix::bench;

namespace {

// A 12AX7 fit shown over 300 V and 4 mA with 20 curves (0 to -9.5 V) and a 1 W limit.
struct Examined {
    Design design;
    ExamineSettings settings;
};
Examined Fitted() {
    Examined fitted;
    Design& d = fitted.design;
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
    ExamineSettings& e = fitted.settings;
    e.ExamineVoltsFullscale = 300;
    e.ExamineVoltsStep = 50;
    e.ExamineAmpsFullscale = 0.004f;
    e.ExamineAmpsStep = 0.0005f;
    e.ExamineGridMostPos = 0;
    e.ExamineGridMostNeg = -9.5f;
    e.ExamineGridStep = 0.5f;
    e.LabelGridVoltages = 1;
    return fitted;
}

// The Examine chart drawn into the window's image, as "Plot/refresh" does: at the
// window's default size, at 2560 x 1600, and at 1280 x 800 on a screen of device pixel
// ratio 2 (2560 x 1600 device pixels).
void BM_ExamineChart(benchmark::State& state, QSize windowSize, qreal devicePixelRatio) {
    Examined fitted = Fitted();
    Canvas canvas(windowSize.isEmpty() ? CanvasView::preferredSize() : windowSize, Qt::white,
                  devicePixelRatio);
    for (auto _ : state) {
        EnforceMinimumSteps(fitted.settings);
        canvas.clear();
        DrawExamineChart(canvas, {fitted.design, fitted.settings});
    }
}
BENCHMARK_CAPTURE(BM_ExamineChart, default_window, QSize(), 1.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExamineChart, window_2560x1600, QSize(2560, 1600), 1.0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExamineChart, window_1280x800_ratio_2, QSize(1280, 800), 2.0)
    ->Unit(benchmark::kMillisecond);

// "Plot/refresh" pressed on the Examine window end to end: steps enforced, chart drawn,
// window painted.
void BM_ExaminePlotRefresh(benchmark::State& state, QSize windowSize) {
    Examined fitted = Fitted();
    fitted.settings.ExamineSettingsKept = 1; // the window opens with the settings above
    BenchServices services;
    frmExamine window(fitted.design, fitted.settings, services, [] { return std::string("1"); });
    ShowAt(window, windowSize);
    auto* refresh = window.findChild<QPushButton*>("cmdPreview");
    for (auto _ : state) {
        refresh->click();
        LetPaint();
    }
}
BENCHMARK_CAPTURE(BM_ExaminePlotRefresh, default_window, QSize())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExaminePlotRefresh, window_2560x1600, QSize(2560, 1600))
    ->Unit(benchmark::kMillisecond);

void BM_SubcircuitText(benchmark::State& state) {
    const Design design = Fitted().design;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SubcircuitText(design, "12AX7"));
    }
}
BENCHMARK(BM_SubcircuitText)->Unit(benchmark::kMicrosecond);

void BM_SchematicText(benchmark::State& state) {
    const Examined fitted = Fitted();
    for (auto _ : state) {
        benchmark::DoNotOptimize(SchematicText(fitted.design, fitted.settings, "12AX7"));
    }
}
BENCHMARK(BM_SchematicText)->Unit(benchmark::kMicrosecond);

} // namespace
