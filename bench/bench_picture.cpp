#include "BenchSupport.h"
#include "platform/Canvas.h"
#include "platform/CanvasView.h"
#include "plot/OverlayPlot.h"
#include "windows/frmInitialize.h"

#include <QImageReader>
#include <QPainter>
#include <QPushButton>

#include <benchmark/benchmark.h>

using namespace valvix;
using namespace valvix::bench;

namespace {

const QSize kDefaultWindow;
const QSize kLargeWindow{2560, 1600};

QSize CanvasSize(QSize windowSize) {
    return windowSize.isEmpty() ? CanvasView::preferredSize() : windowSize;
}

// The first showing of a scan: decoded from its file and scaled into the chart area of a
// new window.
void BM_FirstShowing(benchmark::State& state, QSize windowSize) {
    const std::string scan = Scans().path(kScanSize);
    for (auto _ : state) {
        PictureCache pictures;
        Canvas canvas(CanvasSize(windowSize), Qt::white);
        if (!PaintChartArea(canvas, pictures.load(scan).get())) {
            state.SkipWithError("the scan was not painted");
        }
    }
}
BENCHMARK_CAPTURE(BM_FirstShowing, scan_6000x4500, kDefaultWindow)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstShowing, scan_6000x4500_window_2560x1600, kLargeWindow)
    ->Unit(benchmark::kMillisecond);

// The way every redraw showed the picture before: decode the file, then let the painter
// scale the whole picture into the chart area.
void BM_ShowingOldWay(benchmark::State& state, QSize windowSize) {
    const QString scan = QString::fromStdString(Scans().path(kScanSize));
    QImage window(CanvasSize(windowSize), QImage::Format_RGB32);
    const double scale = Canvas(window.size(), Qt::white).scale();
    for (auto _ : state) {
        QImageReader reader(scan);
        reader.setDecideFormatFromContent(true);
        const QImage picture = reader.read();
        QPainter painter(&window);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(kChartAreaTopLeft.x * scale, kChartAreaTopLeft.y * scale,
                                 kChartAreaWidth * scale, kChartAreaHeight * scale),
                          picture);
    }
}
BENCHMARK_CAPTURE(BM_ShowingOldWay, scan_6000x4500, kDefaultWindow)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ShowingOldWay, scan_6000x4500_window_2560x1600, kLargeWindow)
    ->Unit(benchmark::kMillisecond);

// One press of an alignment button of the Initialize window end to end, alternating
// left and right: move the edge, repaint the picture, draw the frame, paint the window.
void Nudge(benchmark::State& state, QSize windowSize, bool decodeEveryPress) {
    Design design;
    ChartGraphic graphic;
    BenchServices services(decodeEveryPress);
    services.fileAnswers = {VALVIX_EXAMPLES_DIR "/example-12AX7.VXF", Scans().path(kScanSize)};
    frmInitialize window(design, graphic, services);
    ShowAt(window, windowSize);
    window.findChild<QPushButton*>("cmdGetOldDesign")->click();
    window.findChild<QPushButton*>("cmdGetGraphic")->click();
    auto* left = window.findChild<QPushButton*>("Command1");
    auto* right = window.findChild<QPushButton*>("Command4");
    bool goLeft = true;
    for (auto _ : state) {
        (goLeft ? left : right)->click();
        LetPaint();
        goLeft = !goLeft;
    }
    if (services.messages != 0) {
        state.SkipWithError("the window reported a failure");
    }
}

void BM_InitializeNudge(benchmark::State& state, QSize windowSize) {
    Nudge(state, windowSize, false);
}
BENCHMARK_CAPTURE(BM_InitializeNudge, scan_6000x4500, kDefaultWindow)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_InitializeNudge, scan_6000x4500_window_2560x1600, kLargeWindow)
    ->Unit(benchmark::kMillisecond);

// The slow way, for comparison: the picture decoded and scaled again on every press.
void BM_InitializeNudgeSlowWay(benchmark::State& state, QSize windowSize) {
    Nudge(state, windowSize, true);
}
BENCHMARK_CAPTURE(BM_InitializeNudgeSlowWay, scan_6000x4500, kDefaultWindow)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_InitializeNudgeSlowWay, scan_6000x4500_window_2560x1600, kLargeWindow)
    ->Unit(benchmark::kMillisecond);

} // namespace
