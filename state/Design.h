#pragma once

#include <string>

namespace valvix {

// A triode design: what the design file holds, with the names of the files it came
// from and goes to. All numbers are Singles; everything starts at zero and empty.
struct Design {
    // Plot frame on the window surface, in layout units.
    float Xleft = 0;
    float Xright = 0;
    float Ytop = 0;
    float Ybottom = 0;

    // Plot scales.
    float PlateVoltageFullscale = 0; // volts at Xright
    float PlateCurrentFullscale = 0; // amps at Ytop

    // Grid voltages of the curve family (volts); the family runs downward.
    float GridVoltageMostPos = 0;
    float GridVoltageMostNeg = 0;
    float GridVoltageStep = 0;

    // Triode model parameters.
    float Mu = 0;
    float Ex = 0;
    float Kg1 = 0;
    float Kp = 0;
    float Kvb = 0;

    float Dissipation = 0; // watts; 0 or less draws no limit curve

    std::string DesignFileName;
    std::string SaveFileName;
    std::string GraphicFileName;
};

// The Examine chart's own scales and grid voltages, kept between openings of that
// window; the simulator check and the test schematic sweep over them once kept.
struct ExamineSettings {
    float ExamineVoltsFullscale = 0;
    float ExamineVoltsStep = 0;
    float ExamineAmpsFullscale = 0;
    float ExamineAmpsStep = 0;
    float ExamineGridMostPos = 0;
    float ExamineGridMostNeg = 0;
    float ExamineGridStep = 0;
    int ExamineSettingsKept = 0;
    int LabelGridVoltages = 0; // 1 writes each curve's grid voltage on the chart
};

// The subcircuit's name and the files it was last exported to, kept for the session.
struct SubcircuitNames {
    std::string TubeName;
    std::string CircuitFileName;
    std::string SchematicFileName;
};

} // namespace valvix
