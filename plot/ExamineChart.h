#pragma once

#include "plot/DrawingSurface.h"
#include "plot/FrameMapping.h"
#include "state/Design.h"

#include <string_view>

namespace valvix {

// The Examine window's chart lies this far right of the plot frame, leaving room for the
// point readouts and the Y-axis numbers on its left.
inline constexpr float kExamineChartShift = 3000;

// Every text on the Examine chart.
inline const FontSpec kExamineChartFont{"MS Sans Serif", 8.25, true};

// The printed page's fonts. An empty family stands for the printer's default face.
inline const FontSpec kPageTitleFont{"", 12, false};
inline const FontSpec kPageTextFont{"", 8, false};

// Grid lines and numbers drawn at most on one axis: one more would overflow the signed
// 16-bit line count of the page.
inline constexpr int kMostGridLines = 32767;

// What the Examine chart is drawn from: the design's frame, model and dissipation, the
// chart's own settings, and the plate current a failing first point takes.
struct ChartInput {
    const Design& design;
    const ExamineSettings& examine;
    float lastPlateCurrent = 0;
};

// What a drawing of the chart leaves for the point readouts: the frame it mapped
// through, and the plate current of the last model point it computed.
struct ChartDrawing {
    FrameMapping frame;
    float lastPlateCurrent = 0;
};

// Which chart settings the minimum-step rule changed; their boxes must show the new
// value as FormatEngineering text.
struct StepChanges {
    bool volts = false; // ExamineVoltsStep
    bool amps = false;  // ExamineAmpsStep
    bool grid = false;  // ExamineGridStep
};

// Raises the three Examine steps to their minimums before a drawing: the volts step to a
// twentieth of its full scale, the amps step to a tenth of its full scale, the grid step
// to a twentieth of the most negative grid voltage and to at least 0.1. Each new value
// is taken through its box text (ParseEngineering of its FormatEngineering text) before
// the next test, as the box's change handling would store it.
StepChanges EnforceMinimumSteps(ExamineSettings& examine);

// The Examine chart on a cleared window surface, 3000 units right of the plot frame:
// grid lines with their axis numbers (pen 1), the model's curve family with grid-voltage
// labels when LabelGridVoltages is 1, the dissipation curve with its wattage, and the
// frame, drawn last with the pen the curves left. Reads the Examine settings as they are
// (the minimum steps are the caller's).
//
// A full scale or frame size that is not a finite positive number draws only what does
// not depend on it: no curves then, and an axis whose lines cannot be placed (or would
// number more than kMostGridLines) has no lines. The frame is always drawn.
ChartDrawing DrawExamineChart(DrawingSurface& surface, const ChartInput& chart);

// The printed page on a surface in twips whose origin the caller has already moved to
// the page point (0, 0): the title (12 pt) centred by its character count above the
// chart, then in 8 pt the Examine chart at the frame's own place (pens: grid 2, curve
// dots 12 for the 0 V curve and 8 otherwise, dissipation 4, frame 16), the grid-voltage
// legend when LabelGridVoltages is 0, the design file name at (0, 5300) and the footer
// at (0, 5600). The caller reads Dissipation afresh before calling.
//
// Returns false, having drawn nothing, when an axis would need more than kMostGridLines
// grid lines; the page is then to be discarded without a message. Degenerate full scales
// and frames are drawn as on the screen.
bool DrawPrintedPage(DrawingSurface& surface, const ChartInput& chart, std::string_view title,
                     std::string_view footer);

// The print checks, the first that fails.
enum class PrintCheck { None, VoltsStep, AmpsStep, GridStep };

inline constexpr std::string_view kVoltsStepMessage =
    "The value for the grid spacing on the printed plot must be greater than 1.";
inline constexpr std::string_view kAmpsStepMessage =
    "The value for the grid spacing on the printed plot must be greater than 1 mA.";
inline constexpr std::string_view kGridStepMessage =
    "The value for grid voltage stepsize must be >.01 and < 1000";

struct PrintCheckResult {
    PrintCheck failed = PrintCheck::None;
    std::string_view message; // empty when nothing failed
};

// Reads the texts of the three step boxes in order into ExamineVoltsStep,
// ExamineAmpsStep and ExamineGridStep with ParseEngineering, checking each as it is read:
// the volts step from 1 up to ExamineVoltsFullscale, the amps step from 0.001 to 1000,
// the grid step from 0.01 to 1000, all ends allowed. Stops at the first that fails; the
// boxes after it are not read.
PrintCheckResult CheckPrintSettings(std::string_view voltsStepText, std::string_view ampsStepText,
                                    std::string_view gridStepText, ExamineSettings& examine);

} // namespace valvix
