#pragma once

#include "state/Design.h"
#include "state/DesignFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace valvix {

inline constexpr std::string_view kNgspiceModelWriteFailure =
    "The .lib (ngspice model) was not written";

// The triode as a subcircuit in ngspice's own expression syntax, for a stock ngspice
// (and KiCad's simulator) with no compatibility setting. The terminals, their order and
// the name are those of the .CKT: "1 2 3" are plate, grid and cathode, and the tube name
// goes in as NgspiceModelName gives it. The soft-plus term ln(1 + e^a) is computed as
// uramp(a) + ln(1 + exp(-abs(a))), whose exponential never exceeds 1, so it neither
// overflows nor runs straight where ngspice's PSpice mode limits Exp. The current is
// 2 * E1^Ex / Kg1 for E1 of 0 or more and 0 below, as Pwr + Pwrs give in the .CKT.
// Lines without line ends.
//
// The tube name as the .lib carries it: the .CKT's name (OneLineName), with blanks and
// ngspice's in-line comment characters ';' and '$' made '_', so that it stays one name
// before the terminals; "TUBE" when nothing is left.
std::string NgspiceModelName(std::string_view tubeName);

std::vector<std::string> NgspiceModelLines(const Design& design, std::string_view tubeName);

// The whole .lib file: every line followed by CR LF, the last one too.
std::string NgspiceModelText(const Design& design, std::string_view tubeName);

// Writes the .lib file for the tube name to path, through the same replacing writer as
// the .CKT. An empty path writes nothing and succeeds. On failure the message is
// kNgspiceModelWriteFailure and any file already at path is left as it was.
FileResult WriteNgspiceModelFile(const std::string& path, const Design& design,
                                 std::string_view tubeName);

} // namespace valvix
