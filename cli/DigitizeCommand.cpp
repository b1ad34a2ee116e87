// valvix-cli digitize: the printed curves of a chart picture as a points file, every
// point with the grid voltage of its curve, for fit --points or for the Adjust window.

#include "cli/ChartFit.h"
#include "cli/Commands.h"
#include "cli/FileProblems.h"

#include "fit/PointsFile.h"
#include "state/SafeFile.h"

#include <algorithm>
#include <array>
#include <ostream>

namespace valvix::cli {

namespace {

constexpr std::array<std::string_view, 3> kValueOptions{"--design", "--picture", "--out"};
constexpr std::array<std::string_view, 1> kFlagOptions{"-v"};

// The points found, with their grid voltages, or why there are none.
std::string Digitize(const Options& options, fit::FitOutcome& outcome, std::ostream& err) {
    Design design;
    if (std::string problem = ReadFitDesign(*options.value("--design"), design); !problem.empty()) {
        return problem;
    }
    const std::string picture = *options.value("--picture");
    FoundCurves found;
    if (std::string problem = FindPrintedCurves(picture, design, found); !problem.empty()) {
        return problem;
    }
    if (options.has("-v")) {
        TellFound(found.chart, err);
    }
    // The design's parameters only tell the traces apart: the fit gives each one the
    // grid voltage of the computed curve it follows.
    outcome = fit::FitToChart(design, found.picture.get(), {std::move(found.chart.traces), {}, {}});
    if (!outcome.ok) {
        return picture + ": " + ForCommandLine(outcome.message);
    }
    if (options.has("-v")) {
        TellFitted(outcome, err);
    }
    return {};
}

// The points curve by curve (the most positive grid voltage first, each from its lowest
// plate voltage up), every stride-th of them where more than a points file holds.
std::vector<fit::ChartPoint> InFileOrder(std::vector<fit::ChartPoint> points, std::size_t stride) {
    std::ranges::stable_sort(points, [](const fit::ChartPoint& a, const fit::ChartPoint& b) {
        return a.vg != b.vg ? a.vg > b.vg : a.vp < b.vp;
    });
    std::vector<fit::ChartPoint> kept;
    for (std::size_t i = 0; i < points.size(); i += stride) {
        kept.push_back(points[i]);
    }
    return kept;
}

void Summarize(const fit::FitOutcome& outcome, std::size_t written, std::size_t stride,
               const std::string& path, std::ostream& out) {
    const auto curves = std::ranges::count_if(
        outcome.curves, [](const fit::CurveMiss& curve) { return curve.points > 0; });
    out << "Wrote " << written << " points";
    if (stride > 1) {
        out << " (one in " << stride << " of " << outcome.fitted.size() << ")";
    }
    out << " on " << curves << " curves to " << path << ".\n";
}

} // namespace

int RunDigitize(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const Options options = ParseOptions(arguments, kValueOptions, kFlagOptions);
    if (const std::string problem =
            FilesProblem(options, kValueOptions, "--design, --picture and --out must name files.");
        !problem.empty()) {
        PrintMisuse("digitize", problem, err);
        return kMisused;
    }
    fit::FitOutcome outcome;
    std::string problem = Digitize(options, outcome, err);
    const std::size_t stride =
        std::max<std::size_t>(1, (outcome.fitted.size() + fit::kMostPoints - 1) / fit::kMostPoints);
    const std::vector<fit::ChartPoint> points = InFileOrder(outcome.fitted, stride);
    const std::string path = *options.value("--out");
    if (problem.empty() && !WriteFileReplacing(path, fit::PointsText(points))) {
        problem = OutputProblem("--out", path, "The points file was not written.");
    }
    if (!problem.empty()) {
        err << "digitize: " << problem << '\n';
        return kFailed;
    }
    Summarize(outcome, points.size(), stride, path, out);
    return kDone;
}

} // namespace valvix::cli
