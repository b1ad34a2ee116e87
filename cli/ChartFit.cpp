#include "cli/ChartFit.h"

#include "cli/FileProblems.h"
#include "state/NumberText.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ostream>
#include <string_view>
#include <utility>

namespace valvix::cli {

namespace {

// Advice the fit gives for the window, and the same for the command line.
constexpr std::array<std::pair<std::string_view, std::string_view>, 2> kWindowAdvice{{
    {"line it up with the chart's axes first",
     "set the design's frame (Xleft, Xright, Ytop, Ybottom) on the chart's axes first"},
    {"choose one first", "name one with --picture"},
}};

} // namespace

std::string ReadFitDesign(const std::string& path, Design& design) {
    return ReadCommandDesign(path, IsFitValue, design);
}

std::string FindPrintedCurves(const std::string& path, Design& design, FoundCurves& found) {
    if (std::string problem = ReadCommandPicture(path, design, found.picture); !problem.empty()) {
        return problem;
    }
    fit::DigitizeOutcome digitized = fit::DigitizeDesignChart(design, found.picture.get());
    if (!digitized.ok) {
        return path + ": " + ForCommandLine(std::move(digitized.message));
    }
    found.chart = std::move(digitized.chart);
    return {};
}

std::string ForCommandLine(std::string message) {
    for (const auto& [window, line] : kWindowAdvice) {
        if (const std::size_t at = message.find(window); at != std::string::npos) {
            message.replace(at, window.size(), line);
        }
    }
    return message;
}

void TellFound(const fit::DigitizedChart& found, std::ostream& err) {
    err << "Found " << found.traces.size() << " traces in the picture; set aside "
        << found.setAside.lines << " grid and frame lines and " << found.setAside.strokes
        << " strokes (text, speckle, falling strokes).\n";
}

void TellFitted(const fit::FitOutcome& outcome, std::ostream& err) {
    for (const fit::CurveMiss& curve : outcome.curves) {
        char line[128];
        std::snprintf(line, sizeof line, "  %g V: %zu points, missed by up to %.3g mA\n",
                      double(curve.vg), curve.points, 1000 * curve.largestAmps);
        err << line;
    }
    const auto traces = std::ranges::count_if(
        outcome.traceGrids, [](const std::optional<float>& grid) { return !grid; });
    err << "Set aside " << traces << " traces beyond the family or against the curves' order; "
        << outcome.setAsidePoints << " points set aside in all (theirs and stray ones).\n";
}

void ReportFit(const fit::FitOutcome& outcome, std::ostream& out) {
    const TriodeParameters& p = outcome.parameters;
    const std::array<std::pair<const char*, float>, 5> values{
        {{"Mu", p.Mu}, {"Ex", p.Ex}, {"Kg1", p.Kg1}, {"Kp", p.Kp}, {"Kvb", p.Kvb}}};
    for (const auto& [name, value] : values) {
        out << name << ":" << FormatPlainNumber(value) << '\n';
    }
    out << fit::DescribeFit(outcome) << '\n';
}

} // namespace valvix::cli
