#pragma once

#include "state/Picture.h"

#include <memory>
#include <string>

namespace valvix {

// The one record every window works on. All numbers are Singles; everything starts
// at zero, empty, and without a picture.
struct DesignState {
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
    std::shared_ptr<const Picture> CurveGraphic;

    // Recomputed at the start of every curve-plotting pass.
    float PlotWidth = 0;
    float PlotHeight = 0;

    // Plate current of the most recent model point that could be computed; a point
    // that fails takes this value instead.
    float LastPlateCurrent = 0;

    // Settings the Examine window keeps between openings.
    float ExamineVoltsFullscale = 0;
    float ExamineVoltsStep = 0;
    float ExamineAmpsFullscale = 0;
    float ExamineAmpsStep = 0;
    float ExamineGridMostPos = 0;
    float ExamineGridMostNeg = 0;
    float ExamineGridStep = 0;
    int ExamineSettingsKept = 0;
    int LabelGridVoltages = 0;

    // Subcircuit export.
    std::string TubeName;
    std::string CircuitFileName;
    std::string SchematicFileName;
    std::string MuText;
    std::string ExText;
    std::string Kg1Text;
    std::string KpText;
    std::string KvbText;
};

} // namespace valvix
