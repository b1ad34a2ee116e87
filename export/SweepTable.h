#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace valvix {

// One point of a simulated DC sweep: the voltages the simulator applied and the current
// it found flowing into the plate.
struct SweepPoint {
    double plateVoltage = 0;
    double gridVoltage = 0;
    double plateCurrent = 0;
};

// The column names the check's netlists ask ngspice's wrdata to write.
inline constexpr std::string_view kPlateCurrentColumn = "-i(vplate)";
inline constexpr std::string_view kGridVoltageColumn = "v(grid)";
inline constexpr std::string_view kPlateVoltageColumn = "v(plate)";

struct SweepTable {
    std::vector<SweepPoint> points;
    std::string error; // empty when the table was read
};

// Reads the text of ngspice's wrdata with wr_vecnames: a first line of column names,
// then one row of numbers per point, separated by blanks or tabs. The three columns are
// found by name (case aside), wherever they stand. A row with too few fields, a field
// that is not a finite number, a missing column or a table without rows is an error.
SweepTable ReadSweepTable(std::string_view text);

} // namespace valvix
