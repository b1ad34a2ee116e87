#include "plot/ExamineChart.h"

#include "model/Triode.h"
#include "plot/FrameMapping.h"
#include "state/EngineeringText.h"
#include "state/NumberText.h"
#include "state/Single.h"

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace valvix {

namespace {

// What sets the window's chart and the printed one apart. Offsets are from a point's
// unshifted x, so they include the shift.
struct ChartStyle {
    float shift;             // added to every chart x that is drawn
    int gridPen;             // grid lines
    float xNumberDx;         // X-axis number, from its grid line
    float yNumberX;          // Y-axis numbers, at a fixed x left of the chart
    float labelLeftDx;       // grid-voltage label box and text, from the sample
    float labelRightDx;      // right edge of the label box, from the sample
    float dissipationTextDx; // wattage, from the last dissipation sample
    bool printed;            // printer pens, below
};

constexpr ChartStyle kScreenStyle{kExamineChartShift, 1, 2800, 2600, 2800, 3200, 3045, false};
constexpr ChartStyle kPageStyle{0, 2, -200, -200, -197, 203, 48, true};

// Printer pens. On paper the 0 V curve is any curve within a millivolt of 0, and a
// curve's pen is only set when one of its dots is drawn.
constexpr int kPageZeroCurvePen = 12;
constexpr int kPageCurvePen = 8;
constexpr int kPageDissipationPen = 4;
constexpr int kPageFramePen = 16;

// Grid-voltage labels go where a sample lies in this band of window rows.
constexpr float kLabelBandTop = 1780;
constexpr float kLabelBandBottom = 1820;

// A grid line that overshoots the far edge of the frame by no more than this share of
// the frame's size is a rounding error of the single-precision pitch (0.01 A in steps
// of 0.002 A puts the top line 0.0005 units above the frame) and is drawn.
constexpr double kEdgeSlack = 1e-5;

bool IsPositive(float value) {
    return std::isfinite(value) && value > 0;
}

// The grid lines of one axis: indexes 0 to last, pitch apart from the zero edge.
struct AxisPlan {
    bool drawn = false;   // false: the axis has no lines
    bool tooMany = false; // more lines than a signed 16-bit count holds
    int last = 0;
    float pitch = 0;
    float slack = 0;
};

AxisPlan PlanAxis(float fullscale, float step, float plotSize) {
    AxisPlan plan;
    if (!IsPositive(fullscale) || !IsPositive(step) || !IsPositive(plotSize)) {
        return plan;
    }
    const float ratio = ToSingle(static_cast<double>(fullscale) / step);
    // The count is the ratio rounded to the nearest integer, a half to the even one
    // (nearbyint in the default rounding mode).
    const double last = std::isfinite(ratio) ? std::nearbyint(ratio) : HUGE_VAL;
    if (last > kMostGridLines - 1) {
        plan.tooMany = true;
        return plan;
    }
    plan.drawn = true;
    plan.last = static_cast<int>(last);
    // With a single line (at the zero edge) the pitch is not needed, and a ratio that
    // underflowed would make it infinite.
    plan.pitch = plan.last == 0 ? 0.0f : ToSingle(static_cast<double>(plotSize) / ratio);
    plan.slack = ToSingle(plotSize * kEdgeSlack);
    return plan;
}

// Sets the pen only when it differs, so that a pen set per sample costs nothing.
void UsePen(DrawingSurface& surface, int pen) {
    if (surface.penWidth() != pen) {
        surface.setPenWidth(pen);
    }
}

// Curve dots gathered between the things drawn over them. Dots of one colour look the
// same in any order, so each pen's dots go out as one batch; the batches are flushed
// before a label is drawn, which the later dots must cover where they cross it.
class DotBatches {
public:
    void add(int pen, PointF at) {
        for (auto& [batchPen, points] : m_batches) {
            if (batchPen == pen) {
                points.push_back(at);
                return;
            }
        }
        m_batches.push_back({pen, {at}});
    }

    void flush(DrawingSurface& surface, Rgb colour) {
        for (auto& [pen, points] : m_batches) {
            if (!points.empty()) {
                UsePen(surface, pen);
                surface.dots(points.data(), points.size(), colour);
                points.clear();
            }
        }
    }

private:
    std::vector<std::pair<int, std::vector<PointF>>> m_batches;
};

void DrawGrid(DrawingSurface& surface, const ExamineSettings& examine, const FrameMapping& frame,
              const AxisPlan& volts, const AxisPlan& amps, const ChartStyle& style) {
    if (volts.drawn) {
        const float numberY = frame.ybottom() + 100;
        for (int i = 0; i <= volts.last; ++i) {
            const float index = static_cast<float>(i);
            const float x = frame.xleft() + index * volts.pitch;
            if (x > frame.xright() + volts.slack) {
                continue;
            }
            surface.line({x + style.shift, frame.ytop()}, {x + style.shift, frame.ybottom()},
                         kBlack);
            surface.text({x + style.xNumberDx, numberY},
                         FormatPlainNumber(index * examine.ExamineVoltsStep), kBlack);
        }
    }
    if (amps.drawn) {
        for (int j = 0; j <= amps.last; ++j) {
            const float index = static_cast<float>(j);
            const float y = frame.ybottom() - index * amps.pitch;
            if (y < frame.ytop() - amps.slack) {
                continue;
            }
            surface.line({frame.xleft() + style.shift, y}, {frame.xright() + style.shift, y},
                         kBlack);
            surface.text({style.yNumberX, y - 100},
                         FormatEngineering(index * examine.ExamineAmpsStep), kBlack);
        }
    }
}

// The curve family with its labels, then the dissipation curve with its wattage. Leaves
// the surface with the pen the curves left.
void DrawCurves(DrawingSurface& surface, const ChartInput& chart, const FrameMapping& frame,
                const ChartStyle& style, float& lastPlateCurrent) {
    const Design& design = chart.design;
    const ExamineSettings& examine = chart.examine;
    const double fullscaleV = examine.ExamineVoltsFullscale;
    const double fullscaleI = examine.ExamineAmpsFullscale;
    const CurveFamily family{examine.ExamineVoltsFullscale, examine.ExamineGridMostPos,
                             examine.ExamineGridMostNeg, examine.ExamineGridStep};
    const bool labels = examine.LabelGridVoltages == 1;
    const float labelFrom = frame.xleft() + 300;
    const float labelTo = frame.xright() - 240;

    // The pen as the drawing steps leave it; the surface catches up before anything
    // that depends on it is drawn.
    int pen = surface.penWidth();
    DotBatches blue;
    CurveFamilyWalk(family, ParametersOf(design), lastPlateCurrent, [&](const FamilySample& s) {
        int samplePen = s.PenWidth;
        if (style.printed) {
            samplePen = std::fabs(s.Vg) < 0.001f ? kPageZeroCurvePen : kPageCurvePen;
        } else {
            pen = samplePen; // set before the point, drawn or not
        }
        const float x = frame.VoltsToX(s.Vp, fullscaleV);
        const float y = frame.AmpsToY(s.Ip, fullscaleI);
        if (frame.Inside(x, y)) {
            pen = samplePen;
            blue.add(pen, {x + style.shift, y});
        }
        // The band is fixed in window rows, so a label may lie outside the frame.
        if (labels && y > kLabelBandTop && y < kLabelBandBottom && x > labelFrom && x < labelTo) {
            blue.flush(surface, kBlue);
            UsePen(surface, pen);
            const float left = x + style.labelLeftDx;
            surface.filledRectangle({left, y}, {x + style.labelRightDx, y + 180}, kWhite);
            surface.text({left, y - 45}, FormatPlainNumber(s.Vg), kBlack);
        }
    });
    blue.flush(surface, kBlue);
    UsePen(surface, pen);

    if (!(design.Dissipation > 0)) {
        return;
    }
    if (style.printed) {
        surface.setPenWidth(kPageDissipationPen);
    }
    const double watts = design.Dissipation;
    std::vector<PointF> red;
    bool sampled = false;
    float lastX = 0;
    float lastY = 0;
    DissipationWalk(design.Dissipation, examine.ExamineVoltsFullscale,
                    [&](const DissipationSample& s) {
                        lastX = frame.VoltsToX(s.Vp, fullscaleV);
                        lastY = frame.DissipationToY(watts, s.Vp, fullscaleI);
                        sampled = true;
                        if (frame.Inside(lastX, lastY)) {
                            red.push_back({lastX + style.shift, lastY});
                        }
                    });
    if (!red.empty()) {
        surface.dots(red.data(), red.size(), kRed);
    }
    // The wattage goes beside the walk's last sample, drawn or not.
    if (sampled && std::isfinite(lastX) && std::isfinite(lastY)) {
        surface.text({lastX + style.dissipationTextDx, lastY - 120},
                     FormatEngineering(design.Dissipation) + " watts", kBlack);
    }
}

void DrawFrame(DrawingSurface& surface, const FrameMapping& frame, const ChartStyle& style) {
    if (!std::isfinite(frame.xleft()) || !std::isfinite(frame.xright()) ||
        !std::isfinite(frame.ytop()) || !std::isfinite(frame.ybottom())) {
        return;
    }
    surface.rectangle({frame.xleft() + style.shift, frame.ytop()},
                      {frame.xright() + style.shift, frame.ybottom()}, kBlack);
}

// The chart in a style: grid and numbers, curves, dissipation, and the frame. A frame
// without a positive size gets nothing but its outline; the curves also need both full
// scales, and an axis without a usable step has no lines.
float DrawChart(DrawingSurface& surface, const ChartInput& chart, const FrameMapping& frame,
                const AxisPlan& volts, const AxisPlan& amps, const ChartStyle& style) {
    const ExamineSettings& examine = chart.examine;
    float lastPlateCurrent = chart.lastPlateCurrent;
    surface.setPenWidth(style.gridPen);
    if (IsPositive(frame.plotWidth()) && IsPositive(frame.plotHeight())) {
        DrawGrid(surface, examine, frame, volts, amps, style);
        if (IsPositive(examine.ExamineVoltsFullscale) && IsPositive(examine.ExamineAmpsFullscale)) {
            DrawCurves(surface, chart, frame, style, lastPlateCurrent);
        }
    }
    if (style.printed) {
        surface.setPenWidth(kPageFramePen);
    }
    DrawFrame(surface, frame, style);
    return lastPlateCurrent;
}

// The step as its box will hold it once the new value is written there.
float ThroughBoxText(float value) {
    return ParseEngineering(FormatEngineering(value));
}

// Characters of UTF-8 text; a multi-byte character counts once.
std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

} // namespace

StepChanges EnforceMinimumSteps(ExamineSettings& examine) {
    StepChanges changes;
    const float voltsMinimum = examine.ExamineVoltsFullscale / 20;
    if (voltsMinimum > examine.ExamineVoltsStep) {
        examine.ExamineVoltsStep = ThroughBoxText(voltsMinimum);
        changes.volts = true;
    }
    const float ampsMinimum = examine.ExamineAmpsFullscale / 10;
    if (ampsMinimum > examine.ExamineAmpsStep) {
        examine.ExamineAmpsStep = ThroughBoxText(ampsMinimum);
        changes.amps = true;
    }
    const float gridMinimum = std::fabs(examine.ExamineGridMostNeg / 20);
    if (gridMinimum > std::fabs(examine.ExamineGridStep)) {
        examine.ExamineGridStep = ThroughBoxText(gridMinimum);
        changes.grid = true;
    }
    if (0.1f > examine.ExamineGridStep) {
        examine.ExamineGridStep = ThroughBoxText(0.1f);
        changes.grid = true;
    }
    return changes;
}

ChartDrawing DrawExamineChart(DrawingSurface& surface, const ChartInput& chart) {
    const ExamineSettings& examine = chart.examine;
    surface.setFont(kExamineChartFont);
    const FrameMapping frame = FrameMapping::of(chart.design);
    const AxisPlan volts =
        PlanAxis(examine.ExamineVoltsFullscale, examine.ExamineVoltsStep, frame.plotWidth());
    const AxisPlan amps =
        PlanAxis(examine.ExamineAmpsFullscale, examine.ExamineAmpsStep, frame.plotHeight());
    return {frame, DrawChart(surface, chart, frame, volts, amps, kScreenStyle)};
}

bool DrawPrintedPage(DrawingSurface& surface, const ChartInput& chart, std::string_view title,
                     std::string_view footer) {
    const Design& design = chart.design;
    const ExamineSettings& examine = chart.examine;
    const FrameMapping frame = FrameMapping::of(design);
    const AxisPlan volts =
        PlanAxis(examine.ExamineVoltsFullscale, examine.ExamineVoltsStep, frame.plotWidth());
    const AxisPlan amps =
        PlanAxis(examine.ExamineAmpsFullscale, examine.ExamineAmpsStep, frame.plotHeight());
    if (volts.tooMany || amps.tooMany) {
        return false;
    }

    surface.setFont(kPageTitleFont);
    const float titleX = ToSingle(static_cast<double>(design.Xleft) +
                                  (static_cast<double>(design.Xright) - design.Xleft) / 2 -
                                  80.0 * static_cast<double>(CharacterCount(title)));
    if (std::isfinite(titleX)) {
        surface.text({titleX, -500}, title, kBlack);
    }
    surface.setFont(kPageTextFont);

    DrawChart(surface, chart, frame, volts, amps, kPageStyle);

    if (examine.LabelGridVoltages == 0) {
        // "postive" is how the page has always spelt it.
        surface.text({0, 4100},
                     "Grid voltage most postive: " +
                         FormatSingleGeneral(examine.ExamineGridMostPos),
                     kBlack);
        surface.text({0, 4300},
                     "Grid voltage most negative: " +
                         FormatSingleGeneral(examine.ExamineGridMostNeg),
                     kBlack);
        surface.text({0, 4500},
                     "Grid voltage step size: " + FormatSingleGeneral(examine.ExamineGridStep),
                     kBlack);
    }
    surface.text({0, 5300}, design.DesignFileName, kBlack);
    surface.text({0, 5600}, footer, kBlack);
    return true;
}

PrintCheckResult CheckPrintSettings(std::string_view voltsStepText, std::string_view ampsStepText,
                                    std::string_view gridStepText, ExamineSettings& examine) {
    // Single-precision bounds: a box reading 0.01 holds 0.01f, which must pass.
    examine.ExamineVoltsStep = ParseEngineering(voltsStepText);
    if (!(examine.ExamineVoltsStep >= 1.0f &&
          examine.ExamineVoltsStep <= examine.ExamineVoltsFullscale)) {
        return {PrintCheck::VoltsStep, kVoltsStepMessage};
    }
    examine.ExamineAmpsStep = ParseEngineering(ampsStepText);
    if (!(examine.ExamineAmpsStep >= 0.001f && examine.ExamineAmpsStep <= 1000.0f)) {
        return {PrintCheck::AmpsStep, kAmpsStepMessage};
    }
    examine.ExamineGridStep = ParseEngineering(gridStepText);
    if (!(examine.ExamineGridStep >= 0.01f && examine.ExamineGridStep <= 1000.0f)) {
        return {PrintCheck::GridStep, kGridStepMessage};
    }
    return {};
}

} // namespace valvix
