#include "fit/Digitizer.h"

#include "fit/PrintedTraces.h"
#include "fit/StrokeMask.h"
#include "fit/StrokeTracker.h"

#include <algorithm>
#include <cmath>

namespace valvix::fit {

namespace {

// Column tracks give the flatter parts of the curves, row tracks (followed over the
// transposed mask) the steeper ones: each point comes from whichever scan crosses the
// stroke more squarely.
constexpr double kSteepest = 1.2;
// Points this many stroke widths from the frame's edges are left out: the axes there
// were taken out with the lines.
constexpr double kEdgeStrokes = 1.5;
// Pieces of a curve are joined across gaps of up to this share of the frame's width.
constexpr double kJoinShare = 0.012;

PixelBox BoxInside(const ChartSpace& space, const GreyLevels& grey) {
    PixelBox box;
    box.x0 = int(std::clamp(std::floor(space.left), 0.0, double(grey.width)));
    box.x1 = int(std::clamp(std::ceil(space.right), 0.0, double(grey.width)));
    box.y0 = int(std::clamp(std::floor(space.top), 0.0, double(grey.height)));
    box.y1 = int(std::clamp(std::ceil(space.bottom), 0.0, double(grey.height)));
    return box;
}

class TraceCollector {
public:
    TraceCollector(const StrokeMask& mask, const ChartSpace& space, DigitizedChart& chart)
        : m_mask(mask), m_space(space), m_chart(chart) {
        m_edge = kEdgeStrokes * mask.strokeWidth / mask.scale + 1;
    }

    // Keeps the curve-like tracks, each point from the scan that suits its slope.
    void collect(const std::vector<StrokeTrack>& tracks, bool transposed) {
        for (const StrokeTrack& track : tracks) {
            if (!LooksLikeCurve(track, m_mask.strokeWidth, m_mask.strokes.rows, transposed)) {
                ++m_chart.setAside.strokes;
                continue;
            }
            PrintedTrace trace;
            for (const StrokePoint& point : track) {
                const bool steep = std::abs(point.slope) > kSteepest;
                const bool flat = std::abs(point.slope) < 1 / kSteepest;
                if (transposed ? flat : !steep) {
                    Add(trace, transposed ? point.v : point.u, transposed ? point.u : point.v);
                }
            }
            if (trace.points.size() >= 3) {
                std::sort(trace.points.begin(), trace.points.end(),
                          [](const ChartPoint& a, const ChartPoint& b) { return a.vp < b.vp; });
                m_chart.traces.push_back(std::move(trace));
            }
        }
    }

private:
    void Add(PrintedTrace& trace, double u, double v) const {
        const double x = m_mask.x0 + u / m_mask.scale;
        const double y = m_mask.y0 + v / m_mask.scale;
        if (x > m_space.left + m_edge && x < m_space.right - m_edge && y > m_space.top + m_edge &&
            y < m_space.bottom - m_edge) {
            trace.points.push_back({m_space.volts(x), 0, m_space.amps(y)});
        }
    }

    const StrokeMask& m_mask;
    const ChartSpace& m_space;
    DigitizedChart& m_chart;
    double m_edge = 0;
};

} // namespace

DigitizedChart DigitizeChart(const GreyLevels& grey, const ChartSpace& space) {
    DigitizedChart chart;
    const PixelBox box = BoxInside(space, grey);
    if (grey.empty() || box.x1 - box.x0 < 8 || box.y1 - box.y0 < 8) {
        return chart;
    }
    const StrokeMask mask = FindStrokes(grey, box);
    chart.setAside.lines = mask.linesRemoved;
    TraceCollector collector(mask, space, chart);
    collector.collect(FollowColumns(mask.strokes, mask.strokeWidth), false);
    const cv::Mat1b transposed = mask.strokes.t();
    collector.collect(FollowColumns(transposed, mask.strokeWidth), true);
    JoinPieces(chart.traces, space, kJoinShare * (space.right - space.left));
    return chart;
}

DigitizeOutcome DigitizeDesignChart(const Design& design, const Picture* picture) {
    DigitizeOutcome outcome;
    if (picture == nullptr || picture->ink().empty()) {
        outcome.message = "There is no chart picture to find curves in: choose one first.";
        return outcome;
    }
    const GreyLevels& ink = picture->ink();
    const ChartSpaceResult space = PictureSpace(design, ink.width, ink.height);
    if (!space.space) {
        outcome.message = space.message;
        return outcome;
    }
    outcome.chart = DigitizeChart(ink, *space.space);
    if (outcome.chart.traces.empty()) {
        outcome.message =
            "No printed curves were found inside the plot frame. Check that the frame lies on "
            "the chart's axes and that the picture shows the curves as dark lines on light "
            "paper.";
        return outcome;
    }
    outcome.ok = true;
    return outcome;
}

} // namespace valvix::fit
