#if defined(VALVIX_CORPUS)
#include "CorpusCharts.h"
#endif
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
    Design design;
    ReadDesignFile(VALVIX_EXAMPLES_DIR "/example-6SN7.VXF", design);
    QImage chart(VALVIX_EXAMPLES_DIR "/example-6SN7.jpg");
    if (chart.width() != width) {
        chart = chart.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    fit::FitOutcome outcome;
    fit::DigitizeOutcome found;
    for (auto _ : state) {
        const QtPicture picture(chart);
        found = fit::DigitizeDesignChart(design, &picture);
        outcome = fit::FitToChart(design, &picture, {found.chart.traces, {}, {}});
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

#if defined(VALVIX_CORPUS)
// The two medium-mu corpus charts (1000 x 700, curves that depart from the model as real
// tubes do, data-sheet clutter) from a plain medium-mu start.
void BM_DigitizeAndFitCorpus(benchmark::State& state) {
    const corpus::CorpusChart chart = corpus::Corpus()[std::size_t(state.range(0))];
    Design design = corpus::CorpusDesign(chart, {20, 1.3f, 1500, 200, 800});
    fit::FitOutcome outcome;
    for (auto _ : state) {
        const QtPicture picture(chart.picture);
        const fit::DigitizeOutcome found = fit::DigitizeDesignChart(design, &picture);
        outcome = fit::FitToChart(design, &picture, {found.chart.traces, {}, {}});
    }
    state.SetLabel(chart.name.substr(0, 24) + (outcome.ok ? "" : ": refused"));
}
BENCHMARK(BM_DigitizeAndFitCorpus)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
#endif

// The digitizer alone on the 1000 x 700 chart.
void BM_Digitize1000x700(benchmark::State& state) {
    Design design;
    ReadDesignFile(VALVIX_EXAMPLES_DIR "/example-6SN7.VXF", design);
    const QtPicture picture(QImage(VALVIX_EXAMPLES_DIR "/example-6SN7.jpg"));
    picture.grey();
    fit::DigitizeOutcome found;
    for (auto _ : state) {
        found = fit::DigitizeDesignChart(design, &picture);
    }
    state.SetLabel(std::to_string(found.chart.traces.size()) + " traces");
}
BENCHMARK(BM_Digitize1000x700)->Unit(benchmark::kMillisecond);

} // namespace
