// Reading a chart without a design: the plot box alone, and the box with the axis
// numbers read by Tesseract, on the 1000 x 700 example chart.

#include "platform/QtPicture.h"
#include "read/ChartReader.h"
#include "read/TextReader.h"

#include <QImage>

#include <benchmark/benchmark.h>

namespace valvix {

namespace {

const GreyLevels& ExampleGrey() {
    static const QtPicture picture(QImage(VALVIX_EXAMPLES_DIR "/example-6SN7.jpg"));
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
BENCHMARK(BM_ReadChart1000x700)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace valvix
