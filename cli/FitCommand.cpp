// valvix-cli fit: the Adjust window's "Fit to chart" without a window. Reads a design,
// fits its five model parameters to a chart picture, a points file or both, and writes
// the fitted design.

#include "cli/Commands.h"

#include "fit/FitToChart.h"
#include "fit/PointsFile.h"
#include "platform/DesktopServices.h"
#include "state/AdjustValidation.h"
#include "state/DesignFile.h"
#include "state/NumberText.h"

#include <array>
#include <ostream>

namespace valvix::cli {

namespace {

constexpr std::array<std::string_view, 4> kValueOptions{"--design", "--picture", "--points",
                                                        "--out"};
constexpr std::string_view kUsage = "Usage: valvix-cli fit --design IN.VXF [--picture CHART.jpg] "
                                    "[--points POINTS.csv] --out OUT.VXF\n";

// Exit statuses.
constexpr int kFitted = 0;
constexpr int kFailed = 1;
constexpr int kMisused = 2;

// The design read and checked as "Plot / refresh" checks the Adjust window's fields
// (the plate dissipation is not in the file), with the picture and points named.
std::string Prepare(const Options& options, DesignState& design, fit::FitRequest& request) {
    const std::string designPath = *options.value("--design");
    if (const FileResult read = ReadDesignFile(designPath, design); !read.ok) {
        return read.message;
    }
    for (std::size_t row = 1; row < AdjustRules().size(); ++row) {
        if (!AdjustValueAccepted(row, design)) {
            return designPath + ": " + std::string(AdjustRules()[row].message);
        }
    }
    if (const auto picture = options.value("--picture")) {
        design.GraphicFileName = *picture;
        design.CurveGraphic = DesktopServices().loadPicture(*picture);
        if (design.CurveGraphic == nullptr) {
            return "The chart picture (" + *picture + ") could not be read.";
        }
        request.traceChart = true;
    }
    if (const auto points = options.value("--points")) {
        fit::PointsFile file = fit::ReadPointsFile(*points);
        if (!file.ok) {
            return file.message;
        }
        request.measured = std::move(file.points);
    }
    return {};
}

void Report(const fit::FitOutcome& outcome, std::ostream& out) {
    const TriodeParameters& p = outcome.parameters;
    const std::array<std::pair<const char*, float>, 5> values{
        {{"Mu", p.Mu}, {"Ex", p.Ex}, {"Kg1", p.Kg1}, {"Kp", p.Kp}, {"Kvb", p.Kvb}}};
    for (const auto& [name, value] : values) {
        out << name << ":" << FormatPlainNumber(value) << '\n';
    }
    out << fit::DescribeFit(outcome) << '\n';
}

} // namespace

int RunFit(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const Options options = ParseOptions(arguments, kValueOptions);
    std::string problem = options.error;
    if (problem.empty() && (options.value("--design").value_or("").empty() ||
                            options.value("--out").value_or("").empty())) {
        problem = "--design and --out must name files.";
    } else if (problem.empty() && !options.has("--picture") && !options.has("--points")) {
        problem = "give --picture, --points or both to fit to.";
    }
    if (!problem.empty()) {
        err << "fit: " << problem << '\n' << kUsage;
        return kMisused;
    }
    DesignState design;
    fit::FitRequest request;
    problem = Prepare(options, design, request);
    fit::FitOutcome outcome;
    outcome.message = problem;
    if (problem.empty()) {
        outcome = fit::FitToChart(design, request);
    }
    if (!outcome.ok) {
        err << "fit: " << outcome.message << '\n';
        return kFailed;
    }
    design.Mu = outcome.parameters.Mu;
    design.Ex = outcome.parameters.Ex;
    design.Kg1 = outcome.parameters.Kg1;
    design.Kp = outcome.parameters.Kp;
    design.Kvb = outcome.parameters.Kvb;
    const std::string outPath = *options.value("--out");
    if (const FileResult written =
            WriteDesignFile(outPath, design, DesktopServices().dateTimeText());
        !written.ok) {
        err << "fit: " << written.message << " (" << outPath << ")\n";
        return kFailed;
    }
    Report(outcome, out);
    return kFitted;
}

} // namespace valvix::cli
