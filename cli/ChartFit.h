#pragma once

// The steps valvix-cli fit and digitize share: the design read and checked for a fit,
// the printed curves found in the chart picture, the fit's messages worded for the
// command line, and what -v tells.

#include "fit/Digitizer.h"
#include "fit/FitToChart.h"
#include "state/Design.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace valvix::cli {

// Reads the design file and checks its frame, scales, grid voltages and parameters as
// the Adjust window checks them before a fit (the plate dissipation is not checked).
// Returns what is wrong, naming the option, the file and the cause, or nothing.
std::string ReadFitDesign(const std::string& path, Design& design);

// The chart picture a command fits to, and the printed curves found in it.
struct FoundCurves {
    std::shared_ptr<const Picture> picture;
    fit::DigitizedChart chart;
};

// Reads the chart picture, names it in the design, and finds its printed curves inside
// the design's frame. Returns what is wrong, naming the picture (and the option where
// the file itself cannot be used), or nothing.
std::string FindPrintedCurves(const std::string& path, Design& design, FoundCurves& found);

// The fit's own message in the command line's words: where it tells the user to act in
// a window, it names what to change in the design file or on the line instead.
std::string ForCommandLine(std::string message);

// -v: how many traces the picture gave and what was set aside while finding them.
void TellFound(const fit::DigitizedChart& found, std::ostream& err);

// -v: the points the fit gave each grid voltage and how closely, and the traces and
// points it set aside.
void TellFitted(const fit::FitOutcome& outcome, std::ostream& err);

// The fitted parameters, a line each, and the result line.
void ReportFit(const fit::FitOutcome& outcome, std::ostream& out);

// fit --picture CHART --out DESIGN without a design: the chart read and fitted.
int RunFitFromPicture(const std::string& picture, const std::string& out, bool verbose,
                      std::ostream& stdOut, std::ostream& err);

// fit --lib LIBRARY with several pictures: each read and fitted, one subcircuit a chart
// named from its file name; progress on err, a chart that fails reported and skipped.
int RunFitLibrary(const std::vector<std::string>& pictures, const std::string& libraryPath,
                  std::ostream& out, std::ostream& err);

} // namespace valvix::cli
