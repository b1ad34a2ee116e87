#include "examples/ExampleChart.h"
#include "platform/Canvas.h"
#include "platform/CanvasView.h"
#include "platform/DesktopServices.h"
#include "plot/OverlayPlot.h"
#include "state/DesignFile.h"
#include "windows/frmAdjust.h"

#include <QPushButton>

#include <benchmark/benchmark.h>

using namespace valvix;

namespace {

// The shipped example with a 20-curve family (0 to -9.5 V) and a dissipation curve.
DesignState ExampleDesign() {
    DesignState design;
    ReadDesignFile(VALVIX_EXAMPLES_DIR "/example-12AX7.VXF", design);
    design.GraphicFileName = VALVIX_EXAMPLES_DIR "/example-12AX7.jpg";
    design.GridVoltageMostPos = 0;
    design.GridVoltageMostNeg = -9.5f;
    design.GridVoltageStep = 0.5f;
    return design;
}

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

// One Up press end to end: read and validate every field, reload and repaint the
// picture, draw the family and the dissipation curve into the window's image.
void BM_AdjustUpPress(benchmark::State& state) {
    DesignState design = ExampleDesign();
    DesktopServices services;
    frmAdjust window(design, services);
    window.findChild<QLineEdit*>("txtDissipation")->setText("1");
    auto* up = window.findChild<QPushButton*>("cmdMuUp");
    auto* down = window.findChild<QPushButton*>("cmdMuDown");
    bool goUp = true;
    for (auto _ : state) {
        (goUp ? up : down)->click();
        goUp = !goUp;
    }
}
BENCHMARK(BM_AdjustUpPress)->Unit(benchmark::kMillisecond);

// The drawing part alone, batched as the windows draw, and dot by dot.
void BM_OverlayBatched(benchmark::State& state) {
    DesignState design = ExampleDesign();
    design.Dissipation = 1;
    Canvas canvas(CanvasView::PreferredSize(), Qt::white);
    OverlayPlot plot;
    for (auto _ : state) {
        plot.draw(canvas, design);
    }
}
BENCHMARK(BM_OverlayBatched)->Unit(benchmark::kMillisecond);

void BM_OverlayDotByDot(benchmark::State& state) {
    DesignState design = ExampleDesign();
    design.Dissipation = 1;
    Canvas canvas(CanvasView::PreferredSize(), Qt::white);
    DotByDot naive(canvas);
    OverlayPlot plot;
    for (auto _ : state) {
        plot.draw(naive, design);
    }
}
BENCHMARK(BM_OverlayDotByDot)->Unit(benchmark::kMillisecond);

} // namespace
