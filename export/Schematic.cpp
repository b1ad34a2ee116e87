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

// The sheet's line break inside a directive: a backslash and an n.
constexpr std::string_view kSheetBreak = R"(\n)";
// The directive's E1 line differs from the .CKT's: "Value = " with a trailing blank.
constexpr std::string_view kDirectiveE1Line = "E1   7   0   Value = ";

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
Sweep SweepOf(const Design& design, const ExamineSettings& examine) {
    if (examine.ExamineSettingsKept != 0) {
        return {examine.ExamineVoltsFullscale, examine.ExamineGridMostNeg,
                examine.ExamineGridMostPos, examine.ExamineGridStep};
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

std::string SweepDirective(const Design& design, const ExamineSettings& examine) {
    const Sweep sweep = SweepOf(design, examine);
    const float plateStep = sweep.fullscale / 1000.0f;
    return "TEXT -128 360 Left 0 !.DC  Vplate  0  " + PrintedNumber(sweep.fullscale) +
           PrintedNumber(plateStep) + "  Vgrid  " + PrintedNumber(sweep.mostNeg) +
           PrintedNumber(sweep.mostPos) + PrintedNumber(sweep.step);
}

std::string SubcircuitDirective(const Design& design, std::string_view tubeName) {
    const std::array<std::string, kSubcircuitLineCount> lines = SubcircuitLines(design, tubeName);
    std::string directive = "TEXT 272 -80 Left 0 !" + lines[0];
    // No blank after ";P G K" here, unlike the .CKT file's first line.
    directive.pop_back();
    for (std::size_t i = 1; i < lines.size(); ++i) {
        directive += kSheetBreak;
        directive += i == 2 ? std::string(kDirectiveE1Line) : lines[i];
    }
    return directive;
}

std::string SchematicText(const Design& design, const ExamineSettings& examine,
                          std::string_view tubeName) {
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
    text += SweepDirective(design, examine);
    text += kLineEnd;
    return text;
}

FileResult WritePlotterFile(const std::string& path, const Design& design,
                            const ExamineSettings& examine, std::string_view tubeName) {
    return WriteExportedFile(path, SchematicText(design, examine, tubeName),
                             kSchematicWriteFailure);
}

} // namespace valvix
