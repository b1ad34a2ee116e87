#include "export/Schematic.h"

#include "export/Subcircuit.h"
#include "state/EngineeringText.h"
#include "state/NumberText.h"

#include <array>
#include <cmath>

namespace valvix {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Lines 1 to 27: the sheet, the wires, the two sources and the triode symbol. Line 24
// holds two backslashes.
constexpr std::array<std::string_view, 27> kSheetLines{
    "Version 4",
    "SHEET 1 1760 768",
    "WIRE 144 -96 32 -96",
    "WIRE 32 16 32 -96",
    "WIRE -16 64 -112 64",
    "WIRE -112 128 -112 64",
    "WIRE 144 128 144 -96",
    "WIRE -112 288 -112 208",
    "WIRE 0 288 0 112",
    "WIRE 144 288 144 208",
    "FLAG -112 288 0",
    "FLAG 144 288 0",
    "FLAG 0 288 0",
    "SYMBOL voltage -112 112 M0",
    "WINDOW 0 19 5 Left 0",
    "WINDOW 3 22 104 Left 0",
    "SYMATTR InstName Vgrid",
    "SYMATTR Value 0",
    "SYMBOL voltage 144 112 R0",
    "WINDOW 0 13 5 Left 0",
    "WINDOW 3 15 104 Left 0",
    "SYMATTR InstName Vplate",
    "SYMATTR Value 0",
    R"(SYMBOL Misc\\triode 32 64 R0)",
    "WINDOW 0 -24 -103 Right 0",
    "WINDOW 3 -26 -71 Right 0",
    "SYMATTR InstName U1",
};

// The subcircuit after its parameter line, with the sheet's \n breaks. It is not the
// .CKT text joined: the E1 line reads "Value = " with a trailing blank here.
constexpr std::string_view kDirectiveTail =
    R"(\nE1   7   0   Value = )"
    R"(\n+{V(1,3)/Kp*Log(1+Exp(Kp*(1/Mu+V(2,3)/Sqrt(Kvb+V(1,3)*V(1,3)))))})"
    R"(\nRe1   7   0   1G)"
    R"(\nG1   1   3   Value={(Pwr(V(7),Ex)+Pwrs(V(7),Ex))/Kg1})"
    R"(\nRcp   1   3   1G)"
    R"(\nC1   2   3   1p   ;grid-cathode)"
    R"(\nC2   1   2   1p   ;plate-grid)"
    R"(\nC3   1   3   1p   ;plate-cathode)"
    R"(\nD1   5   3   Dx   ;for grid current)"
    R"(\nR1   2   5   2000   ;for grid current)"
    R"(\n.Model  Dx  D(Is=1n  Rs=1  Cjo=1p  Tt=1n))"
    R"(\n.Ends)";

// A sweep number: the plain number form (its blank or minus sign first), then a blank.
std::string PrintedNumber(float value) {
    return FormatPlainNumber(value) + ' ';
}

// A value as the Examine window's box shows it and reads it back.
float ThroughBox(float value) {
    return ParseEngineering(FormatEngineering(value));
}

struct Sweep {
    float fullscale;
    float mostNeg;
    float mostPos;
    float step;
};

// The Examine settings; before the Examine window has first opened, the values it would
// show then: the design's own, read back from their box texts, and the grid step raised
// to a twentieth of the most negative grid voltage and to at least 0.1.
Sweep SweepOf(const DesignState& design) {
    if (design.ExamineSettingsKept != 0) {
        return {design.ExamineVoltsFullscale, design.ExamineGridMostNeg, design.ExamineGridMostPos,
                design.ExamineGridStep};
    }
    Sweep sweep{ThroughBox(design.PlateVoltageFullscale), ThroughBox(design.GridVoltageMostNeg),
                ThroughBox(design.GridVoltageMostPos), ThroughBox(design.GridVoltageStep)};
    const float gridMinimum = std::fabs(sweep.mostNeg / 20);
    if (gridMinimum > std::fabs(sweep.step)) {
        sweep.step = ThroughBox(gridMinimum);
    }
    if (0.1f > sweep.step) {
        sweep.step = ThroughBox(0.1f);
    }
    return sweep;
}

} // namespace

std::string SweepDirective(const DesignState& design) {
    const Sweep sweep = SweepOf(design);
    const float plateStep = sweep.fullscale / 1000.0f;
    return "TEXT -128 360 Left 0 !.DC  Vplate  0  " + PrintedNumber(sweep.fullscale) +
           PrintedNumber(plateStep) + "  Vgrid  " + PrintedNumber(sweep.mostNeg) +
           PrintedNumber(sweep.mostPos) + PrintedNumber(sweep.step);
}

std::string SubcircuitDirective(const DesignState& design, std::string_view tubeName) {
    const SubcircuitParameterTexts texts = MakeSubcircuitParameterTexts(design);
    // No blank after ";P G K" here, unlike the .CKT file's first line.
    return "TEXT 272 -80 Left 0 !.SUBCKT  " + OneLineName(tubeName) +
           R"(  1 2 3    ;P G K\n+ PARAMS:  Mu=)" + texts.Mu + "  Ex=" + texts.Ex +
           "  Kg1=" + texts.Kg1 + "  Kp=" + texts.Kp + "  Kvb=" + texts.Kvb +
           std::string(kDirectiveTail);
}

std::string SchematicText(const DesignState& design, std::string_view tubeName) {
    std::string text;
    for (std::string_view line : kSheetLines) {
        text += line;
        text += kLineEnd;
    }
    text += "SYMATTR Value ";
    text += OneLineName(tubeName);
    text += kLineEnd;
    text += SubcircuitDirective(design, tubeName);
    text += kLineEnd;
    text += SweepDirective(design);
    text += kLineEnd;
    return text;
}

FileResult WritePlotterFile(const std::string& path, DesignState& design) {
    return WriteExportedFile(path, design, SchematicText, kSchematicWriteFailure);
}

} // namespace valvix
