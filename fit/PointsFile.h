#pragma once

#include "fit/ChartPoint.h"

#include <string>
#include <string_view>
#include <vector>

namespace valvix::fit {

// A points file: measured or digitized points of plate curves as comma-separated text.
//
// The first line that is neither blank nor a comment (starting with #) is the header.
// It names the columns, separated by commas, semicolons or tabs (whichever the header
// uses first):
//   plate voltage: Vp, Va, Ea, Eb, "plate voltage" or "anode voltage", in volts;
//   grid voltage:  Vg, Vg1, Eg, Ec, "grid voltage", in volts;
//   plate current: Ip, Ia, Ib, "plate current" or "anode current", in A or mA.
// Names are read without regard to case; a unit follows a name in brackets, as in
// "Ip (mA)" or "Vp [V]". The current's unit must be given; volts may be left unnamed.
// Other columns are ignored. Every further line holds one point: plain decimal
// numbers with a period as decimal point (exponents allowed), blanks and double
// quotes around them ignored.
inline constexpr std::size_t kMostPointsFileBytes = 4 << 20;
inline constexpr std::size_t kMostPoints = 20000;
inline constexpr std::size_t kLeastPoints = 5;

struct PointsFile {
    bool ok = false;
    std::string message; // on failure: what is wrong, naming the line
    std::vector<ChartPoint> points;
};

// Reads the text of a points file; currents come back in amperes.
PointsFile ReadPointsText(std::string_view text);

// The text of a points file holding the points, plate current in mA: it reads back
// through ReadPointsText to the same points within six significant digits.
std::string PointsText(const std::vector<ChartPoint>& points);

// Reads a points file from disk; larger files than kMostPointsFileBytes are refused
// unread.
PointsFile ReadPointsFile(const std::string& path);

} // namespace valvix::fit
