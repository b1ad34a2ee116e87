// valvix-cli fit: the Adjust window's "Fit to chart" without a window. Reads a design,
// fits its five model parameters to a chart picture, a points file or both, and writes
// the fitted design. Without a design, the charts are read from their pictures alone.

#include "cli/ChartFit.h"
#include "cli/Commands.h"
#include "cli/FileProblems.h"

#include "fit/PointsFile.h"
#include "platform/DesktopServices.h"
#include "state/DesignFile.h"
#include "state/NumberText.h"

#include <algorithm>
#include <array>
#include <ostream>

namespace valvix::cli {

namespace {

constexpr std::array<std::string_view, 4> kValueOptions{"--design", "--picture", "--points",
                                                        "--out"};
constexpr std::array<std::string_view, 1> kFlagOptions{"-v"};
constexpr std::array<std::string_view, 1> kLibraryOptions{"--lib"};

std::string CommandLineProblem(const Options& options) {
    if (!options.error.empty()) {
        return options.error;
    }
    if (!options.has("--design") && options.has("--picture") && !options.has("--points")) {
        return options.value("--out").value_or("").empty() ? "--out must name a file." : "";
    }
    if (options.value("--design").value_or("").empty() ||
        options.value("--out").value_or("").empty()) {
        return "--design and --out must name files.";
    }
    if (!options.has("--picture") && !options.has("--points")) {
        return "give --picture, --points or both to fit to.";
    }
    return {};
}

// The design and what to fit it to, or why not.
std::string Prepare(const Options& options, Design& design, FoundCurves& found,
                    fit::FitRequest& request, std::ostream& err) {
    if (std::string problem = ReadFitDesign(*options.value("--design"), design); !problem.empty()) {
        return problem;
    }
    if (const auto picture = options.value("--picture")) {
        if (std::string problem = FindPrintedCurves(*picture, design, found); !problem.empty()) {
            return problem;
        }
        if (options.has("-v")) {
            TellFound(found.chart, err);
        }
        request.traces = std::move(found.chart.traces);
    }
    if (const auto points = options.value("--points")) {
        if (std::string problem = InputProblem("--points", *points); !problem.empty()) {
            return problem;
        }
        fit::PointsFile file = fit::ReadPointsFile(*points);
        if (!file.ok) {
            return *points + ": " + file.message;
        }
        request.measured = std::move(file.points);
    }
    return {};
}

// The files fitted to, to name in a failed fit's message.
std::string FittedTo(const Options& options) {
    std::string names = options.value("--picture").value_or("");
    if (const auto points = options.value("--points")) {
        names += (names.empty() ? "" : " and ") + *points;
    }
    return names;
}

// --lib LIBRARY with one --picture or more: the pictures, and the rest of the line.
int RunLibrary(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    std::vector<std::string> pictures;
    Arguments rest;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--picture" && i + 1 < arguments.size()) {
            pictures.push_back(arguments[++i]);
        } else {
            rest.push_back(arguments[i]);
        }
    }
    const Options options = ParseOptions(rest, kLibraryOptions);
    std::string problem = FilesProblem(options, kLibraryOptions, "--lib must name a file.");
    if (problem.empty() && pictures.empty()) {
        problem = "give --picture once for each chart to put in the library.";
    }
    if (!problem.empty()) {
        PrintMisuse("fit", problem, err);
        return kMisused;
    }
    return RunFitLibrary(pictures, *options.value("--lib"), out, err);
}

} // namespace

int RunFit(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (std::ranges::find(arguments, "--lib") != arguments.end()) {
        return RunLibrary(arguments, out, err);
    }
    const Options options = ParseOptions(arguments, kValueOptions, kFlagOptions);
    if (const std::string problem = CommandLineProblem(options); !problem.empty()) {
        PrintMisuse("fit", problem, err);
        return kMisused;
    }
    if (!options.has("--design")) {
        return RunFitFromPicture(*options.value("--picture"), *options.value("--out"),
                                 options.has("-v"), out, err);
    }
    Design design;
    FoundCurves found;
    fit::FitRequest request;
    std::string problem = Prepare(options, design, found, request, err);
    fit::FitOutcome outcome;
    if (problem.empty()) {
        outcome = fit::FitToChart(design, found.picture.get(), request);
        problem = outcome.ok ? "" : FittedTo(options) + ": " + ForCommandLine(outcome.message);
    }
    if (!problem.empty()) {
        err << "fit: " << problem << '\n';
        return kFailed;
    }
    if (options.has("-v")) {
        TellFitted(outcome, err);
    }
    SetParameters(design, outcome.parameters);
    const std::string outPath = *options.value("--out");
    if (const FileResult written =
            WriteDesignFile(outPath, design, DesktopServices().dateTimeText());
        !written.ok) {
        err << "fit: " << OutputProblem("--out", outPath, written.message) << '\n';
        return kFailed;
    }
    ReportFit(outcome, out);
    return kDone;
}

} // namespace valvix::cli
