#pragma once

#include "state/Design.h"
#include "state/DesignFile.h"

#include <string>
#include <string_view>

namespace valvix {

inline constexpr std::string_view kSchematicWriteFailure =
    "The .ASC (schematic file) was not written";

// The DC sweep directive (line 30, no line end): the plate voltage from 0 to
// ExamineVoltsFullscale in 1000 steps, the grid voltage from ExamineGridMostNeg to
// ExamineGridMostPos in ExamineGridStep. Each number is in the plain number form
// followed by a blank, always with the period. Before the Examine window has first
// filled its settings (ExamineSettingsKept 0) the sweep takes the values that window
// would show at its first opening, so that the schematic always simulates the design's
// family of curves.
std::string SweepDirective(const Design& design, const ExamineSettings& examine);

// The subcircuit as one text item of the sheet (line 29, no line end), its lines joined
// by the two characters backslash and n.
std::string SubcircuitDirective(const Design& design, std::string_view tubeName);

// The whole 30-line .ASC test schematic, every line followed by CR LF.
std::string SchematicText(const Design& design, const ExamineSettings& examine,
                          std::string_view tubeName);

// Writes the .ASC file for the tube name to path. An empty path writes nothing and
// succeeds. On failure the message is kSchematicWriteFailure and any file already at
// path is left as it was.
FileResult WritePlotterFile(const std::string& path, const Design& design,
                            const ExamineSettings& examine, std::string_view tubeName);

} // namespace valvix
