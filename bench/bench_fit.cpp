#include "fit/Digitizer.h"
#include "fit/FitToChart.h"
#include "platform/QtPicture.h"
#include "state/DesignFile.h"

#include <QImage>

#include <benchmark/benchmark.h>

using namespace valvix;

namespace {

// One press of "Fit to chart" on the 6SN7 example from its saved (unfitted) values,
// the chart's picture at the given size: the grey levels are worked out afresh, the
// curves found, assigned and fitted. At 6000 x 4500 the picture stands for a 600 dpi scan.
void FitExampleAt(benchmark::State& state, int width, int height) {
    DesignState design;
    ReadDesignFile(VALVIX_EXAMPLES_DIR "/example-6SN7.VXF", design);
    QImage chart(VALVIX_EXAMPLES_DIR "/example-6SN7.jpg");
    if (chart.width() != width) {
        chart = chart.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    fit::FitOutcome outcome;
    fit::DigitizeOutcome found;
    for (auto _ : state) {
        design.CurveGraphic = std::make_shared<QtPicture>(chart);
        found = fit::DigitizeDesignChart(design);
        outcome = fit::FitToChart(design, {found.chart.traces, {}, {}});
    }
    state.SetLabel(outcome.ok ? fit::DescribeFit(outcome).substr(0, 60) : outcome.message);
}

void BM_DigitizeAndFit1000x700(benchmark::State& state) {
    FitExampleAt(state, 1000, 700);
}
BENCHMARK(BM_DigitizeAndFit1000x700)->Unit(benchmark::kMillisecond);

void BM_DigitizeAndFit6000x4500(benchmark::State& state) {
    FitExampleAt(state, 6000, 4500);
}
BENCHMARK(BM_DigitizeAndFit6000x4500)->Unit(benchmark::kMillisecond);

// The digitizer alone on the 1000 x 700 chart.
void BM_Digitize1000x700(benchmark::State& state) {
    DesignState design;
    ReadDesignFile(VALVIX_EXAMPLES_DIR "/example-6SN7.VXF", design);
    design.CurveGraphic =
        std::make_shared<QtPicture>(QImage(VALVIX_EXAMPLES_DIR "/example-6SN7.jpg"));
    design.CurveGraphic->grey();
    fit::DigitizeOutcome found;
    for (auto _ : state) {
        found = fit::DigitizeDesignChart(design);
    }
    state.SetLabel(std::to_string(found.chart.traces.size()) + " traces");
}
BENCHMARK(BM_Digitize1000x700)->Unit(benchmark::kMillisecond);

} // namespace
