#pragma once

#include "state/Design.h"
#include "state/DesignFile.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace valvix {

inline constexpr std::string_view kCircuitWriteFailure = "The .CKT (circuit file) was not written";

// The texts the subcircuit carries for Mu, Ex, Kg1, Kp and Kvb: the general number
// form with the period as decimal point and no blanks ("100", "1.4", "1.234568E+07").
struct SubcircuitParameterTexts {
    std::string Mu;
    std::string Ex;
    std::string Kg1;
    std::string Kp;
    std::string Kvb;
};

SubcircuitParameterTexts MakeSubcircuitParameterTexts(const Design& design);

inline constexpr std::size_t kSubcircuitLineCount = 14;

// The subcircuit's last lines, the same in the .CKT and the ngspice model: the plate to
// cathode resistor, the capacitances, the grid-current diode and the end.
inline constexpr std::array<std::string_view, 8> kSubcircuitTailLines{
    "Rcp   1   3   1G",
    "C1   2   3   1p   ;grid-cathode",
    "C2   1   2   1p   ;plate-grid",
    "C3   1   3   1p   ;plate-cathode",
    "D1   5   3   Dx   ;for grid current",
    "R1   2   5   2000   ;for grid current",
    ".Model  Dx  D(Is=1n  Rs=1  Cjo=1p  Tt=1n)",
    ".Ends",
};

// The tube name as every exported file carries it: as typed, but for control characters
// (a line break pasted with it, a tab), which are left out so that a name never breaks
// a line or adds one.
std::string OneLineName(std::string_view tubeName);

// The subcircuit's lines without line ends, one per label of the Subcircuit window.
// The tube name goes in as OneLineName gives it, even when empty or blank; the parameter
// texts are made from the numbers each time.
std::array<std::string, kSubcircuitLineCount> SubcircuitLines(const Design& design,
                                                              std::string_view tubeName);

// The whole .CKT file: every line followed by CR LF, the last one too.
std::string SubcircuitText(const Design& design, std::string_view tubeName);

// Writes the design's .CKT file for the tube name to path. An empty path writes nothing
// and succeeds. On failure the message is kCircuitWriteFailure and any file already at
// path is left as it was.
FileResult WriteCircuitFile(const std::string& path, const Design& design,
                            std::string_view tubeName);

// The lines of an exported file, each followed by CR LF, the last one too.
std::string JoinFileLines(std::span<const std::string> lines);

// Writes one exported file's text to path. An empty path writes nothing and succeeds.
// On failure the message is failure and any file already at path is left as it was.
FileResult WriteExportedFile(const std::string& path, const std::string& text,
                             std::string_view failure);

} // namespace valvix
