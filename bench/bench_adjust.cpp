#include "BenchSupport.h"
#include "platform/Canvas.h"
#include "platform/CanvasView.h"
#include "plot/OverlayPlot.h"
#include "windows/frmAdjust.h"

#include <QLineEdit>
#include <QPushButton>

#include <benchmark/benchmark.h>

using namespace valvix;
using namespace valvix::bench;

namespace {

// Draws every dot on its own as a line of zero length through the painter: one surface
// call per dot, the plain way.
class DotByDot final : public DrawingSurface {
public:
    explicit DotByDot(Canvas& canvas) : m_canvas(canvas) {}
    void setPenWidth(int pixels) override { m_canvas.setPenWidth(pixels); }
    int penWidth() const override { return m_canvas.penWidth(); }
    void dot(PointF at, Rgb colour) override { m_canvas.line(at, at, colour); }
    void line(PointF a, PointF b, Rgb colour) override { m_canvas.line(a, b, colour); }
    void rectangle(PointF a, PointF b, Rgb colour) override { m_canvas.rectangle(a, b, colour); }
    void filledRectangle(PointF a, PointF b, Rgb colour) override {
        m_canvas.filledRectangle(a, b, colour);
    }
    void setFont(const FontSpec& font) override { m_canvas.setFont(font); }
    void text(PointF at, std::string_view text, Rgb colour) override {
        m_canvas.text(at, text, colour);
    }
    float textHeight() const override { return m_canvas.textHeight(); }
    bool picture(const Picture* picture, PointF topLeft, float width, float height) override {
        return m_canvas.picture(picture, topLeft, width, height);
    }

private:
    Canvas& m_canvas;
};

enum class Chart { Example, Scan };
enum class Way { Cached, DecodeAndScaleEveryPress };

// One Up press end to end, alternating with Down: read and validate every field,
// repaint the picture, draw the family and the dissipation curve into the window's
// image, and paint the window. The window is shown at its default size, or at the size
// given.
void UpPress(benchmark::State& state, Chart chart, QSize windowSize, Way way) {
    Design design = ExampleDesign();
    ChartGraphic graphic;
    if (chart == Chart::Scan) {
        design.GraphicFileName = Scans().path(kScanSize);
    }
    BenchServices services(way == Way::DecodeAndScaleEveryPress);
    frmAdjust window(design, graphic, services);
    ShowAt(window, windowSize);
    window.findChild<QLineEdit*>("txtDissipation")->setText("1");
    auto* up = window.findChild<QPushButton*>("cmdMuUp");
    auto* down = window.findChild<QPushButton*>("cmdMuDown");
    bool goUp = true;
    for (auto _ : state) {
        (goUp ? up : down)->click();
        LetPaint();
        goUp = !goUp;
    }
    const QImage& drawn = window.view().canvas().image();
    state.SetLabel(std::to_string(drawn.width()) + " x " + std::to_string(drawn.height()) +
                   " pixels");
}

const QSize kDefaultWindow;
const QSize kLargeWindow{2560, 1600};

void BM_AdjustUpPress(benchmark::State& state, Chart chart, QSize windowSize) {
    UpPress(state, chart, windowSize, Way::Cached);
}
BENCHMARK_CAPTURE(BM_AdjustUpPress, example, Chart::Example, kDefaultWindow)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AdjustUpPress, scan_6000x4500, Chart::Scan, kDefaultWindow)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AdjustUpPress, scan_6000x4500_window_2560x1600, Chart::Scan, kLargeWindow)
    ->Unit(benchmark::kMillisecond);

// The slow way, for comparison: the picture decoded and scaled again on every press.
void BM_AdjustUpPressSlowWay(benchmark::State& state, Chart chart, QSize windowSize) {
    UpPress(state, chart, windowSize, Way::DecodeAndScaleEveryPress);
}
BENCHMARK_CAPTURE(BM_AdjustUpPressSlowWay, scan_6000x4500, Chart::Scan, kDefaultWindow)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AdjustUpPressSlowWay, scan_6000x4500_window_2560x1600, Chart::Scan,
                  kLargeWindow)
    ->Unit(benchmark::kMillisecond);

// The drawing part alone, batched as the windows draw, and dot by dot; the batched one
// also on a high-density screen (device pixel ratio 2).
void BM_OverlayBatched(benchmark::State& state) {
    Design design = ExampleDesign();
    design.Dissipation = 1;
    Canvas canvas(CanvasView::preferredSize(), Qt::white, static_cast<qreal>(state.range(0)));
    OverlayPlot plot;
    for (auto _ : state) {
        plot.draw(canvas, design);
    }
}
BENCHMARK(BM_OverlayBatched)
    ->ArgName("device_pixel_ratio")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);

void BM_OverlayDotByDot(benchmark::State& state) {
    Design design = ExampleDesign();
    design.Dissipation = 1;
    Canvas canvas(CanvasView::preferredSize(), Qt::white);
    DotByDot naive(canvas);
    OverlayPlot plot;
    for (auto _ : state) {
        plot.draw(naive, design);
    }
}
BENCHMARK(BM_OverlayDotByDot)->Unit(benchmark::kMillisecond);

} // namespace
