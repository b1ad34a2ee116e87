#pragma once

#include "export/SimulatorCheck.h"
#include "export/SweepTable.h"
#include "model/Triode.h"
#include "plot/DrawingSurface.h"

#include <string>
#include <vector>

namespace valvix {

// The frame of the check window's small chart, in the window's layout units: plate
// voltage 0 to full scale from left to right, current 0 to full scale from bottom to top.
inline constexpr float kCheckChartLeft = 1500;
inline constexpr float kCheckChartTop = 700;
inline constexpr float kCheckChartRight = 11600;
inline constexpr float kCheckChartBottom = 5300;

inline constexpr Rgb kCheckCircuitColour{255, 0, 0}; // the .CKT in ngspice
inline constexpr Rgb kCheckModelColour{0, 150, 0};   // the .lib in ngspice

// One simulated family over the computed one, with its legend caption.
struct CheckChartCurves {
    Rgb colour;
    std::string caption;
    const std::vector<SweepPoint>* points = nullptr; // curve after curve, as swept
};

struct CheckChart {
    TriodeParameters parameters;
    CheckScales scales;
    std::vector<CheckChartCurves> simulated;
};

// Draws the frame (pen 1, black), "0" and the full scales at the axes' ends, the legend
// above the frame, the program's curve family as blue dots (pen 2, the family walk with
// the check's scales) and each simulated family as lines (pen 1) joining its neighbouring
// points of one curve. Only what lies within both full scales is drawn.
void DrawCheckChart(DrawingSurface& surface, const CheckChart& chart);

} // namespace valvix
