// Dragging a frame edge in the Initialize window: one mouse move with the button held,
// end to end: the edge moves, the picture is painted again with the frame over it, the
// loupe follows, and the window and the loupe paint what changed on the screen.
#include "platform/CanvasView.h"
#include "support/ScriptedServices.h"
#include "windows/frmInitialize.h"

#include <QPushButton>
#include <QTest>

#include <benchmark/benchmark.h>

using namespace valvix;

namespace {

void DragEdge(benchmark::State& state, QSize size, float tilt) {
    Design design;
    ChartGraphic graphic;
    test::ScriptedServices services;
    frmInitialize window(design, graphic, services);
    window.resize(size);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        state.SkipWithError("the window was not shown");
        return;
    }
    services.fileAnswers = {VALVIX_EXAMPLES_DIR "/example-12AX7.VXF",
                            VALVIX_EXAMPLES_DIR "/example-12AX7.jpg"};
    window.findChild<QPushButton*>("cmdGetOldDesign")->click();
    graphic.CurveGraphicTilt.fileName = VALVIX_EXAMPLES_DIR "/example-12AX7.jpg";
    graphic.CurveGraphicTilt.degrees = tilt; // a straightened scan is turned on every load
    window.findChild<QPushButton*>("cmdGetGraphic")->click();

    CanvasView& view = window.view();
    const double scale = view.canvas().scale();
    const QPoint onTop(static_cast<int>(3000 * scale), static_cast<int>(design.Ytop * scale));
    QTest::mousePress(&view, Qt::LeftButton, {}, onTop);
    int move = 0;
    for (auto _ : state) {
        QTest::mouseMove(&view, onTop + QPoint(0, ++move % 2 == 0 ? 3 : -3));
        QCoreApplication::sendPostedEvents(); // paints what changed, as the event loop does
    }
    QTest::mouseRelease(&view, Qt::LeftButton, {}, onTop);
    state.counters["window_px"] = size.width() * size.height();
}

BENCHMARK_CAPTURE(DragEdge, default_800x600, QSize(800, 600), 0.0f)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(DragEdge, default_800x600_straightened, QSize(800, 600), 2.0f)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(DragEdge, screen_2560x1600, QSize(2560, 1600), 0.0f)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(DragEdge, screen_2560x1600_straightened, QSize(2560, 1600), 2.0f)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

} // namespace
