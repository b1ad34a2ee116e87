// Reading a chart without a design: the plot box alone; the box, the axis numbers and the
// curve labels read by Tesseract; and all that with the curves found and fitted from no
// start, on the 1000 x 700 example chart; and the reading of that chart scanned three times
// as large.

#include "platform/QtPicture.h"
#include "read/ChartReader.h"
#include "read/NewDesign.h"
#include "read/TextReader.h"

#include <QImage>

#include <benchmark/benchmark.h>

namespace valvix {

namespace {

const GreyLevels& ExampleGrey() {
    static const QtPicture picture(QImage(VALVIX_EXAMPLES_DIR "/example-6SN7.jpg"));
    return picture.grey();
}

const GreyLevels& ExampleGreyScanned3000x2100() {
    static const QtPicture picture(
        QImage(VALVIX_EXAMPLES_DIR "/example-6SN7.jpg")
            .scaled(3000, 2100, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return picture.grey();
}

void BM_FindPlotBox1000x700(benchmark::State& state) {
    read::PlotBoxResult found;
    for (auto _ : state) {
        found = read::FindPlotBox(ExampleGrey());
    }
    state.SetLabel(found.box ? "box found" : "no box");
}
BENCHMARK(BM_FindPlotBox1000x700)->Unit(benchmark::kMillisecond);

void BM_ReadChart1000x700(benchmark::State& state) {
    read::TextReader reader;
    read::ChartReading reading;
    for (auto _ : state) {
        reading = read::ReadChart(ExampleGrey(), reader);
    }
    state.SetLabel(reading.voltsFullscale && reading.ampsFullscale ? "both full scales read"
                                                                   : "a full scale unread");
}
BENCHMARK(BM_ReadChart1000x700)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadChart3000x2100(benchmark::State& state) {
    read::TextReader reader;
    read::ChartReading reading;
    for (auto _ : state) {
        reading = read::ReadChart(ExampleGreyScanned3000x2100(), reader);
    }
    state.SetLabel(reading.voltsFullscale && reading.ampsFullscale &&
                           reading.curveLabels.grids.grids
                       ? "full scales and grid voltages read"
                       : "a value unread");
}
BENCHMARK(BM_ReadChart3000x2100)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadAndFit1000x700(benchmark::State& state) {
    read::TextReader reader;
    read::NewDesign made;
    for (auto _ : state) {
        made = read::ReadAndFit(ExampleGrey(), reader, Design{});
    }
    state.SetLabel(made.problem.empty() ? "read and fitted, Mu " + std::to_string(made.design.Mu)
                                        : made.problem);
}
BENCHMARK(BM_ReadAndFit1000x700)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

} // namespace valvix
