#include "fit/FitToChart.h"
#include "platform/QtPicture.h"
#include "state/DesignFile.h"

#include <QImage>

#include <benchmark/benchmark.h>

using namespace valvix;

namespace {

// The shipped 1000 x 700 example fitted from its saved (unfitted) values, as one press of
// "Fit to chart" does it: the picture's grey levels are worked out afresh every time.
void BM_FitToChart1000x700(benchmark::State& state) {
    DesignState design;
    ReadDesignFile(VALVIX_EXAMPLES_DIR "/example-6SN7.VXF", design);
    const QImage chart(VALVIX_EXAMPLES_DIR "/example-6SN7.jpg");
    fit::FitOutcome outcome;
    for (auto _ : state) {
        design.CurveGraphic = std::make_shared<QtPicture>(chart);
        outcome = fit::FitToChart(design, {true, {}, {}});
    }
    state.SetLabel(outcome.ok ? fit::DescribeFit(outcome) : outcome.message);
}
BENCHMARK(BM_FitToChart1000x700)->Unit(benchmark::kMillisecond);

} // namespace
