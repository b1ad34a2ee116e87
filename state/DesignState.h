#pragma once

#include "state/Picture.h"

#include <memory>
#include <string>

namespace valvix {

// How far the printed x axis of a chart picture is tilted, kept for the session only
// (never written to the design file), with the level picture made from it.
struct GraphicTilt {
    std::string fileName; // the chart picture the angle belongs to
    float degrees = 0;    // clockwise on the screen, the picture's y running downward
    // The level picture made once from `loaded` for `madeFor` degrees.
    std::shared_ptr<const Picture> loaded;
    float madeFor = 0;
    std::shared_ptr<const Picture> level;
};

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
    // Session only: the tilt of the picture named by GraphicFileName; every window shows
    // the picture turned level, and that is the CurveGraphic.
    GraphicTilt CurveGraphicTilt;

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
